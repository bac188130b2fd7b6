// The task name in the window as areas come from the page: a new area proposes a new task
// name, the page reporting back the area it was shown (a loaded task's) keeps the name.
#include <QComboBox>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineView>

#include "main_form_fixture.h"
#include "mainwindow/app/map_events.h"

namespace testmainwindow {
namespace {

using MainFormAreaTest = MainFormFixture;

TEST_F(MainFormAreaTest, OnlyANewAreaProposesANewTaskName) {
    Window();
    auto* profile = Find<QComboBox>("cbbProfile");
    emit Window().Events().areaCompleted("116.1,39.9;116.5,40.1");
    EXPECT_TRUE(profile->currentText().startsWith(QStringLiteral("谷歌地图")))
        << profile->currentText().toStdString();

    profile->setEditText(QStringLiteral("我的任务"));
    emit Window().Events().areaCompleted("116.1,39.9;116.5,40.1");
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

}  // namespace
}  // namespace testmainwindow
