// The GPS panel's rules: starting and stopping, the messages when no receiver can be followed,
// and which fixes reach the map, when and where.
#include <gtest/gtest.h>

#include "app/gps/gps_panel_controller.h"
#include "app/support/fake_services.h"
#include "app/support/qt_print.h"
#include "app/tools/page_script_args.h"
#include "engine/core/datum.h"
#include "fake_gps_port.h"
#include "support/temp_dir.h"

namespace {

using app::GpsPanelController;
using testmainwindow::CallArguments;
using testmainwindow::FakeGpsPort;
using testmainwindow::FakeServices;

engine::TDateTime DateTimeOf(const QDateTime& time) {
    const QDateTime origin(QDate(1899, 12, 30), QTime(0, 0), time.timeSpec());
    return static_cast<double>(origin.msecsTo(time)) / 86400000.0;
}

engine::TMapType Layer(int index) {
    return static_cast<engine::TMapType>(index);
}

class GpsPanelTest : public ::testing::Test {
  protected:
    GpsPanelTest() {
        auto owned = std::make_unique<FakeGpsPort>();
        port = owned.get();
        controller = std::make_unique<GpsPanelController>(
            fake.services, std::move(owned), logDir.path(),
            [this](geodataui::IGpsSerialPort&) { ++setupRuns; });
        fake.page.mapType = Layer(5);  // tiles in WGS-84: positions arrive unshifted
    }

    std::unique_ptr<geodata::TGPXwpt> Fix(double lat, double lng, const QDateTime& time) {
        auto fix = std::make_unique<geodata::TGPXwpt>();
        fix->Latitude = lat;
        fix->Longitude = lng;
        fix->DateTime = DateTimeOf(time);
        fix->fix = "3d";
        fix->sat = 9;
        fix->Altitude = 52.3456;
        return fix;
    }

    QStringList Markers() const {
        QStringList markers;
        for (const QString& script : fake.page.scripts) {
            if (script.startsWith(QStringLiteral("addNavigationMarker("))) {
                markers << script;
            }
        }
        return markers;
    }

    testsupport::TempDir logDir;
    FakeServices fake;
    FakeGpsPort* port = nullptr;
    std::unique_ptr<GpsPanelController> controller;
    int setupRuns = 0;
};

TEST_F(GpsPanelTest, StartFollowsAndClearsTheMarkerStopClosesThePort) {
    controller->btnStartGPSClick();
    EXPECT_TRUE(controller->Following());
    EXPECT_TRUE(controller->Connected());
    EXPECT_TRUE(port->open);
    EXPECT_EQ(fake.page.scripts, QStringList{QStringLiteral("clearNavigationMarker();")});
    EXPECT_TRUE(fake.messages.shown.empty());

    controller->btnStopGPSClick();
    EXPECT_FALSE(controller->Following());
    EXPECT_FALSE(port->open);
    EXPECT_FALSE(controller->Connected());

    // The monitor is kept: a second start opens the same port again.
    controller->btnStartGPSClick();
    EXPECT_EQ(port->opens, 2);
    EXPECT_TRUE(controller->Following());
}

TEST_F(GpsPanelTest, PortThatFailsWhileFollowedEndsTheFollowingOnce) {
    int changes = 0;
    QObject::connect(controller.get(), &GpsPanelController::changed, [&] { ++changes; });
    controller->btnStartGPSClick();
    ASSERT_TRUE(controller->Following());
    changes = 0;

    port->Fail("read failed");
    EXPECT_FALSE(controller->Following()) << "the panel offers a start again";
    EXPECT_FALSE(controller->Connected());
    EXPECT_FALSE(port->open);
    EXPECT_EQ(port->closes, 1);
    EXPECT_EQ(changes, 1);
    port->Fail("read failed");
    EXPECT_EQ(changes, 1);
    EXPECT_TRUE(fake.messages.shown.empty()) << "an unplug is logged, not shown";

    controller->btnStartGPSClick();
    EXPECT_TRUE(controller->Following());
    EXPECT_EQ(port->opens, 2);
}

TEST_F(GpsPanelTest, StartThatCannotFollowShowsWhyAndChangesNothing) {
    struct Case {
        const char* what;
        QString portName;
        bool failOpen;
        int layer;
        QString kind;
        QString message;
    };
    const std::vector<Case> cases = {
        {"no serial port at all", QString(), false, 5, "error", "计算上未发现任何GPS设备。"},
        {"Baidu page", "ttyUSB0", false, 45, "info", "百度地图不支持导航，请切换到其他地图。"},
        {"port cannot be opened", "ttyUSB0", true, 5, "plain", "无法打开串口！"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fake.messages.shown.clear();
        fake.page.scripts.clear();
        port->name = c.portName;
        port->failOpen = c.failOpen;
        fake.page.mapType = Layer(c.layer);
        controller->btnStartGPSClick();
        ASSERT_EQ(fake.messages.shown.size(), 1u);
        EXPECT_EQ(fake.messages.shown[0].kind, c.kind);
        EXPECT_EQ(fake.messages.shown[0].text, c.message);
        EXPECT_FALSE(controller->Following());
        EXPECT_FALSE(controller->Connected());
        EXPECT_FALSE(port->open);
        EXPECT_TRUE(fake.page.scripts.isEmpty());
    }
}

TEST_F(GpsPanelTest, PanelCheckMarkCloseLabelAndPortSetup) {
    EXPECT_FALSE(controller->PanelVisible());
    controller->actGPSNavigationExecute();
    EXPECT_TRUE(controller->PanelVisible());
    controller->lblCloseNavClick();
    EXPECT_FALSE(controller->PanelVisible());
    controller->actGPSNavigationExecute();
    controller->actGPSNavigationExecute();
    EXPECT_FALSE(controller->PanelVisible());
    controller->btnComSettingClick();
    EXPECT_EQ(setupRuns, 1);
}

TEST_F(GpsPanelTest, FixShownWithItsValuesFormattedFromNumbers) {
    const QDateTime now = fake.clock.CurrentDateTime();
    controller->DoDataNotify(Fix(39.9087654321, 116.3975123456, now.addSecs(-30)));
    ASSERT_EQ(Markers().size(), 1);
    const QStringList args = CallArguments(Markers()[0], QStringLiteral("addNavigationMarker"));
    EXPECT_EQ(args, QStringList({"39.90876543", "116.39751235", "9", "52.35",
                                 "\"" + now.addSecs(-30).toString("yyyy-MM-dd hh:mm:ss") + "\"",
                                 "\"\""}));
}

TEST_F(GpsPanelTest, WhichFixesReachTheMap) {
    const QDateTime now = fake.clock.CurrentDateTime();
    struct Case {
        const char* what;
        double lat, lng;
        const char* fix;
        int sat;
        bool shown;
    };
    // Each fix a fresh minute later so that pacing keeps out of the way.
    const std::vector<Case> cases = {
        {"a plain fix", 39.9, 116.4, "3d", 9, true},
        {"near the equator (latitude 3)", 3.0, 101.7, "2d", 6, true},
        {"near the prime meridian", 51.5, 0.1, "3d", 8, true},
        {"marked as no fix", 39.9, 116.4, "none", 0, false},
        {"a sentence that could not be read", 39.9, 116.4, "", 254, false},
        {"exactly 0,0", 0.0, 0.0, "3d", 9, false},
    };
    int minute = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fake.page.scripts.clear();
        fake.clock.Advance(std::chrono::minutes(1));
        auto fix = Fix(c.lat, c.lng, now.addSecs(60 * ++minute));
        fix->fix = c.fix;
        fix->sat = static_cast<std::uint8_t>(c.sat);
        controller->DoDataNotify(std::move(fix));
        EXPECT_EQ(Markers().size(), c.shown ? 1 : 0);
    }
}

TEST_F(GpsPanelTest, FixesWithinEightSecondsOfTheLastShownAreDropped) {
    const QDateTime start = fake.clock.CurrentDateTime().addSecs(-60);
    const std::vector<std::pair<int, bool>> steps = {{0, true}, {5, false},  {8, false},
                                                     {9, true}, {17, false}, {18, true}};
    for (const auto& [second, shown] : steps) {
        SCOPED_TRACE(second);
        fake.page.scripts.clear();
        controller->DoDataNotify(Fix(39.9, 116.4, start.addSecs(second)));
        EXPECT_EQ(Markers().size(), shown ? 1 : 0);
    }
}

TEST_F(GpsPanelTest, FixTimeTakesTheClockWhenEightHoursOrDaysAway) {
    const QDateTime now = fake.clock.CurrentDateTime();
    const QString nowText = now.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
    struct Case {
        const char* what;
        QDateTime fixTime;
        QString shownTime;
    };
    const std::vector<Case> cases = {
        {"own time an hour ago", now.addSecs(-3600),
         now.addSecs(-3600).toString("yyyy-MM-dd hh:mm:ss")},
        {"exactly 8 hours behind", now.addSecs(-8 * 3600), nowText},
        {"8 and a half hours ahead", now.addSecs(8 * 3600 + 1800), nowText},
        {"9 hours behind", now.addSecs(-9 * 3600),
         now.addSecs(-9 * 3600).toString("yyyy-MM-dd hh:mm:ss")},
        {"time of day without a date", QDateTime(QDate(1899, 12, 30), now.time()), nowText},
        {"two days ahead", now.addDays(2), nowText},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(app::FixTimeNear(DateTimeOf(c.fixTime), now)
                      .toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")),
                  c.shownTime);
    }
}

TEST_F(GpsPanelTest, PositionShiftedToGcj02ExceptOnWgs84LayersAndDroppedOnBaidu) {
    const engine::TGLatLng wgs{39.9, 116.4};
    const engine::TGLatLng gcj = engine::WGS84ToGCJ02(wgs);
    struct Case {
        int layer;
        std::optional<engine::TGLatLng> at;
    };
    const std::vector<Case> cases = {{5, wgs},  {16, wgs}, {22, wgs}, {24, wgs},
                                     {33, gcj}, {34, wgs}, {37, wgs}, {3, gcj},
                                     {38, gcj}, {4, gcj},  {45, {}},  {48, {}}};
    int step = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.layer);
        fake.page.scripts.clear();
        fake.page.mapType = Layer(c.layer);
        fake.clock.Advance(std::chrono::seconds(10));
        controller->DoDataNotify(
            Fix(wgs.lat, wgs.lng, fake.clock.CurrentDateTime().addSecs(-3600 + ++step)));
        if (!c.at) {
            EXPECT_TRUE(Markers().isEmpty());
            continue;
        }
        ASSERT_EQ(Markers().size(), 1);
        const QStringList args = CallArguments(Markers()[0], QStringLiteral("addNavigationMarker"));
        EXPECT_NEAR(args[0].toDouble(), c.at->lat, 1e-8);
        EXPECT_NEAR(args[1].toDouble(), c.at->lng, 1e-8);
    }
}

}  // namespace
