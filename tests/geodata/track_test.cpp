#include <gtest/gtest.h>

#include <memory>

#include "geodata/track/bbox.h"
#include "geodata/track/date_time.h"
#include "geodata/track/point_list.h"

namespace geodata {
namespace {

std::unique_ptr<TPoint4D2> P(double lat, double lon, TDateTime time = 0) {
    auto p = std::make_unique<TPoint4D2>();
    p->Latitude = lat;
    p->Longitude = lon;
    p->DateTime = time;
    return p;
}

TEST(TrackPoint, GreatCircleDistance) {
    auto a = P(30, 120);
    // 0.00001 degree of latitude is about 1.11 m on the equatorial-radius sphere.
    EXPECT_NEAR(a->WGS84Distance(120, 30.00001, false), 1.113, 0.001);
    EXPECT_EQ(a->WGS84Distance(120, 30, false), 0);
    // Rounding the cosine sum to 8 decimals makes points a few centimetres apart coincide.
    EXPECT_EQ(a->WGS84Distance(120, 30.000001, true), 0);
    EXPECT_GT(a->WGS84Distance(120, 30.000001, false), 0);
    // Beijing to Shanghai, roughly 1070 km.
    auto beijing = P(39.9042, 116.4074);
    EXPECT_NEAR(beijing->WGS84Distance(121.4737, 31.2304, false) / 1000, 1069, 5);
}

TEST(TrackPoint, BoxTestIsStrictAndTakesCornersInEitherOrder) {
    auto p = P(30, 120);
    EXPECT_TRUE(p->IsInBox(121, 119, 29, 31));
    EXPECT_TRUE(p->IsInBox(119, 121, 31, 29));
    EXPECT_FALSE(p->IsInBox(121, 120, 29, 31));  // on the western edge
    EXPECT_FALSE(p->IsInBox(121, 119, 30, 31));  // on the southern edge
}

TEST(TrackPoint, TextForms) {
    auto p = P(30.5, -0.25);
    p->Altitude = 12.34;
    EXPECT_EQ(p->LatitudeStr(), "30.500000?N");
    EXPECT_EQ(p->LongitudeStr(), "0.250000?W");
    EXPECT_EQ(p->LatitudeOZStr(), "30,30.00000,N");
    EXPECT_EQ(p->LongitudeOZStr(), "0,15.00000,W");
    EXPECT_EQ(p->Lat(), "30.500000");
    EXPECT_EQ(p->Lon(), "-0.250000");
    EXPECT_EQ(p->AltitudeStr(), "12.3 m");
    EXPECT_EQ(p->Coord(), "30.500000?N, 0.250000?W");
    EXPECT_EQ(P(0, 0)->LatitudeStr(), "0.000000?N");
    EXPECT_EQ(P(-12.5, 0)->LatitudeOZStr(), "12,30.00000,S");

    EXPECT_EQ(p->DateTimeStr(), "");
    p->DateTime = EncodeDate(2014, 7, 3) + EncodeTime(10, 20, 30, 0);
    const std::string whole = p->DateTimeStr();
    EXPECT_EQ(whole.substr(whole.size() - 9), " 10:20:30");
    p->DateTime = EncodeDate(2014, 7, 3) + EncodeTime(10, 20, 30, 5);
    const std::string fraction = p->DateTimeStr();
    EXPECT_EQ(fraction.substr(fraction.size() - 13), " 10:20:30.005");
}

TEST(TrackPoint, VectorHelpers) {
    auto a = P(2, 1);
    a->Altitude = 3;
    auto b = P(1, 4);
    b->Altitude = -1;
    a->Level = 7;
    auto d = PointDifference(*a, *b);
    EXPECT_EQ(d->Longitude, -3);
    EXPECT_EQ(d->Latitude, 1);
    EXPECT_EQ(d->Altitude, 4);
    EXPECT_EQ(d->Level, 0);  // a copy of position and time only
    EXPECT_EQ(PointDotProduct(*a, *b), 1 * 4 + 2 * 1 + 3 * -1);
    EXPECT_EQ(PointSquaredNorm(*a), 14);
    EXPECT_EQ(PointSquaredDistance(*a, *b), 26);
}

TEST(BoundingBox, ListBoxFromEnabledPoints) {
    TPointList2 list;
    list.Add(P(10, 20));
    list.CalcBBox(true);
    EXPECT_FALSE(list.BBox.Complete) << "one point gets no box";

    list.Add(P(12, 18));
    list.Add(P(50, 50));
    list.Points(2).enabled = false;
    list.CalcBBox(true);
    ASSERT_TRUE(list.BBox.Complete);
    EXPECT_EQ(list.BBox.N, 12);
    EXPECT_EQ(list.BBox.S, 10);
    EXPECT_EQ(list.BBox.E, 20);
    EXPECT_EQ(list.BBox.O, 18);

    // Without reset the existing limits are widened.
    list.BBox.N = 40;
    list.CalcBBox(false);
    EXPECT_EQ(list.BBox.N, 40);

    // A range whose only enabled point is its last gives a box of that point.
    list.Points(0).enabled = false;
    list.CalcBBoxFromTo(0, 1, true);
    ASSERT_TRUE(list.BBox.Complete);
    EXPECT_EQ(list.BBox.N, 12);
    EXPECT_EQ(list.BBox.S, 12);

    // Disabling the list disables every point: no box at all.
    list.SetEnabled(false);
    list.CalcBBox(true);
    EXPECT_FALSE(list.BBox.Complete);
}

TEST(BoundingBox, AddTreatsZeroLimitsAsUnset) {
    TBBox box, onEquator, other;
    onEquator.N = 10;
    onEquator.S = 0;  // a limit of exactly 0
    onEquator.E = 20;
    onEquator.O = 5;
    box.Add(onEquator);
    EXPECT_FALSE(box.Complete);
    other.N = 30;
    other.S = 25;
    other.E = 40;
    other.O = 35;
    box.Add(other);  // still incomplete, so replaced rather than widened
    EXPECT_TRUE(box.Complete);
    EXPECT_EQ(box.S, 25);
    box.Add(onEquator);  // complete now: widened
    EXPECT_EQ(box.S, 0);
    EXPECT_EQ(box.O, 5);
    EXPECT_EQ(box.N, 30);
    EXPECT_TRUE(box.Complete);

    auto center = box.GetCenter();
    EXPECT_EQ(center->Latitude, 15);
    EXPECT_EQ(center->Longitude, 22.5);
}

TEST(PointList, ClosestFarthestAndIndexErrors) {
    TPointList2 list;
    EXPECT_EQ(list.FindClosestIndex(0, 0), -1);
    EXPECT_THROW(list.FindClosestPoint(0, 0), EListError);
    list.Add(P(0, 1));
    list.Add(P(0, 3));
    list.Add(P(0, 1));
    EXPECT_EQ(list.FindClosestIndex(1.2, 0), 0);  // earliest of equal distances
    EXPECT_EQ(&list.FindFurtherPoint(1.2, 0), &list.Points(1));
    EXPECT_THROW(list.Points(3), EListError);
    try {
        list.Points(-1);
        FAIL();
    } catch (const EListError& e) {
        EXPECT_STREQ(e.what(), "List index out of bounds (-1)");
    }
    TPointList2 single;
    single.Add(P(0, 1));
    EXPECT_THROW(single.FindFurtherPoint(1, 0), EListError) << "every distance is 0";
}

TEST(PointList, SpeedBetweenConsecutivePoints) {
    TPointList2 list;
    const TDateTime t0 = EncodeDate(2020, 1, 1);
    list.Add(P(0, 0, t0));
    list.Add(P(0, 1, t0 + 1.0 / 24));  // one degree of longitude in one hour
    list.Add(P(0, 2, 0));
    list.Add(P(0, 3, t0 + 1.0 / 24));
    TPoint4D2 stranger;
    EXPECT_NEAR(list.GetSpeedOf(&list.Points(1)), 111.319, 0.01);
    EXPECT_EQ(list.GetSpeedOf(&list.Points(0)), -1);
    EXPECT_EQ(list.GetSpeedOf(&list.Points(2)), -1);  // no time
    EXPECT_EQ(list.GetSpeedOf(&list.Points(3)), -1);  // point before has no time
    EXPECT_EQ(list.GetSpeedOf(&stranger), -1);
}

TEST(PointList, OwnershipAndSorting) {
    TPointList2 list;
    list.Add(P(1, 0, 3));
    list.Add(P(2, 0, 1));
    list.Add(P(3, 0, 2));
    TPoint4D2* second = &list.Points(1);
    list.SetPoint(1, std::unique_ptr<TPoint4D2>(second));  // same object: no change
    EXPECT_EQ(&list.Points(1), second);
    list.SortByDate();
    EXPECT_EQ(list.Points(0).Latitude, 2);
    EXPECT_EQ(list.Points(2).Latitude, 1);
    auto taken = list.Extract(0);
    EXPECT_EQ(taken->Latitude, 2);
    EXPECT_EQ(list.Count(), 2);
    list.FreeAndDelete(0);
    EXPECT_EQ(list.Count(), 1);
    list.ClearPointList();
    EXPECT_EQ(list.Count(), 0);
}

TEST(DateTime, EncodeDecodeAndRanges) {
    EXPECT_EQ(EncodeDate(1899, 12, 30), 0);
    EXPECT_EQ(EncodeDate(2014, 7, 3), 41823);
    EXPECT_EQ(EncodeDateDay(2014, 184), EncodeDate(2014, 7, 3));
    EXPECT_EQ(EncodeDateWeek(2014, 27, 4), EncodeDate(2014, 7, 3));
    EXPECT_EQ(EncodeDateWeek(2009, 53, 7), EncodeDate(2010, 1, 3));
    EXPECT_EQ(WeeksInYear(2015), 53);
    EXPECT_THROW(EncodeDateWeek(2014, 53, 1), EConvertError);
    EXPECT_THROW(EncodeDate(2014, 13, 1), EConvertError);
    EXPECT_THROW(EncodeDate(2015, 2, 29), EConvertError);
    EXPECT_THROW(EncodeTime(24, 0, 0, 0), EConvertError);
    const DateParts parts = DecodeDateTime(EncodeDate(2014, 7, 3) + EncodeTime(23, 59, 59, 999));
    EXPECT_EQ(parts.Year, 2014);
    EXPECT_EQ(parts.Day, 3);
    EXPECT_EQ(parts.Hour, 23);
    EXPECT_EQ(parts.MilliSecond, 999);
}

}  // namespace
}  // namespace geodata
