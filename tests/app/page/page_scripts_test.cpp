#include "app/page/page_scripts.h"

#include <cmath>

#include <gtest/gtest.h>

#include "app/page/page_host.h"
#include "app/support/qt_print.h"

namespace {

namespace ps = app::pagescript;
using engine::TMapType;

TEST(PageScripts, TextsSentToThePage) {
    geodata::TPOIData poi;
    poi.name = "天安门 \"东\"";
    poi.address = "东长安街";
    poi.telephone = "010-1234";
    poi.detail.tag = "旅游景点";
    poi.detail.url = "http://example.com/a?b=1&c=</script>";
    const std::vector<std::pair<QString, QString>> cases = {
        {ps::SetCenterAndZoom("39.9, 116.4,12"), "setCenterAndZoom(39.9,116.4,12);"},
        // A view position needs three fields; fields that are not numbers take the full
        // view's values, never NaN or 0.
        {ps::SetCenterAndZoom("39.9,x);alert(1"), ""},
        {ps::SetCenterAndZoom("39.9,116.4"), ""},
        {ps::SetCenterAndZoom(""), ""},
        {ps::SetCenterAndZoom("x,,1e999"), "setCenterAndZoom(32.694866,105.996094,4);"},
        {ps::SetCenterAndZoom("39.9,116.4,12.5,7"), "setCenterAndZoom(39.9,116.4,4);"},
        {ps::SetCenterAndZoom(39.9, 116.4, 12), "setCenterAndZoom(39.900000,116.400000,12);"},
        // No call with a number that is not finite reaches the page.
        {ps::SetCenterAndZoom(std::nan(""), 116.4, 12), ""},
        {ps::AddPOI(1, "a", HUGE_VAL, 1, "", false, false), ""},
        {ps::AddNavigationMarker(1, -HUGE_VAL, 3, 0, "", ""), ""},
        {ps::AddNewMarker(1, {std::nan(""), 1}, poi, false), ""},
        {ps::ChangeMapType(TMapType::mtBaidu3D, true, "北京", "39.9,116.4"),
         R"(zeb.map.setMapType(BMAP_PERSPECTIVE_MAP);zeb.map.setCurrentCity("北京");)"},
        {ps::ShowBoundary("_p~iF\\~ps|U"), R"(showBoundary("_p~iF\\~ps|U");)"},
        {ps::AddNewMarker(3, {39.9087, 116.3975}, poi, true),
         R"(addNewMarker(3,39.908700,116.397500,true,"天安门 \"东\"","东长安街","010-1234",)"
         R"("旅游景点","http://example.com/a?b=1&c=\u003C/script\u003E");)"},
        {ps::AddPOI(1700000000123LL, "家", 30.5, 120.25, "a\nb", false, true),
         R"(addPOI(1700000000123,"家",30.500000,120.250000,"a\nb",false,true);)"},
        {ps::AddMarker("31.2,121.5,10", "上海"), R"(addMarker(31.2,121.5,10,"上海");)"},
        {ps::AddNavigationMarker("31.2,121.5,16"), "addNavigationMarker(31.2,121.5,16);"},
        {ps::AddNavigationMarker(31.2, 121.5, 7, 45.678, "2026-01-02 03:04:05", "a\"b"),
         R"(addNavigationMarker(31.20000000,121.50000000,7,45.68,"2026-01-02 03:04:05","a\"b");)"},
        {ps::ClearNavigationMarker(), "clearNavigationMarker();"},
        {ps::DeletePOIMarker(-5), "deletePOIMarker(-5);"},
        {ps::DecodePath("ab"), R"(decodePath("ab");)"},
        {ps::GetBoundary("O'Brien"), R"(getBoundary("O\'Brien");)"},
        {ps::SetMapTypeId(TMapType::mtGoogleRoadMap), R"(zeb.map.setMapTypeId("GOOGLE_ROAD");)"},
        {ps::ChangeMapType(TMapType::mtGoogleSatellite, false),
         R"(changeMapType("GOOGLE_SATELLITE");)"},
        {ps::ChangeMapType(TMapType::mtBaiduRoadMap, true), "zeb.map.setMapType(BMAP_NORMAL_MAP);"},
        {ps::ChangeMapType(TMapType::mtBaiduSatellite, true),
         "zeb.map.setMapType(BMAP_SATELLITE_MAP);"},
        {ps::ChangeMapType(TMapType::mtBaiduHybrid, true), "zeb.map.setMapType(BMAP_HYBRID_MAP);"},
        {ps::ChangeMapType(TMapType::mtBaidu3D, true, "北京", "39.9,116.4,18"),
         R"(zeb.map.setMapType(BMAP_PERSPECTIVE_MAP);zeb.map.setCurrentCity("北京");)"
         "setCenterAndZoom(39.9,116.4,18);"},
        {ps::OfflineMode(true), "setOfflineMode();"},
        {ps::OfflineMode(false), "setOnlineMode();"},
        {ps::TrafficLayer(true), "addTrafficTileLayer();"},
        {ps::TrafficLayer(false), "removeTrafficTileLayer();"},
        {ps::StartMarkerDrawing(false),
         "zeb.drawingManager.setDrawingMode(google.maps.drawing.OverlayType.MARKER);"},
        {ps::StartMarkerDrawing(true),
         "zeb.drawingManager.setDrawingMode(BMAP_DRAWING_MARKER);zeb.drawingManager.open();"},
    };
    for (const auto& [script, expected] : cases) {
        EXPECT_EQ(script, expected);
    }
}

}  // namespace
