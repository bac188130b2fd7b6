// The GPS panel widget: its named parts, the start/stop place, the close label and dragging
// inside the map area.
#include <gtest/gtest.h>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "app/gps/gps_panel.h"

namespace {

TEST(GpsPanelWidget, StartAndStopShareOnePlaceAndSettingsWaitWhileFollowing) {
    QWidget map;
    map.resize(400, 300);
    auto* panel = new app::GpsPanel(&map);
    EXPECT_EQ(panel->objectName(), QStringLiteral("pnlGPSNavigation"));
    EXPECT_EQ(panel->lblCloseNav->objectName(), QStringLiteral("lblCloseNav"));
    EXPECT_EQ(panel->lblCloseNav->toolTip(), QStringLiteral("关闭"));
    EXPECT_EQ(panel->btnComSetting->text(), QStringLiteral("设置"));
    EXPECT_EQ(panel->btnStartGPS->text(), QStringLiteral("开始"));
    EXPECT_EQ(panel->btnStopGPS->text(), QStringLiteral("停止"));
    map.show();
    EXPECT_FALSE(panel->isVisible());

    panel->Refresh(true, true);
    EXPECT_TRUE(panel->isVisible());
    EXPECT_TRUE(panel->btnStopGPS->isVisible());
    EXPECT_TRUE(panel->btnStopGPS->isEnabled());
    EXPECT_FALSE(panel->btnStartGPS->isVisible());
    EXPECT_FALSE(panel->btnComSetting->isEnabled());

    panel->Refresh(true, false);
    EXPECT_FALSE(panel->btnStopGPS->isVisible());
    EXPECT_TRUE(panel->btnStartGPS->isVisible());
    EXPECT_TRUE(panel->btnComSetting->isEnabled());

    QSignalSpy closed(panel, &app::GpsPanel::closeClicked);
    QTest::mouseClick(panel->lblCloseNav, Qt::LeftButton);
    EXPECT_EQ(closed.count(), 1);
}

TEST(GpsPanelWidget, DraggedInsideTheMapArea) {
    QWidget map;
    map.resize(400, 300);
    auto* panel = new app::GpsPanel(&map);
    map.show();
    panel->Refresh(true, false);
    panel->move(10, 10);
    const QPoint grab(3, 3);
    QTest::mousePress(panel, Qt::LeftButton, {}, grab);
    QMouseEvent move(QEvent::MouseMove, QPointF(grab + QPoint(50, 40)),
                     panel->mapToGlobal(QPointF(grab + QPoint(50, 40))), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(panel, &move);
    EXPECT_EQ(panel->pos(), QPoint(60, 50));
    // Never dragged out of the map area.
    QMouseEvent far(QEvent::MouseMove, QPointF(grab + QPoint(5000, 5000)),
                    panel->mapToGlobal(QPointF(grab + QPoint(5000, 5000))), Qt::NoButton,
                    Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(panel, &far);
    EXPECT_EQ(panel->geometry().right(), map.rect().right());
    EXPECT_EQ(panel->geometry().bottom(), map.rect().bottom());
    QTest::mouseRelease(panel, Qt::LeftButton, {}, grab);
}

}  // namespace
