#include <gtest/gtest.h>

#include <vector>

#include "geodata/gpx/gpx_model.h"
#include "gpx_test_points.h"

namespace geodata {
namespace {

using testing::Fill;
using testing::Wpt;

std::vector<double> Lats(const TGPXwptList& list) {
    std::vector<double> lats;
    for (int i = 0; i < list.Count(); ++i) {
        lats.push_back(list.WayPoints(i).Latitude);
    }
    return lats;
}

TGPXrte& AddRoute(TGPX& doc, std::initializer_list<double> lats, const char* name = "") {
    auto route = std::make_unique<TGPXrte>();
    Fill(*route, lats);
    route->name = name;
    TGPXrte& ref = *route;
    doc.rte.Add(std::move(route));
    return ref;
}

TEST(GpxEdit, JoinRoutes) {
    {
        // Shared end point: appended once.
        TGPX doc;
        TGPXrte& a = AddRoute(doc, {1, 2, 3});
        TGPXrte& b = AddRoute(doc, {3, 4});
        EXPECT_EQ(doc.rte.BindRoutes(&a, &b), &a);
        EXPECT_EQ(Lats(a), (std::vector<double>{1, 2, 3, 4}));
        EXPECT_EQ(doc.rte.Count(), 1);
    }
    {
        // No times, second route stands first in the list: prepended, shared point once.
        TGPX doc;
        TGPXrte& b = AddRoute(doc, {7, 8, 1});
        TGPXrte& a = AddRoute(doc, {1, 2});
        doc.rte.BindRoutes(&a, &b);
        EXPECT_EQ(Lats(a), (std::vector<double>{7, 8, 1, 2}));
    }
    {
        // Times decide before list order: the first ends earlier, so it is appended to.
        TGPX doc;
        TGPXrte& b = AddRoute(doc, {5, 6});
        TGPXrte& a = AddRoute(doc, {1, 2});
        a.WayPoints(1).DateTime = 100;
        b.WayPoints(0).DateTime = 200;
        doc.rte.BindRoutes(&a, &b);
        EXPECT_EQ(Lats(a), (std::vector<double>{1, 2, 5, 6}));
    }
    {
        TGPX doc;
        TGPXrte& a = AddRoute(doc, {1});
        TGPXrte& empty = AddRoute(doc, {});
        EXPECT_THROW(doc.rte.BindRoutes(&a, &empty), EListError);
        EXPECT_EQ(doc.rte.Count(), 2) << "a failed join changes nothing";
    }
}

TEST(GpxEdit, JoinTrackSegmentsInTrackThenSegmentOrder) {
    TGPX doc;
    auto t1 = std::make_unique<TGPXtrk>();
    auto t2 = std::make_unique<TGPXtrk>();
    auto s1 = std::make_unique<TGPXtrkseg>();
    auto s2 = std::make_unique<TGPXtrkseg>();
    auto s3 = std::make_unique<TGPXtrkseg>();
    Fill(*s1, {1, 2});
    Fill(*s2, {10, 11});
    Fill(*s3, {20, 21});
    TGPXtrkseg* seg1 = s1.get();
    TGPXtrkseg* seg2 = s2.get();
    TGPXtrkseg* seg3 = s3.get();
    // Track 0 holds seg2 and seg3, track 1 holds seg1: seg1 stands after seg3.
    t1->Add(std::move(s2));
    t1->Add(std::move(s3));
    t2->Add(std::move(s1));
    doc.trk.Add(std::move(t1));
    doc.trk.Add(std::move(t2));

    // seg1 stands after seg3 (track 1 after track 0), no times, no shared ends: prepended.
    EXPECT_EQ(doc.trk.BindTrackSeg(seg1, seg3), seg1);
    EXPECT_EQ(Lats(*seg1), (std::vector<double>{20, 21, 1, 2}));
    EXPECT_EQ(doc.trk.Tracks(0).Count(), 1) << "seg3 taken out of its track";

    // seg2 alone in track 0 now: the whole track goes.
    doc.trk.BindTrackSeg(seg1, seg2);
    EXPECT_EQ(doc.trk.Count(), 1);
    EXPECT_EQ(Lats(*seg1), (std::vector<double>{10, 11, 20, 21, 1, 2}));

    TGPXtrkseg stray;
    Fill(stray, {5});
    EXPECT_THROW(doc.trk.BindTrackSeg(seg1, &stray), std::invalid_argument);
}

TEST(GpxEdit, BindSelectionNeedsTwoOfAKind) {
    TGPX doc;
    TGPXrte& a = AddRoute(doc, {1, 2});
    TGPXrte& b = AddRoute(doc, {2, 3});
    doc.selection.Add(static_cast<TPointList2*>(&a));
    EXPECT_EQ(doc.BindSelection(), nullptr);
    doc.selection.Add(&b.WayPoints(0));
    EXPECT_EQ(doc.BindSelection(), nullptr) << "a route and a point";
    EXPECT_FALSE(doc.selection.IsInSelection(&b));
    doc.selection.Clear();
    doc.selection.Add(static_cast<TPointList2*>(&a));
    doc.selection.Add(static_cast<TPointList2*>(&b));
    EXPECT_TRUE(doc.selection.APointListIsSelected());
    EXPECT_EQ(doc.BindSelection(), &a);
    EXPECT_EQ(Lats(a), (std::vector<double>{1, 2, 3}));
    EXPECT_EQ(doc.selection.Count(), 1) << "the released route leaves the selection";
    EXPECT_TRUE(doc.selection.IsInSelection(&a));

    TGPXSelection other;
    TGPXwptList plain;  // a point list of another class does not count
    other.Add(static_cast<TPointList2*>(&plain));
    EXPECT_FALSE(other.APointListIsSelected());
}

TEST(GpxEdit, CutRouteNeedsThreePointsBeforeAndTwoAfter) {
    TGPX doc;
    TGPXrte& five = AddRoute(doc, {0, 1, 2, 3, 4}, "five");
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(doc.rte.CutRoute(&five, &five.WayPoints(i)), nullptr) << i;
    }
    TGPXrte& six = AddRoute(doc, {0, 1, 2, 3, 4, 5}, "six");
    EXPECT_EQ(doc.rte.CutRoute(&six, &six.WayPoints(2)), nullptr);
    EXPECT_EQ(doc.rte.CutRoute(&six, &six.WayPoints(4)), nullptr);
    TGPXrte* part2 = doc.rte.CutRoute(&six, &six.WayPoints(3));
    ASSERT_NE(part2, nullptr);
    EXPECT_EQ(Lats(six), (std::vector<double>{0, 1, 2, 3}));
    EXPECT_EQ(Lats(*part2), (std::vector<double>{3, 4, 5}));
    EXPECT_EQ(part2->name, "six (part 2)");
    EXPECT_EQ(&doc.rte.Routes(2), part2) << "inserted right after the cut route";

    TGPXrte stranger;
    Fill(stranger, {0, 1, 2, 3, 4, 5});
    EXPECT_EQ(doc.rte.CutRoute(&six, &stranger.WayPoints(3)), nullptr);
}

TEST(GpxEdit, CutTrackSegment) {
    TGPXtrk track;
    auto segment = std::make_unique<TGPXtrkseg>();
    Fill(*segment, {0, 1, 2, 3, 4, 5, 6, 7});
    TGPXtrkseg* seg = segment.get();
    track.Add(std::move(segment));
    TGPXtrkseg* part2 = track.Cuttrkseg(seg, &seg->WayPoints(5));
    ASSERT_NE(part2, nullptr);
    EXPECT_EQ(seg->Count(), 6);
    EXPECT_EQ(part2->Count(), 3);
    EXPECT_EQ(&track.trkseg(1), part2);
}

TEST(GpxEdit, RemoveDuplicatesAndIdentity) {
    TGPXwptList list;
    list.Add(Wpt(1, 1));
    list.Add(Wpt(1, 1));
    list.Add(Wpt(2, 2));
    list.Add(Wpt(1, 1));
    list.RemoveDuplicates(1, false);
    EXPECT_EQ(Lats(list), (std::vector<double>{1, 2, 1}));

    TGPXwpt a, b;
    a.name = "Camp";
    b.name = "camp";
    EXPECT_FALSE(a.IsIdentical(b, 0));
    EXPECT_TRUE(a.IsIdentical(b, 1));
    EXPECT_TRUE(a.IsIdentical(b, 2)) << "modes above 1 compare the place only";
    b.name = "Camp";
    b.Link.href = "ignored";
    EXPECT_TRUE(a.IsIdentical(b, 0));
    b.Altitude = 1;
    EXPECT_FALSE(a.IsIdentical(b, 1));

    TGPXwptList timed;
    timed.Add(Wpt(1, 1, 0, 3));
    timed.Add(Wpt(2, 2, 0, 1));
    timed.Add(Wpt(1, 1, 0, 2));
    timed.RemoveDuplicates(1, true);  // sorted first: 2,2 then 1,1 twice
    EXPECT_EQ(Lats(timed), (std::vector<double>{2, 1}));
}

TEST(GpxEdit, SortsByFirstPointTime) {
    TGPX doc;
    TGPXrte& late = AddRoute(doc, {1});
    TGPXrte& early = AddRoute(doc, {2});
    late.WayPoints(0).DateTime = 5;
    early.WayPoints(0).DateTime = 1;
    doc.rte.SortByDate();
    EXPECT_EQ(&doc.rte.Routes(0), &early);
    AddRoute(doc, {});
    EXPECT_THROW(doc.rte.SortByDate(), EListError);
    EXPECT_EQ(doc.rte.Count(), 3) << "no route lost";

    const TGPXwptList* parent = doc.GetWaypointParent(&early.WayPoints(0));
    EXPECT_EQ(parent, &early);
    TGPXwpt stranger;
    EXPECT_EQ(doc.GetWaypointParent(&stranger), nullptr);
}

}  // namespace
}  // namespace geodata
