#include "engine/core/tile_math.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <set>
#include <thread>

namespace engine {
namespace {

struct TileCase {
    int zoom;
    double lat;
    double lng;
    std::int32_t x;
    std::int32_t y;
};

TEST(TileMath, LatLngToTileXYOnTheMercatorGrid) {
    const TileCase cases[] = {
        {0, 85.0, 179.999, 0, 0},
        {0, -85.0, -180.0, 0, 0},
        {3, 0.0, 180.0, 8, 4},  // longitude 180 is one column past the grid
        {3, 0.0, -180.0, 0, 4},
        {10, 39.9042, 116.4074, 843, 388},
        // Truncation toward zero, not a floor: just west of -180 is still column 0.
        {1, 10.0, -180.0001, 0, 0},
        // North of the grid's edge: within one tile it truncates to row 0, beyond it to -1.
        {1, 85.06, 0.0, 1, 0},
        {1, 89.0, 0.0, 1, 0},
        {1, 89.9, 0.0, 1, -1},
        // Row edges decided by the single-precision radian (the double radian gives the
        // neighbouring row for the first two and the same row for the third).
        {10, 82.983403594154964, 0.0, 512, 56},
        {10, 78.278201452428121, 0.0, 512, 140},
        {10, 84.088877574139914, 0.0, 512, 29},
    };
    for (const auto& c : cases) {
        std::int32_t x = -7, y = -7;
        LatLngToTileXY(c.zoom, c.lat, c.lng, x, y);
        EXPECT_EQ(x, c.x) << c.zoom << " " << c.lat << " " << c.lng;
        EXPECT_EQ(y, c.y) << c.zoom << " " << c.lat << " " << c.lng;
    }
}

TEST(TileMath, LatitudesAtThePolesGiveRowsOutsideTheGrid) {
    std::int32_t x = 0, y = 0;
    LatLngToTileXY(5, 90.0, 0.0, x, y);
    EXPECT_LT(y, 0);
    LatLngToTileXY(5, -90.0, 0.0, x, y);
    EXPECT_GE(y, 32);
    LatLngToTileXY(5, -95.0, 0.0, x, y);
    EXPECT_GE(y, 32);
}

TEST(TileMath, LatLngToTileXYGeoOnTheGeographicGrid) {
    const TileCase cases[] = {
        {0, 89.9, -179.9, 0, 0},
        {0, -89.9, 179.9, 0, 0},  // half a row at zoom 0: every latitude above -90 is row 0
        {0, -90.0, 0.0, 0, 0},
        {2, 0.0001, 0.0, 2, 0},
        {2, 0.0, 0.0, 2, 1},
        {2, -45.0, 90.0, 3, 1},
        {18, 32.0603, 118.7969, 217577, 42190},
        {3, 10.0, 180.0, 8, 1},
    };
    for (const auto& c : cases) {
        std::int32_t x = -7, y = -7;
        LatLngToTileXYGeo(c.zoom, c.lat, c.lng, x, y);
        EXPECT_EQ(x, c.x) << c.zoom << " " << c.lat << " " << c.lng;
        EXPECT_EQ(y, c.y) << c.zoom << " " << c.lat << " " << c.lng;
    }
}

TEST(TileMath, TileXYToLatLngGivesTheNorthWestCorner) {
    for (int z : {0, 1, 7, 21}) {
        double lng = 0, lat = 0;
        TileXYToLatLng(0, 0, z, lng, lat);
        EXPECT_DOUBLE_EQ(lng, -180.0) << z;
        EXPECT_NEAR(lat, 85.0511287798, 1e-9) << z;
        const std::int64_t n = std::int64_t{1} << z;
        TileXYToLatLng(n, n, z, lng, lat);
        EXPECT_DOUBLE_EQ(lng, 180.0) << z;
        EXPECT_NEAR(lat, -85.0511287798, 1e-9) << z;
    }
    double lng = 1, lat = 1;
    TileXYToLatLng(1, 1, 1, lng, lat);
    EXPECT_NEAR(lng, 0.0, 1e-12);
    EXPECT_NEAR(lat, 0.0, 1e-12);
}

TEST(TileMath, CornerAndTileAgree) {
    // A point just inside a tile's north-west corner maps back to the tile.
    const TTile tiles[] = {{843, 388, 10}, {0, 0, 3}, {215837, 99333, 18}, {7, 7, 3}};
    for (const auto& t : tiles) {
        double lng = 0, lat = 0;
        TileXYToLatLng(t.x, t.y, t.z, lng, lat);
        double lng2 = 0, lat2 = 0;
        TileXYToLatLng(t.x + 1, t.y + 1, t.z, lng2, lat2);
        std::int32_t x = -1, y = -1;
        LatLngToTileXY(t.z, lat + (lat2 - lat) * 0.01, lng + (lng2 - lng) * 0.01, x, y);
        EXPECT_EQ(x, t.x);
        EXPECT_EQ(y, t.y);
    }
}

TEST(TileMath, LatLngBoundsSortsLatitudesAndLongitudesSeparately) {
    TGLatLngBounds bounds{{1, 2}, {3, 4}};
    EXPECT_TRUE(GetLatLngBounds({{10, 50}, {20, 40}, {15, 45}}, bounds));
    EXPECT_EQ(bounds.SouthWest, (TGLatLng{10, 40}));
    EXPECT_EQ(bounds.NorthEast, (TGLatLng{20, 50}));

    const TGLatLngBounds before{{1, 2}, {3, 4}};
    for (const std::vector<TGLatLng>& few : {std::vector<TGLatLng>{}, {{10, 50}}}) {
        bounds = before;
        EXPECT_FALSE(GetLatLngBounds(few, bounds));
        EXPECT_EQ(bounds.NorthEast, before.NorthEast);
        EXPECT_EQ(bounds.SouthWest, before.SouthWest);
    }
}

TEST(TileMath, PointsBoundsAndContains) {
    std::int32_t maxX = 1, maxY = 2, minX = 3, minY = 4;
    EXPECT_FALSE(GetPointsBounds({}, maxX, maxY, minX, minY));
    EXPECT_EQ(maxX, 1);
    EXPECT_EQ(minY, 4);

    const std::vector<TPoint> points = {{5, -3}, {-2, 8}, {9, 1}};
    ASSERT_TRUE(GetPointsBounds(points, maxX, maxY, minX, minY));
    EXPECT_EQ(maxX, 9);
    EXPECT_EQ(maxY, 8);
    EXPECT_EQ(minX, -2);
    EXPECT_EQ(minY, -3);
    ASSERT_TRUE(GetPointsBounds({{4, 6}}, maxX, maxY, minX, minY));
    EXPECT_EQ(maxX, 4);
    EXPECT_EQ(minX, 4);

    EXPECT_TRUE(ContainsPoint({-2, 8}, points));
    EXPECT_FALSE(ContainsPoint({8, -2}, points));
    EXPECT_FALSE(ContainsPoint({0, 0}, {}));
}

TEST(TileMath, DegreesAndDMS) {
    EXPECT_DOUBLE_EQ(DMSToDegrees(116, 23, 45.0), 116.0 + 23 / 60.0 + 45 / 3600.0);
    EXPECT_DOUBLE_EQ(DMSToDegrees(-30, -30, 0), -30.5);

    std::int32_t d = 0, m = 0;
    double s = 0;
    DegreesToDMS(116.39625, d, m, s);
    EXPECT_EQ(d, 116);
    EXPECT_EQ(m, 23);
    EXPECT_NEAR(s, 46.5, 1e-9);
    DegreesToDMS(-30.5125, d, m, s);  // negative values give negative parts
    EXPECT_EQ(d, -30);
    EXPECT_EQ(m, -30);
    EXPECT_NEAR(s, -45.0, 1e-9);
}

TEST(TileMath, DMSRoundedToShownDigitsCarries) {
    struct Case {
        double value;
        std::int32_t d, m;
        double s;
    } cases[] = {
        {10.99999999, 11, 0, 0.0},
        {10.5166666666, 10, 31, 0.0},  // 30'59.99999..." rounds to 31'0"
        {-10.99999999, -11, 0, 0.0},
        {116.39625, 116, 23, 46.5},
    };
    for (const auto& c : cases) {
        std::int32_t d = 0, m = 0;
        double s = -1;
        DegreesToDMS(c.value, 4, d, m, s);
        EXPECT_EQ(d, c.d) << c.value;
        EXPECT_EQ(m, c.m) << c.value;
        EXPECT_NEAR(s, c.s, 1e-9) << c.value;
        EXPECT_LT(std::abs(s), 60.0) << c.value;
    }
}

TEST(TileMath, DetectImgTypeFromTheFirstTwoBytes) {
    using namespace std::string_view_literals;
    const struct {
        std::string_view body;
        TImgType type;
    } cases[] = {
        {"BM\x36\x00"sv, TImgType::itBMP},
        {"\xFF\xD8\xFF\xE0"sv, TImgType::itJPG},
        {"\x89PNG\r\n\x1a\n"sv, TImgType::itPNG},
        {"II*\0"sv, TImgType::itTIFF},
        {"MM\0*"sv, TImgType::itError},  // big-endian TIFF is not recognised
        {"GIF89a"sv, TImgType::itError},
        {"<html><body>404</body></html>"sv, TImgType::itError},
        {"\xFF\xD8"sv, TImgType::itJPG},
        {"\xFF"sv, TImgType::itError},  // one byte: an error type, no exception
        {""sv, TImgType::itError},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DetectImgType(c.body), c.type) << c.body.size();
    }
}

TEST(TileMath, FormatByteSize) {
    const struct {
        std::int64_t bytes;
        const char* text;
    } cases[] = {
        {0, "0B"},
        {-5, "-5B"},
        {1023, "1023B"},
        {1024, "1.0KB"},
        {1536, "1.5KB"},
        {(1 << 20) - 1, "1024.0KB"},
        {1 << 20, "1.0MB"},
        {std::int64_t{5} << 29, "2.5GB"},
        {std::int64_t{1} << 40, "1.0TB"},
        {std::int64_t{3} << 50, "3.0PB"},
        {(std::int64_t{1} << 60) - 1, "1024.0PB"},
        {std::int64_t{1} << 60, "big"},
        {INT64_MAX, "big"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FormatByteSize(c.bytes), c.text) << c.bytes;
    }
}

TEST(TileMath, RandomIndexStaysInRangeAndReachesEveryValue) {
    std::set<int> seen;
    for (int i = 0; i < 2000; ++i) {
        const int v = RandomIndex(7);
        ASSERT_GE(v, 0);
        ASSERT_LT(v, 7);
        seen.insert(v);
    }
    EXPECT_EQ(seen.size(), 7u);
    EXPECT_EQ(RandomIndex(1), 0);
    EXPECT_EQ(RandomIndex(0), 0);
}

TEST(TileMath, RandomIndexDiffersBetweenThreadsStartedTogether) {
    // A generator re-seeded from the clock gives every thread of the same instant the same
    // sequence; each thread must draw its own.
    constexpr int kThreads = 4;
    std::vector<std::vector<int>> draws(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&draws, t] {
            for (int i = 0; i < 32; ++i) {
                draws[t].push_back(RandomIndex(1000));
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    const std::set<std::vector<int>> distinct(draws.begin(), draws.end());
    EXPECT_EQ(distinct.size(), static_cast<std::size_t>(kThreads));
}

}  // namespace
}  // namespace engine
