// The download engine over the real settings store and logger: the task snapshot, the probe
// writing tile versions into the settings file, and failed tiles in the task's log.
#include <gtest/gtest.h>

#include "download_fixture.h"
#include "engine/download/download_settings.h"
#include "engine/settings/settings.h"
#include "support/settings_paths_in.h"

using namespace engine;
namespace ta = testsupport::tileanswers;

namespace {

SettingsPaths PathsIn(const testsupport::TempDir& dir) {
    return testsupport::SettingsPathsIn(dir);
}

}  // namespace

TEST(DownloadSettings, TaskSnapshotAndUrlSettingsComeFromTheirSettings) {
    testsupport::TempDir dir;
    TSettings settings(PathsIn(dir));
    settings.SetStrSetting(StrSetting::OutPutDirectory, (dir / "tiles").string());
    settings.SetIntSetting(IntSetting::MapTypeIndex, 41);
    settings.SetIntSetting(IntSetting::FailedTryTimes, 0);
    settings.SetIntSetting(IntSetting::DownloadDelay, 7);
    settings.SetBoolSetting(BoolSetting::OverWriteDownload, true);
    settings.SetStrSetting(StrSetting::LogFileName, "/x/task.log");
    settings.SetStrSetting(StrSetting::UserAgent, "agent/1");
    settings.SetIntSetting(IntSetting::ProxyType, 1);
    settings.SetStrSetting(StrSetting::ProxyHost, "proxy.lan");
    settings.SetStrSetting(StrSetting::ProxyPort, "3128");
    settings.SetBoolSetting(BoolSetting::DownloadNoLabel, true);
    settings.SetStrSetting(StrSetting::RoadMapTileVer, "123456789");
    settings.SetStrSetting(StrSetting::BSatelliteStreetVer, "777");

    const DownloadSettings task = DownloadSettingsFrom(settings);
    EXPECT_EQ(task.OutPutDirectory, dir / "tiles");
    EXPECT_EQ(task.MapTypeIndex, 41);
    EXPECT_EQ(task.FailedTryTimes, 0);
    EXPECT_EQ(task.DownloadDelay, 7);
    EXPECT_TRUE(task.OverWriteDownload);
    EXPECT_EQ(task.LogFileName, "/x/task.log");
    EXPECT_EQ(task.UserAgent, "agent/1");
    EXPECT_EQ(task.ProxyType, 1);
    EXPECT_EQ(task.ProxyHost, "proxy.lan");
    EXPECT_EQ(task.ProxyPort, "3128");

    const UrlSettings urls = UrlSettingsFrom(settings);
    EXPECT_TRUE(urls.DownloadNoLabel);
    EXPECT_EQ(urls.RoadMapTileVer, "123456789");
    EXPECT_EQ(urls.SatMapTileVer, "152");
    EXPECT_EQ(urls.BSatelliteStreetVer, "777");
    EXPECT_EQ(urls.BNormalVer, "025");
}

TEST(DownloadSettings, ProbeStoresFoundVersionsAndKeepsTheRest) {
    testsupport::TempDir dir;
    TSettings settings(PathsIn(dir));
    settings.SetStrSetting(StrSetting::BNormalVer, "031");
    std::string loader = "m@111111111 m@222222222 m@333333333 s@160";
    testsupport::TileServer server([&loader](const testsupport::TileRequest& request) {
        if (request.host != "maps.google.cn") {
            return ta::Html(200);  // a Baidu page without the marker
        }
        testsupport::CannedAnswer answer;
        answer.body = loader;
        return answer;
    });
    testsupport::ScopedRoute route(server);
    SettingsTileVersionStore store(settings);
    UpdateTileVersions(store);
    EXPECT_EQ(settings.GetStrSetting(StrSetting::RoadMapTileVer), "333333333");
    EXPECT_EQ(settings.GetStrSetting(StrSetting::SatMapTileVer), "160");
    EXPECT_EQ(settings.GetStrSetting(StrSetting::SatMapTileVerNew), "160");
    EXPECT_EQ(settings.GetStrSetting(StrSetting::BNormalVer), "031");

    // A later answer with broken versions replaces nothing.
    loader = "m@111111111 m@222222222 m@ s@";
    UpdateTileVersions(store);
    EXPECT_EQ(settings.GetStrSetting(StrSetting::RoadMapTileVer), "333333333");
    EXPECT_EQ(settings.GetStrSetting(StrSetting::SatMapTileVer), "160");
}

TEST(DownloadSettings, FailedTilesAreLoggedInTheTaskLog) {
    testsupport::TempDir dir;
    testsupport::TileServer server([](const testsupport::TileRequest&) { return ta::Html(404); });
    testsupport::ScopedRoute route(server);
    DownloadPlan plan;
    plan.Bounds = downloadtest::OneLevel(1, 0, 1, 0, 0);
    plan.Settings.OutPutDirectory = dir / "tiles";
    plan.Settings.MapTypeIndex = Ord(TMapType::mtOsmRoadMap);
    plan.Settings.LogFileName = (dir / "log" / "task.log").string();
    {
        TileDownloadPool pool(LoggerSink());
        pool.StartTask(std::move(plan), 2, {});
        ASSERT_TRUE(pool.WaitUntilFinished(std::chrono::seconds(10)));
    }
    const std::string log = testsupport::ReadFileBytes(dir / "log" / "task.log");
    std::size_t lines = 0;
    for (std::size_t at = log.find("] 404 Not Found 服务器不存在请求的瓦片。\r\n");
         at != std::string::npos;
         at = log.find("] 404 Not Found 服务器不存在请求的瓦片。\r\n", at + 1)) {
        ++lines;
    }
    EXPECT_EQ(lines, 2u) << log;
}
