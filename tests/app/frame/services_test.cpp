#include <gtest/gtest.h>

#include <QSignalSpy>

#include "app/frame/map_events.h"
#include "app/page/js_processor.h"
#include "app/widgets/file_filters.h"

namespace {

TEST(QtNameFiltersTest, FilterTextsBecomeQtFiltersInBothCases) {
    struct Case {
        const char* filter;
        QStringList expected;
    };
    const Case cases[] = {
        {"KML文件|*.kml", {QStringLiteral("KML文件 (*.kml *.KML)")}},
        {"文本文件(*.txt)|*.txt|所有文件|*.*",
         {QStringLiteral("文本文件 (*.txt *.TXT)"), QStringLiteral("所有文件 (*.*)")}},
        {"图像|*.tif;*.png", {QStringLiteral("图像 (*.tif *.TIF *.png *.PNG)")}},
        {"无模式", {}},
        {"", {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(app::QtNameFilters(QString::fromUtf8(c.filter)), c.expected) << c.filter;
    }
}

TEST(MapEventsTest, EveryListenerHearsEachCallback) {
    app::TJsProcessor processor;
    app::MapEvents events;
    events.ConnectTo(processor);
    QSignalSpy first(&events, &app::MapEvents::areaCompleted);
    QSignalSpy second(&events, &app::MapEvents::areaCompleted);
    QSignalSpy zoom(&events, &app::MapEvents::zoomChanged);
    QSignalSpy marker(&events, &app::MapEvents::markerCompleted);

    processor.plotLatlngsEvent(QStringLiteral("116.1,39.2,116.3,39.4"));
    processor.mapZoomChangedEvent(QJsonValue(12));
    processor.markerCompletedEvent(QStringLiteral("1700000000000"), 39.5, 116.5,
                                   QStringLiteral("名"), QStringLiteral("注"), true);

    ASSERT_EQ(first.count(), 1);
    EXPECT_EQ(second.count(), 1);
    EXPECT_EQ(first.at(0).at(0).toString(), QStringLiteral("116.1,39.2,116.3,39.4"));
    ASSERT_EQ(zoom.count(), 1);
    EXPECT_EQ(zoom.at(0).at(0).toInt(), 12);
    ASSERT_EQ(marker.count(), 1);
    EXPECT_EQ(marker.at(0).at(3).toString(), QStringLiteral("名"));
    EXPECT_TRUE(marker.at(0).at(5).toBool());
}

}  // namespace
