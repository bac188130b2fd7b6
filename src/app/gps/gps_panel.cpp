#include "gps_panel.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

namespace app {

GpsPanel::GpsPanel(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("pnlGPSNavigation"));
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);

    auto* title = new QLabel(QStringLiteral("GPS定位"), this);
    lblCloseNav = new QLabel(QStringLiteral("X"), this);
    lblCloseNav->setObjectName(QStringLiteral("lblCloseNav"));
    lblCloseNav->setToolTip(QStringLiteral("关闭"));
    lblCloseNav->setCursor(Qt::PointingHandCursor);
    lblCloseNav->installEventFilter(this);

    btnComSetting = new QPushButton(QStringLiteral("设置"), this);
    btnComSetting->setObjectName(QStringLiteral("btnComSetting"));
    btnStartGPS = new QPushButton(QStringLiteral("开始"), this);
    btnStartGPS->setObjectName(QStringLiteral("btnStartGPS"));
    btnStopGPS = new QPushButton(QStringLiteral("停止"), this);
    btnStopGPS->setObjectName(QStringLiteral("btnStopGPS"));

    auto* top = new QHBoxLayout;
    top->addWidget(title);
    top->addStretch();
    top->addWidget(lblCloseNav);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(btnComSetting);
    // Start and stop share one place: one of them is shown.
    buttons->addWidget(btnStartGPS);
    buttons->addWidget(btnStopGPS);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(buttons);
    adjustSize();
    Refresh(false, false);
}

void GpsPanel::Refresh(bool visible, bool following) {
    btnStartGPS->setVisible(!following);
    btnStopGPS->setVisible(following);
    btnStopGPS->setEnabled(following);
    btnComSetting->setEnabled(!following);
    setVisible(visible);
    if (visible) {
        raise();
    }
}

bool GpsPanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lblCloseNav && event->type() == QEvent::MouseButtonRelease) {
        emit closeClicked();
        return true;
    }
    return QFrame::eventFilter(watched, event);
}

void GpsPanel::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        dragging_ = true;
        grabOffset_ = event->position().toPoint();
    }
    QFrame::mousePressEvent(event);
}

void GpsPanel::mouseMoveEvent(QMouseEvent* event) {
    if (dragging_ && parentWidget()) {
        QPoint to = mapToParent(event->position().toPoint()) - grabOffset_;
        const QRect area = parentWidget()->rect();
        to.setX(std::clamp(to.x(), 0, std::max(0, area.width() - width())));
        to.setY(std::clamp(to.y(), 0, std::max(0, area.height() - height())));
        move(to);
    }
    QFrame::mouseMoveEvent(event);
}

void GpsPanel::mouseReleaseEvent(QMouseEvent* event) {
    dragging_ = false;
    QFrame::mouseReleaseEvent(event);
}

}  // namespace app
