#include "engine/download/tile_path.h"

#include <gtest/gtest.h>

#include "engine/core/catalogue.h"

namespace engine {
namespace {

// Paths are compared as text: path equality would overlook a doubled separator.
std::string Text(const std::filesystem::path& path) {
    return path.string();
}

TEST(TilePath, ZoomColumnRowUnderTheLayerFolder) {
    const std::filesystem::path out = "/home/u/MapDownload";
    EXPECT_EQ(Text(TilePath(out, R"(\googlemaps\satellite\)", {6, 2, 3}, ".jpg")),
              "/home/u/MapDownload/googlemaps/satellite/3/6/2.jpg");
    EXPECT_EQ(Text(TileFolderPath(out, R"(\googlemaps\satellite\)", 3, 6)),
              "/home/u/MapDownload/googlemaps/satellite/3/6");
    EXPECT_EQ(Text(LayerFolderPath(out, R"(\tianditu\overlay_s\)")),
              "/home/u/MapDownload/tianditu/overlay_s");
    // Negative numbers (Baidu tiles west or south of its origin) stay as they are.
    EXPECT_EQ(Text(TilePath(out, R"(\baidumaps\roadmap\)", {-3, -7, 5}, ".png")),
              "/home/u/MapDownload/baidumaps/roadmap/5/-3/-7.png");
}

TEST(TilePath, SeparatorsCollapseWhateverTheOutputFolderEndsWith) {
    const std::string expected = "/data/out/OSM/roadmap/1/0/1.png";
    for (const char* out : {"/data/out", "/data/out/"}) {
        for (const char* folder :
             {R"(\OSM\roadmap\)", R"(\\OSM\\roadmap\\)", "OSM/roadmap", R"(\OSM\.\roadmap\)"}) {
            EXPECT_EQ(Text(TilePath(out, folder, {0, 1, 1}, ".png")), expected)
                << out << " " << folder;
        }
    }
    // A folder text can never climb out of the output folder.
    EXPECT_EQ(Text(TilePath("/data/out", R"(\..\..\etc\)", {0, 1, 1}, ".png")),
              "/data/out/etc/1/0/1.png");
}

TEST(TilePath, CatalogueForms) {
    const std::filesystem::path out = "/o";
    EXPECT_EQ(Text(BaseTilePath(out, TMapType::mtArcGIS_StreetCold, {1, 2, 3}, TImgType::itJPG)),
              "/o/arcgis/StreetGray/3/1/2.jpg");
    EXPECT_EQ(Text(BaseTilePath(out, TMapType::mtGoogleHybrid, {1, 2, 3}, TImgType::itPNG)),
              "/o/googlemaps/satellite/3/1/2.png");
    EXPECT_EQ(Text(OverlayTilePath(out, TMapType::mtGoogleHybrid, {1, 2, 3}, TImgType::itPNG)),
              "/o/googlemaps/overlay/3/1/2.png");
    EXPECT_EQ(Text(OverlayTilePath(out, TMapType::mtGoogleSatellite, {1, 2, 3}, TImgType::itPNG)),
              "");
}

}  // namespace
}  // namespace engine
