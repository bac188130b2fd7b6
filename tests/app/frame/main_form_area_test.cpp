// The task name in the window as areas come from the page: a new area proposes a new task
// name, the page reporting back the area it was shown (a loaded task's) keeps the name.
#include <QAction>
#include <QComboBox>
#include <QListWidget>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineView>

#include "app/frame/map_events.h"
#include "engine/tasks/profiles.h"
#include "main_form_fixture.h"

namespace testmainwindow {
namespace {

using MainFormAreaTest = MainFormFixture;

TEST_F(MainFormAreaTest, OnlyTheTasksOwnAreaKeepsItsName) {
    Window();
    auto* profile = Find<QComboBox>("cbbProfile");
    emit Window().Events().areaCompleted("116.1,39.9;116.5,40.1");
    EXPECT_TRUE(profile->currentText().startsWith(QStringLiteral("谷歌地图")))
        << profile->currentText().toStdString();

    // No task holds the area yet: reported again, it is offered a name again.
    profile->setEditText(QString());
    emit Window().Events().areaCompleted("116.1,39.9;116.5,40.1");
    EXPECT_TRUE(profile->currentText().startsWith(QStringLiteral("谷歌地图")));

    // Saved as a task, the page reporting it back (from another corner) keeps the name.
    profile->setEditText(QStringLiteral("我的任务"));
    Find<QAction>("actProfileSave")->trigger();
    emit Window().Events().areaCompleted("116.5,40.1,116.1,39.9");
    EXPECT_EQ(profile->currentText(), QStringLiteral("我的任务"));

    emit Window().Events().areaCompleted("116.1,39.9;116.6,40.1");
    EXPECT_TRUE(profile->currentText().startsWith(QStringLiteral("谷歌地图")));
}

TEST_F(MainFormAreaTest, APageLoadedAfreshShowsTheAreaAgain) {
    Window();
    QWebEnginePage* page = Window().MapView()->page();
    emit page->loadFinished(true);
    QTest::qWait(1200);
    EXPECT_TRUE(fakes_.page.scripts.filter("showBoundary(").isEmpty()) << "no area yet";

    emit Window().Events().areaCompleted("116.1,39.9;116.5,40.1");
    fakes_.page.scripts.clear();
    emit page->loadFinished(false);
    QTest::qWait(1200);
    EXPECT_TRUE(fakes_.page.scripts.filter("showBoundary(").isEmpty()) << "a failed load";
    emit page->loadFinished(true);
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return !fakes_.page.scripts.filter("showBoundary(").isEmpty(); }));
}

TEST_F(MainFormAreaTest, ASavedTaskHoldsTheLevelsTheLayerOffers) {
    // Ticked on a layer of all levels, then out of range on layer 40 (4 to 14).
    Window();
    emit Window().Events().areaCompleted("116.1,39.9;116.5,40.1");
    auto* list = Find<QListWidget>("chkZoomLevels");
    for (int level : {2, 10, 18})
        list->item(level)->setCheckState(Qt::Checked);
    Find<QAction>("mniMapType40")->trigger();
    fakes_.page.AnswerAll();
    Find<QComboBox>("cbbProfile")->setEditText(QStringLiteral("任务"));
    Find<QAction>("actProfileSave")->trigger();
    engine::TProfiles stored(dir_ / "Profiles");
    stored.SetName("任务");
    stored.Load();
    EXPECT_EQ(engine::TProfiles::ZoomLevelArrayToStr(stored.ZoomLevels()), "10");
    EXPECT_EQ(Settings().GetStrSetting(engine::StrSetting::SelectedZoomLevels), "10");
}

}  // namespace
}  // namespace testmainwindow
