// A task load goes on in the page's answers: until the page has answered its last call, the
// start, the task actions and the layer menu are off, and clicking them changes nothing.
#include <QAction>
#include <QComboBox>
#include <QTest>
#include <QToolButton>

#include "engine/tasks/profiles.h"
#include "main_form_fixture.h"

namespace testmainwindow {
namespace {

using MainFormPageWaitTest = MainFormFixture;

TEST_F(MainFormPageWaitTest, StartAndASecondLayerDuringATaskLoadLoseAndMixNothing) {
    const auto file = dir_ / "Profiles" / "甲.zeb";
    {
        engine::TProfiles task(dir_ / "Profiles");
        task.SetName("甲");
        task.SetMapTypeIndex(static_cast<int>(engine::TMapType::mtGoogleRoadMap));
        task.SetCoordinates("116.1,39.9,116.5,40.1");
        engine::TZoomLevelArray levels{};
        levels[12].Checked = true;
        task.SetZoomLevels(levels);
        task.SetBookmark("39.9,116.3,10");
        task.Save();
    }
    const std::string stored = testsupport::ReadFileBytes(file);
    Settings().SetIntSetting(engine::IntSetting::MapTypeIndex,
                             static_cast<int>(engine::TMapType::mtGoogleSatellite));
    Window().show();
    auto* start = Find<QAction>("actDownLoadStart");
    auto* otherLayer = Find<QAction>("mniMapType21");
    Find<QComboBox>("cbbProfile")->setEditText(QStringLiteral("甲"));
    Find<QAction>("actProfileLoad")->trigger();
    ASSERT_EQ(fakes_.page.unanswered.size(), 1u) << "the page is asked for the centre first";

    for (int answered = 0; answered < 2; ++answered) {
        SCOPED_TRACE(answered);
        EXPECT_FALSE(start->isEnabled());
        EXPECT_FALSE(otherLayer->isEnabled());
        EXPECT_FALSE(Find<QAction>("actProfileSave")->isEnabled());
        EXPECT_FALSE(Find<QAction>("actProfileLoad")->isEnabled());
        QTest::mouseClick(Find<QToolButton>("btnDownload"), Qt::LeftButton);
        start->trigger();
        otherLayer->trigger();
        EXPECT_FALSE(Find<QToolButton>("btnDownload")->isHidden()) << "no task started";
        ASSERT_TRUE(fakes_.page.AnswerNext());
    }
    fakes_.page.AnswerAll();

    // The task's layer is shown, marked and stored; the other layer never reached the page.
    EXPECT_EQ(fakes_.page.mapType, engine::TMapType::mtGoogleRoadMap);
    EXPECT_EQ(Settings().GetIntSetting(engine::IntSetting::MapTypeIndex),
              static_cast<int>(engine::TMapType::mtGoogleRoadMap));
    EXPECT_TRUE(Find<QAction>("mniMapType3")->isChecked());
    EXPECT_FALSE(otherLayer->isChecked());
    ASSERT_EQ(fakes_.page.scripts.size(), 3) << fakes_.page.scripts.join('\n').toStdString();
    EXPECT_TRUE(fakes_.page.scripts[0].startsWith("setCenterAndZoom("));
    EXPECT_TRUE(fakes_.page.scripts[1].startsWith("showBoundary("));
    EXPECT_TRUE(fakes_.page.scripts[2].startsWith("changeMapType(\"GOOGLE_ROAD\")"))
        << fakes_.page.scripts[2].toStdString();
    // A start would have saved the half-loaded task (on the layer shown before).
    EXPECT_EQ(testsupport::ReadFileBytes(file), stored);
    EXPECT_TRUE(fakes_.messages.shown.empty());
    EXPECT_TRUE(start->isEnabled());
    EXPECT_TRUE(otherLayer->isEnabled());
}

}  // namespace
}  // namespace testmainwindow
