// Closing the window: the question only while a task downloads, No keeps it running, a paused
// task closes without asking, and the close steps end with the process exit.
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QToolButton>
#include <chrono>

#include "app/frame/close_controller.h"
#include "app/frame/map_events.h"
#include "engine/tasks/profiles.h"
#include "main_form_fixture.h"
#include "support/tile_server.h"

namespace testmainwindow {
namespace {

using namespace std::chrono_literals;

class MainFormCloseTest : public MainFormFixture {
  protected:
    // Slow tiles keep the task running while the test closes the window.
    testsupport::TileServer server_{[](const testsupport::TileRequest&) {
        return testsupport::tileanswers::Slow(testsupport::tileanswers::Png(), 300ms);
    }};
    testsupport::ScopedRoute route_{server_};

    void StartDownload() {
        Settings().SetIntSetting(engine::IntSetting::MaxThread, 2);
        Window().show();
        emit Window().Events().areaCompleted("116.1,39.9;116.5,40.1");
        Find<QListWidget>("chkZoomLevels")->item(12)->setCheckState(Qt::Checked);
        ASSERT_FALSE(Find<QComboBox>("cbbProfile")->currentText().isEmpty());
        ASSERT_FALSE(Find<QLabel>("lblTileCount")->text().isEmpty());
        Find<QAction>("actDownLoadStart")->trigger();
        ASSERT_TRUE(Find<QToolButton>("btnDownload")->isHidden());
        ASSERT_TRUE(Find<QAction>("actDownLoadPause")->isEnabled());
    }
    int Asked(const QString& text) const {
        int n = 0;
        for (const auto& m : fakes_.messages.shown)
            n += m.kind == "ask" && m.text == text;
        return n;
    }
};

const QString kCloseQuestion = QStringLiteral("正在下载地图，您确定要关闭吗？");

TEST_F(MainFormCloseTest, WhileDownloadingAskNoKeepsTheTaskRunning) {
    StartDownload();
    fakes_.messages.answers = {false};
    EXPECT_FALSE(Window().close());
    EXPECT_EQ(Asked(kCloseQuestion), 1);
    EXPECT_TRUE(fakes_.processExit.codes.empty());
    EXPECT_TRUE(Window().isVisible());
    EXPECT_TRUE(Find<QToolButton>("btnDownload")->isHidden());
    EXPECT_EQ(Find<QAction>("actDownLoadPause")->text(), "暂停");

    fakes_.messages.answers = {true};
    EXPECT_TRUE(Window().close());
    EXPECT_EQ(Asked(kCloseQuestion), 2);
    EXPECT_EQ(fakes_.processExit.codes, std::vector<int>{0});
}

TEST_F(MainFormCloseTest, WhilePausedClosesWithoutAskingAndStoresLevelsAndLayer) {
    StartDownload();
    fakes_.messages.answers = {true};  // "您要暂停下载？"
    Find<QAction>("actDownLoadPause")->trigger();
    ASSERT_EQ(Find<QAction>("actDownLoadPause")->text(), "继续");
    Settings().SetStrSetting(engine::StrSetting::SelectedZoomLevels, "");
    Settings().SetIntSetting(engine::IntSetting::MapTypeIndex, 0);
    EXPECT_TRUE(Window().close());
    EXPECT_EQ(Asked(kCloseQuestion), 0);
    EXPECT_EQ(fakes_.processExit.codes, std::vector<int>{0});
    EXPECT_EQ(Settings().GetStrSetting(engine::StrSetting::SelectedZoomLevels), "12");
    EXPECT_EQ(Settings().GetIntSetting(engine::IntSetting::MapTypeIndex), 3);
}

TEST_F(MainFormCloseTest, StoppedClosesWithoutAsking) {
    Window().show();
    EXPECT_TRUE(Window().close());
    EXPECT_TRUE(fakes_.messages.shown.empty());
    EXPECT_EQ(fakes_.processExit.codes, std::vector<int>{0});
}

TEST(CloseControllerTest, GuardsStepsAndCacheWipeBeforeTheExit) {
    testsupport::TempDir dir;
    engine::TSettings settings(engine::SettingsPaths{dir / "settings.ini", dir / "MapDownload",
                                                     dir / "Cache", dir / "CefCache"});
    const auto answers = dir / "Cache";
    const auto browser = dir / "CefCache";
    const auto count = [](const std::filesystem::path& folder) {
        return std::distance(std::filesystem::recursive_directory_iterator(folder),
                             std::filesystem::recursive_directory_iterator());
    };
    for (const bool wipe : {false, true}) {
        SCOPED_TRACE(wipe ? "wiped at close" : "kept");
        testsupport::WriteFileBytes(answers / "geocode" / "a.json", "{}");
        testsupport::WriteFileBytes(browser / "Cache" / "Cache_Data" / "f_000001", "tile");
        FakeServices fakes;
        QStringList ran;
        app::CloseController::Hooks hooks;
        hooks.downloadStatus = [] { return engine::TDownloadStatus::dsStopped; };
        hooks.deletePageFiles = [&] {
            ran << "page files";
            throw std::runtime_error("busy");
        };
        // As the page engine does when it lets go: it writes its last index.
        hooks.releasePageCache = [&] {
            ran << "page cache released";
            testsupport::WriteFileBytes(browser / "Cache" / "Cache_Data" / "index", "index");
        };
        settings.SetBoolSetting(engine::BoolSetting::DeleteCacheIfQuit, wipe);
        app::CloseController close(settings, fakes.services, hooks);
        bool keepOpen = true;
        close.AddCloseGuard([&] { return !keepOpen; });
        close.AddCloseStep([&] {
            ran << "feature step";
            EXPECT_EQ(fakes.processExit.codes.size(), 0u);
        });
        EXPECT_FALSE(close.CloseQuery());
        keepOpen = false;
        EXPECT_TRUE(close.CloseQuery());
        close.Close();
        // A failing step does not stop the ones after it nor the exit.
        QStringList expected{"page files"};
        if (wipe)
            expected << "page cache released";
        expected << "feature step";
        EXPECT_EQ(ran, expected);
        EXPECT_EQ(fakes.processExit.codes, std::vector<int>{0});
        // The folders themselves stay; what was in them is gone before the process ends.
        EXPECT_TRUE(std::filesystem::is_directory(answers));
        EXPECT_TRUE(std::filesystem::is_directory(browser));
        EXPECT_EQ(count(answers), wipe ? 0 : 2);
        EXPECT_EQ(count(browser), wipe ? 0 : 3);
    }
}

}  // namespace
}  // namespace testmainwindow
