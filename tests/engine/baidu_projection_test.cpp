#include "engine/core/baidu_projection.h"

#include <cmath>
#include <fstream>
#include <limits>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace {

// The case table is shared with the Baidu page's script port of the projection.
const nlohmann::json& Cases() {
    static const nlohmann::json cases = [] {
        std::ifstream in(VANTOREL_SOURCE_DIR "/tests/data/baidu_projection_cases.json");
        if (!in) {
            ADD_FAILURE() << "cannot read tests/data/baidu_projection_cases.json";
            return nlohmann::json::object();
        }
        return nlohmann::json::parse(in);
    }();
    return cases;
}

double NumberOrNaN(const nlohmann::json& value) {
    return value.is_number() ? value.get<double>() : std::numeric_limits<double>::quiet_NaN();
}

TEST(BaiduProjection, ForwardCasesOfTheSharedTable) {
    const auto& cases = Cases()["forward"];
    ASSERT_FALSE(cases.empty());
    for (const auto& c : cases) {
        SCOPED_TRACE(c["name"].get<std::string>());
        const auto m = engine::BaiduLatLngToMercator(c["lng"], c["lat"]);
        ASSERT_TRUE(m.has_value());
        EXPECT_NEAR(m->x, c["x"].get<double>(), c["tolerance"].get<double>());
        EXPECT_NEAR(m->y, c["y"].get<double>(), c["tolerance"].get<double>());
    }
}

TEST(BaiduProjection, InverseCasesAndRoundTrip) {
    for (const auto& c : Cases()["inverse"]) {
        SCOPED_TRACE(c["name"].get<std::string>());
        const auto p = engine::BaiduMercatorToLatLng(c["x"], c["y"]);
        ASSERT_TRUE(p.has_value());
        EXPECT_NEAR(p->lng, c["lng"].get<double>(), c["tolerance"].get<double>());
        EXPECT_NEAR(p->lat, c["lat"].get<double>(), c["tolerance"].get<double>());
    }
    // The two fits invert each other in every band of both hemispheres: to about a metre up
    // to 60 degrees, a few metres in the polar band.
    for (double lat = -73.5; lat < 74; lat += 2.5) {
        for (double lng = -172.5; lng < 180; lng += 7.5) {
            const auto m = engine::BaiduLatLngToMercator(lng, lat);
            const auto back = engine::BaiduMercatorToLatLng(m->x, m->y);
            EXPECT_NEAR(back->lat, lat, std::abs(lat) < 60 ? 1e-5 : 5e-5) << lng << "," << lat;
            EXPECT_NEAR(back->lng, lng, 1e-6) << lng << "," << lat;
        }
    }
}

TEST(BaiduProjection, TileCasesOfTheSharedTable) {
    const auto& cases = Cases()["tiles"];
    ASSERT_FALSE(cases.empty());
    for (const auto& c : cases) {
        SCOPED_TRACE(c["name"].get<std::string>());
        std::int32_t x = 12345;
        std::int32_t y = 12345;
        ASSERT_TRUE(engine::BaiduLatLngToTile(c["zoom"], x, y, c["lng"], c["lat"]));
        EXPECT_EQ(x, c["x"].get<int>());
        EXPECT_EQ(y, c["y"].get<int>());
    }
}

TEST(BaiduProjection, FailuresLeaveTheTileUnchanged) {
    const auto& cases = Cases()["failures"];
    ASSERT_FALSE(cases.empty());
    for (const auto& c : cases) {
        SCOPED_TRACE(c["name"].get<std::string>());
        std::int32_t x = 7;
        std::int32_t y = 9;
        EXPECT_FALSE(engine::BaiduLatLngToTile(c["zoom"], x, y, NumberOrNaN(c["lng"]),
                                               NumberOrNaN(c["lat"])));
        EXPECT_EQ(x, 7);
        EXPECT_EQ(y, 9);
    }
    std::int32_t x = 7;
    std::int32_t y = 9;
    EXPECT_FALSE(engine::BaiduLatLngToTile(18, x, y, std::numeric_limits<double>::infinity(), 30));
    EXPECT_FALSE(engine::BaiduTileToLatLng(0, 0, 22).has_value());
}

TEST(BaiduProjection, BandEdgesHaveNoJumpAndNorthingGrows) {
    for (const auto& edge : Cases()["bandEdges"]) {
        const double lat = edge.get<double>();
        SCOPED_TRACE(lat);
        const auto below = engine::BaiduLatLngToMercator(116.4, std::nextafter(lat, 0.0));
        const auto at = engine::BaiduLatLngToMercator(116.4, lat);
        // The provider's fits meet to within metres (about 15 m at 60 degrees, where one
        // degree is over 200 km of northing), so no tile row is skipped or repeated.
        EXPECT_GT(at->y, below->y);
        EXPECT_LT(at->y - below->y, 20.0);
        EXPECT_NEAR(at->x, below->x, 0.01);
        // The tile row at zoom 18 moves by at most one across the edge.
        std::int32_t xb = 0, yb = 0, xa = 0, ya = 0;
        ASSERT_TRUE(engine::BaiduLatLngToTile(18, xb, yb, 116.4, std::nextafter(lat, 0.0)));
        ASSERT_TRUE(engine::BaiduLatLngToTile(18, xa, ya, 116.4, lat));
        EXPECT_EQ(xa, xb);
        EXPECT_LE(ya - yb, 1);
        EXPECT_GE(ya - yb, 0);
    }
    // Northing grows steadily through every band from the equator to the clamp.
    double previous = -1;
    for (double lat = 0; lat <= 74; lat += 0.25) {
        const double y = engine::BaiduLatLngToMercator(116.4, lat)->y;
        EXPECT_GT(y, previous) << lat;
        previous = y;
    }
}

TEST(BaiduProjection, TileCornerLiesOnTheTileItNames) {
    std::int32_t x = 0;
    std::int32_t y = 0;
    ASSERT_TRUE(engine::BaiduLatLngToTile(18, x, y, 116.403874, 39.914889));
    // Corner with the smallest x and the largest y: the tile's north-west corner in metres
    // (rows grow northward), lying on the tile's west edge and its north edge.
    const auto corner = engine::BaiduTileToLatLng(x, y, 18);
    ASSERT_TRUE(corner.has_value());
    const auto m = engine::BaiduLatLngToMercator(corner->lng, corner->lat);
    EXPECT_NEAR(m->x, x * 256.0, 0.5);
    EXPECT_NEAR(m->y, (y + 1) * 256.0, 0.5);
    EXPECT_LT(corner->lng, 116.403874);
    EXPECT_GT(corner->lat, 39.914889);
}

}  // namespace
