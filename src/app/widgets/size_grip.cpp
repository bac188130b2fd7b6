#include "size_grip.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPolygon>
#include <QRegion>
#include <QStyle>
#include <QStyleOption>
#include <algorithm>

namespace app {

TSizeGrip::TSizeGrip(QWidget* parent, int inset, Shape shape, int side)
    : QWidget(parent), inset_(inset), shape_(shape) {
    const int size = side > 0 ? side : style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    setFixedSize(size, size);
    setCursor(Qt::SizeFDiagCursor);
    setFocusPolicy(Qt::NoFocus);
    // The parent's content under it stays: only the grip itself is drawn.
    setAttribute(Qt::WA_NoSystemBackground);
    if (parent != nullptr) {
        parent->installEventFilter(this);
    }
    KeepInCorner();
}

void TSizeGrip::KeepInCorner() {
    if (QWidget* parent = parentWidget()) {
        move(parent->width() - width() - inset_, parent->height() - height() - inset_);
        raise();  // over the scroll bars and viewport the parent may show
    }
}

bool TSizeGrip::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parentWidget() &&
        (event->type() == QEvent::Resize || event->type() == QEvent::LayoutRequest)) {
        KeepInCorner();
    }
    return QWidget::eventFilter(watched, event);
}

void TSizeGrip::resizeEvent(QResizeEvent*) {
    if (shape_ == Shape::Triangle) {
        setMask(QRegion(
            QPolygon({QPoint(width(), 0), QPoint(width(), height()), QPoint(0, height())})));
    } else {
        clearMask();
    }
}

void TSizeGrip::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QStyleOptionSizeGrip option;
    option.initFrom(this);
    option.corner = Qt::BottomRightCorner;
    style()->drawControl(QStyle::CE_SizeGrip, &option, &painter, this);
}

void TSizeGrip::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || parentWidget() == nullptr) {
        event->ignore();
        return;
    }
    dragging_ = true;
    pressedAt_ = event->globalPosition().toPoint();
    startSize_ = parentWidget()->size();
    event->accept();  // the click activates nothing
}

void TSizeGrip::mouseMoveEvent(QMouseEvent* event) {
    if (!dragging_ || parentWidget() == nullptr) {
        return;
    }
    const QPoint moved = event->globalPosition().toPoint() - pressedAt_;
    parentWidget()->resize(std::max(kMinimumSide, startSize_.width() + moved.x()),
                           std::max(kMinimumSide, startSize_.height() + moved.y()));
}

void TSizeGrip::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        dragging_ = false;
    }
}

}  // namespace app
