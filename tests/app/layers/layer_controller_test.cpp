// Layer switching, the zoom levels per layer and the page's map events.
#include "app/layers/layer_controller.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

#include "app/support/fake_services.h"
#include "engine/core/catalogue.h"
#include "engine/core/datum.h"
#include "engine/settings/settings.h"
#include "geodata/boundary/boundary_store.h"
#include "support/temp_dir.h"

namespace testmainwindow {
namespace {

using app::ZoomRange;
using engine::TMapType;

TEST(ZoomLevelRangeTest, EveryLayerGroupOffersItsLevels) {
    struct Case {
        std::vector<int> layers;
        bool bigFont;
        ZoomRange range;
    };
    const Case cases[] = {
        {{0}, false, {0, 18}},
        {{0}, true, {0, 19}},
        {{3, 4, 5, 6, 8, 9}, false, {0, 21}},
        {{3, 4, 6}, true, {0, 21}},
        {{7, 10, 14}, false, {0, 15}},
        {{16, 45, 46, 47}, false, {1, 19}},
        {{17, 18, 19, 20, 23, 24}, false, {0, 21}},
        {{27, 32, 33}, false, {0, 17}},
        {{28, 29, 30, 31}, false, {0, 16}},
        {{37}, false, {2, 14}},
        {{38}, false, {1, 13}},
        {{39}, false, {0, 11}},
        {{40}, false, {4, 14}},
        {{1, 2, 11, 12, 13, 15, 21, 22, 25, 26, 34, 35, 36, 41, 42, 43, 44, 48}, false, {0, 18}},
        {{1, 48}, true, {0, 18}},
    };
    int covered = 0;
    for (const Case& c : cases) {
        for (int layer : c.layers) {
            EXPECT_EQ(app::ZoomLevelRange(static_cast<TMapType>(layer), c.bigFont), c.range)
                << "layer " << layer << " bigFont " << c.bigFont;
            covered += c.bigFont ? 0 : 1;
        }
    }
    EXPECT_EQ(covered, engine::kMapTypeCount);
}

TEST(ZoomLevelRangeTest, LevelsOutsideTheRangeAreDisabledAndUnticked) {
    engine::TZoomLevelArray selection{};
    selection[2].Checked = selection[4].Checked = selection[14].Checked = true;
    selection[15].Checked = selection[21].Checked = true;
    const auto states = app::ZoomItemsFor({4, 14}, selection);
    for (int level = 0; level < engine::kZoomLevelCount; ++level) {
        EXPECT_EQ(states[level].enabled, level >= 4 && level <= 14) << level;
        EXPECT_EQ(states[level].checked, level == 4 || level == 14) << level;
    }
}

class LayerControllerTest : public ::testing::Test {
  protected:
    LayerControllerTest()
        : settings_(engine::SettingsPaths{dir_ / "settings.ini", dir_ / "MapDownload",
                                          dir_ / "Cache", dir_ / "CefCache"}) {
        Show(TMapType::mtGoogleSatellite);
        app::LayerController::Hooks hooks;
        hooks.setArea = [this](std::vector<engine::TGLatLng> points, QString text, int count) {
            areaPoints_ = std::move(points);
            areaText_ = text;
            areaCount_ = count;
        };
        hooks.calculateStart = [this] { ++recounts_; };
        hooks.taskArea = [this] { return taskArea_; };
        layers_ =
            std::make_unique<app::LayerController>(settings_, fakes_.services, std::move(hooks));
        layers_->SetAppTitle("Vantorel 0.1");
    }
    void Show(TMapType type) {
        fakes_.page.mapType = type;
        settings_.SetIntSetting(engine::IntSetting::MapTypeIndex, static_cast<int>(type));
        // As start-up and a task load mark the shown layer.
        if (layers_)
            layers_->CheckMapTypeMenu(type);
    }

    testsupport::TempDir dir_;
    engine::TSettings settings_;
    FakeServices fakes_;
    std::unique_ptr<app::LayerController> layers_;
    std::vector<engine::TGLatLng> areaPoints_;
    std::vector<engine::TGLatLng> taskArea_;
    QString areaText_;
    int areaCount_ = -1;
    int recounts_ = 0;
};

TEST_F(LayerControllerTest, ChoosingTheShownLayerDoesNothing) {
    QSignalSpy checked(layers_.get(), &app::LayerController::mapTypeChecked);
    layers_->ChangeMapType(4);
    EXPECT_TRUE(fakes_.page.scripts.isEmpty());
    EXPECT_EQ(fakes_.page.loads, 0);
    EXPECT_EQ(recounts_, 0);
    EXPECT_EQ(checked.count(), 0);
}

TEST_F(LayerControllerTest, SwitchWithinAFamilyCallsThePageAcrossFamiliesReloads) {
    struct Step {
        int tag;
        int loads;       // page loads after the step
        QString script;  // the page call, empty for a reload
        QString caption;
    };
    const Step steps[] = {
        {3, 0, "changeMapType(", "Vantorel 0.1 - 谷歌地图-街道图"},
        {46, 1, "", "Vantorel 0.1 - 百度地图-卫星图"},
        {47, 1, "zeb.map.setMapType(BMAP_HYBRID_MAP);", "Vantorel 0.1 - 百度地图-混合图"},
        {40, 2, "", "Vantorel 0.1 - 其他地图-英国1919-47"},
    };
    QSignalSpy checked(layers_.get(), &app::LayerController::mapTypeChecked);
    QSignalSpy levels(layers_.get(), &app::LayerController::zoomItemsChanged);
    int recounts = 0;
    for (const Step& step : steps) {
        fakes_.page.scripts.clear();
        layers_->ChangeMapType(step.tag);
        fakes_.page.AnswerAll();
        EXPECT_EQ(fakes_.page.loads, step.loads) << step.tag;
        EXPECT_EQ(static_cast<int>(fakes_.page.mapType), step.tag);
        EXPECT_EQ(settings_.GetIntSetting(engine::IntSetting::MapTypeIndex), step.tag);
        EXPECT_EQ(static_cast<int>(layers_->OldMapType()), step.tag);
        if (step.script.isEmpty()) {
            EXPECT_TRUE(fakes_.page.scripts.isEmpty()) << step.tag;
        } else {
            ASSERT_EQ(fakes_.page.scripts.size(), 1) << step.tag;
            EXPECT_TRUE(fakes_.page.scripts[0].startsWith(step.script)) << step.tag;
        }
        EXPECT_EQ(checked.last().at(1).toString(), step.caption);
        EXPECT_EQ(recounts_, ++recounts);
    }
    // Layer 40 offers levels 4 to 14 only.
    const auto states = levels.last().at(0).value<app::ZoomItemStates>();
    EXPECT_FALSE(states[3].enabled);
    EXPECT_TRUE(states[4].enabled);
    EXPECT_FALSE(states[15].enabled);
}

TEST_F(LayerControllerTest, TheNewLayerIsStoredBeforeThePageIsToldAndASecondSwitchWaits) {
    QSignalSpy focus(layers_.get(), &app::LayerController::focusMapRequested);
    QSignalSpy checked(layers_.get(), &app::LayerController::mapTypeChecked);
    layers_->ChangeMapType(3);
    ASSERT_EQ(fakes_.page.unanswered.size(), 1u);
    EXPECT_TRUE(fakes_.pageWait.Busy());
    EXPECT_EQ(settings_.GetIntSetting(engine::IntSetting::MapTypeIndex), 3);
    EXPECT_EQ(layers_->OldMapType(), TMapType::mtGoogleRoadMap);
    EXPECT_EQ(fakes_.page.mapType, TMapType::mtGoogleRoadMap);
    EXPECT_EQ(recounts_, 1);
    EXPECT_EQ(focus.count(), 0) << "the map gets the focus once the page has switched";

    // Another layer while the page has not answered: nothing at all, of either family.
    for (const int other : {6, 46}) {
        layers_->ChangeMapType(other);
    }
    EXPECT_EQ(fakes_.page.scripts.size(), 1);
    EXPECT_EQ(fakes_.page.loads, 0);
    EXPECT_EQ(checked.count(), 1);
    EXPECT_EQ(settings_.GetIntSetting(engine::IntSetting::MapTypeIndex), 3);
    EXPECT_EQ(recounts_, 1);

    fakes_.page.AnswerAll();
    EXPECT_FALSE(fakes_.pageWait.Busy());
    EXPECT_EQ(focus.count(), 1);
    // Once answered, the next switch goes to the other family from the layer now shown.
    layers_->ChangeMapType(46);
    EXPECT_EQ(fakes_.page.loads, 1);
    EXPECT_EQ(layers_->OldMapType(), TMapType::mtBaiduSatellite);
}

TEST_F(LayerControllerTest, BaiduThreeDCallsTheCityAndClearsBigFont) {
    Show(TMapType::mtBaiduRoadMap);
    settings_.SetBoolSetting(engine::BoolSetting::BigFontMode, true);
    layers_->ChangeMapType(48);
    ASSERT_EQ(fakes_.page.scripts.size(), 1);
    EXPECT_TRUE(fakes_.page.scripts[0].startsWith(
        "zeb.map.setMapType(BMAP_PERSPECTIVE_MAP);zeb.map.setCurrentCity(\"北京\");"));
    EXPECT_FALSE(settings_.GetBoolSetting(engine::BoolSetting::BigFontMode));
}

TEST_F(LayerControllerTest, MouseAndZoomTexts) {
    QSignalSpy mouse(layers_.get(), &app::LayerController::mouseTextChanged);
    QSignalSpy zoom(layers_.get(), &app::LayerController::zoomTextChanged);
    layers_->OnMapMouseMoveEvent(39.9, 116.4);
    ASSERT_EQ(mouse.count(), 1);
    EXPECT_EQ(mouse[0][0].toString(), "经纬度:116.40000,39.90000");

    layers_->OnMapZoomChangedEvent(10);
    ASSERT_EQ(zoom.count(), 1);
    EXPECT_EQ(zoom[0][0].toString(),
              QString("地图级别:10 比例尺:1/%1 分辨率:%2米/像素 ")
                  .arg(static_cast<qint64>(engine::ZoomScales[10]))
                  .arg(QString::number(engine::ZoomResolutions[10], 'f', 1)));
    EXPECT_EQ(settings_.GetIntSetting(engine::IntSetting::ZoomLevel), 10);
    for (int bad : {-1, 24, 1000}) {
        layers_->OnMapZoomChangedEvent(bad);
    }
    EXPECT_EQ(zoom.count(), 1);
    EXPECT_EQ(settings_.GetIntSetting(engine::IntSetting::ZoomLevel), 10);
}

TEST_F(LayerControllerTest, CentreIsStoredInGcjAndAsksForTheDistrictOnANewCell) {
    QSignalSpy district(layers_.get(), &app::LayerController::districtQueryRequested);
    settings_.SetFloatSetting(engine::FloatSetting::Latitude, 39.901);
    settings_.SetFloatSetting(engine::FloatSetting::Longitude, 116.401);
    layers_->OnMapCenterChanged(39.902, 116.403);
    EXPECT_EQ(district.count(), 0);
    layers_->OnMapCenterChanged(39.95, 116.403);
    EXPECT_EQ(district.count(), 1);
    EXPECT_DOUBLE_EQ(settings_.GetFloatSetting(engine::FloatSetting::Latitude), 39.95);

    Show(TMapType::mtBaiduRoadMap);
    layers_->OnMapCenterChanged(39.96, 116.41);
    double lat = 0, lng = 0;
    engine::BD09ToGCJ02(39.96, 116.41, lat, lng);
    EXPECT_NEAR(settings_.GetFloatSetting(engine::FloatSetting::Latitude), lat, 1e-9);
    EXPECT_NEAR(settings_.GetFloatSetting(engine::FloatSetting::Longitude), lng, 1e-9);
    EXPECT_GT(std::abs(lat - 39.96), 1e-4);
}

TEST_F(LayerControllerTest, AreaBecomesTheDownloadAreaWithANameAndARecount) {
    settings_.SetStrSetting(engine::StrSetting::LastNodeText, "北京市");
    QSignalSpy memo(layers_.get(), &app::LayerController::coordinatesTextShown);
    QSignalSpy name(layers_.get(), &app::LayerController::profileNameProposed);
    layers_->OnPlotLatlngsEvent("");
    EXPECT_EQ(recounts_, 0);
    EXPECT_EQ(name.count(), 0);

    layers_->OnPlotLatlngsEvent("116.1,39.9;116.5,40.1");
    EXPECT_EQ(areaText_, "116.1,39.9,116.5,40.1");
    EXPECT_EQ(areaCount_, 4);  // two points span a rectangle
    EXPECT_EQ(areaPoints_.size(), 4u);
    ASSERT_EQ(memo.count(), 1);
    EXPECT_EQ(memo[0][0].toString(), "116.1,39.9,116.5,40.1");
    ASSERT_EQ(name.count(), 1);
    EXPECT_TRUE(name[0][0].toString().startsWith("北京市"));
    EXPECT_GT(name[0][0].toString().size(), QString("北京市").size());
    EXPECT_EQ(recounts_, 1);

    // An outline of 80 vertices is taken but not written into the coordinate box.
    QStringList pairs;
    for (int i = 0; i < 80; ++i)
        pairs << QString("%1,%2").arg(100 + i * 0.01).arg(30 + (i % 7) * 0.01);
    layers_->OnPlotLatlngsEvent(pairs.join(','));
    EXPECT_EQ(areaCount_, 80);
    EXPECT_EQ(memo.count(), 1);
    EXPECT_EQ(recounts_, 2);
}

TEST_F(LayerControllerTest, ThePageReportingTheTasksAreaBackKeepsTheTasksName) {
    QSignalSpy name(layers_.get(), &app::LayerController::profileNameProposed);
    // The area of the task last loaded or saved.
    taskArea_ = geodata::TBoundary::StrToArray(
        "116.123456,39.912345,116.523456,39.912345,116.523456,40.112345,116.123456,40.112345");
    struct Case {
        const char* what;
        const char* reported;
        bool renamed;
    };
    const Case cases[] = {
        {"the same area, rounded by the encoded path",
         "116.12346,39.91235;116.52346,39.91234;116.52345,40.11235;116.12346,40.11234", false},
        {"the same area from its last vertex back, as the Google page reports a polygon",
         "116.12346,40.11234;116.52345,40.11235;116.52346,39.91234;116.12346,39.91235", false},
        {"the same area from another vertex",
         "116.52345,40.11235;116.12346,40.11234;116.12346,39.91235;116.52346,39.91234", false},
        {"the same rectangle as two corners", "116.523456,40.112345,116.123456,39.912345", false},
        {"one vertex moved",
         "116.12346,39.91235;116.52346,39.91234;116.52345,40.2;116.12346,40.11234", true},
        {"the vertices in another order",
         "116.12346,39.91235;116.52345,40.11235;116.52346,39.91234;116.12346,40.11234", true},
        {"another vertex count", "116.1,39.9;116.5,40.1;116.3,40.3", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        name.clear();
        const int recounts = recounts_;
        layers_->OnPlotLatlngsEvent(c.reported);
        EXPECT_EQ(name.count(), c.renamed ? 1 : 0);
        EXPECT_EQ(recounts_, recounts + 1);  // the area is taken and counted either way
    }
    // Without a named task, even the area shown already is offered a name.
    layers_->OnPlotLatlngsEvent(cases[1].reported);
    taskArea_.clear();
    name.clear();
    layers_->OnPlotLatlngsEvent(cases[1].reported);
    EXPECT_EQ(name.count(), 1);
}

// A page loaded afresh is given the download area again: its reports of that area keep the
// name in the box until the page reports another area, which is the user's and named anew.
TEST_F(LayerControllerTest, TheRedrawOfTheAreaAfterAReloadKeepsTheTypedName) {
    QSignalSpy name(layers_.get(), &app::LayerController::profileNameProposed);
    layers_->ExpectRedraw("116.30,39.90,116.42,39.91,116.36,39.97");
    for (const char* reported : {"116.30000,39.90000,116.42000,39.91000,116.36000,39.97000",
                                 "116.36000,39.97000,116.42000,39.91000,116.30000,39.90000"}) {
        layers_->OnPlotLatlngsEvent(reported);
    }
    EXPECT_EQ(name.count(), 0);
    EXPECT_EQ(recounts_, 2) << "the redrawn area is still taken and counted";
    layers_->OnPlotLatlngsEvent("116.5,40.1,116.6,40.2");
    EXPECT_EQ(name.count(), 1);
    layers_->OnPlotLatlngsEvent("116.30000,39.90000,116.42000,39.91000,116.36000,39.97000");
    EXPECT_EQ(name.count(), 2) << "once another area came, the old one is the user's again";
}

}  // namespace
}  // namespace testmainwindow
