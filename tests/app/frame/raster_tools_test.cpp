#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "app/clip/frm_gdal_warp.h"
#include "app/frame/raster_tools.h"
#include "app/stitch/frm_image_merge.h"
#include "app/stitch/image_merge_controller.h"
#include "app/stitch/raster_ui_support.h"
#include "app/support/fake_services.h"
#include "app/support/qt_print.h"
#include "app/widgets/colour_box.h"
#include "app/widgets/progress_bar_ex.h"

namespace {

using rasterui::TfrmGDALWarp;
using rasterui::TfrmImageMerge;
using testrasterui::Q;

class RasterToolsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::filesystem::create_directories(out);
        settings.SetStrSetting(engine::StrSetting::CombineImageOutPutDir, out.string());
        taskA = testrasterui::MakeTaskFile(dir.path(), testrasterui::RectangleArea());
        taskB = testrasterui::MakeTaskFile(dir.path(), testrasterui::RectangleArea(), {6, 7},
                                           "Other.zeb");
    }

    TfrmImageMerge& Dialog() {
        EXPECT_NE(tools->ImageMerge(), nullptr);
        return *tools->ImageMerge();
    }
    rasterui::ImageMergeController& Controller() { return Dialog().Controller(); }
    bool WaitForEnd() {
        return testrasterui::WaitFor([this] { return !Controller().RunAlive(); });
    }

    testsupport::TempDir dir;
    engine::TSettings settings{testrasterui::PathsIn(dir.path())};
    testmainwindow::FakeServices fakes;
    std::filesystem::path out = dir / "out";
    std::filesystem::path taskA, taskB;
    QWidget mainWindow;
    std::unique_ptr<rasterui::RasterTools> tools = std::make_unique<rasterui::RasterTools>(
        mainWindow, settings, fakes.services, Q(dir / "tasks"));
};

TEST_F(RasterToolsTest, AutoStartHandOverOpensTheDialogOnTheTaskAndStartsIt) {
    tools->ShowImageCombiner(Q(taskA), true);
    TfrmImageMerge& dialog = Dialog();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.parentWidget(), &mainWindow);
    EXPECT_TRUE(dialog.windowFlags().testFlag(Qt::Tool));
    EXPECT_EQ(settings.GetStrSetting(engine::StrSetting::CombineImageSourceDir), taskA.string());
    EXPECT_EQ(Controller().State().projectName, Q(taskA));
    EXPECT_TRUE(Controller().RunAlive());
    ASSERT_TRUE(WaitForEnd());
    EXPECT_EQ(dialog.findChild<QLabel*>("txtProcess")->text(), "拼接完毕.");
    EXPECT_TRUE(std::filesystem::exists(out / "Task_L6" / "Task.tif"));
}

TEST_F(RasterToolsTest, ASecondHandOverShowsTheSameDialogOnTheNewestTask) {
    tools->ShowImageCombiner(Q(taskA), false);
    TfrmImageMerge* first = tools->ImageMerge();
    ASSERT_TRUE(first->isVisible());
    EXPECT_FALSE(Controller().RunAlive());
    EXPECT_FALSE(Controller().State().zoomLevels[7].enabled);
    tools->ShowImageCombiner(Q(taskB), false);
    EXPECT_EQ(tools->ImageMerge(), first);
    EXPECT_EQ(Controller().State().projectName, Q(taskB));
    EXPECT_TRUE(Controller().State().zoomLevels[7].enabled);
    EXPECT_EQ(first->findChild<QLineEdit*>("edtProjectName")->text(), Q(taskB));
    // Closed, then handed over again: the same dialog, on the task of that hand-over.
    first->close();
    ASSERT_FALSE(first->isVisible());
    tools->ShowImageCombiner(Q(taskA), false);
    EXPECT_EQ(tools->ImageMerge(), first);
    EXPECT_TRUE(first->isVisible());
    EXPECT_EQ(Controller().State().projectName, Q(taskA));
    EXPECT_FALSE(Controller().State().zoomLevels[7].enabled);
    EXPECT_EQ(mainWindow.findChildren<TfrmImageMerge*>().size(), 1);
}

TEST_F(RasterToolsTest, AHandOverDuringARunOnlyShowsTheDialog) {
    tools->ShowImageCombiner(Q(taskA), true);
    ASSERT_TRUE(Controller().RunAlive());
    Dialog().hide();
    tools->ShowImageCombiner(Q(taskB), true);
    EXPECT_TRUE(Dialog().isVisible());
    EXPECT_EQ(Controller().State().projectName, Q(taskA));
    EXPECT_EQ(settings.GetStrSetting(engine::StrSetting::CombineImageSourceDir), taskB.string());
    ASSERT_TRUE(WaitForEnd());
    EXPECT_EQ(Controller().State().counterText, "拼接完毕.");
    EXPECT_FALSE(std::filesystem::exists(out / "Task_L7"));
    EXPECT_EQ(fakes.opener.opened.size(), 1u);
}

TEST_F(RasterToolsTest, MainWindowCloseAsksWhileAStitchRunsAndStopsItBeforeTheEnd) {
    EXPECT_TRUE(tools->CloseGuard());
    tools->ShowImageCombiner(Q(testrasterui::MakeLargeTaskFile(dir.path())), true);
    fakes.messages.answers = {false, true};
    EXPECT_FALSE(tools->CloseGuard());
    EXPECT_EQ(fakes.messages.Texts(), QStringList{"正在拼接地图，要取消吗？"});
    EXPECT_TRUE(Controller().IsCombining());
    EXPECT_TRUE(tools->CloseGuard());
    tools->CloseStep();
    // The worker has ended and taken its unfinished image with it.
    EXPECT_FALSE(std::filesystem::exists(out / "Task_L8" / "Task.tif"));
    ASSERT_TRUE(WaitForEnd());
    EXPECT_EQ(Controller().State().counterText, "拼接已取消.");
}

template <typename T>
void ExpectOne(QWidget& window, const char* name) {
    SCOPED_TRACE(name);
    EXPECT_EQ(window.findChildren<T*>(QString::fromLatin1(name)).size(), 1);
}

TEST_F(RasterToolsTest, StitchDialogWidgetsByName) {
    TfrmImageMerge dialog(settings, fakes.services, Q(dir / "tasks"));
    EXPECT_EQ(dialog.objectName(), "frmImageMerge");
    EXPECT_EQ(dialog.windowTitle(), "地图拼接");
    for (const char* name : {"edtProjectName", "edtTilePath", "edtCombineImageOutPutDir",
                             "edtOffsetX", "edtOffsetY", "edtImageQuality"}) {
        ExpectOne<QLineEdit>(dialog, name);
    }
    for (const char* name :
         {"btnSelectDir3", "btn1", "btnSelectDir4", "btnOpenDir", "btnImageCombine", "btnCancel"}) {
        ExpectOne<QPushButton>(dialog, name);
    }
    for (const char* name : {"chkWriteWorldFile", "chkTransparent", "chkRectangle",
                             "chkForceShutDownWindows", "chkOffsetMap"}) {
        ExpectOne<QCheckBox>(dialog, name);
    }
    for (const char* name : {"cbbImageType", "cbbCompressNames", "cbbLevels"}) {
        ExpectOne<QComboBox>(dialog, name);
    }
    for (const char* name : {"lbl1", "lbl2", "lbl3", "lblFileName", "txtProcess"}) {
        ExpectOne<QLabel>(dialog, name);
    }
    ExpectOne<QListWidget>(dialog, "chkZoomLevels");
    ExpectOne<rasterui::ColourBox>(dialog, "ColorBox");
    ExpectOne<app::TProgressBar>(dialog, "ProgressBar");
    ExpectOne<QAction>(dialog, "actImageCombine");
    ExpectOne<QAction>(dialog, "actOpenOutPutDir");

    auto* levels = dialog.findChild<QListWidget*>("chkZoomLevels");
    ASSERT_EQ(levels->count(), 22);
    EXPECT_EQ(levels->item(21)->text(), "21");
    auto* types = dialog.findChild<QComboBox*>("cbbImageType");
    ASSERT_EQ(types->count(), 9);
    EXPECT_EQ(types->itemText(8), "导出 AcrGIS Server 缓存瓦片");
    EXPECT_EQ(dialog.findChild<QComboBox*>("cbbCompressNames")->itemText(1), "LZW无损压缩");
    auto* colours = dialog.findChild<rasterui::ColourBox*>("ColorBox");
    ASSERT_EQ(colours->count(), 18);
    EXPECT_EQ(colours->itemText(0), "自定义...");
    EXPECT_EQ(colours->itemText(17), "天蓝色");
    EXPECT_FALSE(dialog.findChild<QCheckBox*>("chkOffsetMap")->isEnabled());
    EXPECT_TRUE(dialog.findChild<QCheckBox*>("chkTransparent")->isHidden());
    EXPECT_TRUE(dialog.findChild<QPushButton*>("btnCancel")->isHidden());
    EXPECT_EQ(dialog.findChild<QPushButton*>("btnCancel")->text(), "取消(&C)");
    EXPECT_EQ(dialog.findChild<QPushButton*>("btnImageCombine")->text(), "开始");
}

TEST_F(RasterToolsTest, StitchDialogFollowsItsController) {
    tools->ShowImageCombiner(Q(taskB), false);
    TfrmImageMerge& dialog = Dialog();
    auto* levels = dialog.findChild<QListWidget*>("chkZoomLevels");
    EXPECT_TRUE(levels->item(7)->flags().testFlag(Qt::ItemIsEnabled));
    EXPECT_FALSE(levels->item(8)->flags().testFlag(Qt::ItemIsEnabled));
    levels->item(7)->setCheckState(Qt::Unchecked);
    EXPECT_FALSE(Controller().State().zoomLevels[7].checked);

    auto* types = dialog.findChild<QComboBox*>("cbbImageType");
    types->setCurrentIndex(4);
    EXPECT_FALSE(dialog.findChild<QComboBox*>("cbbCompressNames")->isEnabled());
    EXPECT_FALSE(dialog.findChild<rasterui::ColourBox*>("ColorBox")->isEnabled());
    EXPECT_FALSE(dialog.findChild<QLineEdit*>("edtImageQuality")->isEnabled());
    types->setCurrentIndex(3);

    auto* quality = dialog.findChild<QLineEdit*>("edtImageQuality");
    quality->setText(QString());
    quality->setFocus();
    quality->insert("0");  // typed: textEdited
    EXPECT_EQ(quality->text(), "30");
    EXPECT_EQ(dialog.findChild<QComboBox*>("cbbLevels")->currentText(), "低");

    dialog.findChild<QPushButton*>("btnImageCombine")->click();
    EXPECT_TRUE(dialog.findChild<QPushButton*>("btnCancel")->isVisibleTo(&dialog));
    EXPECT_FALSE(dialog.findChild<QPushButton*>("btnImageCombine")->isVisibleTo(&dialog));
    ASSERT_TRUE(WaitForEnd());
    EXPECT_EQ(dialog.findChild<QLabel*>("txtProcess")->text(), "拼接完毕.");
    EXPECT_TRUE(dialog.findChild<QPushButton*>("btnImageCombine")->isEnabled());
    EXPECT_FALSE(std::filesystem::exists(out / "Task_L7"));
}

TEST_F(RasterToolsTest, ClipDialogWidgetsByName) {
    tools->ShowGDALWarp();
    TfrmGDALWarp* dialog = tools->GDALWarp();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->parentWidget(), &mainWindow);
    EXPECT_EQ(dialog->objectName(), "frmGDALWarp");
    EXPECT_EQ(dialog->windowTitle(), "地图裁剪");
    ExpectOne<QLineEdit>(*dialog, "edtImage");
    ExpectOne<QLineEdit>(*dialog, "edtCutline");
    ExpectOne<QPushButton>(*dialog, "btnSelectDir");
    ExpectOne<QPushButton>(*dialog, "btn1");
    ExpectOne<QPushButton>(*dialog, "btnClip");
    ExpectOne<QLabel>(*dialog, "lbl1");
    ExpectOne<rasterui::ColourBox>(*dialog, "ColorBox");
    ExpectOne<QCheckBox>(*dialog, "chkTransparent");
    ExpectOne<QPlainTextEdit>(*dialog, "mmoLog");
    auto* transparent = dialog->findChild<QCheckBox*>("chkTransparent");
    auto* colours = dialog->findChild<rasterui::ColourBox*>("ColorBox");
    EXPECT_TRUE(transparent->isChecked());
    EXPECT_FALSE(colours->isEnabled());
    EXPECT_EQ(colours->count(), 18);
    transparent->click();
    EXPECT_TRUE(colours->isEnabled());
    EXPECT_FALSE(dialog->Controller().Transparent());
    tools->ShowGDALWarp();
    EXPECT_EQ(tools->GDALWarp(), dialog);
}

}  // namespace
