// Task actions over a real task folder: save with and without the replace question, names
// that differ in case, a new task starting clean, load switching the page family, delete,
// and the actions off while a task runs.
#include "app/tasks/task_controller.h"

#include <QSignalSpy>
#include <filesystem>

#include <gtest/gtest.h>

#include "app/support/fake_services.h"
#include "engine/settings/settings.h"
#include "engine/tasks/profiles.h"
#include "support/scoped_log_folder.h"
#include "support/temp_dir.h"

namespace testmainwindow {
namespace {

using engine::TMapType;

class TaskControllerTest : public ::testing::Test {
  protected:
    TaskControllerTest()
        : settings_(engine::SettingsPaths{dir_ / "settings.ini", dir_ / "MapDownload",
                                          dir_ / "Cache", dir_ / "CefCache"}) {
        settings_.SetStrSetting(engine::StrSetting::OutPutDirectory,
                                (dir_ / "MapDownload").string());
        MakeController();
    }

    void MakeController() {
        app::TaskController::Hooks hooks;
        hooks.taskActive = [this] { return active_; };
        hooks.coordinates = [this] { return coordinates_; };
        hooks.zoomLevels = [this] { return levels_; };
        hooks.tileSize = [] { return 256; };
        hooks.setArea = [this](const QString& text) { coordinates_ = text; };
        hooks.setZoomLevels = [this](const engine::TZoomLevelArray& l) { levels_ = l; };
        hooks.calculateStart = [this] { ++recounts_; };
        hooks.switchLayer = [this](TMapType type) {
            // As the layer switch does: the page host's layer, a reload across families.
            if (fakes_.page.IsBaiduMap() != (static_cast<int>(type) >= 45))
                ++fakes_.page.loads;
            fakes_.page.mapType = type;
            switched_.push_back(type);
        };
        tasks_ = std::make_unique<app::TaskController>(
            settings_, fakes_.services, std::make_unique<engine::TProfiles>(dir_ / "Profiles"),
            std::move(hooks));
        tasks_->RefreshNames();
    }

    std::optional<app::TaskController::Saved> SaveAs(const QString& name) {
        tasks_->SetProfileText(name);
        return tasks_->Save();
    }
    void Select(const QString& name) {
        tasks_->SetProfileText(name);
        tasks_->SetSelectedRow(static_cast<int>(tasks_->Names().indexOf(name)));
    }
    engine::TProfiles Stored(const QString& name) {
        engine::TProfiles stored(dir_ / "Profiles");
        stored.SetName(name.toStdString());
        stored.Load();
        return stored;
    }
    int Questions() const {
        int n = 0;
        for (const auto& m : fakes_.messages.shown)
            n += m.kind.startsWith("ask");
        return n;
    }

    testsupport::TempDir dir_;
    testsupport::ScopedLogFolder log_{dir_ / "log"};
    engine::TSettings settings_;
    FakeServices fakes_;
    std::unique_ptr<app::TaskController> tasks_;
    QString coordinates_ = "116.1,39.9,116.5,40.1";
    engine::TZoomLevelArray levels_{};
    bool active_ = false;
    int recounts_ = 0;
    std::vector<TMapType> switched_;
};

TEST_F(TaskControllerTest, SaveWritesTheWindowsTaskAndListsIt) {
    levels_[10].Checked = levels_[12].Checked = true;
    fakes_.page.mapType = TMapType::mtGoogleSatellite;
    const auto saved = SaveAs("北京");
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->name, "北京");
    EXPECT_TRUE(std::filesystem::exists(saved->fileName.toStdString()));
    EXPECT_EQ(tasks_->Names(), QStringList{"北京"});
    const engine::TProfiles stored = Stored("北京");
    EXPECT_EQ(stored.Coordinates(), "116.1,39.9,116.5,40.1");
    EXPECT_EQ(stored.MapTypeIndex(), 4);
    EXPECT_EQ(engine::TProfiles::ZoomLevelArrayToStr(stored.ZoomLevels()), "10,12");
    EXPECT_EQ(stored.Directory(), (dir_ / "MapDownload").string());
    EXPECT_EQ(Questions(), 0);
}

TEST_F(TaskControllerTest, ASavedTaskCarriesTheTiandituSourceTheDownloadUses) {
    for (const auto& [stored, expected] : {std::pair{11, 0}, {-1, 0}, {4, 4}}) {
        SCOPED_TRACE(stored);
        settings_.SetIntSetting(engine::IntSetting::TiandituIndex, stored);
        ASSERT_TRUE(SaveAs("天地图"));
        EXPECT_EQ(Stored("天地图").TiandituIndex(), expected);
    }
}

TEST_F(TaskControllerTest, ReplaceQuestionOnlyForAnotherTaskOfAnExistingName) {
    ASSERT_TRUE(SaveAs("甲"));
    ASSERT_TRUE(SaveAs("乙"));
    // Same name, same area: replaced without asking.
    ASSERT_TRUE(SaveAs("乙"));
    EXPECT_EQ(Questions(), 0);
    // The unchanged area under another existing name asks.
    fakes_.messages.answers = {true};
    ASSERT_TRUE(SaveAs("甲"));
    EXPECT_EQ(Questions(), 1);
    EXPECT_EQ(fakes_.messages.shown.back().text, "任务名“甲”已经存在,要替换它吗?");
    // A changed area under the current name asks too; No stores nothing.
    coordinates_ = "100,30,101,31";
    fakes_.messages.answers = {false};
    EXPECT_FALSE(SaveAs("甲"));
    EXPECT_EQ(Questions(), 2);
    EXPECT_EQ(Stored("甲").Coordinates(), "116.1,39.9,116.5,40.1");
}

// The page reports a shown area in its own form: from another vertex, the other way round,
// with five decimals, a rectangle as its corners. That is still the task's area; another shape
// is not.
TEST_F(TaskControllerTest, TheSameShapeInTheFormThePageReportsIsTheSameTask) {
    struct Case {
        const char* stored;
        const char* reported;
        bool same;
    };
    const Case cases[] = {
        {"116.3,39.9,116.42,39.91,116.36,39.97",
         "116.36000,39.97000,116.42000,39.91000,116.30000,39.90000", true},
        {"116.3,39.9,116.42,39.91,116.36,39.97",
         "116.42000,39.91000,116.36000,39.97000,116.30000,39.90000", true},
        {"116.30,39.90,116.42,39.97", "116.42000,39.97000,116.30000,39.90000", true},
        {"116.30,39.90,116.42,39.97", "116.30,39.97,116.30,39.90,116.42,39.90,116.42,39.97", true},
        {"116.30,39.90,116.42,39.97", "116.30,39.90,116.42,39.98", false},
        {"116.3,39.9,116.42,39.91,116.36,39.97", "116.3,39.9,116.42,39.91", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reported);
        fakes_.messages.defaultAnswer = true;  // over the previous case's task
        coordinates_ = QString::fromUtf8(c.stored);
        ASSERT_TRUE(SaveAs("任务"));
        fakes_.messages.shown.clear();
        fakes_.messages.defaultAnswer = false;
        coordinates_ = QString::fromUtf8(c.reported);
        EXPECT_EQ(SaveAs("任务").has_value(), c.same);
        EXPECT_EQ(Questions(), c.same ? 0 : 1);
    }
}

TEST_F(TaskControllerTest, NamesThatDifferInCaseAreOneTask) {
    ASSERT_TRUE(SaveAs("Beijing"));
    coordinates_ = "100,30,101,31";
    fakes_.messages.answers = {true};
    const auto saved = SaveAs("BEIJING");
    ASSERT_TRUE(saved);
    EXPECT_EQ(Questions(), 1);
    EXPECT_EQ(tasks_->Names(), QStringList{"Beijing"});
    EXPECT_EQ(Stored("Beijing").Coordinates(), "100,30,101,31");
    // Loading and deleting by the other case reach the same file.
    Select("bEiJiNg");
    tasks_->SetSelectedRow(0);
    coordinates_.clear();
    tasks_->Load();
    fakes_.page.AnswerAll();
    EXPECT_EQ(coordinates_, "100,30,101,31");
    fakes_.messages.answers = {true};
    tasks_->Delete();
    EXPECT_TRUE(tasks_->Names().isEmpty());
    EXPECT_FALSE(std::filesystem::exists(dir_ / "Profiles" / "Beijing.zeb"));

    // Only A to Z fold, as in the task store: names that differ in another letter's case are
    // two tasks, saved without a replace question.
    const int asked = Questions();
    ASSERT_TRUE(SaveAs("Ärger"));
    coordinates_ = "101,31,102,32";
    ASSERT_TRUE(SaveAs("ärger"));
    EXPECT_EQ(Questions(), asked);
    EXPECT_EQ(tasks_->Names().size(), 2);
    EXPECT_EQ(Stored("Ärger").Coordinates(), "100,30,101,31");
}

TEST_F(TaskControllerTest, EmptyOrUnusableNameIsRefusedWithItsMessage) {
    QSignalSpy focus(tasks_.get(), &app::TaskController::focusProfileRequested);
    EXPECT_FALSE(SaveAs(""));
    EXPECT_EQ(fakes_.messages.Texts().back(), "请填写任务名称。");
    for (const QString& name : {QString("a/b"), QString(".."), QString("x\\y")}) {
        EXPECT_FALSE(SaveAs(name)) << name.toStdString();
    }
    EXPECT_EQ(focus.count(), 4);
    EXPECT_TRUE(std::filesystem::is_empty(dir_ / "Profiles"));
}

TEST_F(TaskControllerTest, NewTaskStartsWithoutThePreviousRectanglesAndBookmark) {
    ASSERT_TRUE(SaveAs("甲"));
    engine::TTileBounds bounds{};
    bounds[10] = {1, 2, 3, 4, {}, 10, true};
    tasks_->SaveTileBounds(bounds);
    tasks_->Profiles().SetBookmark("39.9,116.4,10");
    tasks_->Profiles().Save();
    EXPECT_TRUE(Stored("甲").TileBounds()[10].Checked);

    // The same task saved again keeps them.
    ASSERT_TRUE(SaveAs("甲"));
    EXPECT_TRUE(Stored("甲").TileBounds()[10].Checked);
    EXPECT_EQ(Stored("甲").Bookmark(), "39.9,116.4,10");
    // Another name, and another area under the same name, start clean.
    ASSERT_TRUE(SaveAs("乙"));
    EXPECT_FALSE(Stored("乙").TileBounds()[10].Checked);
    EXPECT_EQ(Stored("乙").Bookmark(), "");
    Select("甲");
    tasks_->Load();
    fakes_.page.AnswerAll();
    coordinates_ = "100,30,101,31";
    fakes_.messages.answers = {true};
    ASSERT_TRUE(SaveAs("甲"));
    EXPECT_FALSE(Stored("甲").TileBounds()[10].Checked);
    EXPECT_EQ(Stored("甲").Bookmark(), "");
}

TEST_F(TaskControllerTest, LoadSetsTheWindowAndSwitchesToTheTasksPageFamily) {
    fakes_.page.mapType = TMapType::mtBaiduRoadMap;
    levels_[5].Checked = true;
    ASSERT_TRUE(SaveAs("百度任务"));
    tasks_->Profiles().SetBookmark("39.9,116.4,10");
    tasks_->Profiles().Save();

    fakes_.page.mapType = TMapType::mtGoogleRoadMap;
    coordinates_.clear();
    levels_ = {};
    fakes_.page.scripts.clear();
    Select("百度任务");
    tasks_->Load();
    fakes_.page.AnswerAll();
    EXPECT_EQ(coordinates_, "116.1,39.9,116.5,40.1");
    EXPECT_TRUE(levels_[5].Checked);
    EXPECT_EQ(recounts_, 1);
    ASSERT_EQ(switched_, std::vector<TMapType>{TMapType::mtBaiduRoadMap});
    EXPECT_EQ(fakes_.page.loads, 1);
    // The bookmark goes to the page re-formatted from its numbers; the area is drawn on the
    // page shown before the switch (Google: as an encoded line).
    ASSERT_GE(fakes_.page.scripts.size(), 2);
    EXPECT_TRUE(fakes_.page.scripts[0].startsWith("setCenterAndZoom(39.9"));
    EXPECT_TRUE(fakes_.page.scripts[1].startsWith("showBoundary(\""));
    EXPECT_FALSE(fakes_.page.scripts[1].contains("116.1"));
}

TEST_F(TaskControllerTest, ALoadTellsThePageCallByCallWithTheTaskActionsOff) {
    fakes_.page.mapType = TMapType::mtGoogleRoadMap;
    levels_[7].Checked = true;
    ASSERT_TRUE(SaveAs("甲"));
    tasks_->Profiles().SetBookmark("39.9,116.4,10");
    tasks_->Profiles().Save();
    coordinates_ = "100,30,101,31";
    levels_ = {};
    ASSERT_TRUE(SaveAs("乙"));
    fakes_.page.mapType = TMapType::mtGoogleSatellite;
    fakes_.page.scripts.clear();
    recounts_ = 0;

    Select("甲");
    tasks_->Load();
    // The window holds the whole task at once; the page gets the centre first.
    EXPECT_EQ(coordinates_, "116.1,39.9,116.5,40.1");
    EXPECT_TRUE(levels_[7].Checked);
    ASSERT_EQ(fakes_.page.scripts.size(), 1);
    EXPECT_TRUE(fakes_.page.scripts[0].startsWith("setCenterAndZoom("));
    EXPECT_FALSE(tasks_->CanSave());
    EXPECT_FALSE(tasks_->CanLoadOrDelete());

    // Reached anyway while the page has not answered: nothing is saved, loaded or deleted.
    const std::string before = testsupport::ReadFileBytes(dir_ / "Profiles" / "甲.zeb");
    fakes_.messages.answers = {true, true};
    EXPECT_FALSE(tasks_->Save());
    Select("乙");
    tasks_->Load();
    tasks_->Delete();
    EXPECT_TRUE(fakes_.messages.shown.empty());
    EXPECT_EQ(testsupport::ReadFileBytes(dir_ / "Profiles" / "甲.zeb"), before);
    EXPECT_TRUE(std::filesystem::exists(dir_ / "Profiles" / "乙.zeb"));
    EXPECT_EQ(coordinates_, "116.1,39.9,116.5,40.1");
    EXPECT_EQ(fakes_.page.scripts.size(), 1);

    ASSERT_TRUE(fakes_.page.AnswerNext());
    ASSERT_EQ(fakes_.page.scripts.size(), 2);
    EXPECT_TRUE(fakes_.page.scripts[1].startsWith("showBoundary("));
    EXPECT_TRUE(switched_.empty()) << "the layer follows the area";
    EXPECT_TRUE(fakes_.pageWait.Busy());
    ASSERT_TRUE(fakes_.page.AnswerNext());
    EXPECT_EQ(switched_, std::vector<TMapType>{TMapType::mtGoogleRoadMap});
    EXPECT_EQ(recounts_, 1) << "counted once, for the task's layer";
    EXPECT_FALSE(fakes_.pageWait.Busy());
    EXPECT_EQ(tasks_->Profiles().Name(), "甲");
    EXPECT_TRUE(tasks_->CanLoadOrDelete());
}

// A view position needs its three fields: fewer leave the view where it is; fields that are
// not numbers take the full view's values. The page never gets NaN or a made-up 0.
TEST_F(TaskControllerTest, ADamagedBookmarkLeavesTheViewOrFallsBackToTheFullView) {
    ASSERT_TRUE(SaveAs("甲"));
    const std::vector<std::pair<std::string, QString>> cases = {
        {"39.9,116.4", QString()},
        {"39.9", QString()},
        {"x,y,z", "setCenterAndZoom(32.694866,105.996094,4);"},
        {"39.9,116.4,abc", "setCenterAndZoom(39.9,116.4,4);"},
    };
    for (const auto& [bookmark, expected] : cases) {
        tasks_->Profiles().SetBookmark(bookmark);
        tasks_->Profiles().Save();
        fakes_.page.scripts.clear();
        Select("甲");
        tasks_->Load();
        fakes_.page.AnswerAll();  // the load goes on step by step as the page answers
        const QStringList sent = fakes_.page.scripts.filter("setCenterAndZoom");
        EXPECT_EQ(sent, expected.isEmpty() ? QStringList() : QStringList{expected}) << bookmark;
    }
}

TEST_F(TaskControllerTest, BothPageFamiliesAreGivenTheAreaAsAnEncodedLine) {
    ASSERT_TRUE(SaveAs("甲"));
    QStringList shown;
    for (const TMapType page : {TMapType::mtGoogleRoadMap, TMapType::mtBaiduRoadMap}) {
        fakes_.page.mapType = page;
        fakes_.page.scripts.clear();
        Select("甲");
        tasks_->Load();
        fakes_.page.AnswerAll();
        ASSERT_FALSE(fakes_.page.scripts.filter("showBoundary(").isEmpty());
        shown << fakes_.page.scripts.filter("showBoundary(").first();
    }
    // The Baidu page decodes what it is given: the coordinate text itself would become a
    // wrong outline, reported back as the area.
    EXPECT_EQ(shown[1], shown[0]);
    EXPECT_FALSE(shown[1].contains("116.1"));
}

TEST_F(TaskControllerTest, ShowAreaDrawsTheCurrentAreaAgain) {
    coordinates_.clear();
    fakes_.page.scripts.clear();
    tasks_->ShowArea();
    EXPECT_TRUE(fakes_.page.scripts.isEmpty());
    coordinates_ = "116.1,39.9,116.5,40.1";
    for (const TMapType page : {TMapType::mtGoogleRoadMap, TMapType::mtBaiduRoadMap}) {
        fakes_.page.mapType = page;
        fakes_.page.scripts.clear();
        tasks_->ShowArea();
        ASSERT_EQ(fakes_.page.scripts.size(), 1);
        EXPECT_TRUE(fakes_.page.scripts[0].startsWith("showBoundary(\""));
        EXPECT_FALSE(fakes_.page.scripts[0].contains("116.1"));
    }
    EXPECT_EQ(recounts_, 0);
}

TEST_F(TaskControllerTest, DamagedTaskFileIsNotLoaded) {
    ASSERT_TRUE(SaveAs("坏"));
    engine::TProfiles bad = Stored("坏");
    bad.SetMapTypeIndex(77);
    bad.Save();
    coordinates_ = "1,2,3,4";
    Select("坏");
    tasks_->Load();
    fakes_.page.AnswerAll();
    EXPECT_EQ(coordinates_, "1,2,3,4");
    EXPECT_TRUE(switched_.empty());
    ASSERT_FALSE(fakes_.messages.shown.empty());
    EXPECT_EQ(fakes_.messages.shown.back().kind, "error");
    EXPECT_TRUE(fakes_.messages.shown.back().text.contains("坏"));

    // Bytes that are no task file at all read as an empty task, without a crash.
    std::filesystem::path file = dir_ / "Profiles" / "乱.zeb";
    testsupport::WriteFileBytes(file, std::string("\xff\xfe\x00garbage\r\n=\r\n", 16));
    tasks_->RefreshNames();
    Select("乱");
    tasks_->Load();
    fakes_.page.AnswerAll();
    EXPECT_TRUE(coordinates_.isEmpty());
}

TEST_F(TaskControllerTest, DeleteAsksWithAWarningAndKeepsTheTiles) {
    ASSERT_TRUE(SaveAs("甲"));
    const auto tile = dir_ / "MapDownload" / "googlemaps" / "1" / "0" / "0.png";
    testsupport::WriteFileBytes(tile, "png");
    Select("甲");
    fakes_.messages.answers = {false};
    tasks_->Delete();
    EXPECT_EQ(tasks_->Names(), QStringList{"甲"});
    ASSERT_EQ(fakes_.messages.shown.size(), 1u);
    EXPECT_EQ(fakes_.messages.shown[0].kind, "askwarning");
    EXPECT_EQ(fakes_.messages.shown[0].caption, "删除任务");
    EXPECT_EQ(fakes_.messages.shown[0].text,
              "您是否要删除下载任务“甲”?\r\r删除后,与之对应的地图瓦件将无法做拼接合并等处理。");
    fakes_.messages.answers = {true};
    tasks_->Delete();
    EXPECT_TRUE(tasks_->Names().isEmpty());
    EXPECT_TRUE(tasks_->ProfileText().isEmpty());
    EXPECT_TRUE(std::filesystem::exists(tile));
}

TEST_F(TaskControllerTest, ADeclinedDeleteChangesNothingAndASaveOverAnotherTaskAsks) {
    ASSERT_TRUE(SaveAs("甲"));
    coordinates_ = "100,30,101,31";
    ASSERT_TRUE(SaveAs("乙"));
    const auto otherFile = dir_ / "Profiles" / "乙.zeb";
    const std::string otherBytes = testsupport::ReadFileBytes(otherFile);
    Select("甲");
    tasks_->Load();
    fakes_.page.AnswerAll();
    ASSERT_EQ(coordinates_, "116.1,39.9,116.5,40.1");

    // The other task's name typed over the loaded one's, then the delete declined.
    Select("乙");
    fakes_.messages.shown.clear();
    fakes_.messages.answers = {false};
    tasks_->Delete();
    EXPECT_EQ(Questions(), 1);
    EXPECT_EQ(tasks_->Profiles().Name(), "甲");
    EXPECT_EQ(tasks_->ProfileText(), "乙");
    EXPECT_EQ(tasks_->Names(), (QStringList{"乙", "甲"}));

    // Saving the loaded area under the other task's name replaces that task: it asks first,
    // and No leaves its file as it was.
    fakes_.messages.answers = {false};
    EXPECT_FALSE(tasks_->Save());
    EXPECT_EQ(Questions(), 2);
    EXPECT_EQ(testsupport::ReadFileBytes(otherFile), otherBytes);

    // A delete answered Yes removes the named task and leaves the loaded one as it was.
    fakes_.messages.answers = {true};
    tasks_->Delete();
    EXPECT_FALSE(std::filesystem::exists(otherFile));
    EXPECT_EQ(tasks_->Profiles().Name(), "甲");
    EXPECT_EQ(tasks_->Profiles().Coordinates(), "116.1,39.9,116.5,40.1");
    EXPECT_EQ(tasks_->Names(), QStringList{"甲"});
}

TEST_F(TaskControllerTest, SaveLoadAndDeleteAreOffWhileATaskRunsOrIsPaused) {
    ASSERT_TRUE(SaveAs("甲"));
    Select("甲");
    EXPECT_TRUE(tasks_->CanSave());
    EXPECT_TRUE(tasks_->CanLoadOrDelete());
    active_ = true;
    EXPECT_FALSE(tasks_->CanSave());
    EXPECT_FALSE(tasks_->CanLoadOrDelete());
    // Reached anyway (a shortcut, a stale button): nothing happens.
    coordinates_ = "100,30,101,31";
    EXPECT_FALSE(tasks_->Save());
    fakes_.messages.answers = {true};
    tasks_->Delete();
    tasks_->Load();
    fakes_.page.AnswerAll();
    EXPECT_EQ(tasks_->Names(), QStringList{"甲"});
    EXPECT_TRUE(fakes_.messages.shown.empty());
    EXPECT_TRUE(switched_.empty());
}

TEST_F(TaskControllerTest, DeclinedReplaceWhileATaskStartsInTheQuestionStoresNothing) {
    ASSERT_TRUE(SaveAs("甲"));
    coordinates_ = "100,30,101,31";
    fakes_.messages.answers = {true};
    fakes_.messages.duringMessage = [this] { active_ = true; };
    EXPECT_FALSE(SaveAs("甲"));
    EXPECT_EQ(Stored("甲").Coordinates(), "116.1,39.9,116.5,40.1");
}

TEST_F(TaskControllerTest, TileFolderChangeAndOpen) {
    fakes_.fileDialogs.nextFolder = QString::fromStdString((dir_ / "Tiles").string());
    QSignalSpy changed(tasks_.get(), &app::TaskController::tileDirChanged);
    tasks_->ChangeTilesDir();
    EXPECT_EQ(fakes_.fileDialogs.captions, QStringList{"请选择地图存储目录"});
    EXPECT_EQ(settings_.GetStrSetting(engine::StrSetting::OutPutDirectory),
              (dir_ / "Tiles").string());
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(fakes_.page.loads, 1);
    // Cancelled: nothing changes.
    fakes_.fileDialogs.nextFolder.clear();
    tasks_->ChangeTilesDir();
    EXPECT_EQ(fakes_.page.loads, 1);

    // Without a task folder of its own the layer's folder under the output folder is opened
    // (and made); a saved task whose own layer folder exists opens that one.
    fakes_.page.mapType = TMapType::mtGoogleSatellite;
    tasks_->OpenOutPutDir();
    ASSERT_EQ(fakes_.opener.opened.size(), 1u);
    const std::filesystem::path opened = fakes_.opener.opened[0].toLocalFile().toStdString();
    EXPECT_TRUE(std::filesystem::is_directory(opened));
    EXPECT_EQ(opened.lexically_relative(dir_ / "Tiles").begin()->string(), "googlemaps");

    settings_.SetStrSetting(engine::StrSetting::OutPutDirectory, (dir_ / "Own").string());
    ASSERT_TRUE(SaveAs("甲"));
    settings_.SetStrSetting(engine::StrSetting::OutPutDirectory, (dir_ / "Tiles").string());
    EXPECT_EQ(tasks_->OutPutDirFor(TMapType::mtGoogleSatellite, false).toStdString(),
              opened.string());
    const std::filesystem::path own = dir_ / "Own" / opened.lexically_relative(dir_ / "Tiles");
    std::filesystem::create_directories(own);
    EXPECT_EQ(tasks_->OutPutDirFor(TMapType::mtGoogleSatellite, false).toStdString(), own.string());
}

}  // namespace
}  // namespace testmainwindow
