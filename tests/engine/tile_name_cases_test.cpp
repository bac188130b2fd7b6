// The downloader's side of the tile-address table that the map page's tests read too.
#include <fstream>
#include <string>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "engine/core/catalogue.h"
#include "engine/download/tile_path.h"
#include "engine/download/url_builder.h"

namespace {

nlohmann::json LoadTable() {
    std::ifstream in(VANTOREL_SOURCE_DIR "/tests/data/tile_name_cases.json");
    if (!in) {
        ADD_FAILURE() << "cannot read tests/data/tile_name_cases.json";
        return nlohmann::json::object();
    }
    return nlohmann::json::parse(in);
}

engine::TImgType TypeOfPath(const std::string& path) {
    return path.ends_with(".jpg") ? engine::TImgType::itJPG : engine::TImgType::itPNG;
}

TEST(TileNameCases, EngineBuildsTheTableUrlsAndNamesTheSameFiles) {
    const nlohmann::json table = LoadTable();
    const auto& cases = table.value("cases", nlohmann::json::array());
    ASSERT_GE(cases.size(), 49u * 2);
    const std::filesystem::path root = table.at("root").get<std::string>();
    engine::UrlSettings settings;
    settings.RoadMapTileVer = table.at("settings").at("RoadMapTileVer").get<std::string>();
    settings.SatMapTileVer = table.at("settings").at("SatMapTileVer").get<std::string>();

    for (const auto& c : cases) {
        const auto mapType = static_cast<engine::TMapType>(c.at("layer").get<int>());
        const engine::TTile tile{c.at("x").get<std::int32_t>(), c.at("y").get<std::int32_t>(),
                                 static_cast<std::int8_t>(c.at("z").get<int>())};
        const bool highest = c.at("server") == "highest";
        const engine::TileUrlBuilder builder(mapType,
                                             [highest](int n) { return highest ? n - 1 : 0; });
        settings.MapLanguageCode = c.at("language").get<std::string>();
        const engine::TileUrls urls = builder.BuildTileUrl(tile, settings);
        const std::string where = "layer " + c.at("layer").dump() + " tile " + c.at("x").dump() +
                                  "," + c.at("y").dump() + "," + c.at("z").dump();
        EXPECT_EQ(urls.Base, c.at("engine").at("url").get<std::string>()) << where;
        EXPECT_EQ(urls.Overlay, c.at("engine").at("overlay").get<std::string>()) << where;

        if (!c.contains("offline")) {
            continue;  // the Baidu page reads no tile tree
        }
        const auto path = c.at("offline").at("path").get<std::string>();
        EXPECT_EQ(engine::BaseTilePath(root, mapType, tile, TypeOfPath(path)).string(), path)
            << where;
        const auto overlay = c.at("offline").at("overlay").get<std::string>();
        if (!overlay.empty()) {
            EXPECT_EQ(engine::OverlayTilePath(root, mapType, tile, TypeOfPath(overlay)).string(),
                      overlay)
                << where;
        }
    }
}

}  // namespace
