#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "geodata/boundary/boundary_store.h"

namespace geodata {
namespace {

using engine::TGLatLng;

TEST(BoundaryCoordinates, StrToArray) {
    struct Case {
        std::string value;
        std::vector<TGLatLng> points;  // latitude, longitude
    };
    const std::vector<Case> cases = {
        {"", {}},
        {"116.3,39.9,116.5,40.1", {{39.9, 116.3}, {40.1, 116.3}, {40.1, 116.5}, {39.9, 116.5}}},
        {"0,0,116.3,39.9", {{39.9, 116.3}}},
        {"116.3,0", {}},
        {"116.3,39.9,116.5,40.1,117", {{39.9, 116.3}, {40.1, 116.3}, {40.1, 116.5}, {39.9, 116.5}}},
        {"116.3,39.9,116.5,40.1,116.4,40.3", {{39.9, 116.3}, {40.1, 116.5}, {40.3, 116.4}}},
        // Two points that remain after dropping one with a 0 still span a rectangle.
        {"116.3,39.9,0,40,116.5,40.1",
         {{39.9, 116.3}, {40.1, 116.3}, {40.1, 116.5}, {39.9, 116.5}}},
        {"abc,39.9,116.3,40", {{40, 116.3}}},
        {"-74.0060,40.7128", {{40.7128, -74.006}}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TBoundary::StrToArray(c.value), c.points) << c.value;
        EXPECT_EQ(TBoundary::StrToArrayEx(c.value), c.points) << c.value;
    }
}

TEST(BoundaryCoordinates, RectangleAndPositionTexts) {
    EXPECT_TRUE(TBoundary::IsRectangle("116.3,39.9,116.5,40.1"));
    EXPECT_FALSE(TBoundary::IsRectangle(""));
    EXPECT_FALSE(TBoundary::IsRectangle("116.3,39.9,116.5"));
    EXPECT_FALSE(TBoundary::IsRectangle("116.3,39.9,116.5,40.1,116.4,40.3"));

    EXPECT_EQ(TBoundary::StrToLatLng("39.9,116.3"), (TGLatLng{39.9, 116.3}));
    for (const char* none : {"39.9", "0,116.3", "39.9,x", "39.9,", ""}) {
        EXPECT_EQ(TBoundary::StrToLatLng(none), std::nullopt) << none;
    }

    EXPECT_EQ(TBoundary::LatLngArrayToStr({{39.9, 116.3}, {-40.123456, -116.5}}),
              "116.30000,39.90000,-116.50000,-40.12346");
    EXPECT_EQ(TBoundary::LatLngArrayToStr({}), "");
}

TEST(BoundaryCoordinates, Bounds) {
    double maxX = 1, minX = 2, maxY = 3, minY = 4;
    ASSERT_TRUE(TBoundary::GetBounds("116.5,39.9,116.3,40.1,116.4,40.3", maxX, minX, maxY, minY));
    EXPECT_EQ(maxX, 116.5);
    EXPECT_EQ(minX, 116.3);
    EXPECT_EQ(maxY, 40.3);
    EXPECT_EQ(minY, 39.9);
    EXPECT_FALSE(TBoundary::GetBounds("", maxX, minX, maxY, minY));
    EXPECT_EQ(maxX, 116.5) << "no point: the results stay as they were";

    const engine::TGLatLngBounds untouched{{1, 2}, {3, 4}};
    const auto box = TBoundary::GetBounds("116.5,40.1,116.3,39.9", untouched);
    EXPECT_EQ(box.NorthEast, (TGLatLng{40.1, 116.5}));
    EXPECT_EQ(box.SouthWest, (TGLatLng{39.9, 116.3}));
    const auto one = TBoundary::GetBounds("116.5,40.1", untouched);
    EXPECT_EQ(one.NorthEast, untouched.NorthEast);
    EXPECT_EQ(one.SouthWest, untouched.SouthWest);
}

TEST(BoundaryCoordinates, MercatorPointsAreCutTowardsZero) {
    const auto points = TBoundary::LatLngsToMercators(
        {{0, 0}, {0, 180}, {0, -0.00001}, {39.9, 116.3}, {90, 0}, {-90, 0}, {91, 0}});
    ASSERT_EQ(points.size(), 7u);
    EXPECT_EQ(points[0], (engine::TPoint{0, 0}));
    EXPECT_EQ(points[1].x, 20037508);
    EXPECT_EQ(points[2].x, -1) << "-1.11 m cut towards zero, not down";
    EXPECT_EQ(points[3], (engine::TPoint{12946456, 4851421}));
    // Poles and beyond stay inside the integer range instead of overflowing.
    EXPECT_GT(points[4].y, 20037508);
    EXPECT_EQ(points[5].y, INT32_MIN);
    EXPECT_EQ(points[6].y, 0);
}

}  // namespace
}  // namespace geodata
