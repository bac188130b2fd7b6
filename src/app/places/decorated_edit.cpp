#include "decorated_edit.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <algorithm>

namespace app {

DecoratedEdit::DecoratedEdit(QWidget* parent) : QLineEdit(parent) {
    modifiedColor = palette().color(QPalette::Highlight);
    connect(this, &QLineEdit::textChanged, this, [this] {
        if (showError_) {
            SetIsError(!ValidateText(Text()));
        }
        ApplyUrlLook();
    });
    // Typing, deleting, cutting and pasting: the user's edits only, never SetText.
    connect(this, &QLineEdit::textEdited, this, [this] { SetModified(true); });
    connect(this, &QLineEdit::cursorPositionChanged, this, &DecoratedEdit::KeepCaretInText);
    connect(this, &QLineEdit::selectionChanged, this, &DecoratedEdit::KeepCaretInText);
}

void DecoratedEdit::SetEmptyText(const QString& text) {
    emptyText_ = text;
    update();
}

void DecoratedEdit::SetEmptyTextFocused(bool on) {
    emptyTextFocused_ = on;
    update();
}

void DecoratedEdit::SetEmptyTextStyle(FontStyles styles) {
    emptyTextStyle_ = styles;
    update();
}

void DecoratedEdit::SetColor(const QColor& colour) {
    normalColor_ = colour;
    ApplyColours();
}

void DecoratedEdit::SetDisabledColor(const QColor& colour) {
    disabledColor_ = colour;
    ApplyColours();
}

void DecoratedEdit::SetDisabledBorder(bool on) {
    disabledBorder_ = on;
    update();
}

void DecoratedEdit::SetModified(bool modified) {
    if (isReadOnly() || modified == modified_) {
        return;
    }
    modified_ = modified;
    setModified(modified);
    if (showModified_) {
        ApplyColours();
    }
}

void DecoratedEdit::SetShowModified(bool on) {
    showModified_ = on;
    ApplyColours();
}

void DecoratedEdit::SetShowError(bool on) {
    showError_ = on;
    if (on) {
        SetIsError(!ValidateText(text()));
    }
}

bool DecoratedEdit::ValidateText(const QString& text) const {
    return onValueValidate ? onValueValidate(text) : true;
}

void DecoratedEdit::SetIsError(bool error) {
    if (error == error_) {
        return;
    }
    error_ = error;
    ApplyColours();
}

void DecoratedEdit::SetErrorMarker(int pos, int len) {
    markerPos_ = pos;
    markerLen_ = len;
    update();
}

void DecoratedEdit::SetShowURL(bool on) {
    showUrl_ = on;
    ApplyUrlLook();
}

bool DecoratedEdit::TextIsURL(const QString& text) {
    return text.contains(QStringLiteral("://")) || text.indexOf(QLatin1Char('@')) > 0 ||
           text.startsWith(QStringLiteral("www."), Qt::CaseInsensitive);
}

QUrl DecoratedEdit::UrlToOpen(const QString& text) {
    QString address = text.trimmed();
    if (address.startsWith(QStringLiteral("www."), Qt::CaseInsensitive)) {
        address = QStringLiteral("http://") + address;
    } else if (!address.contains(QStringLiteral("://")) && address.indexOf(QLatin1Char('@')) > 0 &&
               !address.startsWith(QStringLiteral("mailto:"), Qt::CaseInsensitive)) {
        address = QStringLiteral("mailto:") + address;
    }
    const QUrl url(address, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || (scheme != QStringLiteral("http") && scheme != QStringLiteral("https") &&
                           scheme != QStringLiteral("mailto"))) {
        return {};
    }
    if (scheme != QStringLiteral("mailto") && url.host().isEmpty()) {
        return {};
    }
    return url;
}

void DecoratedEdit::ApplyUrlLook() {
    const bool look = showUrl_ && TextIsURL(Text());
    if (look == isUrl_) {
        return;
    }
    isUrl_ = look;
    QFont f = font();
    f.setUnderline(look);
    setFont(f);
    setCursor(look ? Qt::PointingHandCursor : Qt::IBeamCursor);
    ApplyColours();
}

void DecoratedEdit::mousePressEvent(QMouseEvent* event) {
    buttonDown_ = false;
    if (event->button() == Qt::LeftButton && hasFocus() && hasSelectedText()) {
        const int at = cursorPositionAt(event->position().toPoint());
        if (at >= selectionStart() && at < selectionEnd()) {
            buttonDown_ = true;
            event->accept();
            return;
        }
    }
    QLineEdit::mousePressEvent(event);
}

void DecoratedEdit::mouseReleaseEvent(QMouseEvent* event) {
    urlClicked_ = false;
    if (event->button() == Qt::MiddleButton && QGuiApplication::clipboard()->supportsSelection()) {
        // The X11 selection pastes through the paste event as well.
        PasteText(QGuiApplication::clipboard()->text(QClipboard::Selection));
        event->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
    if (buttonDown_ && event->button() == Qt::LeftButton) {
        buttonDown_ = false;
        setCursorPosition(cursorPositionAt(event->position().toPoint()));
    }
    if (event->button() != Qt::LeftButton || !isUrl_ || !showUrl_ || !hasFocus()) {
        return;
    }
    urlClicked_ = true;
    bool show = true;
    if (onURLClick) {
        onURLClick(Text(), show);
    }
    const QUrl url = UrlToOpen(Text());
    if (show && !url.isEmpty() && openUrl) {
        openUrl(url);
    }
}

void DecoratedEdit::enterEvent(QEnterEvent* event) {
    QLineEdit::enterEvent(event);
    if (autoFocus && isActiveWindow()) {
        setFocus(Qt::MouseFocusReason);
    }
    mouseInControl_ = true;
    if (focusBorder_) {
        update();
    }
    emit mouseEnter();
}

void DecoratedEdit::leaveEvent(QEvent* event) {
    QLineEdit::leaveEvent(event);
    mouseInControl_ = false;
    if (focusBorder_) {
        update();
    }
    emit mouseLeave();
}

void DecoratedEdit::SetEditText(const QString& value) {
    SetText(value);
    origText_ = value;
}

void DecoratedEdit::ApplyColours() {
    const QPalette normal = parentWidget() ? parentWidget()->palette() : QPalette();
    QColor base = flat_ && flatParentColor_ ? normal.color(QPalette::Window)
                  : normalColor_.isValid()  ? normalColor_
                                            : normal.color(QPalette::Base);
    QColor textColour = normal.color(QPalette::Text);
    if (showError_ && error_) {
        base = errorColor;
        textColour = errorFontColor;
    } else {
        if (hasFocus() && focusColor.isValid() && ValidateText(Text())) {
            base = focusColor;
        }
        if (showModified_ && modified_) {
            textColour = modifiedColor;
        } else if (isUrl_) {
            textColour = urlColor;
        } else if (hasFocus() && focusFontColor.isValid()) {
            textColour = focusFontColor;
        }
    }
    QPalette pal = palette();
    for (const auto group : {QPalette::Active, QPalette::Inactive}) {
        pal.setColor(group, QPalette::Base, base);
        pal.setColor(group, QPalette::Text, textColour);
    }
    pal.setColor(QPalette::Disabled, QPalette::Base, disabledColor_);
    pal.setColor(QPalette::Disabled, QPalette::Text,
                 normal.color(QPalette::Disabled, QPalette::Text));
    if (transparent_) {
        // The edit paints no background, so its parent's painting shows through.
        for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
            pal.setColor(group, QPalette::Base, Qt::transparent);
        }
    }
    applyingColours_ = true;
    setPalette(pal);
    applyingColours_ = false;
}

void DecoratedEdit::keyPressEvent(QKeyEvent* event) {
    const bool ctrl = event->modifiers().testFlag(Qt::ControlModifier);
    const bool plainCaret = !hasSelectedText();
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (!ctrl) {
                emit enterPressed();
            }
            event->accept();
            return;
        case Qt::Key_Escape:
            if (canUndo) {
                if (!HideDropDown()) {
                    SetText(origText_);
                    SelectAll();
                }
                SetModified(false);
                ApplyColours();
                event->accept();
                return;
            }
            break;
        case Qt::Key_Backspace:
            if (plainCaret && cursorPosition() <= TextStart()) {
                event->accept();  // the prefix stays
                return;
            }
            break;
        case Qt::Key_Delete:
            if (plainCaret && cursorPosition() >= TextEnd() && !suffix_.isEmpty()) {
                event->accept();  // the suffix stays
                return;
            }
            break;
        default:
            break;
    }
    using Call = void (DecoratedEdit::*)();
    for (const auto& [key, call] : {std::pair<QKeySequence::StandardKey, Call>{
                                        QKeySequence::SelectAll, &DecoratedEdit::SelectAll},
                                    {QKeySequence::Copy, &DecoratedEdit::Copy},
                                    {QKeySequence::Cut, &DecoratedEdit::Cut},
                                    {QKeySequence::Paste, &DecoratedEdit::Paste}}) {
        if (event->matches(key)) {
            (this->*call)();
            event->accept();
            return;
        }
    }
    const QString typed = event->text();
    QLineEdit::keyPressEvent(event);
    if (!ctrl && typed.size() == 1 && typed.at(0).isPrint()) {
        TabWhenFull();
    }
}

void DecoratedEdit::focusInEvent(QFocusEvent* event) {
    origText_ = Text();
    QLineEdit::focusInEvent(event);
    ApplyColours();
    if (focusLabel) {
        ApplyLabelFont();
    }
    if (focusWidthInc != 0 && !widened_) {
        widened_ = true;
        resize(width() + focusWidthInc, height());
    }
    // A frameless box keeps room for its prompt or focus border from now on.
    if ((!emptyText_.isEmpty() || focusBorder_) && !hasFrame() && !flatRect_) {
        flatRect_ = true;
        ApplyTextRect();
    }
    update();  // the prompt hides
}

void DecoratedEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    ApplyColours();
    if (focusLabel) {
        ApplyLabelFont();
    }
    if (widened_) {
        widened_ = false;
        resize(width() - focusWidthInc, height());
    }
    update();
}

void DecoratedEdit::moveEvent(QMoveEvent* event) {
    QLineEdit::moveEvent(event);
    PlaceLabel();
}

void DecoratedEdit::resizeEvent(QResizeEvent* event) {
    QLineEdit::resizeEvent(event);
    PlaceLabel();
}

void DecoratedEdit::changeEvent(QEvent* event) {
    QLineEdit::changeEvent(event);
    if (event->type() == QEvent::EnabledChange || event->type() == QEvent::ParentChange) {
        PlaceLabel();
    }
    // Enabling and disabling, and a new palette from the parent or the skin (not our own).
    if (event->type() == QEvent::EnabledChange ||
        (event->type() == QEvent::PaletteChange && !applyingColours_)) {
        ApplyColours();
    }
}

void DecoratedEdit::showEvent(QShowEvent* event) {
    QLineEdit::showEvent(event);
    PlaceLabel();
}

void DecoratedEdit::hideEvent(QHideEvent* event) {
    QLineEdit::hideEvent(event);
    if (label_) {
        label_->hide();
    }
}

}  // namespace app
