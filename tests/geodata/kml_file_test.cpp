#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>

#include "engine/core/number_format.h"
#include "geodata/kml/kml_file.h"
#include "gpx_test_points.h"
#include "gpx_test_support.h"
#include "support/cpu_timer.h"
#include "support/temp_dir.h"

namespace geodata {
namespace {

using testing::Fixture;
using testing::Wpt;

TDateTime At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
    return EncodeDate(y, mo, d) + EncodeTime(h, mi, s, 0);
}

struct Reader {
    TGPX doc;
    TKMLFile kml;
    Reader() { kml.GPXd = &doc; }
    void Read(const std::filesystem::path& file) { kml.ImportKML(file); }
    void ReadText(const std::string& text) {
        testsupport::TempDir dir;
        testsupport::WriteFileBytes(dir / "in.kml", text);
        kml.ImportKML(dir / "in.kml");
    }
};

TEST(KmlRead, FilesWrittenByGpsbabel) {
    Reader r;
    r.Read(Fixture("places.kml"));
    ASSERT_EQ(r.doc.wpt.Count(), 3);
    const TGPXwpt& a = r.doc.wpt.WayPoints(0);
    EXPECT_EQ(a.name, "Obelisco");
    EXPECT_EQ(a.Longitude, -58.3816);
    EXPECT_EQ(a.Latitude, -34.6037);
    EXPECT_EQ(a.Altitude, 25);
    EXPECT_EQ(r.doc.wpt.WayPoints(2).Longitude, 151.2153);

    Reader t;
    t.Read(Fixture("track.kml"));
    // Each track point is also a point placemark; the path is one line string.
    ASSERT_EQ(t.doc.wpt.Count(), 6);
    EXPECT_EQ(t.doc.wpt.WayPoints(3).name, "BJ4");
    EXPECT_DOUBLE_EQ(t.doc.wpt.WayPoints(3).DateTime, At(2014, 7, 4));
    ASSERT_EQ(t.doc.trk.Count(), 1);
    const TGPXtrkseg& seg = t.doc.trk.Tracks(0).trkseg(0);
    ASSERT_EQ(seg.Count(), 6);
    EXPECT_EQ(seg.trkpt(5).Longitude, 116.4137);
    EXPECT_EQ(seg.trkpt(5).Latitude, 39.9099);
    EXPECT_EQ(seg.trkpt(5).Altitude, 50);
    EXPECT_TRUE(t.kml.mLog.empty());
}

constexpr const char* kPlacemarks = R"(<?xml version="1.0" encoding="UTF-8"?>
<kml xmlns="http://www.opengis.net/kml/2.2">
  <Placemark><name>Direct</name><Point><coordinates>1,2</coordinates></Point></Placemark>
  <Document><name>Doc</name>
    <Placemark><name>Flat</name><Point><coordinates>116.39,39.91</coordinates></Point></Placemark>
    <Placemark><name>High</name><Snippet>one&lt;BR/&gt;two&lt;br/&gt;three</Snippet>
      <TimeStamp><when>2014-07-03T10:20:30+08:00</when></TimeStamp>
      <Point><coordinates>
          116.39,39.91,52
      </coordinates></Point></Placemark>
    <Folder><name>F</name>
      <Placemark><name>P</name><Point><coordinates>3,4</coordinates></Point></Placemark>
      <placemark><name>P</name><linestring><coordinates>	1,2,3
		4,5,6   7,8
</coordinates></linestring></placemark>
      <Placemark><name>Single</name><LineString><coordinates>9,10,11</coordinates></LineString></Placemark>
      <Placemark><name>Bare</name><LineString><coordinates>1 2 3 4</coordinates></LineString></Placemark>
      <Placemark><name>NoComma</name><Point><coordinates>12</coordinates></Point></Placemark>
      <Placemark><name>Area</name><Polygon><outerBoundaryIs><LinearRing><coordinates>0,0 1,0 1,1 0,0</coordinates></LinearRing></outerBoundaryIs></Polygon></Placemark>
      <Placemark><name>Odd date</name><TimeStamp><when>2014-13-03</when></TimeStamp><Point><coordinates>-5.5,-6.25,-7</coordinates></Point></Placemark>
    </Folder>
  </Document>
</kml>)";

TEST(KmlRead, PlacemarkRules) {
    Reader r;
    r.ReadText(kPlacemarks);
    const TGPXwptList& w = r.doc.wpt;
    ASSERT_EQ(w.Count(), 6);
    EXPECT_EQ(w.WayPoints(0).name, "Direct") << "placemarks directly under the root count too";
    EXPECT_EQ(w.WayPoints(1).name, "Flat");
    EXPECT_EQ(w.WayPoints(1).Altitude, 0);
    EXPECT_EQ(w.WayPoints(1).Longitude, 116.39);
    EXPECT_EQ(w.WayPoints(2).Altitude, 52);
    EXPECT_EQ(w.WayPoints(2).Latitude, 39.91);
    EXPECT_EQ(w.WayPoints(2).desc, "one\r\ntwo\r\nthree");
    EXPECT_DOUBLE_EQ(w.WayPoints(2).DateTime, At(2014, 7, 3, 2, 20, 30));
    EXPECT_EQ(w.WayPoints(3).name, "P") << "a point keeps its own name";
    EXPECT_EQ(w.WayPoints(4).name, "F") << "a one-tuple line becomes a waypoint";
    EXPECT_EQ(w.WayPoints(4).Altitude, 11);
    EXPECT_EQ(w.WayPoints(5).Longitude, -5.5);
    EXPECT_EQ(w.WayPoints(5).Latitude, -6.25);
    EXPECT_EQ(w.WayPoints(5).Altitude, -7);
    EXPECT_EQ(w.WayPoints(5).DateTime, 0);
    ASSERT_EQ(r.kml.mLog.size(), 1u) << "the impossible date is logged";
    EXPECT_NE(r.kml.mLog[0].find("2014-13-03"), std::string::npos);

    ASSERT_EQ(r.doc.trk.Count(), 1);
    const TGPXtrk& track = r.doc.trk.Tracks(0);
    EXPECT_EQ(track.name, "F") << "a line is named after its folder";
    const TGPXtrkseg& seg = track.trkseg(0);
    ASSERT_EQ(seg.Count(), 3);
    EXPECT_EQ(seg.trkpt(1).Longitude, 4);
    EXPECT_EQ(seg.trkpt(1).Altitude, 6);
    EXPECT_EQ(seg.trkpt(2).Latitude, 8);
    EXPECT_EQ(seg.trkpt(2).Altitude, 0);
    EXPECT_TRUE(r.doc.trk.filled);
}

TEST(KmlRead, UnreadableFiles) {
    Reader r;
    r.doc.wpt.Add(Wpt(1, 1));
    r.ReadText("<kml><Placemark></kml>");
    ASSERT_EQ(r.kml.mLog.size(), 1u);
    EXPECT_EQ(r.kml.mLog[0].back(), '.');
    r.ReadText("<gpx/>");
    EXPECT_EQ(r.kml.mLog.back(), "File not loaded");
    EXPECT_EQ(r.doc.wpt.Count(), 1);
    EXPECT_TRUE(r.kml.TGPXFile::mLog.empty()) << "the KML log is its own";
}

TGPX& SampleDocument(TGPX& doc) {
    doc.Metadata.name = "Trip & co";
    doc.Metadata.author.name = "Ann";
    doc.Metadata.author.filled = true;
    doc.Metadata.Link = {"http://example.org/?a=1&b=2", "", "", true};
    doc.Metadata.filled = true;
    auto w = Wpt(-34.6037, -58.3816, 0);
    w->name = "Obelisco";
    w->desc = "<centre>";
    doc.wpt.Add(std::move(w));
    doc.wpt.Add(Wpt(51.4779, -0.0015, 45, At(2015, 1, 2, 13, 30, 15)));
    auto route = std::make_unique<TGPXrte>();
    route->name = "R";
    route->LineStyle.SetColorStr("112233");
    route->Add(Wpt(1, 2));
    route->Add(Wpt(3, 4, 5));
    doc.rte.Add(std::move(route));
    auto empty = std::make_unique<TGPXtrk>();
    empty->name = "Empty";
    doc.trk.Add(std::move(empty));
    auto track = std::make_unique<TGPXtrk>();
    track->name = "T";
    for (int s = 0; s < 2; ++s) {
        auto seg = std::make_unique<TGPXtrkseg>();
        seg->Add(Wpt(39.9042 + s, 116.4074, 44.5));
        seg->Add(Wpt(39.9051 + s, 116.4083, 45));
        track->Add(std::move(seg));
    }
    doc.trk.Add(std::move(track));
    return doc;
}

TEST(KmlWrite, FoldersPlacemarksAndColours) {
    TGPX doc;
    SampleDocument(doc);
    TKMLFile kml;
    kml.GPXd = &doc;
    testsupport::TempDir dir;
    kml.ExportKML(dir / "out.kml");
    const std::string text = testsupport::ReadFileBytes(dir / "out.kml");
    EXPECT_EQ(text.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<kml "
                         "xmlns=\"http://www.opengis.net/kml/2.2\" "
                         "xmlns:atom=\"http://www.w3.org/2005/Atom\">\r\n\t<Document>\r\n"
                         "\t\t<name>Trip &amp; co</name>\r\n",
                         0),
              0u)
        << text;
    EXPECT_NE(text.find("\t\t<atom:author><atom:name>Ann</atom:name></atom:author>\r\n"),
              std::string::npos);
    EXPECT_NE(text.find("\t\t<atom:link href=\"http://example.org/?a=1&amp;b=2\"/>\r\n"),
              std::string::npos);
    EXPECT_NE(text.find("\t\t\t<Placemark>\r\n\t\t\t\t<name>Obelisco</name>\r\n\t\t\t\t"
                        "<description>&lt;centre&gt;</description>\r\n\t\t\t\t<Point>\r\n"
                        "\t\t\t\t\t<coordinates>-58.3816,-34.6037</coordinates>\r\n"),
              std::string::npos)
        << "altitude 0 gives two coordinates and no time";
    EXPECT_NE(text.find("<TimeStamp>\r\n\t\t\t\t\t<when>2015-01-02T13:30:15Z</when>\r\n"),
              std::string::npos);
    EXPECT_NE(text.find("<coordinates>-0.0015,51.4779,45</coordinates>"), std::string::npos);
    // Without GPX_Style every line is red, in KML's aabbggrr order.
    EXPECT_NE(text.find("<color>FF0000FF</color>\r\n<width>6</width>\r\n"), std::string::npos);
    EXPECT_EQ(text.find("332211"), std::string::npos);
    EXPECT_NE(text.find("<coordinates>2,1 4,3,5</coordinates>\r\n<tessellate>1</tessellate>"),
              std::string::npos);
    EXPECT_NE(text.find("\t\t\t<Folder>\r\n\t\t\t\t<name>T</name>\r\n"), std::string::npos);
    EXPECT_NE(text.find("<name>Track Segment #2</name>"), std::string::npos);
    EXPECT_EQ(text.find("Empty"), std::string::npos) << "a track without segments is left out";
    EXPECT_NE(text.find("<name>Tracks</name>"), std::string::npos);
    EXPECT_EQ(text.substr(text.size() - 22), "\t</Document>\r\n</kml>\r\n");

    kml.GPXOptions.GPX_Style = true;
    kml.ExportKML(dir / "styled.kml");
    const std::string styled = testsupport::ReadFileBytes(dir / "styled.kml");
    EXPECT_NE(styled.find("<color>FF332211</color>"), std::string::npos);
    EXPECT_NE(styled.find("<color>FF0000FF</color>"), std::string::npos)
        << "tracks without a chosen colour stay red";

    kml.GPXOptions.Compress = true;
    kml.ExportKML(dir / "compressed.kml");
    const std::string compressed = testsupport::ReadFileBytes(dir / "compressed.kml");
    EXPECT_EQ(compressed.find_first_of("\r\n\t"), std::string::npos);
}

TEST(KmlWrite, ReadBackByOurReaderAndGpsbabel) {
    TGPX doc;
    SampleDocument(doc);
    TKMLFile kml;
    kml.GPXd = &doc;
    testsupport::TempDir dir;
    kml.ExportKML(dir / "ours.kml");

    Reader back;
    back.Read(dir / "ours.kml");
    ASSERT_EQ(back.doc.wpt.Count(), 2);
    EXPECT_EQ(back.doc.wpt.WayPoints(0).name, "Obelisco");
    EXPECT_EQ(back.doc.wpt.WayPoints(0).Latitude, -34.6037);
    EXPECT_DOUBLE_EQ(back.doc.wpt.WayPoints(1).DateTime, At(2015, 1, 2, 13, 30, 15));
    // The route and the two segments come back as tracks named after their folders.
    ASSERT_EQ(back.doc.trk.Count(), 3);
    EXPECT_EQ(back.doc.trk.Tracks(0).name, "Routes");
    EXPECT_EQ(back.doc.trk.Tracks(1).name, "T");
    EXPECT_EQ(back.doc.trk.Tracks(2).trkseg(0).trkpt(1).Latitude, 40.9051);

    const auto waypoints = testing::ParseUnicsv(testing::RunGpsbabel(
        {"-w", "-i", "kml", "-f", (dir / "ours.kml").string(), "-o", "unicsv", "-F", "-"}));
    ASSERT_EQ(waypoints.size(), 2u);
    EXPECT_EQ(waypoints[0].Get("Name"), "Obelisco");
    EXPECT_EQ(waypoints[0].Get("Latitude"), "-34.603700");
    EXPECT_EQ(waypoints[0].Get("Longitude"), "-58.381600");
    EXPECT_EQ(waypoints[1].Get("Time"), "13:30:15");
    const auto lines = testing::ParseUnicsv(testing::RunGpsbabel(
        {"-t", "-i", "kml", "-f", (dir / "ours.kml").string(), "-o", "unicsv", "-F", "-"}));
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[1].Get("Latitude"), "3.000000");
    EXPECT_EQ(lines[1].Get("Longitude"), "4.000000");
    EXPECT_EQ(lines[1].Get("Altitude"), "5.0");
}

TEST(KmlLarge, HundredThousandPointLineStringReadsQuickly) {
    const int count = 100000;
    std::string coordinates;
    for (int i = 0; i < count; ++i) {
        coordinates += engine::FormatFixed(116 + i * 1e-6, 6) + "," +
                       engine::FormatFixed(39 + i * 1e-6, 6) + "," + engine::FormatInt(i % 100) +
                       (i % 7 == 0 ? "\n\t\t" : " ");
    }
    Reader r;
    const std::string text = "<kml><Document><name>Big</name><Placemark><LineString><coordinates>" +
                             coordinates +
                             "</coordinates></LineString></Placemark></Document></kml>";
    testsupport::TempDir dir;
    testsupport::WriteFileBytes(dir / "big.kml", text);
    const testsupport::ThreadCpuTimer timer;
    r.Read(dir / "big.kml");
    const double seconds = timer.Seconds();
    std::printf("reading a KML line of %d points took %.3f s of CPU\n", count, seconds);
    ASSERT_EQ(r.doc.trk.Count(), 1);
    const TGPXtrkseg& seg = r.doc.trk.Tracks(0).trkseg(0);
    ASSERT_EQ(seg.Count(), count);
    EXPECT_EQ(seg.trkpt(count - 1).Altitude, (count - 1) % 100);
    EXPECT_EQ(r.doc.trk.Tracks(0).name, "Big");
    // Reads in about half a second; a reader that re-scans or cuts text off the front takes
    // minutes on this input, so the bound leaves room for a loaded machine only.
    EXPECT_LT(seconds, 5.0);
}

}  // namespace
}  // namespace geodata
