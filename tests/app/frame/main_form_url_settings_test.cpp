// A running download follows the settings its tile URLs are built from: the tile versions the
// start-up update finds while the task runs, and the map language saved in the settings dialog
// meanwhile, reach the workers' next requests.
#include <QAction>
#include <QComboBox>
#include <QListWidget>
#include <QPushButton>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

#include "app/frame/map_events.h"
#include "app/page/web_page_harness.h"
#include "app/support/dialog_driver.h"
#include "engine/core/catalogue.h"
#include "main_form_fixture.h"
#include "support/tile_server.h"

namespace testmainwindow {
namespace {

using namespace std::chrono_literals;
namespace ta = testsupport::tileanswers;

constexpr const char* kNewRoadVersion = "987654321";
// Three "m@" (the road version follows the third) and one "s@", as the provider's loader has.
constexpr const char* kLoaderScript = "m@100000000,m@200000000,m@987654321,s@789";

// Holds the loader's answer back until the test lets it go (or the test ends).
class Gate {
  public:
    void Open() {
        std::lock_guard lock(mutex_);
        open_ = true;
        opened_.notify_all();
    }
    void Wait() {
        std::unique_lock lock(mutex_);
        opened_.wait_for(lock, 30s, [this] { return open_; });
    }

  private:
    std::mutex mutex_;
    std::condition_variable opened_;
    bool open_ = false;
};

class MainFormUrlSettingsTest : public MainFormFixture {
  protected:
    ~MainFormUrlSettingsTest() override { gate_.Open(); }

    // The road tiles' targets so far, in the order they arrived.
    std::vector<std::string> RoadTiles() const {
        std::vector<std::string> tiles;
        for (const std::string& target : server_.Targets())
            if (target.starts_with("/vt/lyrs=m@"))
                tiles.push_back(target);
        return tiles;
    }
    bool SomeTileHas(const std::string& part) const {
        for (const std::string& target : RoadTiles())
            if (target.find(part) != std::string::npos)
                return true;
        return false;
    }
    // Tiles after the first that carries `part` which still lack it: at most the requests
    // the other workers had already sent.
    int LateTilesWithout(const std::string& part) const {
        const std::vector<std::string> tiles = RoadTiles();
        int late = 0;
        bool seen = false;
        for (const std::string& target : tiles) {
            const bool has = target.find(part) != std::string::npos;
            seen = seen || has;
            late += seen && !has;
        }
        return late;
    }

    Gate gate_;
    testsupport::TileServer server_{[this](const testsupport::TileRequest& request) {
        if (request.target.starts_with("/maps/api/js")) {
            gate_.Wait();
            testsupport::CannedAnswer script;
            script.body = kLoaderScript;
            script.contentType = "text/javascript";
            return script;
        }
        if (request.target.starts_with("/vt/"))
            return ta::Slow(ta::Png(), 40ms);
        return ta::Html(404);
    }};
    testsupport::ScopedRoute route_{server_};
};

TEST_F(MainFormUrlSettingsTest, VersionUpdateAndSavedLanguageReachTheRunningWorkers) {
    constexpr int kThreads = 2;
    Settings().SetIntSetting(engine::IntSetting::MaxThread, kThreads);
    ASSERT_TRUE(Settings().GetBoolSetting(engine::BoolSetting::AutoUpdateTileVer));
    const std::string oldVersion = Settings().GetStrSetting(engine::StrSetting::RoadMapTileVer);
    ASSERT_NE(oldVersion, kNewRoadVersion);
    auto options = Options();
    options.backgroundWork = true;  // the start-up tile-version update runs
    window_ = std::make_unique<app::TfrmMain>(Settings(), profile_, options);
    fakes_.page.mapType = engine::TMapType::mtGoogleRoadMap;
    window_->show();
    emit window_->Events().areaCompleted("116.1,39.9;116.5,40.1");
    Find<QListWidget>("chkZoomLevels")->item(15)->setCheckState(Qt::Checked);
    Find<QAction>("actDownLoadStart")->trigger();
    ASSERT_TRUE(Find<QAction>("actDownLoadPause")->isEnabled());

    ASSERT_TRUE(WaitUntil([&] { return RoadTiles().size() >= 3; }));
    EXPECT_FALSE(SomeTileHas("m@" + std::string(kNewRoadVersion)));
    EXPECT_TRUE(SomeTileHas("m@" + oldVersion + "&hl=zh-cn&"));

    gate_.Open();
    ASSERT_TRUE(WaitUntil([&] { return SomeTileHas(std::string("m@") + kNewRoadVersion); }));
    EXPECT_EQ(Settings().GetStrSetting(engine::StrSetting::RoadMapTileVer), kNewRoadVersion);
    const std::size_t atUpdate = RoadTiles().size();
    ASSERT_TRUE(WaitUntil([&] { return RoadTiles().size() >= atUpdate + 2 * kThreads; }));
    EXPECT_LT(LateTilesWithout(std::string("m@") + kNewRoadVersion), kThreads);

    // The map language, saved in the settings dialog while the task runs.
    int english = -1;
    for (int i = 0; i < engine::kMapLanguageCount; ++i)
        if (engine::MapLanguageCodes[static_cast<std::size_t>(i)] == "en")
            english = i;
    ASSERT_GE(english, 0);
    ASSERT_FALSE(SomeTileHas("&hl=en&"));
    WhenModal([english](QWidget& dialog) {
        dialog.findChild<QComboBox*>("cbbLanguageNames")->setCurrentIndex(english);
        dialog.findChild<QPushButton*>("btnOk")->click();
    });
    Find<QAction>("actSettings")->trigger();
    EXPECT_EQ(Settings().GetStrSetting(engine::StrSetting::MapLanguageCode), "en");
    ASSERT_TRUE(WaitUntil([&] { return SomeTileHas("&hl=en&"); }));
    const std::size_t atSave = RoadTiles().size();
    ASSERT_TRUE(WaitUntil([&] { return RoadTiles().size() >= atSave + 2 * kThreads; }));
    EXPECT_LT(LateTilesWithout("&hl=en&"), kThreads);
    // The language came on top of the new version.
    EXPECT_TRUE(SomeTileHas(std::string("m@") + kNewRoadVersion + "&hl=en&"));

    fakes_.messages.answers = {true};  // stop the task
    Find<QAction>("actDownLoadStop")->trigger();
}

}  // namespace
}  // namespace testmainwindow
