// The raster tools in the main window: the tools-menu entries, the hand-over at the end of a
// download, and the window's close while a stitch runs.
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "app/clip/frm_gdal_warp.h"
#include "app/frame/main_form_fixture.h"
#include "app/frame/map_events.h"
#include "app/stitch/frm_image_merge.h"
#include "app/stitch/image_merge_controller.h"
#include "raster_ui_support.h"
#include "support/tile_server.h"

namespace {

using testrasterui::Q;

class AttachRasterTest : public testmainwindow::MainFormFixture {
  protected:
    void SetUp() override {
        std::filesystem::create_directories(out);
        Settings().SetStrSetting(engine::StrSetting::CombineImageOutPutDir, out.string());
    }
    rasterui::TfrmImageMerge* Stitch() { return Window().findChild<rasterui::TfrmImageMerge*>(); }

    std::filesystem::path out = dir_ / "stitched";
};

TEST_F(AttachRasterTest, ToolsMenuOpensEachDialogOnceAsAToolWindow) {
    auto* combine = Find<QAction>("actImageCombiner");
    auto* clip = Find<QAction>("actGDALWarp");
    ASSERT_TRUE(combine->isEnabled());
    ASSERT_TRUE(clip->isEnabled());
    // The current task is the default one; give it a file.
    testsupport::TempDir other;
    const auto made = testrasterui::MakeTaskFile(other.path(), testrasterui::RectangleArea());
    const auto current = dir_ / "Profiles" / "DefaultProfile.zeb";
    std::filesystem::create_directories(current.parent_path());
    std::filesystem::copy_file(made, current);

    combine->trigger();
    combine->trigger();
    ASSERT_EQ(Window().findChildren<rasterui::TfrmImageMerge*>().size(), 1);
    rasterui::TfrmImageMerge* stitch = Stitch();
    EXPECT_TRUE(stitch->isVisible());
    EXPECT_TRUE(stitch->windowFlags().testFlag(Qt::Tool));
    EXPECT_EQ(stitch->findChild<QLineEdit*>("edtProjectName")->text(), Q(current));
    EXPECT_FALSE(stitch->Controller().RunAlive());

    clip->trigger();
    clip->trigger();
    ASSERT_EQ(Window().findChildren<rasterui::TfrmGDALWarp*>().size(), 1);
    EXPECT_TRUE(Window().findChild<rasterui::TfrmGDALWarp*>()->isVisible());
}

TEST_F(AttachRasterTest, AFinishedDownloadWithAutomaticStitchingIsStitched) {
    testsupport::TileServer server;
    testsupport::ScopedRoute route(server);
    Settings().SetBoolSetting(engine::BoolSetting::AutoCombineImage, true);
    Settings().SetBoolSetting(engine::BoolSetting::ForceShutDownWindows, true);
    Settings().SetIntSetting(engine::IntSetting::MaxThread, 2);
    Window().show();
    emit Window().Events().areaCompleted("116.30,39.95;116.40,40.00");
    Find<QListWidget>("chkZoomLevels")->item(12)->setCheckState(Qt::Checked);
    Find<QAction>("actDownLoadStart")->trigger();
    ASSERT_TRUE(testrasterui::WaitFor([this] { return Stitch() != nullptr; }));
    rasterui::ImageMergeController& c = Stitch()->Controller();
    EXPECT_TRUE(Stitch()->isVisible());
    const QString task = c.State().projectName;
    EXPECT_TRUE(task.endsWith(".zeb")) << task.toStdString();
    ASSERT_TRUE(testrasterui::WaitFor([&] { return !c.RunAlive(); }));
    EXPECT_EQ(c.State().counterText, "拼接完毕.");
    EXPECT_TRUE(QFileInfo::exists(c.OutFileName())) << c.OutFileName().toStdString();
    EXPECT_EQ(fakes_.opener.opened.size(), 1u);
    // With power-off also set, the question comes once, after the stitch.
    EXPECT_EQ(fakes_.powerOff.captions, QStringList{"自动关机"});
}

TEST_F(AttachRasterTest, ClosingTheWindowDuringAStitchAsksFirst) {
    testsupport::TempDir other;
    const auto made = testrasterui::MakeLargeTaskFile(other.path());
    const auto current = dir_ / "Profiles" / "DefaultProfile.zeb";
    std::filesystem::create_directories(current.parent_path());
    std::filesystem::copy_file(made, current);
    Window().show();
    Find<QAction>("actImageCombiner")->trigger();
    Stitch()->findChild<QPushButton*>("btnImageCombine")->click();
    ASSERT_TRUE(Stitch()->Controller().RunAlive());

    fakes_.messages.answers = {false};
    EXPECT_FALSE(Window().close());
    EXPECT_EQ(fakes_.messages.Texts(), QStringList{"正在拼接地图，要取消吗？"});
    EXPECT_TRUE(fakes_.processExit.codes.empty());
    EXPECT_TRUE(Stitch()->Controller().IsCombining());

    fakes_.messages.answers = {true};
    Window().close();
    EXPECT_EQ(fakes_.processExit.codes, std::vector<int>{0});
    // The close steps stopped the worker, which removed its unfinished image.
    EXPECT_FALSE(std::filesystem::exists(out / "Task_L8" / "Task.tif"));
}

}  // namespace
