#include "engine/core/catalogue.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace engine {
namespace {

TEST(Catalogue, FolderTextsBeginAndEndWithABackslash) {
    for (int i = 0; i < kMapTypeCount; ++i) {
        for (std::string_view folder : {MapTileFolders[i], MapOverlayFolders[i]}) {
            if (folder.empty()) {
                continue;
            }
            EXPECT_GE(folder.size(), 3u) << i;
            EXPECT_EQ(folder.front(), '\\') << i;
            EXPECT_EQ(folder.back(), '\\') << i;
            EXPECT_EQ(folder.find("\\\\"), std::string_view::npos) << i;
        }
        EXPECT_FALSE(MapTypeIds[i].empty()) << i;
        EXPECT_FALSE(MapTypeCaptions[i].empty()) << i;
    }
}

TEST(Catalogue, TwelveLayersHaveAnOverlayFolder) {
    const std::set<int> withOverlay = {2, 5, 6, 9, 13, 14, 24, 34, 36, 37, 44, 47};
    for (int i = 0; i < kMapTypeCount; ++i) {
        EXPECT_EQ(HasOverlay(MapTypeOf(i)), withOverlay.count(i) == 1) << i;
    }
    // The annotation tiles of TianDiTu serve three layers from one folder.
    EXPECT_EQ(MapOverlayFolders[5], R"(\tianditu\overlay_s\)");
    EXPECT_EQ(MapOverlayFolders[24], MapOverlayFolders[5]);
    EXPECT_EQ(MapOverlayFolders[36], MapOverlayFolders[5]);
    EXPECT_EQ(MapOverlayFolders[9], R"(\googlemaps\overlay_nolabel\)");
}

TEST(Catalogue, StoredQuirksAreKept) {
    // Hybrids keep their base tiles in the provider's satellite folder, except Nokia and Bing.
    EXPECT_EQ(MapTileFolders[2], MapTileFolders[1]);
    EXPECT_EQ(MapTileFolders[6], MapTileFolders[4]);
    EXPECT_EQ(MapTileFolders[9], MapTileFolders[4]);
    EXPECT_EQ(MapTileFolders[13], MapTileFolders[12]);
    EXPECT_EQ(MapTileFolders[36], MapTileFolders[35]);
    EXPECT_EQ(MapTileFolders[47], MapTileFolders[46]);
    EXPECT_EQ(MapTileFolders[19], R"(\nokiamaps\hybrid\)");
    EXPECT_EQ(MapTileFolders[24], R"(\bingmaps\hybrid\)");
    // The cold and grey street layers swap their folder names.
    EXPECT_EQ(MapTileFolders[Ord(TMapType::mtArcGIS_StreetCold)], R"(\arcgis\StreetGray\)");
    EXPECT_EQ(MapTileFolders[Ord(TMapType::mtArcGIS_StreetGray)], R"(\arcgis\StreetCold\)");
    // The Baidu page numbers its layers by ordinal; the stored identifiers are those of AMap.
    EXPECT_EQ(MapTypeIds[45], "MAPABC_ROAD");
    EXPECT_EQ(MapTypeIds[48], "MAPABC_HYBRID");
    EXPECT_EQ(MapTypeIds[39], "physical_relief_map");
    EXPECT_EQ(MapTypeCaptions[Ord(TMapType::mtBaidu3D)], "百度三维");
    EXPECT_EQ(MapTypeCaptions[Ord(TMapType::mtArcGIS_CommunityENG)], "ArcGIS中英文(含POI)");
}

TEST(Catalogue, DefaultImageTypes) {
    const std::set<int> jpg = {1,  2,  4,  5,  6,  7,  9,  10, 12, 13, 14, 16, 23, 24, 27, 28,
                               29, 30, 31, 32, 33, 35, 36, 37, 38, 39, 40, 42, 44, 46, 47};
    for (int i = 0; i < kMapTypeCount; ++i) {
        EXPECT_EQ(DefaultImgType(MapTypeOf(i)), jpg.count(i) ? TImgType::itJPG : TImgType::itPNG)
            << i;
    }
    EXPECT_EQ(DefaultImgType(TMapType::mtNokiaSatellite), TImgType::itPNG);
}

TEST(Catalogue, BaiduLayersAreTheLastFour) {
    for (int i = 0; i < kMapTypeCount; ++i) {
        EXPECT_EQ(IsBaiduMapType(MapTypeOf(i)), i >= 45) << i;
    }
}

TEST(Catalogue, ImageTypeTables) {
    EXPECT_EQ(ImgFileExt(TImgType::itGeoJPG), ".jpg");
    EXPECT_EQ(ImgFileExt(TImgType::itTIFF), ".tif");
    EXPECT_EQ(ImgGdalDrivers[static_cast<int>(TImgType::itTIFF)], "GTiff");
    EXPECT_EQ(ImgGdalDrivers[static_cast<int>(TImgType::itGeoJPG)], "JPEG");
    EXPECT_EQ(ImgWorldFileExts[static_cast<int>(TImgType::itBMP)], ".bpw");
    EXPECT_EQ(ImgWorldFileExts[static_cast<int>(TImgType::itPNG)], ".pgw");
    EXPECT_EQ(ImgFileExt(TImgType::itError), ".err");
}

TEST(Catalogue, LanguagesKeepTheDoubleBasqueEntry) {
    std::set<std::string_view> seen;
    for (int i = 0; i < kMapLanguageCount; ++i) {
        const bool fresh = seen.insert(MapLanguageCodes[i]).second;
        EXPECT_EQ(fresh, i != 13) << i << " " << MapLanguageCodes[i];
    }
    EXPECT_EQ(MapLanguageCodes[1], "eu");
    EXPECT_EQ(MapLanguageCodes[13], "eu");
    EXPECT_EQ(MapLanguageNames[13], "Basque");
    // Spot checks on both sides of the duplicate keep the two tables aligned.
    EXPECT_EQ(MapLanguageCodes[12], "es");
    EXPECT_EQ(MapLanguageNames[12], "Spanish");
    EXPECT_EQ(MapLanguageCodes[39], "pt-BR");
    EXPECT_EQ(MapLanguageNames[39], "Portuguese (Brazil)");
    EXPECT_EQ(MapLanguageCodes[48], "tl");
    EXPECT_EQ(MapLanguageCodes[49], "ta");
    EXPECT_EQ(MapLanguageCodes[55], "zh-CN");
    EXPECT_EQ(MapLanguageNames[56], "中文繁體");
}

TEST(Catalogue, ZoomTablesHalveFromLevelToLevel) {
    // The stored figures are rounded, so neighbours are compared loosely; a mistyped digit
    // still shows.
    for (int z = 1; z < 24; ++z) {
        EXPECT_NEAR(ZoomScales[z - 1] / ZoomScales[z], 2.0, 5e-3) << z;
        EXPECT_NEAR(ZoomResolutions[z - 1] / ZoomResolutions[z], 2.0, 5e-3) << z;
        // Scale = resolution over the size of a 96 dpi pixel.
        EXPECT_NEAR(ZoomScales[z] / ZoomResolutions[z] * (0.0254 / 96), 1.0, 5e-3) << z;
    }
    EXPECT_EQ(ZoomScales[0], 591658710.909131);
    EXPECT_EQ(ZoomResolutions[23], 0.0187);
}

TEST(Catalogue, SmallTables) {
    EXPECT_EQ(NokiaLayerNames[Ord(TMapType::mtNokiaTerrain) - 17], "terrain");
    EXPECT_EQ(ServerLetters[0], "a");
    EXPECT_EQ(ServerLetters[10], "k");
    EXPECT_EQ(Baidu3DCities[2], "广州");
    EXPECT_EQ(Baidu3DCityCenters[2], "23.120049,113.30765,16");
}

}  // namespace
}  // namespace engine
