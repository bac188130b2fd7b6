#include "mainwindow/places/decorated_edit.h"

#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

namespace mainwindow {

DecoratedEdit::DecoratedEdit(QWidget* parent) : QLineEdit(parent) {
    connect(this, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (showError_) {
            SetIsError(!ValidateText(text));
        }
        ApplyUrlLook();
    });
}

void DecoratedEdit::SetLabelCaption(const QString& caption) {
    if (!label_) {
        label_ = new QLabel(parentWidget());
        label_->setObjectName(QStringLiteral("EditLabel"));
        label_->setBuddy(this);
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
    const bool look = showUrl_ && TextIsURL(text());
    if (look == isUrl_) {
        return;
    }
    isUrl_ = look;
    QFont f = font();
    f.setUnderline(look);
    setFont(f);
    QPalette pal = palette();
    pal.setColor(
        QPalette::Text,
        look ? urlColor
             : (parentWidget() ? parentWidget()->palette() : QPalette()).color(QPalette::Text));
    setPalette(pal);
    setCursor(look ? Qt::PointingHandCursor : Qt::IBeamCursor);
}

void DecoratedEdit::mouseReleaseEvent(QMouseEvent* event) {
    QLineEdit::mouseReleaseEvent(event);
    urlClicked_ = false;
    if (event->button() != Qt::LeftButton || !isUrl_ || !showUrl_ || !hasFocus()) {
        return;
    }
    urlClicked_ = true;
    bool show = true;
    if (onURLClick) {
        onURLClick(text(), show);
    }
    const QUrl url = UrlToOpen(text());
    if (show && !url.isEmpty() && openUrl) {
        openUrl(url);
    }
}

void DecoratedEdit::SetEditText(const QString& value) {
    setText(value);
    origText_ = value;
}

void DecoratedEdit::ApplyColours() {
    QPalette pal = palette();
    const QPalette normal = parentWidget() ? parentWidget()->palette() : QPalette();
    QColor base = normal.color(QPalette::Base);
    QColor textColour = normal.color(QPalette::Text);
    if (showError_ && error_) {
        base = errorColor;
        textColour = errorFontColor;
    } else if (hasFocus()) {
        if (focusColor.isValid()) {
            base = focusColor;
        }
        if (focusFontColor.isValid()) {
            textColour = focusFontColor;
        }
    }
    pal.setColor(QPalette::Base, base);
    pal.setColor(QPalette::Text, textColour);
    setPalette(pal);
}

void DecoratedEdit::keyPressEvent(QKeyEvent* event) {
    const bool ctrl = event->modifiers().testFlag(Qt::ControlModifier);
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
                    setText(origText_);
                    selectAll();
                }
                ApplyColours();
                event->accept();
                return;
            }
            break;
        default:
            break;
    }
    QLineEdit::keyPressEvent(event);
}

void DecoratedEdit::focusInEvent(QFocusEvent* event) {
    origText_ = text();
    QLineEdit::focusInEvent(event);
    ApplyColours();
}

void DecoratedEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    ApplyColours();
}

void DecoratedEdit::paintEvent(QPaintEvent* event) {
    QLineEdit::paintEvent(event);
    if (hasFocus() || markerLen_ <= 0 || markerPos_ >= text().size()) {
        return;
    }
    // A red zigzag under the marked characters, one text height below the text's top.
    const QFontMetrics metrics = fontMetrics();
    const QRect contents = contentsRect();
    const int textTop = contents.top() + (contents.height() - metrics.height()) / 2;
    const int left = contents.left() + 2 + metrics.horizontalAdvance(text().left(markerPos_));
    const int end = std::min<int>(text().size(), markerPos_ + markerLen_);
    int right = contents.left() + 2 + metrics.horizontalAdvance(text().left(end));
    if (end == text().size()) {
        right += 4;
    }
    const int baseY = textTop + metrics.height();
    QPainterPath path(QPointF(left, baseY));
    bool up = true;
    for (int x = left + 3; x <= right; x += 3, up = !up) {
        path.lineTo(x, baseY + (up ? -3 : 0));
    }
    QPainter painter(this);
    painter.setPen(QPen(Qt::red, 2));
    painter.drawPath(path);
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
