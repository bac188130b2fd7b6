#include <gtest/gtest.h>

#include "geodata/gpx/gpx_model.h"
#include "gpx_test_points.h"

namespace geodata {
namespace {

using testing::Fill;
using testing::Wpt;

TEST(GpxStyle, ColourTexts) {
    EXPECT_EQ(ColorToHexStr(0x0000FF), "FF0000");
    EXPECT_EQ(ColorToHexStr(kDefaultLineColor), "000000");
    EXPECT_EQ(ColorToHexStr(0x00BC0A00 | 0xFF000000), "000ABC");

    struct Case {
        const char* text;
        TColor color;
    };
    for (const Case& c : {Case{"  ff8800 ", 0x0088FF}, Case{"abc", 0xBC0A00},
                          Case{"12345678", 0x563412}, Case{"zz00ff", 0xFF0000}, Case{"", 0}}) {
        EXPECT_EQ(HexStrToColor(c.text), c.color) << c.text;
    }

    TGPX_StyleLine style;
    EXPECT_TRUE(style.IsDefaultColor());
    style.SetColorStr("000000");
    EXPECT_FALSE(style.IsDefaultColor());
    style.SetOpacityStr("-0.5");
    EXPECT_EQ(style.Opacity(), 0.5);
    EXPECT_EQ(style.OpacityStr(), "0.5");
    style.SetOpacityStr("half");
    EXPECT_EQ(style.Opacity(), 1);
}

TEST(GpxModel, NewObjectsHaveTheirDefaults) {
    TGPXwpt p;
    EXPECT_EQ(p.sat, 255);
    EXPECT_EQ(p.hdop, -1);
    EXPECT_EQ(p.dgpsid, -1);
    EXPECT_TRUE(p.enabled);
    TGPXrte route;
    EXPECT_TRUE(route.enabled());
    EXPECT_EQ(route.number, -1);
    TGPXmetadata metadata;
    EXPECT_EQ(metadata.Copyright.year, -1);
    TGPX document;
    EXPECT_TRUE(document.enabled());
    EXPECT_EQ(document.selection.Parent, &document);
}

TEST(GpxModel, MetadataBounds) {
    {
        TGPX doc;
        doc.wpt.Add(Wpt(30, 120));
        doc.ComputeMetaBounds();
        EXPECT_FALSE(doc.Metadata.Bounds.filled) << "a single waypoint gets no bounds";
        EXPECT_FALSE(doc.Metadata.filled);
    }
    {
        TGPX doc;
        doc.wpt.Add(Wpt(30, 120));
        doc.wpt.Add(Wpt(31, 121));
        auto route = std::make_unique<TGPXrte>();
        Fill(*route, {29.5, 30.5}, 119);  // widens south and west
        doc.rte.Add(std::move(route));
        doc.ComputeMetaBounds();
        ASSERT_TRUE(doc.Metadata.Bounds.filled);
        EXPECT_TRUE(doc.Metadata.filled);
        EXPECT_EQ(doc.Metadata.Bounds.minlat, 29.5);
        EXPECT_EQ(doc.Metadata.Bounds.maxlat, 31);
        EXPECT_EQ(doc.Metadata.Bounds.minlon, 119);
        EXPECT_EQ(doc.Metadata.Bounds.maxlon, 121);
    }
    {
        TGPX doc;  // one track along a meridian: E equals O
        auto track = std::make_unique<TGPXtrk>();
        auto segment = std::make_unique<TGPXtrkseg>();
        Fill(*segment, {10, 11, 12}, 5);
        track->Add(std::move(segment));
        doc.trk.Add(std::move(track));
        doc.ComputeMetaBounds();
        EXPECT_FALSE(doc.Metadata.Bounds.filled);
    }
}

TEST(GpxModel, DocumentCopyAppendsAndNeverShares) {
    TGPX source;
    source.creator = "source";
    source.Metadata.name = "meta";
    source.Metadata.author.Link.href = "http://example.org/";
    auto track = std::make_unique<TGPXtrk>();
    track->name = "copied";
    track->LineStyle.SetColorStr("112233");
    auto segment = std::make_unique<TGPXtrkseg>();
    Fill(*segment, {1, 2});
    segment->WayPoints(0).name = "first";
    segment->WayPoints(0).Level = 9;
    track->Add(std::move(segment));
    source.trk.Add(std::move(track));
    source.trk.filled = true;

    TGPX target;
    auto kept = std::make_unique<TGPXtrk>();
    kept->name = "kept";
    target.trk.Add(std::move(kept));
    target.CopyFrom(source);

    ASSERT_EQ(target.trk.Count(), 2);
    EXPECT_EQ(target.trk.Tracks(0).name, "kept");
    const TGPXtrk& copy = target.trk.Tracks(1);
    EXPECT_EQ(copy.name, "copied");
    EXPECT_EQ(copy.LineStyle.ColorStr(), "112233");
    ASSERT_EQ(copy.Count(), 1);
    EXPECT_EQ(copy.trkseg(0).WayPoints(0).name, "first");
    EXPECT_EQ(copy.trkseg(0).WayPoints(0).Level, 0) << "Level is not copied";
    EXPECT_NE(&copy.trkseg(0).WayPoints(0), &source.trk.Tracks(0).trkseg(0).WayPoints(0));
    EXPECT_TRUE(target.trk.filled);
    EXPECT_EQ(target.creator, "source");
    EXPECT_EQ(target.Metadata.author.Link.href, "http://example.org/");
    EXPECT_EQ(target.selection.Parent, &target);

    target.Clear();
    EXPECT_EQ(target.trk.Count(), 0);
    EXPECT_FALSE(target.trk.filled);
    EXPECT_EQ(target.Metadata.name, "meta") << "Clear keeps the metadata";
}

TEST(GpxModel, EnabledFlagsReachThePoints) {
    TGPX doc;
    Fill(doc.wpt, {1, 2});
    auto track = std::make_unique<TGPXtrk>();
    auto segment = std::make_unique<TGPXtrkseg>();
    Fill(*segment, {3, 4});
    track->Add(std::move(segment));
    doc.trk.Add(std::move(track));
    doc.SetEnabled(false);
    EXPECT_FALSE(doc.wpt.WayPoints(1).enabled);
    EXPECT_FALSE(doc.trk.Tracks(0).trkseg(0).WayPoints(0).enabled);
    doc.ComputeMetaBounds();
    EXPECT_FALSE(doc.Metadata.Bounds.filled);
}

}  // namespace
}  // namespace geodata
