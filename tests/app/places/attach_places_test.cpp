// The place and POI panels in the main window: where they sit and how the area flows.
#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTest>
#include <QTreeWidget>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <cstdlib>

#include "app/frame/main_form_fixture.h"
#include "app/frame/map_events.h"
#include "app/places/location_bar.h"
#include "app/places/web_gmaps_lookup_edit.h"
#include "app/poi/poi_panel.h"
#include "fake_web.h"
#include "geodata/boundary/boundary_store.h"
#include "geodata/search/geocoder.h"
#include "geodata/text/encoding.h"

namespace testmainwindow {
namespace {

class AttachPlacesTest : public MainFormFixture {
  protected:
    // A click on the place's row of the tree, as the user makes it.
    void ClickPlace(const QString& name) {
        auto* tree = Find<QTreeWidget>("tvCity");
        const auto found = tree->findItems(name, Qt::MatchExactly | Qt::MatchRecursive);
        ASSERT_EQ(found.size(), 1);
        tree->scrollToItem(found[0]);
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {},
                          tree->visualItemRect(found[0]).center());
    }
};

TEST_F(AttachPlacesTest, PanelsSitInTheirSections) {
    Settings().SetStrSetting(engine::StrSetting::LastNodeText, "鼓楼区(320106)");
    Window();
    auto* tree = Find<QTreeWidget>("tvCity");
    ASSERT_NE(tree, nullptr);
    EXPECT_TRUE(Find<QWidget>("pnlChinaCity")->isAncestorOf(tree));
    EXPECT_TRUE(Find<QWidget>("pnlChinaCity")
                    ->isAncestorOf(Find<app::TWebGMapsLookupEdit>("WebGMapsLookupEdit1")));
    ASSERT_GE(tree->topLevelItemCount(), 6);
    EXPECT_EQ(tree->topLevelItem(0)->text(0), QStringLiteral("中国"));
    ASSERT_NE(tree->currentItem(), nullptr);
    EXPECT_EQ(tree->currentItem()->text(0), QStringLiteral("鼓楼区(320106)"));
    EXPECT_EQ(tree->currentItem()->parent()->text(0), QStringLiteral("南京市"));

    auto* box = Find<QPlainTextEdit>("mmoCoordinates");
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(Find<QWidget>("pnlCoordinates")->isAncestorOf(box));
    EXPECT_TRUE(Find<QWidget>("pnlPOI")->isAncestorOf(Find<QWidget>("lstPOI")));

    // "POI下载" shows and hides the panel.
    auto* act = Find<QAction>("actPOISearch");
    EXPECT_TRUE(act->isEnabled());
    act->trigger();
    EXPECT_TRUE(Find<QWidget>("pnlPOI")->isHidden());
    EXPECT_FALSE(Settings().GetBoolSetting(engine::BoolSetting::ShowPOISearchBar));
    act->trigger();
    EXPECT_FALSE(Find<QWidget>("pnlPOI")->isHidden());
}

TEST_F(AttachPlacesTest, PoiPanelStartsWithTheStoredKeywordAndTag) {
    Settings().SetStrSetting(engine::StrSetting::POIKeyWord, "加油站");
    Settings().SetStrSetting(engine::StrSetting::POIQueryTag, "中石化");
    Window();
    EXPECT_EQ(Find<QLineEdit>("edtKeyWord")->text(), QStringLiteral("加油站"));
    EXPECT_EQ(Find<QLineEdit>("edtQueryTag")->text(), QStringLiteral("中石化"));
}

TEST_F(AttachPlacesTest, AnOutlineBecomesTheAreaAndCanBeExported) {
    {
        geodata::TBoundary store(Paths().configFile.parent_path() / "boundary.dat");
        store.Save("玄武区", "_p~iF~ps|U_ulLnnqC_mqNvxq`@");
    }
    Window().show();
    ClickPlace(QStringLiteral("玄武区"));
    ASSERT_FALSE(fakes_.page.scripts.isEmpty());
    EXPECT_EQ(fakes_.page.scripts.back(),
              QStringLiteral("showBoundary(\"_p~iF~ps|U_ulLnnqC_mqNvxq`@\");"));
    EXPECT_TRUE(Find<QComboBox>("cbbProfile")->currentText().startsWith(QStringLiteral("玄武区")));

    // The page reports the shown outline back as the area.
    EXPECT_FALSE(Find<QAction>("actExportBoundary")->isEnabled());
    emit Window().Events().areaCompleted(QStringLiteral("118.79,32.05;118.85,32.10;118.90,32.04"));
    EXPECT_TRUE(Find<QAction>("actExportBoundary")->isEnabled());
    EXPECT_EQ(Find<QPlainTextEdit>("mmoCoordinates")->toPlainText(),
              QStringLiteral("118.79,32.05,118.85,32.10,118.90,32.04"));
}

TEST_F(AttachPlacesTest, ADrawnAreaDoesNotReplaceTheClickedPlacesOutline) {
    const auto store = Paths().configFile.parent_path() / "boundary.dat";
    const std::string outline = "_p~iF~ps|U_ulLnnqC_mqNvxq`@";
    geodata::TBoundary(store).Save("玄武区", outline);
    Window().show();
    ClickPlace(QStringLiteral("玄武区"));
    // The page shows the outline and reports it back, then the user draws a rectangle.
    emit Window().Events().areaCompleted(
        QStringLiteral("-126.453,43.252,-120.95,40.7,-120.2,38.5"));
    emit Window().Events().areaCompleted(QStringLiteral("118.5,32.5;118.9,31.9"));

    auto* menu = Find<QMenu>("pmCity");
    ASSERT_NE(menu, nullptr);
    auto* save = Find<QAction>("actSavePartitionDistrict");
    save->trigger();
    EXPECT_EQ(geodata::TBoundary(store).GetLatLngs("玄武区"), outline);
    QMetaObject::invokeMethod(menu, "aboutToShow");
    EXPECT_FALSE(save->isEnabled()) << "nothing goes with the place's name any more";

    // A click on the place pairs its outline with its name again.
    ClickPlace(QStringLiteral("玄武区"));
    QMetaObject::invokeMethod(menu, "aboutToShow");
    EXPECT_TRUE(save->isEnabled());
}

TEST_F(AttachPlacesTest, FirstPageLoadShowsTheDistrictInTheLocationBar) {
    testsupport::LoopbackServer server;
    setenv("VANTOREL_ROUTE", server.BaseUrl().c_str(), 1);
    const std::string url = geodata::DistrictQueryUrl(39.91, 116.40);
    server.SetAnswer("/" + url.substr(url.find("://") + 3, url.find('?') - url.find("://") - 3),
                     testplaces::JsonBody(geodata::Utf8ToGbk(
                         R"({"report":"0","dist":"中国,北京市,北京市,东城区"})")));
    Settings().SetFloatSetting(engine::FloatSetting::Latitude, 39.91);
    Settings().SetFloatSetting(engine::FloatSetting::Longitude, 116.40);
    Settings().SetIntSetting(engine::IntSetting::ZoomLevel, 12);
    Window().show();
    auto* bar = Find<app::LocationBar>("pnlLocation");
    ASSERT_NE(bar, nullptr);

    // The lookup runs once the page is there, and the bar is placed after the window was built.
    emit Window().MapView()->page()->loadFinished(true);
    EXPECT_TRUE(testplaces::WaitFor([bar] { return bar->isVisible(); }));
    EXPECT_EQ(bar->text(), QStringLiteral("当前位置：中国>北京市>北京市>东城区"));
    testplaces::Settle();
    unsetenv("VANTOREL_ROUTE");
}

// A district lookup that cannot be read is said in the status bar, not in a message box.
TEST_F(AttachPlacesTest, AFailedDistrictLookupIsSaidInTheStatusBar) {
    testsupport::LoopbackServer server;
    setenv("VANTOREL_ROUTE", server.BaseUrl().c_str(), 1);
    const std::string url = geodata::DistrictQueryUrl(39.91, 116.40);
    server.SetAnswer("/" + url.substr(url.find("://") + 3, url.find('?') - url.find("://") - 3),
                     testplaces::JsonBody("Internal Server Error", 500));
    Settings().SetFloatSetting(engine::FloatSetting::Latitude, 39.91);
    Settings().SetFloatSetting(engine::FloatSetting::Longitude, 116.40);
    Window().show();
    emit Window().MapView()->page()->loadFinished(true);
    auto* status = Find<QStatusBar>("StatusBar");
    ASSERT_NE(status, nullptr);
    EXPECT_TRUE(testplaces::WaitFor([status] { return !status->currentMessage().isEmpty(); }));
    EXPECT_EQ(status->currentMessage(),
              QStringLiteral("当前位置查询失败：无法读取行政区服务的答复。"));
    EXPECT_TRUE(fakes_.messages.shown.empty());
    testplaces::Settle();
    unsetenv("VANTOREL_ROUTE");
}

}  // namespace
}  // namespace testmainwindow
