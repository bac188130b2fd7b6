// The POI panel's widgets follow the search and act through the controller.
#include "app/poi/poi_panel.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>
#include <httplib.h>
#include <nlohmann/json.hpp>

#include "app/places/fake_text_dialogs.h"
#include "app/places/fake_web.h"
#include "app/poi/poi_controller.h"
#include "app/support/fake_services.h"
#include "app/widgets/progress_bar_ex.h"
#include "engine/settings/settings.h"
#include "geodata/search/poi_searcher.h"

namespace {

class PoiPanelTest : public testplaces::FakeWebTest {
  protected:
    void SetUp() override {
        FakeWebTest::SetUp();
        settings = std::make_unique<engine::TSettings>(engine::SettingsPaths{
            temp / "settings.ini", temp / "out", temp / "Cache", temp / "CefCache"});
        settings->SetStrSetting(engine::StrSetting::BaiduAK, "own");
        settings->SetBoolSetting(engine::BoolSetting::AutoCreatePOIMarker, false);
        nlohmann::json results = nlohmann::json::array();
        for (int i = 0; i < 3; ++i) {
            results.push_back({{"uid", "u" + std::to_string(i)},
                               {"name", "店" + std::to_string(i)},
                               {"location", {{"lat", 39.9}, {"lng", 116.4}}}});
        }
        auto answer = testplaces::JsonBody(
            nlohmann::json{{"status", 0}, {"total", 3}, {"results", results}}.dump());
        answer.delay = std::chrono::milliseconds(100);
        server.SetAnswer(ServerPath(geodata::TPOISearcher::RequestUrl({})), answer);
        controller =
            std::make_unique<app::PoiController>(fake.services, dialogs, *settings, cacheDir);
        panel = std::make_unique<app::PoiPanel>(*controller);
        panel->show();
    }
    void TearDown() override {
        panel.reset();
        controller.reset();
        FakeWebTest::TearDown();
    }

    testmainwindow::FakeServices fake;
    testplaces::FakeTextDialogs dialogs;
    std::unique_ptr<engine::TSettings> settings;
    std::unique_ptr<app::PoiController> controller;
    std::unique_ptr<app::PoiPanel> panel;
};

TEST_F(PoiPanelTest, NamesAndFirstState) {
    for (const char* name : {"lblPOICount", "lbl4", "edtKeyWord", "edtQueryTag", "btnSearchPOIs",
                             "btnPOIExport", "btnPOICancel", "pbPOI", "lstPOI", "pmPOI",
                             "actPOIExport", "actAllPOI2Map", "lblPOINotice"}) {
        EXPECT_NE(panel->findChild<QObject*>(QString::fromLatin1(name)), nullptr) << name;
    }
    EXPECT_EQ(panel->lblPOICount->text(), QStringLiteral("POI下载"));
    EXPECT_EQ(panel->lbl4->text(), QStringLiteral("X"));
    EXPECT_EQ(panel->lbl4->toolTip(), QStringLiteral("关闭"));
    EXPECT_EQ(panel->edtKeyWord->text(), QStringLiteral("酒店"));
    EXPECT_FALSE(panel->btnPOICancel->isVisible());
    EXPECT_FALSE(panel->pbPOI->isVisible());
    EXPECT_FALSE(panel->lblPOINotice->isVisible());
    EXPECT_FALSE(panel->actPOIExport->isEnabled());
    // The list's pop-up offers no export while there is nothing to export.
    emit panel->lstPOI->customContextMenuRequested(QPoint(5, 5));
    ASSERT_FALSE(panel->pmPOI->actions().isEmpty());
    EXPECT_EQ(panel->pmPOI->actions().front()->text(), QStringLiteral("导出..."));
    EXPECT_FALSE(panel->pmPOI->actions().front()->isEnabled());
    panel->pmPOI->close();
}

TEST_F(PoiPanelTest, SearchShowsProgressThenRows) {
    QTest::mouseClick(panel->btnSearchPOIs, Qt::LeftButton);
    EXPECT_FALSE(panel->btnSearchPOIs->isEnabled());
    EXPECT_TRUE(panel->btnPOICancel->isVisible());
    EXPECT_TRUE(panel->pbPOI->isVisible());
    EXPECT_EQ(panel->pbPOI->CaptionLabel()->text(), QStringLiteral("0.00%"));
    EXPECT_FALSE(panel->actAllPOI2Map->isEnabled());
    ASSERT_TRUE(testplaces::WaitFor([&] { return !controller->Searching(); }));
    EXPECT_TRUE(panel->btnSearchPOIs->isEnabled());
    EXPECT_FALSE(panel->btnPOICancel->isVisible());
    EXPECT_FALSE(panel->pbPOI->isVisible());
    EXPECT_TRUE(panel->actAllPOI2Map->isEnabled());
    EXPECT_TRUE(panel->actPOIExport->isEnabled());
    emit panel->lstPOI->customContextMenuRequested(QPoint(5, 5));
    EXPECT_TRUE(panel->pmPOI->actions().front()->isEnabled());
    panel->pmPOI->close();
    ASSERT_EQ(panel->lstPOI->count(), 3);
    EXPECT_EQ(panel->lstPOI->item(1)->text(), QStringLiteral("u1"));
    EXPECT_EQ(panel->lstPOI->visualItemRect(panel->lstPOI->item(1)).height(), 61);
    EXPECT_EQ(panel->lblPOICount->text(), QStringLiteral("POI下载 [3]"));

    const QRect second = panel->lstPOI->visualItemRect(panel->lstPOI->item(1));
    QTest::mouseClick(panel->lstPOI->viewport(), Qt::LeftButton, {}, second.center());
    ASSERT_FALSE(fake.page.scripts.isEmpty());
    EXPECT_TRUE(fake.page.scripts.back().startsWith(QStringLiteral("addNewMarker(1,")));
    panel->SelectMarkerRow(QStringLiteral("2"));
    EXPECT_EQ(panel->lstPOI->currentRow(), 2);
    panel->SelectMarkerRow(QStringLiteral("7"));
    EXPECT_EQ(panel->lstPOI->currentRow(), 2);

    // All rows on the map: the bar counts the rows over the search button until they are all
    // placed.
    panel->actAllPOI2Map->trigger();
    EXPECT_TRUE(panel->pbPOI->isVisible());
    EXPECT_EQ(panel->pbPOI->maximum(), 3);
    EXPECT_EQ(panel->pbPOI->value(), 1) << "row 0 goes on the map at once";
    EXPECT_TRUE(panel->btnSearchPOIs->geometry().contains(panel->pbPOI->geometry()));
    ASSERT_TRUE(testplaces::WaitFor([&] { return !controller->Placing(); }));
    EXPECT_FALSE(panel->pbPOI->isVisible());
    EXPECT_TRUE(fake.page.scripts.back().startsWith(QStringLiteral("addNewMarker(2,")));
}

TEST_F(PoiPanelTest, AFailedSearchIsSaidInThePanelUntilTheNextSearch) {
    server.SetAnswer(ServerPath(geodata::TPOISearcher::RequestUrl({})),
                     testplaces::JsonBody("Internal Server Error", 500));
    QTest::mouseClick(panel->btnSearchPOIs, Qt::LeftButton);
    ASSERT_TRUE(testplaces::WaitFor([&] { return !controller->Searching(); }));
    EXPECT_TRUE(panel->lblPOINotice->isVisible());
    EXPECT_TRUE(panel->lblPOINotice->text().startsWith(QStringLiteral("POI搜索失败")));
    EXPECT_TRUE(fake.messages.shown.empty());

    auto answer = testplaces::JsonBody(R"({"status":0,"total":1,"results":[{"uid":"u"}]})");
    answer.delay = std::chrono::milliseconds(100);
    server.SetAnswer(ServerPath(geodata::TPOISearcher::RequestUrl({})), answer);
    QTest::mouseClick(panel->btnSearchPOIs, Qt::LeftButton);
    EXPECT_FALSE(panel->lblPOINotice->isVisible());
    ASSERT_TRUE(testplaces::WaitFor([&] { return !controller->Searching(); }));
    EXPECT_FALSE(panel->lblPOINotice->isVisible());
    EXPECT_EQ(panel->lstPOI->count(), 1);
}

TEST_F(PoiPanelTest, CloseLabel) {
    QTest::mouseClick(panel->lbl4, Qt::LeftButton);
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_FALSE(settings->GetBoolSetting(engine::BoolSetting::ShowPOISearchBar));
}

}  // namespace
