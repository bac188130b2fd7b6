#include "engine/core/datum.h"

#include <gtest/gtest.h>

#include <cmath>

namespace engine {
namespace {

TEST(Datum, OutOfChinaWhenEitherCoordinateLeavesTheBox) {
    const struct {
        double lat, lng;
        bool out;
    } cases[] = {
        {39.9, 116.4, false},                           // Beijing
        {48.85, 2.35, true},                            // Paris: only the longitude is outside
        {40.71, -74.0, true},                           // New York
        {60.0, 10.0, true},      {-33.9, 118.0, true},  // only the latitude is outside
        {10.0, 72.004, false},                          // bounds are inside
        {10.0, 137.8347, false}, {0.8293, 100.0, false}, {55.8271, 100.0, false},
        {10.0, 72.0039, true},   {55.8272, 100.0, true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(OutOfChina(c.lat, c.lng), c.out) << c.lat << "," << c.lng;
    }
}

TEST(Datum, PointsOutsideChinaAreNotShifted) {
    for (const TGLatLng p :
         {TGLatLng{48.85, 2.35}, TGLatLng{40.71, -74.0}, TGLatLng{-33.9, 118.0}}) {
        EXPECT_EQ(WGS84ToGCJ02(p), p);
        EXPECT_EQ(GCJ02ToWGS84(p), p);
    }
}

TEST(Datum, WGS84ToGCJ02KnownPositions) {
    const struct {
        TGLatLng wgs, gcj;
    } cases[] = {
        {{39.908823, 116.397470}, {39.910226498073, 116.403713582422}},
        {{31.2304, 121.4737}, {31.228457737577, 121.478223059277}},
    };
    for (const auto& c : cases) {
        const TGLatLng g = WGS84ToGCJ02(c.wgs);
        EXPECT_NEAR(g.lat, c.gcj.lat, 1e-9);
        EXPECT_NEAR(g.lng, c.gcj.lng, 1e-9);
    }
}

TEST(Datum, GCJ02ToWGS84InvertsTheShiftInsideChina) {
    const TGLatLng points[] = {{39.9, 116.4},  {31.23, 121.47}, {43.8, 87.6},
                               {45.75, 126.6}, {18.25, 109.5},  {22.3, 114.17}};
    for (const auto& p : points) {
        const TGLatLng back = GCJ02ToWGS84(WGS84ToGCJ02(p));
        EXPECT_NEAR(back.lat, p.lat, 1e-7) << p.lat << "," << p.lng;
        EXPECT_NEAR(back.lng, p.lng, 1e-7) << p.lat << "," << p.lng;
    }
}

TEST(Datum, GCJ02ToWGS84EndsNextToTheBorderOfTheBox) {
    // Shifting this position west leaves the box, where nothing shifts: the plain iteration
    // flips between two estimates for ever.
    const TGLatLng p{40.0, 72.0045};
    const TGLatLng w = GCJ02ToWGS84(p);
    EXPECT_NEAR(w.lat, p.lat, 0.01);
    EXPECT_NEAR(w.lng, p.lng, 0.01);
}

TEST(Datum, BD09ShiftsAndTheirNearInverse) {
    double lat = 0, lng = 0;
    GCJ02ToBD09(39.915, 116.404, lat, lng);
    EXPECT_NEAR(lat, 39.921336993510, 1e-9);
    EXPECT_NEAR(lng, 116.410369493710, 1e-9);
    // No out-of-China test for BD-09: Paris is shifted too.
    const TGLatLng paris = GCJ02ToBD09LatLng({48.85, 2.35});
    EXPECT_NEAR(paris.lat, 48.856003882804, 1e-9);
    EXPECT_NEAR(paris.lng, 2.356627396550, 1e-9);

    for (const TGLatLng p :
         {TGLatLng{39.915, 116.404}, TGLatLng{22.5, 114.0}, TGLatLng{48.85, 2.35}}) {
        const TGLatLng back = BD09ToGCJ02LatLng(GCJ02ToBD09LatLng(p));
        EXPECT_NEAR(back.lat, p.lat, 2e-6);
        EXPECT_NEAR(back.lng, p.lng, 2e-6);
    }
}

TEST(Datum, BD09AngleOnTheMeridianDoesNotDivide) {
    double lat = 0, lng = 0;
    BD09ToGCJ02(10.006, 0.0065, lat, lng);  // x is exactly zero
    EXPECT_TRUE(std::isfinite(lat));
    EXPECT_NEAR(lat, 10.0, 1e-4);
    EXPECT_NEAR(lng, 0.0, 1e-4);
    BD09ToGCJ02(0.006, 0.0065, lat, lng);  // x and y zero
    EXPECT_NEAR(lat, 0.0, 1e-4);
    EXPECT_NEAR(lng, 0.0, 1e-4);
    GCJ02ToBD09(-10.0, 0.0, lat, lng);  // negative y on the meridian
    EXPECT_NEAR(lat, -10.0 + 0.006, 1e-3);
}

TEST(Datum, WGS84AndBD09ChainThroughGCJ02) {
    const TGLatLng p{39.908823, 116.397470};
    const TGLatLng bd = WGS84ToBD09(p);
    const TGLatLng expected = GCJ02ToBD09LatLng(WGS84ToGCJ02(p));
    EXPECT_EQ(bd, expected);
    const TGLatLng back = BD09ToWGS84(bd);
    EXPECT_NEAR(back.lat, p.lat, 3e-6);
    EXPECT_NEAR(back.lng, p.lng, 3e-6);
}

TEST(Datum, LngLatToMercator) {
    double x = 0, y = 1;
    LngLatToMercator(180, 0, x, y);
    EXPECT_DOUBLE_EQ(x, 20037508.342789);
    EXPECT_NEAR(y, 0.0, 1e-6);
    LngLatToMercator(0, 85.0511287798, x, y);
    EXPECT_NEAR(y, 20037508.0, 1.0);
    LngLatToMercator(-90, -45, x, y);
    EXPECT_DOUBLE_EQ(x, -20037508.342789 / 2);
    EXPECT_NEAR(y, -5621521.486, 1e-2);
}

}  // namespace
}  // namespace engine
