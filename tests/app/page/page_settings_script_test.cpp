#include "app/page/page_settings_script.h"

#include <gtest/gtest.h>

#include "app/support/qt_print.h"
#include "engine/core/datum.h"
#include "engine/core/number_format.h"
#include "support/temp_dir.h"

namespace {

using namespace app;

// The settings lines as the pages ship them, with lines the rewrite must leave alone.
const QStringList kGoogleScript = {
    "var zeb = window.zeb || {};",
    "zeb.coordGridExists = false;",
    "zeb.showCoordGrid = false;",
    "zeb.offlineMode = false;",
    "zeb.showCopyright = true;",
    "zeb.showResolutionMapScale = true;",
    "zeb.GOOGLE_M_VER = \"264\";",
    "zeb.GOOGLE_H_VER = \"264\";",
    "zeb.GOOGLE_S_VER = \"150\";",
    "zeb.languageCode = \"zh-cn\";",
    "zeb.mapsever = \"http://mt{0}.google.cn\";",
    "zeb.DEFAULT_MAPTYPE_INDEX = 0;",
    "zeb.DEFAULT_LATITUDE = 23.540307;",
    "zeb.DEFAULT_LONGITUDE = 111.772463;",
    "zeb.DEFAULT_ZOOM = 4; ",
    "zeb.GOOGLE_HD_VER = \"\";",
    "zeb.STYLE_PARAMS_URL = \"\"; ",
    "zeb.showAreaLabel = true;",
    "zeb.TILE_PATH = \"C:\\\\GPSCache\\\\\";",
    "zeb.polyOptions = {",
    "strokeColor: \"#009ad6\",",
    "fillColor : \"#009ad6\",",
    "draggable: false,",
    "fillOpacity: 0.15,",
    "strokeWeight: 3,",
    "strokeOpacity:0.85,",
    "};",
};

PageSettings Sample() {
    PageSettings s;
    s.ShowCopyright = false;
    s.ShowResolutionMapScale = false;
    s.OfflineMode = true;
    s.ShowCoordGrid = true;
    s.ShowAreaLabel = false;
    s.RoadMapTileVer = "702";
    s.SatMapTileVer = "171";
    s.MapTypeIndex = 6;
    s.Latitude = 39.908823;
    s.Longitude = 116.39747;
    s.ZoomLevel = 12;
    s.MapLanguageCode = "en";
    s.MapSeverIndex = 1;
    s.StyleParamsURL = "&apistyle=\"x\"</script>";
    s.OutPutDirectory = "D:\\Tiles";
    s.PolygonStrokeColor = "#ff0000";
    s.PolygonFillColor = "#00ff00";
    s.PolygonFillOpacity = 15;
    s.PolygonStrokeWeight = 5;
    s.PolygonStrokeOpacity = 75;
    return s;
}

TEST(PageSettingsScript, GoogleLinesAreRewrittenByTheirKeys) {
    const QStringList out = RewriteGoogleSettings(kGoogleScript, Sample());
    ASSERT_EQ(out.size(), kGoogleScript.size()) << "no line added or removed";
    EXPECT_EQ(out, (QStringList{
                       "var zeb = window.zeb || {};",
                       "zeb.coordGridExists = false;",
                       "zeb.showCoordGrid = true;",
                       "zeb.offlineMode = true;",
                       "zeb.showCopyright = false;",
                       "zeb.showResolutionMapScale = false;",
                       "zeb.GOOGLE_M_VER = \"702\";",
                       "zeb.GOOGLE_H_VER = \"702\";",
                       "zeb.GOOGLE_S_VER = \"171\";",
                       "zeb.languageCode = \"en\";",
                       "zeb.mapsever = \"http://mt{0}.google.com\";",
                       "zeb.DEFAULT_MAPTYPE_INDEX = 6;",
                       "zeb.DEFAULT_LATITUDE = 39.90882;",
                       "zeb.DEFAULT_LONGITUDE = 116.39747;",
                       "zeb.DEFAULT_ZOOM = 12; ",
                       "zeb.GOOGLE_HD_VER = \"\";",
                       "zeb.STYLE_PARAMS_URL = \"&apistyle=\\\"x\\\"\\u003C/script\\u003E\"; ",
                       "zeb.showAreaLabel = false;",
                       "zeb.TILE_PATH = \"D:\\\\Tiles\\\\\";",
                       "zeb.polyOptions = {",
                       "strokeColor: \"#ff0000\",",
                       "fillColor : \"#00ff00\",",
                       "draggable: false,",
                       "fillOpacity: 0.15,",
                       "strokeWeight: 5,",
                       "strokeOpacity:0.75,",
                       "};",
                   }));
}

TEST(PageSettingsScript, TileFolderAndHostVariants) {
    struct Case {
        std::string folder;
        QString line;
    };
    for (const Case& c : std::vector<Case>{
             {"/home/u/MapDownload", "zeb.TILE_PATH = \"/home/u/MapDownload/\";"},
             {"/home/u/MapDownload/", "zeb.TILE_PATH = \"/home/u/MapDownload/\";"},
             {"D:\\Tiles\\", "zeb.TILE_PATH = \"D:\\\\Tiles\\\\\";"},
             {"/home/u/地图 \"x\"", "zeb.TILE_PATH = \"/home/u/地图 \\\"x\\\"/\";"}}) {
        PageSettings s;
        s.OutPutDirectory = c.folder;
        EXPECT_EQ(RewriteGoogleSettings({"zeb.TILE_PATH = \"\";"}, s), QStringList{c.line});
    }
    PageSettings s;
    s.MapSeverIndex = 0;
    EXPECT_EQ(RewriteGoogleSettings({"zeb.mapsever = \"\";"}, s),
              QStringList{"zeb.mapsever = \"http://mt{0}.google.cn\";"});
}

TEST(PageSettingsScript, BaiduCentreLayerIndexAndVersions) {
    const QStringList script = {
        "zeb.DEFAULT_LATITUDE = 36.81574;",
        "zeb.DEFAULT_LONGITUDE = 110.95417;",
        "zeb.DEFAULT_ZOOM = 5; ",
        "zeb.DEFAULT_MAPTYPE = BMAP_NORMAL_MAP;",
        "zeb.DEFAULT_MAPTYPE_INDEX = 0;",
        "zeb.showAreaLabel = true;",
        "zeb.showCopyright = false;",
        "zeb.showResolutionMapScale = true;",
        "zeb.scaledDrawingBar = false;",
        "strokeColor: \"#009ad6\",",
        "strokeOpacity:0.95,",
        "fillOpacity: 0.15,",
        "strokeStyle: 'solid'",
        "zeb.normalUDT=\"20140522\";",
        "zeb.normalVer=\"024\";",
        "zeb.satelliteUDT=\"20140117\";",
        "zeb.satelliteVer=\"009\";",
        "zeb.satelliteStreetUDT=\"20140522\";",
        "zeb.satelliteStreetVer=\"024\";",
    };
    PageSettings s = Sample();
    s.BNormalUDT = "20240101";
    s.BNormalVer = "031";
    s.BSatelliteUDT = "20230101";
    s.BSatelliteVer = "010";
    s.BSatelliteStreetUDT = "20240102";
    s.BSatelliteStreetVer = "032";
    double lat = 0, lng = 0;
    engine::GCJ02ToBD09(s.Latitude, s.Longitude, lat, lng);
    ASSERT_GT(lat - s.Latitude, 0.003) << "the shift is large enough to see";

    const QStringList out = RewriteBaiduSettings(script, s, engine::TMapType::mtBaidu3D);
    EXPECT_EQ(
        out,
        (QStringList{
            "zeb.DEFAULT_LATITUDE = " + QString::fromStdString(engine::FormatFixed(lat, 5)) + ";",
            "zeb.DEFAULT_LONGITUDE = " + QString::fromStdString(engine::FormatFixed(lng, 5)) + ";",
            "zeb.DEFAULT_ZOOM = 12; ",
            "zeb.DEFAULT_MAPTYPE_INDEX = 5;",
            "zeb.DEFAULT_MAPTYPE_INDEX = 5;",
            "zeb.showAreaLabel = false;",
            "zeb.showCopyright = false;",
            "zeb.showResolutionMapScale = false;",
            "zeb.scaledDrawingBar = false;",
            "strokeColor: \"#ff0000\",",
            "strokeOpacity:0.75,",
            "fillOpacity: 0.15,",
            "strokeStyle: 'solid'",
            "zeb.normalUDT=\"20240101\";",
            "zeb.normalVer=\"031\";",
            "zeb.satelliteUDT=\"20230101\";",
            "zeb.satelliteVer=\"010\";",
            "zeb.satelliteStreetUDT=\"20240102\";",
            "zeb.satelliteStreetVer=\"032\";",
        }));
    const std::vector<std::pair<engine::TMapType, QString>> layers = {
        {engine::TMapType::mtBaiduRoadMap, "zeb.DEFAULT_MAPTYPE_INDEX = 0;"},
        {engine::TMapType::mtBaiduSatellite, "zeb.DEFAULT_MAPTYPE_INDEX = 2;"},
        {engine::TMapType::mtBaiduHybrid, "zeb.DEFAULT_MAPTYPE_INDEX = 3;"}};
    for (const auto& [layer, line] : layers) {
        EXPECT_EQ(RewriteBaiduSettings({"zeb.DEFAULT_MAPTYPE = X;"}, s, layer), QStringList{line});
    }
}

TEST(PageSettingsScript, FilesAreReadWithoutAndWrittenWithTheMark) {
    testsupport::TempDir dir;
    const auto file = dir / "gmap_settings.js";
    testsupport::WriteFileBytes(file, "\xEF\xBB\xBFzeb.a = 1;\r\nzeb.b = \"中\";\nlast");
    const QStringList lines = ReadScriptLines(file);
    EXPECT_EQ(lines, (QStringList{"zeb.a = 1;", "zeb.b = \"中\";", "last"}));
    WriteScriptLines(file, lines);
    EXPECT_EQ(testsupport::ReadFileBytes(file),
              "\xEF\xBB\xBFzeb.a = 1;\r\nzeb.b = \"中\";\r\nlast\r\n");
    EXPECT_EQ(ReadScriptLines(file), lines);
    EXPECT_THROW(ReadScriptLines(dir / "missing.js"), std::runtime_error);
    EXPECT_THROW(WriteScriptLines(file / "under-a-file.js", lines), std::runtime_error);
}

}  // namespace
