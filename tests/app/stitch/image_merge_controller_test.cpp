#include <QFileInfo>
#include <QUrl>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "app/stitch/image_merge_controller.h"
#include "app/support/fake_services.h"
#include "app/support/qt_print.h"
#include "app/widgets/colour_table.h"
#include "raster_ui_support.h"

namespace {

using rasterui::ImageMergeController;
using testrasterui::Q;
constexpr int kLevel6 = testrasterui::kZ;

std::string ReadText(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

int Occurrences(const std::string& text, const std::string& part) {
    int n = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++n;
    }
    return n;
}

TEST(StitchQualityText, FollowsTheEditRules) {
    struct Case {
        const char* typed;
        const char* text;  // what the edit ends with
        int preset;        // 0 低, 1 中, 2 高, 3 最佳, -1 none
    };
    for (const Case& c : {Case{"0", "30", 0}, Case{"150", "100", 3}, Case{"65", "65", 1},
                          Case{"20", "20", -1}, Case{"", "", 0}, Case{"80", "80", 2},
                          Case{"99", "99", 2}, Case{"100", "100", 3}, Case{"31", "31", 0}}) {
        SCOPED_TRACE(c.typed);
        const auto choice = rasterui::ApplyQualityText(QString::fromUtf8(c.typed));
        EXPECT_EQ(choice.text, QString::fromUtf8(c.text));
        EXPECT_EQ(choice.preset, c.preset);
    }
}

class ImageMergeTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::filesystem::create_directories(out);
        settings.SetStrSetting(engine::StrSetting::CombineImageOutPutDir, out.string());
    }

    ImageMergeController& Show(const std::filesystem::path& taskFile) {
        settings.SetStrSetting(engine::StrSetting::CombineImageSourceDir, taskFile.string());
        controller =
            std::make_unique<ImageMergeController>(settings, fakes.services, Q(dir / "tasks"));
        controller->FormShow();
        return *controller;
    }

    void RunToEnd() {
        controller->Start();
        ASSERT_TRUE(controller->RunAlive());
        ASSERT_TRUE(testrasterui::WaitFor([this] { return !controller->RunAlive(); }));
    }

    testsupport::TempDir dir;
    engine::TSettings settings{testrasterui::PathsIn(dir.path())};
    testmainwindow::FakeServices fakes;
    std::filesystem::path out = dir / "out";
    std::unique_ptr<ImageMergeController> controller;
};

TEST_F(ImageMergeTest, OutputKindEnablesItsOptions) {
    struct Case {
        int kind;
        bool compression, quality, worldFileAndColour;
    };
    auto& c = Show(testrasterui::MakeTaskFile(dir.path(), testrasterui::RectangleArea()));
    for (const Case& k :
         {Case{0, false, false, true}, Case{1, false, true, true}, Case{2, false, true, true},
          Case{3, true, true, true}, Case{4, false, false, false}, Case{5, false, false, false},
          Case{6, false, false, false}, Case{7, false, false, false},
          Case{8, false, false, false}}) {
        SCOPED_TRACE(k.kind);
        c.SetImageType(k.kind);
        EXPECT_EQ(c.State().compressEnabled, k.compression);
        EXPECT_EQ(c.State().qualityEnabled, k.quality);
        EXPECT_EQ(c.State().writeWorldFileEnabled, k.worldFileAndColour);
        EXPECT_EQ(c.State().colourEnabled, k.worldFileAndColour);
    }
}

TEST_F(ImageMergeTest, LevelsAreThoseOfTheTaskAndNoneChosenIsRefused) {
    auto& c = Show(
        testrasterui::MakeTaskFile(dir.path(), testrasterui::RectangleArea(), {12, 13, 14, 15}));
    for (int z = 0; z < engine::kZoomLevelCount; ++z) {
        SCOPED_TRACE(z);
        const bool held = z >= 12 && z <= 15;
        EXPECT_EQ(c.State().zoomLevels[z].enabled, held);
        EXPECT_EQ(c.State().zoomLevels[z].checked, held);
    }
    c.SetZoomChecked(3, true);  // not a level of the task
    EXPECT_FALSE(c.State().zoomLevels[3].checked);
    for (int z = 12; z <= 15; ++z) {
        c.SetZoomChecked(z, false);
    }
    ASSERT_TRUE(c.CanStart());
    c.Start();
    EXPECT_EQ(fakes.messages.Texts(), QStringList{"未选择地图级别。"});
    EXPECT_FALSE(c.RunAlive());
    EXPECT_TRUE(c.State().startVisible);
    EXPECT_FALSE(c.State().progressVisible);
}

TEST_F(ImageMergeTest, RectangleChoiceOnlyForOtherAreas) {
    struct Case {
        const char* name;
        std::string area;
        bool enabled;
    };
    for (const Case& k : {Case{"rectangle", testrasterui::RectangleArea(), false},
                          Case{"triangle", testrasterui::TriangleArea(), true}}) {
        SCOPED_TRACE(k.name);
        testsupport::TempDir taskDir;
        auto& c = Show(testrasterui::MakeTaskFile(taskDir.path(), k.area));
        EXPECT_EQ(c.State().rectangleEnabled, k.enabled);
    }
}

TEST_F(ImageMergeTest, ShowReadsTheOptionsAndRangeChecksTheListIndexes) {
    settings.SetIntSetting(engine::IntSetting::OutImageIndex, 12);
    settings.SetIntSetting(engine::IntSetting::CompressTypeIndex, -1);
    settings.SetIntSetting(engine::IntSetting::ImageQuality, 150);
    settings.SetIntSetting(engine::IntSetting::NoDataValue, rasterui::RgbColour(166, 202, 240));
    settings.SetFloatSetting(engine::FloatSetting::LongitudeOffset, 0.0012345678);
    settings.SetFloatSetting(engine::FloatSetting::LatitudeOffset, -2.5);
    settings.SetBoolSetting(engine::BoolSetting::ForceShutDownWindows, true);
    const auto task = testrasterui::MakeTaskFile(dir.path(), testrasterui::RectangleArea());
    const auto& s = Show(task).State();
    EXPECT_EQ(s.projectName, Q(task));
    EXPECT_EQ(s.outputDir, Q(out));
    EXPECT_EQ(s.tilePath, Q(dir / "tiles"));
    EXPECT_EQ(s.imageType, 3);
    EXPECT_EQ(s.compressIndex, 1);
    EXPECT_EQ(s.imageQuality, "100");
    EXPECT_EQ(s.qualityPreset, 3);
    EXPECT_EQ(s.colour, rasterui::RgbColour(166, 202, 240));
    EXPECT_EQ(s.offsetX, "0.001235");
    EXPECT_EQ(s.offsetY, "-2.5");
    EXPECT_TRUE(s.forceShutDown);
    EXPECT_EQ(s.counterText, "");
}

TEST_F(ImageMergeTest, StartWritesTheOptionsInOrderBeforeTheWorkerReadsThem) {
    auto& c = Show(testrasterui::MakeTaskFile(dir.path(), testrasterui::TriangleArea()));
    c.SetWriteWorldFile(false);
    c.SetColour(rasterui::RgbColour(166, 202, 240));
    c.SetCompressIndex(3);
    c.SetImageQualityText("65");
    c.SetRectangle(false);
    c.SetOffsetX("0.5");
    c.SetOffsetY("abc");
    RunToEnd();

    using engine::BoolSetting;
    using engine::IntSetting;
    EXPECT_FALSE(settings.GetBoolSetting(BoolSetting::IsWriteWorldFile));
    EXPECT_FALSE(settings.GetBoolSetting(BoolSetting::OffsetMap));
    EXPECT_EQ(settings.GetIntSetting(IntSetting::NoDataValue), rasterui::RgbColour(166, 202, 240));
    EXPECT_EQ(settings.GetIntSetting(IntSetting::CompressTypeIndex), 3);
    EXPECT_EQ(settings.GetStrSetting(engine::StrSetting::CompressName), "DEFLATE");
    EXPECT_EQ(settings.GetIntSetting(IntSetting::ImageQuality), 65);
    EXPECT_FALSE(settings.GetBoolSetting(BoolSetting::ByRectangle));
    EXPECT_EQ(settings.GetFloatSetting(engine::FloatSetting::LatitudeOffset), 1.0);
    EXPECT_EQ(settings.GetFloatSetting(engine::FloatSetting::LongitudeOffset), 0.5);

    // A new key goes to the end of its section and a new section to the end of the file, so
    // the file keeps the order of the writes.
    const std::string ini = ReadText(dir / "config/Vantorel/settings.ini");
    std::vector<std::string> order;
    for (const char* key : {"IsWriteWorldFile", "NoDataValue", "CompressTypeIndex", "CompressName",
                            "ImageQuality", "ByRectangle", "LatitudeOffset", "LongitudeOffset"}) {
        order.emplace_back(key);
    }
    std::vector<std::pair<std::size_t, std::string>> found;
    for (const auto& key : order) {
        const auto at = ini.find("\n" + key + "=");
        ASSERT_NE(at, std::string::npos) << key;
        found.emplace_back(at, key);
    }
    std::sort(found.begin(), found.end());
    std::vector<std::string> inFile;
    for (const auto& [at, key] : found) {
        inFile.push_back(key);
    }
    EXPECT_EQ(inFile, (std::vector<std::string>{"CompressName", "IsWriteWorldFile", "ByRectangle",
                                                "NoDataValue", "CompressTypeIndex", "ImageQuality",
                                                "LatitudeOffset", "LongitudeOffset"}))
        << ini;
    // The worker drew the background where the triangle leaves the tiles out.
    const auto image = out / "Task_L6" / "Task.tif";
    EXPECT_EQ(raster::test::ReadPixel(image, 700, 400), (raster::test::Rgb{166, 202, 240}));
}

TEST_F(ImageMergeTest, RealRunsEndDoneWithAReadableOutputAndOpenItsFolder) {
    struct Case {
        int kind;
        const char* output;
        const char* driver;
    };
    for (const Case& k : {Case{3, "Task_L6/Task.tif", "GTiff"}, Case{2, "Task_L6/Task.png", "PNG"},
                          Case{4, "Task_MBTiles/Task.mbtiles", "MBTiles"}}) {
        SCOPED_TRACE(k.output);
        fakes.opener.opened.clear();
        auto& c = Show(testrasterui::MakeTaskFile(dir.path(), testrasterui::RectangleArea()));
        c.SetImageType(k.kind);
        RunToEnd();
        const auto output = out / k.output;
        EXPECT_EQ(c.State().counterText, "拼接完毕.");
        EXPECT_EQ(c.OutFileName(), Q(output));
        const auto info = raster::test::GdalInfo(output);
        EXPECT_EQ(info["driverShortName"], k.driver);
        EXPECT_EQ(info["size"], nlohmann::json::array({3 * 256, 2 * 256}));
        ASSERT_EQ(fakes.opener.opened.size(), 1u);
        EXPECT_EQ(fakes.opener.opened[0], QUrl::fromLocalFile(Q(output.parent_path())));
        EXPECT_TRUE(fakes.powerOff.captions.isEmpty());
        EXPECT_FALSE(c.State().progressVisible);
        EXPECT_TRUE(c.State().startVisible);
        EXPECT_FALSE(c.State().cancelVisible);
        EXPECT_TRUE(c.CanStart());
        if (k.kind <= 3) {
            const std::string log = ReadText(out / "Task_L6" / "Task.log");
            EXPECT_EQ(Occurrences(log, "开始拼图."), 1) << log;
            EXPECT_EQ(Occurrences(log, "拼接完毕."), 1) << log;
            EXPECT_EQ(Occurrences(log, "正在转换地图格式，请稍候..."), k.kind == 2 ? 1 : 0);
            std::filesystem::remove(output.parent_path() / "Task.log");
        }
    }
}

TEST_F(ImageMergeTest, CancelAnsweredYesEndsCancelledAndOpensNothing) {
    struct Case {
        int kind;
        const char* output;
    };
    // Whatever a cancelled export leaves behind, the run is not reported as done.
    for (const Case& k : {Case{3, "Task_L8/Task.tif"}, Case{4, "Task_MBTiles/Task.mbtiles"}}) {
        SCOPED_TRACE(k.kind);
        fakes.messages.shown.clear();
        auto& c = Show(testrasterui::MakeLargeTaskFile(dir.path()));
        c.SetImageType(k.kind);
        c.Start();
        fakes.messages.answers = {true};
        c.Cancel();
        EXPECT_FALSE(c.CanStart()) << "alive until its end event";
        ASSERT_TRUE(testrasterui::WaitFor([&] { return !c.RunAlive(); }));
        EXPECT_EQ(fakes.messages.Texts(), QStringList{"正在拼接地图，要取消吗？"});
        EXPECT_EQ(c.State().counterText, "拼接已取消.") << "the user's cancel is no failure";
        EXPECT_FALSE(c.State().progressVisible);
        EXPECT_TRUE(c.State().startVisible);
        EXPECT_FALSE(c.State().cancelVisible);
        EXPECT_FALSE(c.IsCombining());
        EXPECT_TRUE(c.CanStart());
        EXPECT_TRUE(fakes.opener.opened.empty());
        if (k.kind <= 3) {
            EXPECT_FALSE(std::filesystem::exists(out / k.output));
        }
    }
}

TEST_F(ImageMergeTest, CancelAnsweredNoLetsTheRunGoOn) {
    auto& c = Show(testrasterui::MakeTaskFile(dir.path(), testrasterui::RectangleArea()));
    c.Start();
    fakes.messages.answers = {false};
    c.Cancel();
    EXPECT_TRUE(c.IsCombining());
    ASSERT_TRUE(testrasterui::WaitFor([&] { return !c.RunAlive(); }));
    EXPECT_EQ(c.State().counterText, "拼接完毕.");
}

TEST_F(ImageMergeTest, ARunEndingWhileTheCancelQuestionIsOpenClosesIt) {
    // While the question is up the event loop runs on, and the run reaches its end.
    for (const bool closing : {false, true}) {
        SCOPED_TRACE(closing ? "close guard" : "cancel button");
        fakes.messages.shown.clear();
        fakes.messages.closedQuestions = 0;
        auto& c = Show(testrasterui::MakeTaskFile(dir.path(), testrasterui::RectangleArea()));
        c.Start();
        ASSERT_TRUE(c.RunAlive());
        fakes.messages.answers = {false};
        fakes.messages.duringMessage = [&c] {
            ASSERT_TRUE(testrasterui::WaitFor([&c] { return !c.RunAlive(); }));
        };
        if (closing) {
            EXPECT_TRUE(c.QueryClose()) << "nothing is left running to keep the window open";
        } else {
            c.Cancel();
        }
        fakes.messages.duringMessage = nullptr;
        EXPECT_EQ(fakes.messages.Texts(), QStringList{"正在拼接地图，要取消吗？"});
        EXPECT_EQ(fakes.messages.closedQuestions, 1);
        EXPECT_EQ(fakes.messages.closedQuestionTexts, QStringList{"正在拼接地图，要取消吗？"});
        fakes.messages.closedQuestionTexts.clear();
        EXPECT_EQ(c.State().counterText, "拼接完毕.");
        EXPECT_TRUE(c.CanStart());
    }
}

TEST_F(ImageMergeTest, AFailedRunIsNeverDoneEvenWhenItsNamedOutputExists) {
    // Level 6 is written; level 7's folder name is taken by a file, so the run fails after
    // naming level 6's image, which exists.
    auto& c =
        Show(testrasterui::MakeTaskFile(dir.path(), testrasterui::RectangleArea(), {kLevel6, 7}));
    testsupport::WriteFileBytes(out / "Task_L7", "not a folder");
    c.SetForceShutDown(true);
    fakes.powerOff.answer = false;
    RunToEnd();
    EXPECT_EQ(c.State().counterText, "拼接失败.");
    EXPECT_EQ(c.OutFileName(), Q(out / "Task_L6" / "Task.tif"));
    EXPECT_TRUE(QFileInfo::exists(c.OutFileName()));
    EXPECT_TRUE(fakes.opener.opened.empty());
    EXPECT_TRUE(fakes.powerOff.captions.isEmpty());
    EXPECT_TRUE(c.CanStart());
}

// A stitch or export that finds none of its tiles (here the tile folder has gone) says so,
// names the folder, and is not done: no folder opened, no power-off question.
TEST_F(ImageMergeTest, ARunThatFindsNoneOfItsTilesSaysSoAndIsNotDone) {
    for (const int kind : {3, 4}) {
        SCOPED_TRACE(kind);
        fakes.messages.shown.clear();
        auto& c = Show(testrasterui::MakeTaskFile(dir.path(), testrasterui::RectangleArea()));
        std::filesystem::remove_all(dir / "tiles");
        c.SetImageType(kind);
        c.SetForceShutDown(true);
        RunToEnd();
        EXPECT_EQ(c.State().counterText, "没有找到瓦片.");
        const auto folder = engine::LayerFolderPath(
            dir / "tiles", engine::MapTileFolders[engine::Ord(engine::TMapType::mtGoogleRoadMap)]);
        EXPECT_EQ(fakes.messages.Texts(),
                  QStringList{QString::fromStdString(raster::NoTilesMessage(folder))});
        EXPECT_TRUE(fakes.opener.opened.empty());
        EXPECT_TRUE(fakes.powerOff.captions.isEmpty());
        EXPECT_TRUE(c.CanStart());
    }
}

TEST_F(ImageMergeTest, NoSecondStartWhileARunIsAlive) {
    auto& c = Show(testrasterui::MakeTaskFile(dir.path(), testrasterui::RectangleArea()));
    c.Start();
    ASSERT_TRUE(c.RunAlive());
    EXPECT_FALSE(c.CanStart());
    c.Start();
    c.FormShow();  // a showing during the run keeps the run's task and options
    EXPECT_TRUE(c.RunAlive());
    ASSERT_TRUE(testrasterui::WaitFor([&] { return !c.RunAlive(); }));
    const std::string log = ReadText(out / "Task_L6" / "Task.log");
    EXPECT_EQ(Occurrences(log, "开始拼图."), 1) << log;
    EXPECT_EQ(fakes.opener.opened.size(), 1u);
}

TEST_F(ImageMergeTest, PowerOffQuestionAfterADoneRunPowersOffOnce) {
    auto& c = Show(testrasterui::MakeTaskFile(dir.path(), testrasterui::RectangleArea()));
    c.SetForceShutDown(true);
    fakes.powerOff.answer = true;
    RunToEnd();
    EXPECT_EQ(fakes.powerOff.captions, QStringList{"自动关机"});
    EXPECT_EQ(fakes.powerOff.poweredOff, 1);
}

TEST_F(ImageMergeTest, PowerOffAnsweredNoIsAskedAgainAfterTheNextStart) {
    auto& c = Show(testrasterui::MakeTaskFile(dir.path(), testrasterui::RectangleArea()));
    c.SetForceShutDown(true);
    fakes.powerOff.answer = false;
    RunToEnd();
    RunToEnd();
    EXPECT_EQ(fakes.powerOff.captions, (QStringList{"自动关机", "自动关机"}));
    EXPECT_EQ(fakes.powerOff.poweredOff, 0);
}

TEST_F(ImageMergeTest, CloseDuringARunAsksAndNoKeepsItOpen) {
    auto& c = Show(testrasterui::MakeLargeTaskFile(dir.path()));
    EXPECT_TRUE(c.QueryClose());
    EXPECT_TRUE(fakes.messages.shown.empty());
    c.Start();
    fakes.messages.answers = {false, true};
    EXPECT_FALSE(c.QueryClose());
    EXPECT_TRUE(c.QueryClose());
    ASSERT_TRUE(testrasterui::WaitFor([&] { return !c.RunAlive(); }));
    EXPECT_EQ(c.State().counterText, "拼接已取消.");
}

TEST_F(ImageMergeTest, CloseStoresTheDialogsChoices) {
    const auto task = testrasterui::MakeTaskFile(dir.path(), testrasterui::RectangleArea());
    auto& c = Show(task);
    c.SetImageType(5);
    c.SetForceShutDown(true);
    settings.SetStrSetting(engine::StrSetting::CombineImageSourceDir, "");
    c.FormClose();
    EXPECT_EQ(settings.GetStrSetting(engine::StrSetting::CombineImageSourceDir), task.string());
    EXPECT_EQ(settings.GetStrSetting(engine::StrSetting::CombineImageOutPutDir), out.string());
    EXPECT_EQ(settings.GetIntSetting(engine::IntSetting::OutImageIndex), 5);
    EXPECT_TRUE(settings.GetBoolSetting(engine::BoolSetting::ForceShutDownWindows));
}

TEST_F(ImageMergeTest, ATaskThatCannotBeUsedIsNotLoaded) {
    const auto good = testrasterui::MakeTaskFile(dir.path(), testrasterui::RectangleArea());
    auto& c = Show(good);
    testsupport::TempDir other;
    auto bad = raster::test::MakeTask(other.path(), other / "tiles",
                                      engine::TMapType::mtGoogleRoadMap, "");
    bad.SetMapTypeIndex(60);
    bad.SetZoomLevels(raster::test::Levels({3}));
    bad.SetFileName(other / "Bad.zeb");
    bad.Save();
    ASSERT_TRUE(c.CanStart());
    fakes.fileDialogs.nextFile = Q(other / "Bad.zeb");
    c.SelectTaskFile();
    EXPECT_EQ(fakes.messages.Texts(), QStringList{"任务“Bad”的地图类型 60 无效，未加载。"});
    EXPECT_EQ(c.State().projectName, Q(other / "Bad.zeb"));
    // Neither the refused task nor the earlier one can be started under this name.
    EXPECT_FALSE(c.State().zoomLevels[kLevel6].enabled);
    EXPECT_FALSE(c.State().zoomLevels[3].enabled);
    EXPECT_FALSE(c.CanStart());
    c.Start();
    EXPECT_FALSE(c.RunAlive());
}

TEST_F(ImageMergeTest, EmptyOutputFolderChoiceAsksForOne) {
    auto& c = Show(testrasterui::MakeTaskFile(dir.path(), testrasterui::RectangleArea()));
    fakes.fileDialogs.nextFolder.clear();
    c.SelectOutputDir();
    EXPECT_EQ(fakes.messages.Texts(), QStringList{"请选择一个目录。"});
    EXPECT_EQ(c.State().outputDir, Q(out));
}

TEST_F(ImageMergeTest, StartSaysSoWhenTheOutputFolderHasGoneSinceItWasChosen) {
    auto& c = Show(testrasterui::MakeTaskFile(dir.path(), testrasterui::RectangleArea()));
    ASSERT_TRUE(c.CanStart());
    std::filesystem::remove_all(out);
    int changes = 0;
    QObject::connect(&c, &ImageMergeController::changed, [&changes] { ++changes; });
    c.Start();
    EXPECT_FALSE(c.RunAlive());
    EXPECT_EQ(fakes.messages.Texts(), QStringList{"输出目录不存在：" + Q(out)});
    EXPECT_GE(changes, 1) << "the start button greys out";
    EXPECT_FALSE(c.CanStart());
    EXPECT_FALSE(std::filesystem::exists(out)) << "nothing is made where the user chose nothing";
}

}  // namespace
