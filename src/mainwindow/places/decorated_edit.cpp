#include "mainwindow/places/decorated_edit.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QStyleOptionFrame>
#include <QTextLayout>
#include <algorithm>

namespace mainwindow {

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

QString DecoratedEdit::Text() const {
    QString value = QLineEdit::text();
    if (!prefix_.isEmpty() && value.startsWith(prefix_)) {
        value.remove(0, prefix_.size());
    }
    value.chop(suffix_.size());
    return value;
}

void DecoratedEdit::SetText(const QString& value) {
    setText(prefix_ + value + suffix_);
    SetModified(false);
}

void DecoratedEdit::SetPrefix(const QString& prefix) {
    const QString value = Text();
    prefix_ = prefix;
    SetText(value);
}

void DecoratedEdit::SetSuffix(const QString& suffix) {
    const QString value = Text();
    suffix_ = suffix;
    SetText(value);
}

int DecoratedEdit::TextEnd() const {
    return std::max(TextStart(), static_cast<int>(QLineEdit::text().size() - suffix_.size()));
}

void DecoratedEdit::KeepCaretInText() {
    if (keepingCaret_ || (prefix_.isEmpty() && suffix_.isEmpty())) {
        return;
    }
    keepingCaret_ = true;
    const int low = TextStart();
    const int high = TextEnd();
    if (hasSelectedText()) {
        const int start = selectionStart();
        const int end = selectionEnd();
        const int from = std::clamp(start, low, high);
        const int to = std::clamp(end, low, high);
        if (from != start || to != end) {
            if (to == from) {
                setCursorPosition(from);
            } else if (cursorPosition() == start) {
                setSelection(to, from - to);  // the caret stays at the selection's start
            } else {
                setSelection(from, to - from);
            }
        }
    } else if (cursorPosition() < low || cursorPosition() > high) {
        setCursorPosition(std::clamp(cursorPosition(), low, high));
    }
    keepingCaret_ = false;
}

void DecoratedEdit::SetLabelCaption(const QString& caption) {
    if (!label_) {
        label_ = new QLabel(parentWidget());
        label_->setObjectName(QStringLiteral("EditLabel"));
        label_->setBuddy(this);
        label_->installEventFilter(this);
    }
    label_->setText(caption);
    label_->adjustSize();
    PlaceLabel();
}

void DecoratedEdit::SetLabelPosition(TLabelPosition position) {
    labelPosition_ = position;
    PlaceLabel();
}

void DecoratedEdit::SetLabelMargin(int margin) {
    labelMargin_ = margin;
    PlaceLabel();
}

void DecoratedEdit::PlaceLabel() {
    if (!label_) {
        return;
    }
    if (label_->parentWidget() != parentWidget()) {
        label_->setParent(parentWidget());
    }
    QString caption = label_->text();
    caption.remove(QLatin1Char('&'));
    const int textWidth = label_->fontMetrics().horizontalAdvance(caption);
    label_->move(LabelTopLeft(labelPosition_, geometry(), label_->size(), textWidth, labelMargin_));
    label_->setVisible(isVisible());
    label_->setEnabled(isEnabled());
}

void DecoratedEdit::SetLabelBold(bool bold) {
    if (!label_) {
        return;
    }
    QFont f = label_->font();
    f.setBold(bold);
    label_->setFont(f);
    label_->adjustSize();
    PlaceLabel();
}

bool DecoratedEdit::eventFilter(QObject* watched, QEvent* event) {
    if (watched == label_) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (event->type() == QEvent::MouseButtonRelease && mouse->button() == Qt::LeftButton &&
            label_->rect().contains(mouse->position().toPoint())) {
            emit labelClicked();
        } else if (event->type() == QEvent::MouseButtonDblClick) {
            emit labelDoubleClicked();
        }
    }
    return QLineEdit::eventFilter(watched, event);
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
    emit mouseEnter();
}

void DecoratedEdit::leaveEvent(QEvent* event) {
    QLineEdit::leaveEvent(event);
    emit mouseLeave();
}

void DecoratedEdit::contextMenuEvent(QContextMenuEvent* event) {
    QMenu* menu = createStandardContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    // The menu's clipboard and select-all items go through the box's own events: each item
    // found by its connection to the edit's own slot.
    for (QAction* action : menu->actions()) {
        const auto takeOver = [this, action](auto slot, const char* slotName,
                                             void (DecoratedEdit::*own)()) {
            if (disconnect(action, &QAction::triggered, this, slot) ||
                disconnect(action, SIGNAL(triggered()), this, slotName)) {
                connect(action, &QAction::triggered, this, own);
            }
        };
        takeOver(&QLineEdit::cut, SLOT(cut()), &DecoratedEdit::Cut);
        takeOver(&QLineEdit::copy, SLOT(copy()), &DecoratedEdit::Copy);
        takeOver(&QLineEdit::paste, SLOT(paste()), &DecoratedEdit::Paste);
        takeOver(&QLineEdit::selectAll, SLOT(selectAll()), &DecoratedEdit::SelectAll);
    }
    menu->popup(event->globalPos());
}

void DecoratedEdit::Copy() {
    if (!hasSelectedText() || echoMode() != QLineEdit::Normal) {
        return;
    }
    bool allow = true;
    if (onClipboardCopy) {
        onClipboardCopy(selectedText(), allow);
    }
    if (allow) {
        copy();
    }
}

void DecoratedEdit::Cut() {
    if (!hasSelectedText() || isReadOnly() || echoMode() != QLineEdit::Normal) {
        return;
    }
    bool allow = true;
    if (onClipboardCut) {
        onClipboardCut(selectedText(), allow);
    }
    if (allow) {
        cut();
    }
}

void DecoratedEdit::Paste() {
    PasteText(QGuiApplication::clipboard()->text(QClipboard::Clipboard));
}

void DecoratedEdit::PasteText(QString text) {
    if (isReadOnly() || text.isNull()) {
        return;
    }
    const auto lineEnd = std::find_if(text.cbegin(), text.cend(), [](QChar c) {
        return c == QLatin1Char('\r') || c == QLatin1Char('\n');
    });
    text.truncate(lineEnd - text.cbegin());
    const QString window = QLineEdit::text();
    const int from = hasSelectedText() ? selectionStart() : cursorPosition();
    const int replaced = hasSelectedText() ? static_cast<int>(selectedText().size()) : 0;
    QString result = window;
    result.replace(from, replaced, text);
    if (!prefix_.isEmpty() && result.startsWith(prefix_)) {
        result.remove(0, prefix_.size());
    }
    result.chop(suffix_.size());
    bool allow = true;
    if (onClipboardPaste) {
        onClipboardPaste(result, allow);
    }
    if (!allow || window.size() - replaced + text.size() > maxLength()) {
        return;  // refused: the text stays, nothing is looked up
    }
    insert(text);  // over the selection, with the edit's undo and its edit signal
    TabWhenFull();
}

void DecoratedEdit::TabWhenFull() {
    if (tabOnFullLength && lengthLimit > 0 && !hasSelectedText() && Text().size() == lengthLimit &&
        cursorPosition() == TextStart() + lengthLimit) {
        focusNextChild();
    }
}

void DecoratedEdit::SelectAll() {
    int from = TextStart();
    const int to = TextEnd();
    if (showUrl_) {
        const QString value = Text();
        const qsizetype scheme = value.indexOf(QStringLiteral("://"));
        if (scheme >= 0) {
            from += static_cast<int>(scheme) + 3;
        } else if (value.startsWith(QStringLiteral("mailto:"), Qt::CaseInsensitive)) {
            from += 7;
        }
    }
    setSelection(from, std::max(0, to - from));
}

void DecoratedEdit::PutCaretAtDecimal(bool after) {
    const QString point = QLocale().decimalPoint();
    const qsizetype at = Text().indexOf(point);
    setCursorPosition(TextStart() +
                      (at < 0 ? 0 : static_cast<int>(at + (after ? point.size() : 0))));
}

void DecoratedEdit::SelectBeforeDecimal() {
    PutCaretAtDecimal(false);
}

void DecoratedEdit::SelectAfterDecimal() {
    PutCaretAtDecimal(true);
}

int DecoratedEdit::GetTextSize() const {
    return fontMetrics().horizontalAdvance(displayText());
}

int DecoratedEdit::CharFromPos(const QPoint& point) {
    return cursorPositionAt(point);
}

QPoint DecoratedEdit::PosFromChar(int index) const {
    // The caret's place is known on screen; other characters lie at their layout distance
    // from it. Qt's caret rectangle reaches 5 pixels to the caret's left.
    QTextLayout layout(displayText(), font());
    layout.beginLayout();
    const QTextLine line = layout.createLine();
    layout.endLayout();
    const int length = static_cast<int>(displayText().size());
    const QRect caret = cursorRect();
    const qreal offset = line.cursorToX(std::clamp(index, 0, length)) -
                         line.cursorToX(std::clamp(cursorPosition(), 0, length));
    return {caret.left() + 5 + qRound(offset), caret.top()};
}

void DecoratedEdit::SetEditText(const QString& value) {
    SetText(value);
    origText_ = value;
}

void DecoratedEdit::ApplyColours() {
    const QPalette normal = parentWidget() ? parentWidget()->palette() : QPalette();
    QColor base = normalColor_.isValid() ? normalColor_ : normal.color(QPalette::Base);
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
        SetLabelBold(true);
    }
    if (focusWidthInc != 0 && !widened_) {
        widened_ = true;
        resize(width() + focusWidthInc, height());
    }
    update();  // the prompt hides
}

void DecoratedEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    ApplyColours();
    if (focusLabel) {
        SetLabelBold(false);
    }
    if (widened_) {
        widened_ = false;
        resize(width() - focusWidthInc, height());
    }
    update();
}

void DecoratedEdit::paintEvent(QPaintEvent* event) {
    QLineEdit::paintEvent(event);
    QPainter painter(this);
    DrawPrompt(painter);
    DrawErrorMarker(painter);
    if (!isEnabled() && disabledBorder_) {
        painter.setPen(QColor(0xC0, 0xC0, 0xC0));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

void DecoratedEdit::DrawPrompt(QPainter& painter) const {
    if (emptyText_.isEmpty() || !QLineEdit::text().isEmpty() ||
        (hasFocus() && !emptyTextFocused_)) {
        return;
    }
    // Where the edit draws its own text.
    QStyleOptionFrame panel;
    initStyleOption(&panel);
    QRect area = style()->subElementRect(QStyle::SE_LineEditContents, &panel, this);
    area = area.marginsRemoved(textMargins()).adjusted(2, 1, -2, -1);
    QFont f = font();
    f.setBold(emptyTextStyle_.testFlag(FontStyle::fsBold));
    f.setItalic(emptyTextStyle_.testFlag(FontStyle::fsItalic));
    f.setUnderline(emptyTextStyle_.testFlag(FontStyle::fsUnderline));
    f.setStrikeOut(emptyTextStyle_.testFlag(FontStyle::fsStrikeOut));
    painter.save();
    painter.setFont(f);
    painter.setPen(QColor(0x80, 0x80, 0x80));
    const QString shown = QFontMetrics(f).elidedText(emptyText_, Qt::ElideRight, area.width());
    painter.drawText(
        area, static_cast<int>(Qt::AlignVCenter | (alignment() & Qt::AlignHorizontal_Mask)), shown);
    painter.restore();
}

void DecoratedEdit::DrawErrorMarker(QPainter& painter) const {
    const QString shown = QLineEdit::text();
    if (hasFocus() || markerLen_ <= 0 || markerPos_ >= shown.size()) {
        return;
    }
    // A red zigzag under the marked characters, one text height below the text's top.
    const QFontMetrics metrics = fontMetrics();
    const QRect contents = contentsRect();
    const int textTop = contents.top() + (contents.height() - metrics.height()) / 2;
    const int left = contents.left() + 2 + metrics.horizontalAdvance(shown.left(markerPos_));
    const int end = std::min<int>(shown.size(), markerPos_ + markerLen_);
    int right = contents.left() + 2 + metrics.horizontalAdvance(shown.left(end));
    if (end == shown.size()) {
        right += 4;
    }
    const int baseY = textTop + metrics.height();
    QPainterPath path(QPointF(left, baseY));
    bool up = true;
    for (int x = left + 3; x <= right; x += 3, up = !up) {
        path.lineTo(x, baseY + (up ? -3 : 0));
    }
    painter.save();
    painter.setPen(QPen(Qt::red, 2));
    painter.drawPath(path);
    painter.restore();
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

}  // namespace mainwindow
