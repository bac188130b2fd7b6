// The tile rectangles and count of an area on each grid, the label texts and tile sizes.
#include <cmath>
#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/download/download_texts.h"
#include "app/download/tile_bounds.h"
#include "app/support/qt_print.h"
#include "engine/core/baidu_projection.h"
#include "engine/core/tile_math.h"

namespace {

using app::CalculateTileBounds;
using engine::TGLatLng;
using engine::TMapType;

using TileFn = std::function<bool(int zoom, const TGLatLng&, std::int32_t&, std::int32_t&)>;

bool Mercator(int z, const TGLatLng& p, std::int32_t& x, std::int32_t& y) {
    engine::LatLngToTileXY(z, p.lat, p.lng, x, y);
    return true;
}
bool Geographic(int z, const TGLatLng& p, std::int32_t& x, std::int32_t& y) {
    engine::LatLngToTileXYGeo(z, p.lat, p.lng, x, y);
    return true;
}
bool Baidu(int z, const TGLatLng& p, std::int32_t& x, std::int32_t& y) {
    return engine::BaiduLatLngToTile(z, x, y, p.lng, p.lat);
}

engine::TZoomLevelArray Levels(std::initializer_list<int> levels) {
    engine::TZoomLevelArray array{};
    for (int level : levels)
        array[level].Checked = true;
    return array;
}

struct GridCase {
    const char* name;
    TMapType layer;
    int tiandituIndex;
    TileFn grid;  // the tile maths the layer is counted on
};

const std::vector<TGLatLng> kOutline{
    {39.90, 116.30}, {39.95, 116.52}, {40.08, 116.41}, {40.02, 116.25}, {39.97, 116.33}};

TEST(TileCount, RectanglesAndCountFollowEachLayersGrid) {
    const GridCase cases[] = {
        {"web mercator", TMapType::mtOsmRoadMap, 0, Mercator},
        {"geographic grid for tianditu with a provincial index", TMapType::mtTDTSatellite, 2,
         Geographic},
        {"tianditu without a provincial index stays on web mercator", TMapType::mtTDTHybrid, 0,
         Mercator},
        {"geographic index on a layer that is not tianditu", TMapType::mtGoogleSatellite, 2,
         Mercator},
        {"baidu projection", TMapType::mtBaiduSatellite, 0, Baidu},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        engine::TTileBounds bounds;
        std::int64_t count = -1;
        ASSERT_TRUE(CalculateTileBounds(Levels({10, 11, 12, 16}), kOutline, c.layer,
                                        c.tiandituIndex, bounds, count));
        std::int64_t expected = 0;
        for (int z = 0; z < engine::kZoomLevelCount; ++z) {
            const bool selected = z == 10 || z == 11 || z == 12 || z == 16;
            ASSERT_EQ(bounds[z].Checked, selected) << "level " << z;
            if (!selected)
                continue;
            std::int32_t minX = INT32_MAX, minY = INT32_MAX, maxX = INT32_MIN, maxY = INT32_MIN;
            for (const auto& p : kOutline) {
                std::int32_t x = 0, y = 0;
                ASSERT_TRUE(c.grid(z, p, x, y));
                minX = std::min(minX, x);
                maxX = std::max(maxX, x);
                minY = std::min(minY, y);
                maxY = std::max(maxY, y);
            }
            EXPECT_EQ(bounds[z].MinCol, minX) << "level " << z;
            EXPECT_EQ(bounds[z].MaxCol, maxX) << "level " << z;
            EXPECT_EQ(bounds[z].MinRow, minY) << "level " << z;
            EXPECT_EQ(bounds[z].MaxRow, maxY) << "level " << z;
            EXPECT_EQ(bounds[z].zoom, z);
            expected += std::int64_t{maxX - minX + 1} * (maxY - minY + 1);
        }
        EXPECT_EQ(count, expected);
    }
    // The geographic and the Mercator grid really differ here, so the cases above tell them apart.
    std::int32_t mx = 0, my = 0, gx = 0, gy = 0;
    Mercator(12, kOutline[0], mx, my);
    Geographic(12, kOutline[0], gx, gy);
    EXPECT_NE(my, gy);
}

TEST(TileCount, EveryLevelsVertexTilesEqualTheTileMathsOfThatLevel) {
    // Points all over the grids and on their edges (poles, date line, beyond the range); each
    // level's tiles, in first-seen order, must be those the tile maths give at that level.
    std::vector<TGLatLng> points{{85.0511287798, 180},
                                 {-85.0511287798, -180},
                                 {90, 0},
                                 {-90, 0},
                                 {0, 0},
                                 {0, -180},
                                 {45, 200},
                                 {-45, -200},
                                 {89.9, 179.99},
                                 {-89.9, -179.99},
                                 {39.9, 116.4},
                                 {39.9, 116.4}};
    std::uint32_t seed = 12345;
    const auto next = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return (seed >> 8) / double(1u << 24);
    };
    for (int i = 0; i < 400; ++i)
        points.push_back({next() * 170 - 85, next() * 360 - 180});
    const GridCase cases[] = {
        {"web mercator", TMapType::mtOsmRoadMap, 0, Mercator},
        {"geographic grid", TMapType::mtTDTRoadMap, 1, Geographic},
        {"baidu projection", TMapType::mtBaidu3D, 0, Baidu},
    };
    engine::TZoomLevelArray all{};
    for (auto& level : all)
        level.Checked = true;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        engine::TTileBounds bounds;
        std::int64_t count = 0;
        ASSERT_TRUE(CalculateTileBounds(all, points, c.layer, c.tiandituIndex, bounds, count));
        for (int z = 0; z < engine::kZoomLevelCount; ++z) {
            std::vector<engine::TPoint> expected;
            for (const auto& p : points) {
                engine::TPoint tile;
                ASSERT_TRUE(c.grid(z, p, tile.x, tile.y));
                if (!engine::ContainsPoint(tile, expected))
                    expected.push_back(tile);
            }
            ASSERT_EQ(bounds[z].Points, expected) << "level " << z;
        }
    }
}

TEST(TileCount, VertexTilesAreKeptOnceInVertexOrder) {
    // Many vertices in few tiles: each tile once, in the order its first vertex came.
    std::vector<TGLatLng> points;
    for (int i = 0; i < 500; ++i)
        points.push_back({39.9001 + 0.00001 * (i % 7), 116.3001 + 0.00001 * (i % 5)});
    points.push_back({41.5, 118.5});
    points.push_back({39.9002, 116.3002});
    engine::TTileBounds bounds;
    std::int64_t count = 0;
    ASSERT_TRUE(CalculateTileBounds(Levels({6}), points, TMapType::mtOsmRoadMap, 0, bounds, count));
    std::int32_t x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    engine::LatLngToTileXY(6, 39.9001, 116.3001, x0, y0);
    engine::LatLngToTileXY(6, 41.5, 118.5, x1, y1);
    ASSERT_NE(engine::TPoint({x0, y0}), engine::TPoint({x1, y1}));
    EXPECT_EQ(bounds[6].Points, (std::vector<engine::TPoint>{{x0, y0}, {x1, y1}}));
}

TEST(TileCount, AnAreaInsideOneTileCountsOnePerLevel) {
    const std::vector<TGLatLng> points{
        {39.90010, 116.30010}, {39.90012, 116.30015}, {39.90011, 116.30012}};
    engine::TTileBounds bounds;
    std::int64_t count = 0;
    ASSERT_TRUE(
        CalculateTileBounds(Levels({0, 5, 12}), points, TMapType::mtOsmRoadMap, 0, bounds, count));
    EXPECT_EQ(count, 3);
    for (int z : {0, 5, 12}) {
        EXPECT_EQ(bounds[z].MinCol, bounds[z].MaxCol);
        EXPECT_EQ(bounds[z].MinRow, bounds[z].MaxRow);
    }
}

TEST(TileCount, CountsBeyondThirtyTwoBitsWithoutWalkingTiles) {
    const std::vector<TGLatLng> world{{84.9, -179.9}, {-84.9, 179.9}};
    engine::TTileBounds bounds;
    std::int64_t count = 0;
    ASSERT_TRUE(
        CalculateTileBounds(Levels({20, 21}), world, TMapType::mtOsmRoadMap, 0, bounds, count));
    std::int64_t expected = 0;
    for (int z : {20, 21})
        expected += (std::int64_t{bounds[z].MaxCol} - bounds[z].MinCol + 1) *
                    (std::int64_t{bounds[z].MaxRow} - bounds[z].MinRow + 1);
    EXPECT_EQ(count, expected);
    EXPECT_GT(count, std::int64_t{std::numeric_limits<std::int32_t>::max()} * 2);
}

TEST(TileCount, ABaiduVertexThatCannotBeProjectedGivesNoRectangle) {
    engine::TTileBounds bounds;
    bounds[3].Checked = true;  // left over from an earlier count
    std::int64_t count = 77;
    const std::vector<TGLatLng> points{{39.9, 116.3}, {std::nan(""), 116.4}, {40.0, 116.5}};
    EXPECT_FALSE(
        CalculateTileBounds(Levels({3, 10}), points, TMapType::mtBaiduRoadMap, 0, bounds, count));
    EXPECT_EQ(count, 0);
    for (const auto& bound : bounds)
        EXPECT_FALSE(bound.Checked);
}

// Beyond about 85° and past ±180° (a shape drawn on a neighbouring world copy) the grids have
// no tiles: each level holds the tiles that exist, and a level whose area lies wholly off the
// grid holds none. Baidu numbers are the projection's own, negative west of 0 and south of 0.
TEST(TileCount, AnAreaPastTheGridHoldsTheTilesThatExist) {
    struct Range {
        int minCol, maxCol, minRow, maxRow;
    };
    struct Case {
        const char* name;
        TMapType layer;
        int tiandituIndex;
        std::vector<TGLatLng> area;
        int z;
        std::optional<Range> range;  // none: no tile of the level exists
    };
    const auto osm = TMapType::mtOsmRoadMap;
    const Case cases[] = {
        {"north of 85: rows -8 to 3", osm, 0, {{89, -10}, {80, 10}}, 5, Range{15, 16, 0, 3}},
        {"south of -85: rows 14 to 20", osm, 0, {{-80, 100}, {-89, 110}}, 4, Range{12, 12, 14, 15}},
        {"west of -180: columns -1 to 0", osm, 0, {{10, -200}, {20, -170}}, 5, Range{0, 0, 14, 15}},
        {"east of 180: columns 31 to 32", osm, 0, {{10, 170}, {20, 190}}, 5, Range{31, 31, 14, 15}},
        {"wholly on the western copy", osm, 0, {{10, -250}, {20, -200}}, 5, std::nullopt},
        {"geographic grid east of 180",
         TMapType::mtTDTRoadMap,
         1,
         {{10, 170}, {20, 190}},
         5,
         Range{31, 31, 6, 7}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        engine::TTileBounds bounds;
        std::int64_t count = -1;
        ASSERT_TRUE(
            CalculateTileBounds(Levels({c.z}), c.area, c.layer, c.tiandituIndex, bounds, count));
        const engine::TTileBound& level = bounds[c.z];
        ASSERT_EQ(level.Checked, c.range.has_value());
        if (!c.range) {
            EXPECT_EQ(count, 0);
            continue;
        }
        EXPECT_EQ(level.MinCol, c.range->minCol);
        EXPECT_EQ(level.MaxCol, c.range->maxCol);
        EXPECT_EQ(level.MinRow, c.range->minRow);
        EXPECT_EQ(level.MaxRow, c.range->maxRow);
        EXPECT_EQ(count, (std::int64_t{level.MaxCol} - level.MinCol + 1) *
                             (level.MaxRow - level.MinRow + 1));
    }

    const std::vector<TGLatLng> southWest{{-10, -10}, {-5, -5}};
    engine::TTileBounds bounds;
    std::int64_t count = 0;
    ASSERT_TRUE(
        CalculateTileBounds(Levels({5}), southWest, TMapType::mtBaiduRoadMap, 0, bounds, count));
    std::int32_t x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    ASSERT_TRUE(Baidu(5, southWest[0], x0, y0));
    ASSERT_TRUE(Baidu(5, southWest[1], x1, y1));
    ASSERT_LT(std::min(x0, y0), 0);
    EXPECT_EQ(bounds[5].MinCol, std::min(x0, x1));
    EXPECT_EQ(bounds[5].MaxCol, std::max(x0, x1));
    EXPECT_EQ(bounds[5].MinRow, std::min(y0, y1));
    EXPECT_EQ(bounds[5].MaxRow, std::max(y0, y1));
}

TEST(TileCount, TileSizeByLayerAndBigFontMode) {
    struct Case {
        TMapType layer;
        bool bigFont;
        int size;
    } const cases[] = {
        {TMapType::mtPhysicalReliefMap, false, 512}, {TMapType::mtPhysicalReliefMap, true, 512},
        {TMapType::mtGoogleRoadMap, true, 512},      {TMapType::mtGoogleSatellite, true, 512},
        {TMapType::mtGoogleHybrid, true, 512},       {TMapType::mtGoogleTerrain_NoLabel, true, 512},
        {TMapType::mtGoogleRoadMap, false, 256},     {TMapType::mtGoogleSatellite_EN, true, 256},
        {TMapType::mtSosoRoadMap, true, 256},        {TMapType::mtOsmRoadMap, false, 256},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(app::GetTileSize(c.layer, c.bigFont), c.size)
            << "layer " << engine::Ord(c.layer) << " big font " << c.bigFont;
    }
}

TEST(TileCount, LabelText) {
    struct Case {
        std::int64_t cols, rows, total;
        int tileSize, dpi;
        const char* text;
    } const cases[] = {
        {3, 2, 6, 256, 300, "3 列 x 2 行 = 6 瓦片 \r\n宽 6 cm x 高 4 cm (dpi:300)"},
        {3, 2, 6, 512, 300, "3 列 x 2 行 = 6 瓦片 \r\n宽 13 cm x 高 8 cm (dpi:300)"},
        {40, 25, 358, 256, 96, "40 列 x 25 行 = 358 瓦片 \r\n宽 270 cm x 高 169 cm (dpi:96)"},
        // A resolution of 0 or below is taken as 300, never divided by.
        {3, 2, 6, 256, 0, "3 列 x 2 行 = 6 瓦片 \r\n宽 6 cm x 高 4 cm (dpi:300)"},
        {3, 2, 6, 256, -20, "3 列 x 2 行 = 6 瓦片 \r\n宽 6 cm x 高 4 cm (dpi:300)"},
        {2097152, 2097152, 4398046511104LL, 256, 300,
         "2097152 列 x 2097152 行 = 4398046511104 瓦片 \r\n宽 4545507 cm x 高 4545507 cm "
         "(dpi:300)"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(app::TileCountText(c.cols, c.rows, c.total, c.tileSize, c.dpi),
                  QString::fromUtf8(c.text));
    }
}

TEST(TileCount, CapMessageCarriesTheTrueCount) {
    EXPECT_EQ(app::CapMessage(4398046511104LL, 2147483647),
              QStringLiteral("一共 4398046511104 张瓦片。 \r\n\r\n"
                             "额的婶啊，下载这么多片片，您的爱机受得了吗？\r\n"
                             "为了保护您的爱机不受伤害，\r\n"
                             "每次最多只能下载 2147483647 张片片，多出部分将被忽略。"));
}

}  // namespace
