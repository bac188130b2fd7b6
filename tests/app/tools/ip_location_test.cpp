// The historic-map window: the version probe against a tile server on loopback, choosing a
// version, and locating an IP address.
#include <gtest/gtest.h>
#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>

#include "app/support/fake_services.h"
#include "app/support/qt_print.h"
#include "app/tools/historic_versions.h"
#include "app/tools/ip_location_form.h"
#include "engine/core/datum.h"
#include "engine/core/tile_math.h"
#include "engine/net/user_agents.h"
#include "engine/settings/settings.h"
#include "geodata/search/geocoder.h"
#include "page_script_args.h"
#include "support/settings_paths_in.h"
#include "support/temp_dir.h"
#include "support/tile_server.h"

namespace {

using geodataui::IPLocationController;
using testmainwindow::CallArguments;
using testmainwindow::FakeServices;
using testsupport::CannedAnswer;
using testsupport::TileRequest;

bool WaitFor(const std::function<bool()>& done, int ms = 5000) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > ms) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

engine::SettingsPaths PathsIn(const testsupport::TempDir& dir) {
    return testsupport::SettingsPathsIn(dir);
}

// The version a probe request asks for, or nothing for another request.
std::optional<int> VersionOf(const TileRequest& request) {
    const auto at = request.target.find("lyrs=s@");
    if (at == std::string::npos) {
        return std::nullopt;
    }
    return std::stoi(request.target.substr(at + 7));
}

CannedAnswer TileOfSize(std::size_t bytes) {
    CannedAnswer answer;
    answer.body.assign(bytes, 'x');
    answer.contentType = "image/jpeg";
    return answer;
}

class IPLocationTest : public ::testing::Test {
  protected:
    IPLocationTest() {
        settings.SetFloatSetting(engine::FloatSetting::Latitude, 39.9087);
        settings.SetFloatSetting(engine::FloatSetting::Longitude, 116.3975);
        settings.SetStrSetting(engine::StrSetting::SatMapTileVerNew, "150");
        settings.SetStrSetting(engine::StrSetting::CachePath, (dir / "cache").string());
        // Versions 150, 148, 140 and 131 exist; 149 answers with a page too small for a tile,
        // 147 with a server error, the rest with "not found".
        server.SetRule([this](const TileRequest& request) {
            if (request.host == "api.map.baidu.com") {
                CannedAnswer answer;
                answer.status = ipStatus;
                answer.body = ipBody;
                answer.contentType = "application/json";
                return answer;
            }
            const auto version = VersionOf(request);
            if (delay.count() > 0) {
                return testsupport::tileanswers::Slow(Answer(version), delay);
            }
            return Answer(version);
        });
    }

    static CannedAnswer Answer(std::optional<int> version) {
        if (version == 150 || version == 148 || version == 140 || version == 131) {
            return TileOfSize(1025);
        }
        if (version == 149) {
            return TileOfSize(1024);
        }
        if (version == 147) {
            return testsupport::tileanswers::ServerError();
        }
        return testsupport::tileanswers::Html(404);
    }

    int ProbeRequests() const {
        int count = 0;
        for (const auto& target : server.Targets()) {
            count += target.find("lyrs=s@") != std::string::npos ? 1 : 0;
        }
        return count;
    }

    testsupport::TempDir dir;
    engine::TSettings settings{PathsIn(dir)};
    FakeServices fake;
    std::chrono::milliseconds delay{0};
    int ipStatus = 200;
    std::string ipBody = R"({"address":"CN|北京|北京","content":{"address":"北京市",)"
                         R"("point":{"x":"116.40387397","y":"39.91488908"}},"status":0})";
    testsupport::TileServer server;
    testsupport::ScopedRoute route{server};
};

TEST_F(IPLocationTest, ProbeListsTheVersionsThatExistNewestFirst) {
    IPLocationController controller(fake.page, fake.messages, settings);
    QSignalSpy started(&controller, &IPLocationController::probeStarted);
    ASSERT_TRUE(controller.UpdateTileVerions());
    EXPECT_TRUE(controller.Probing());
    ASSERT_TRUE(WaitFor([&] { return !controller.Probing(); }));
    EXPECT_EQ(started.count(), 1);
    EXPECT_EQ(controller.Versions(), QStringList({"150", "148", "140", "131"}));
    EXPECT_EQ(ProbeRequests(), 21);

    // Every request asks for the tile under the map centre at zoom 16, on one of four servers.
    std::int32_t x = 0;
    std::int32_t y = 0;
    engine::LatLngToTileXY(16, 39.9087, 116.3975, x, y);
    const std::string tile =
        "&gl=cn&src=app&x=" + std::to_string(x) + "&y=" + std::to_string(y) + "&z=16&s=Galileo";
    for (const auto& request : server.Server().Requests()) {
        EXPECT_NE(request.target.find(tile), std::string::npos) << request.target;
        EXPECT_EQ(request.Header("User-Agent"), engine::kTileUserAgent);
        EXPECT_EQ(request.version, "HTTP/1.1");
        EXPECT_EQ(request.path.find("/mt"), 0u) << request.path;
    }

    // A second probe replaces the list rather than adding to it.
    ASSERT_TRUE(controller.UpdateTileVerions());
    ASSERT_TRUE(WaitFor([&] { return !controller.Probing(); }));
    EXPECT_EQ(controller.Versions(), QStringList({"150", "148", "140", "131"}));
}

TEST_F(IPLocationTest, ProbeWhileOneRunsStartsNothing) {
    delay = std::chrono::milliseconds(20);
    IPLocationController controller(fake.page, fake.messages, settings);
    QSignalSpy started(&controller, &IPLocationController::probeStarted);
    ASSERT_TRUE(controller.UpdateTileVerions());
    EXPECT_FALSE(controller.UpdateTileVerions());
    QCoreApplication::processEvents();
    EXPECT_FALSE(controller.UpdateTileVerions());
    ASSERT_TRUE(WaitFor([&] { return !controller.Probing(); }));
    EXPECT_EQ(started.count(), 1);
    EXPECT_EQ(ProbeRequests(), 21);
    EXPECT_EQ(controller.Versions(), QStringList({"150", "148", "140", "131"}));
}

TEST_F(IPLocationTest, NewestVersionBelowTheOldestOrNotANumber) {
    IPLocationController controller(fake.page, fake.messages, settings);
    QSignalSpy started(&controller, &IPLocationController::probeStarted);
    QSignalSpy finished(&controller, &IPLocationController::probeFinished);
    settings.SetStrSetting(engine::StrSetting::SatMapTileVerNew, "129");
    ASSERT_TRUE(controller.UpdateTileVerions());
    ASSERT_TRUE(WaitFor([&] { return !controller.Probing(); }));
    EXPECT_EQ(started.count(), 1);
    EXPECT_EQ(finished.count(), 1);
    EXPECT_TRUE(controller.Versions().isEmpty());

    settings.SetStrSetting(engine::StrSetting::SatMapTileVerNew, "abc");
    EXPECT_FALSE(controller.UpdateTileVerions());
    EXPECT_EQ(started.count(), 1);
    EXPECT_EQ(server.Total(), 0);
}

TEST_F(IPLocationTest, ClosingWhileProbingStopsTheWorker) {
    delay = std::chrono::milliseconds(300);
    QElapsedTimer timer;
    timer.start();
    {
        IPLocationController controller(fake.page, fake.messages, settings);
        ASSERT_TRUE(controller.UpdateTileVerions());
        WaitFor([&] { return server.Total() > 0; });
    }
    EXPECT_LT(timer.elapsed(), 3000);
    EXPECT_LE(server.Total(), 2);
}

TEST_F(IPLocationTest, ChosenVersionIsStoredAndReloadsThePage) {
    geodataui::TfrmIPLocation form(fake.page, fake.messages, settings);
    form.show();
    auto* list = form.findChild<QComboBox*>(QStringLiteral("cbbHistoricMapIds"));
    auto* update = form.findChild<QPushButton*>(QStringLiteral("btnUpate"));
    EXPECT_FALSE(update->isEnabled());
    ASSERT_TRUE(WaitFor([&] { return !form.Controller().Probing(); }));
    EXPECT_TRUE(update->isEnabled());
    ASSERT_EQ(list->count(), 4);
    EXPECT_EQ(list->currentText(), QStringLiteral("150"));
    EXPECT_EQ(fake.page.loads, 0);

    list->setCurrentIndex(2);
    emit list->activated(2);
    EXPECT_EQ(settings.GetStrSetting(engine::StrSetting::SatMapTileVer), "140");
    EXPECT_EQ(fake.page.loads, 1);
}

TEST(IPv4Text, DottedAddressesOnly) {
    const std::vector<std::pair<std::string, bool>> cases = {
        {"192.168.1.1", true}, {"0.0.0.0", true},     {"255.255.255.255", true},
        {"010.001.0.9", true}, {"1.2.3", false},      {"1.2.3.4.5", false},
        {"256.1.1.1", false},  {"1..2.3", false},     {"1.2.3.", false},
        {".1.2.3", false},     {"0001.2.3.4", false}, {"1.2.3.4 ", false},
        {"", false},           {"a.b.c.d", false},    {"1.2.3.-4", false},
        {"1.2.3.1000", false}, {"1111.1.1.1", false}, {"1.2.3.4\n", false},
        {"1234567", false},    {"1.2.3.4.", false},
    };
    for (const auto& [text, valid] : cases) {
        EXPECT_EQ(geodataui::IsInvalidIPv4(text), !valid) << '"' << text << '"';
    }
}

TEST_F(IPLocationTest, MalformedAddressWarnsAndAsksNothing) {
    IPLocationController controller(fake.page, fake.messages, settings);
    for (const char* text : {"256.1.1.1", "1.2.3", "1.2.3.4 ", "localhost", ""}) {
        SCOPED_TRACE(text);
        fake.messages.shown.clear();
        EXPECT_FALSE(controller.Locate(QString::fromUtf8(text)));
        EXPECT_EQ(fake.messages.Texts(), QStringList{QStringLiteral("IP地址有误！")});
        EXPECT_EQ(fake.messages.shown[0].kind, QStringLiteral("warning"));
    }
    EXPECT_EQ(server.Total(), 0);
    EXPECT_TRUE(fake.page.scripts.isEmpty());
}

TEST_F(IPLocationTest, LocatedAddressMarkedShiftedForTheGooglePage) {
    const engine::TGLatLng bd{39.91488908, 116.40387397};
    struct Case {
        engine::TMapType layer;
        engine::TGLatLng at;
    };
    const std::vector<Case> cases = {
        {engine::TMapType::mtGoogleSatellite, engine::BD09ToGCJ02LatLng(bd)},
        {static_cast<engine::TMapType>(45), bd},
    };
    IPLocationController controller(fake.page, fake.messages, settings);
    QSignalSpy finished(&controller, &IPLocationController::locateFinished);
    for (const auto& c : cases) {
        fake.page.scripts.clear();
        fake.page.mapType = c.layer;
        ASSERT_TRUE(controller.Locate(QStringLiteral("202.96.0.1")));
        ASSERT_TRUE(WaitFor([&] { return !controller.Locating(); }));
        ASSERT_EQ(fake.page.scripts.size(), 1);
        const QStringList args = CallArguments(fake.page.scripts[0], QStringLiteral("addMarker"));
        ASSERT_EQ(args.size(), 4);
        EXPECT_NEAR(args[0].toDouble(), c.at.lat, 1e-8);
        EXPECT_NEAR(args[1].toDouble(), c.at.lng, 1e-8);
        EXPECT_EQ(args[2], QStringLiteral("16"));
        EXPECT_EQ(args[3], QStringLiteral("\"北京市\""));
    }
    EXPECT_TRUE(fake.messages.shown.empty());
    EXPECT_EQ(finished.count(), 2);
}

TEST_F(IPLocationTest, FailedLookupShowsItsMessageAndPlacesNoMarker) {
    struct Case {
        const char* what;
        int status;
        std::string body;
    };
    const std::vector<Case> cases = {
        {"service error", 500, "oops"},
        {"service refuses", 200, R"({"status":2,"message":"Request Parameter Error"})"},
        {"broken answer", 200, R"({"status":0,"content":)"},
    };
    IPLocationController controller(fake.page, fake.messages, settings);
    int ip = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ipStatus = c.status;
        ipBody = c.body;
        fake.messages.shown.clear();
        // A fresh address each time: answers are cached per address.
        ASSERT_TRUE(controller.Locate(QStringLiteral("10.0.0.%1").arg(++ip)));
        ASSERT_TRUE(WaitFor([&] { return !controller.Locating(); }));
        EXPECT_EQ(fake.messages.Texts(),
                  QStringList{QString::fromUtf8(IPLocationController::kLookupFailedMessage)});
        EXPECT_TRUE(fake.page.scripts.isEmpty());
    }
}

TEST_F(IPLocationTest, FormWarnsOnAMalformedAddress) {
    geodataui::TfrmIPLocation form(fake.page, fake.messages, settings);
    auto* edit = form.findChild<QLineEdit*>(QStringLiteral("edtIP"));
    ASSERT_NE(edit, nullptr);
    ASSERT_NE(form.findChild<QPushButton*>(QStringLiteral("btnLocation")), nullptr);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("查看历史地图"));
    edit->setText(QStringLiteral("1.2.3.4.5"));
    form.btnLocationClick();
    EXPECT_EQ(fake.messages.Texts(), QStringList{QStringLiteral("IP地址有误！")});
}

}  // namespace
