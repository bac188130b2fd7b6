// The decorated edit box's looks: the flat look, the frames and 3-D edges, the transparent
// background, the text rectangle, and what is painted over the edit's own painting (flat
// line, caret line, prompt, error marker, frame), and the hint of a text too wide to show.
#include <QEvent>
#include <QPainter>
#include <QPainterPath>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTimer>
#include <QToolTip>
#include <algorithm>

#include "decorated_edit.h"

namespace app {

namespace {

const QColor kGray(0x80, 0x80, 0x80);
const QColor kSilver(0xC0, 0xC0, 0xC0);

}  // namespace

QString DecoratedEdit::Version() const {
    const quint32 v = VersionNumber();
    return QStringLiteral("%1.%2.%3.%4")
        .arg(v >> 24)
        .arg((v >> 16) & 0xFF)
        .arg((v >> 8) & 0xFF)
        .arg(v & 0xFF);
}

void DecoratedEdit::Init() {
    ApplyTextRect();
    ApplyColours();
    PlaceLabel();
    update();
}

void DecoratedEdit::SetFlat(bool on) {
    if (on == flat_) {
        return;
    }
    flat_ = on;
    if (on) {
        oldFrame_ = hasFrame();
        setFrame(false);
    } else {
        setFrame(oldFrame_);
    }
    flatRect_ = on;
    ApplyTextRect();
    ApplyColours();
    update();
}

void DecoratedEdit::SetFlatLineColor(const QColor& colour) {
    flatLineColor_ = colour;
    update();
}

void DecoratedEdit::SetFlatParentColor(bool on) {
    flatParentColor_ = on;
    ApplyColours();
}

void DecoratedEdit::SetSoftBorder(bool on) {
    softBorder_ = on;
    update();
}

void DecoratedEdit::SetTextIndents(int left, int right) {
    indentL_ = left;
    indentR_ = right;
    ApplyTextRect();
}

void DecoratedEdit::ApplyTextRect() {
    // The edit keeps 2 pixels on each side and 1 above and below its text rectangle itself.
    setTextMargins(flatRect_ ? QMargins(2 + indentL_, 2, 2 + indentR_, 3)
                             : QMargins(indentL_, 0, indentR_, 0));
}

QRect DecoratedEdit::TextRect() const {
    QStyleOptionFrame panel;
    initStyleOption(&panel);
    const QRect contents = style()->subElementRect(QStyle::SE_LineEditContents, &panel, this);
    return contents.marginsRemoved(textMargins()).adjusted(2, 1, -2, -1);
}

void DecoratedEdit::SetBorder3D(bool on) {
    border3D_ = on;
    update();
}

void DecoratedEdit::SetBorderColor(const QColor& colour) {
    borderColor_ = colour;
    update();
}

void DecoratedEdit::SetFocusBorderColor(const QColor& colour) {
    focusBorderColor_ = colour;
    update();
}

void DecoratedEdit::SetFocusBorder(bool on) {
    focusBorder_ = on;
    update();
}

bool DecoratedEdit::IsThemed() const {
    return style()->name().compare(QStringLiteral("windows"), Qt::CaseInsensitive) != 0;
}

void DecoratedEdit::SetTransparent(bool on) {
    transparent_ = on;
    ApplyColours();
    update();
}

void DecoratedEdit::SetCaretPos(const QPoint& point) {
    caretPos_ = point;
    update();
}

void DecoratedEdit::SetURLColor(const QColor& colour) {
    urlColor = colour;
    ApplyColours();
}

void DecoratedEdit::paintEvent(QPaintEvent* event) {
    QLineEdit::paintEvent(event);
    QPainter painter(this);
    if (flat_) {
        if (focusBorder_ && hasFocus()) {
            DrawBorder(painter);
        } else {
            DrawFlatLine(painter);
        }
    }
    DrawCaretLine(painter);
    DrawPrompt(painter);
    DrawErrorMarker(painter);
    if (BorderWanted()) {
        DrawBorder(painter);
    }
}

void DecoratedEdit::DrawFlatLine(QPainter& painter) const {
    if (!flatLineColor_.isValid()) {
        return;
    }
    painter.save();
    painter.setPen(QPen(isEnabled() ? flatLineColor_ : kGray, 0));
    const QRect text = TextRect();
    const int bottom = height() - 1;
    if (softBorder_) {
        const int left = text.left() - 4;
        const int top = std::max(0, text.top() - 3);
        painter.drawRect(left, top, width() - 1 - left, bottom - top);
    } else {
        painter.drawLine(text.left() - 2, bottom, width() - indentR_ - 1, bottom);
    }
    painter.restore();
}

bool DecoratedEdit::BorderWanted() const {
    // A flat box shows FocusBorder's edge while hovered; focused, its flat step drew it.
    return border3D_ || borderColor_.isValid() || focusBorderColor_.isValid() ||
           (!isEnabled() && disabledBorder_) || (focusBorder_ && (!flat_ || mouseInControl_));
}

void DecoratedEdit::DrawBorder(QPainter& painter) const {
    QColor colour;
    if (!isEnabled() && disabledBorder_ && IsThemed()) {
        colour = kSilver;
    } else if (borderColor_.isValid() && (!hasFocus() || !focusBorderColor_.isValid())) {
        colour = borderColor_;
    } else if (hasFocus() && focusBorderColor_.isValid()) {
        colour = focusBorderColor_;
    }
    const int right = width() - 1;
    const int bottom = height() - 1;
    painter.save();
    painter.setBrush(Qt::NoBrush);
    if (colour.isValid()) {
        painter.setPen(QPen(colour, 0));
        painter.drawRect(0, 0, right, bottom);
    } else if (isEnabled() && !(focusBorder_ && IsThemed())) {
        const bool edge = (focusBorder_ && (mouseInControl_ || hasFocus())) || border3D_;
        if (edge) {
            // A sunken outer edge, and the button face inside it.
            painter.setPen(QPen(palette().color(QPalette::Dark), 0));
            painter.drawLine(0, 0, right - 1, 0);
            painter.drawLine(0, 0, 0, bottom - 1);
            painter.setPen(QPen(palette().color(QPalette::Light), 0));
            painter.drawLine(0, bottom, right, bottom);
            painter.drawLine(right, 0, right, bottom);
            painter.setPen(QPen(palette().color(QPalette::Button), 0));
            painter.drawRect(1, 1, right - 2, bottom - 2);
        } else {
            // The parent's colour where an edge would be.
            const QWidget* parent = parentWidget();
            painter.setPen(QPen(
                (parent != nullptr ? parent->palette() : palette()).color(QPalette::Window), 0));
            painter.drawRect(0, 0, right, bottom);
            painter.drawRect(1, 1, right - 2, bottom - 2);
        }
    }
    painter.restore();
}

void DecoratedEdit::DrawCaretLine(QPainter& painter) const {
    if (caretPos_ == QPoint(-1, -1)) {
        return;
    }
    const int h = fontMetrics().height();
    painter.fillRect(QRect(caretPos_.x(), caretPos_.y() - h, 1, h),
                     palette().color(QPalette::Text));
}

void DecoratedEdit::DrawPrompt(QPainter& painter) const {
    if (emptyText_.isEmpty() || !QLineEdit::text().isEmpty() ||
        (hasFocus() && !emptyTextFocused_)) {
        return;
    }
    const QRect area = TextRect();
    QFont f = font();
    f.setBold(emptyTextStyle_.testFlag(FontStyle::fsBold));
    f.setItalic(emptyTextStyle_.testFlag(FontStyle::fsItalic));
    f.setUnderline(emptyTextStyle_.testFlag(FontStyle::fsUnderline));
    f.setStrikeOut(emptyTextStyle_.testFlag(FontStyle::fsStrikeOut));
    painter.save();
    painter.setFont(f);
    painter.setPen(kGray);
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
    const QRect area = TextRect();
    const int textTop = area.top() + (area.height() - metrics.height()) / 2;
    const int left = area.left() + metrics.horizontalAdvance(shown.left(markerPos_));
    const int end = std::min<int>(shown.size(), markerPos_ + markerLen_);
    int right = area.left() + metrics.horizontalAdvance(shown.left(end));
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

bool DecoratedEdit::event(QEvent* event) {
    switch (event->type()) {
        case QEvent::ToolTip:
            if (ShowLargeTextHint()) {
                return true;
            }
            break;
        case QEvent::Leave:
        case QEvent::MouseButtonPress:
        case QEvent::KeyPress:
        case QEvent::FocusOut:
        case QEvent::Hide:
            HideLargeTextHint();
            break;
        default:
            break;
    }
    return QLineEdit::event(event);
}

bool DecoratedEdit::ShowLargeTextHint() {
    if (!hintShowLargeText || GetTextSize() <= TextRect().width()) {
        return false;
    }
    if (!largeHint_) {
        // A hint window of the box's own, so that it sits exactly on the box's corner.
        largeHint_ = new QLabel(this, Qt::ToolTip | Qt::BypassGraphicsProxyWidget);
        largeHint_->setObjectName(QStringLiteral("LargeTextHint"));
        largeHint_->setTextFormat(Qt::PlainText);
        largeHint_->setForegroundRole(QPalette::ToolTipText);
        largeHint_->setBackgroundRole(QPalette::ToolTipBase);
        largeHint_->setAutoFillBackground(true);
        largeHint_->setPalette(QToolTip::palette());
        largeHint_->setFont(QToolTip::font());
        largeHint_->setFrameStyle(QFrame::Box | QFrame::Plain);
        largeHint_->setMargin(2);
        auto* timer = new QTimer(largeHint_);
        timer->setSingleShot(true);
        timer->setInterval(10000);
        connect(timer, &QTimer::timeout, largeHint_, &QWidget::hide);
    }
    QToolTip::hideText();  // the box's own hint gives way
    largeHint_->setText(Text());
    largeHint_->adjustSize();
    largeHint_->move(mapToGlobal(QPoint(0, 0)));
    largeHint_->show();
    largeHint_->findChild<QTimer*>()->start();
    return true;
}

void DecoratedEdit::HideLargeTextHint() {
    if (largeHint_) {
        largeHint_->hide();
    }
}

}  // namespace app
