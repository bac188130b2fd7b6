#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>

#include "engine/core/number_format.h"
#include "geodata/gpx/gpx_file.h"
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

TEST(GpxRead, TrackAndWaypointsWrittenByGpsbabel) {
    TGPX doc;
    TGPXFile file;
    file.GPXd = &doc;
    file.ImportGPXFile(Fixture("track.gpx"));
    file.ImportGPXFile(Fixture("places.gpx"));
    ASSERT_TRUE(file.Loaded);

    ASSERT_EQ(doc.trk.Count(), 1);
    ASSERT_EQ(doc.trk.Tracks(0).Count(), 1);
    const TGPXtrkseg& seg = doc.trk.Tracks(0).trkseg(0);
    ASSERT_EQ(seg.Count(), 6);
    EXPECT_EQ(seg.trkpt(0).Latitude, 39.9042);
    EXPECT_EQ(seg.trkpt(0).Longitude, 116.4074);
    EXPECT_EQ(seg.trkpt(0).Altitude, 44.5);
    EXPECT_DOUBLE_EQ(seg.trkpt(0).DateTime, At(2014, 7, 3, 23, 58, 30));
    EXPECT_DOUBLE_EQ(seg.trkpt(3).DateTime, At(2014, 7, 4));
    EXPECT_EQ(seg.trkpt(5).name, "BJ6");
    EXPECT_TRUE(seg.filled);

    ASSERT_EQ(doc.wpt.Count(), 3);
    EXPECT_EQ(doc.wpt.WayPoints(0).Latitude, -34.6037);
    EXPECT_EQ(doc.wpt.WayPoints(0).Longitude, -58.3816);
    EXPECT_EQ(doc.wpt.WayPoints(0).desc, "Buenos Aires & centre");
    EXPECT_EQ(doc.wpt.WayPoints(2).cmt, "Sydney <harbour>");
    EXPECT_EQ(doc.wpt.WayPoints(1).sat, 255);
    EXPECT_EQ(doc.xmlns, "xmlns=\"http://www.topografix.com/GPX/1/1\"");
    EXPECT_TRUE(doc.Metadata.Bounds.filled);
    EXPECT_EQ(doc.Metadata.Bounds.minlat, -34.6037);

    // The counts of the second read cover the whole document.
    ASSERT_EQ(file.mLog.size(), 6u);
    EXPECT_EQ(file.mLog[0], "0 waypoints");
    EXPECT_EQ(file.mLog[2], "1 tracks (6 points in 1 track segments)");
    EXPECT_EQ(file.mLog[3], "3 waypoints");
    EXPECT_EQ(file.mLog[4], "0 routes (0 points)");

    file.ImportGPXFile(Fixture("track.gpx"));
    EXPECT_EQ(doc.trk.Count(), 2) << "a second read adds to the document";
    EXPECT_EQ(file.mLog.back(), "2 tracks (12 points in 2 track segments)");
}

constexpr const char* kElementRules = R"(<?xml version="1.0"?>
<GPX version="1.1" creator="x" xmlns="http://www.topografix.com/GPX/1/1"
     xmlns:gpxtpx="http://www.garmin.com/xmlschemas/TrackPointExtension/v1"
     xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance">
  <metadata>
    <name>Trip</name>
    <author>Plain Author<email id="me" domain="example.org"/></author>
    <copyright author="Me &amp; Co"><year>2014</year><license>CC</license></copyright>
    <link>http://example.org/plain</link>
    <time>2014-07-03T10:20:30Z</time>
    <bounds minlat="1.5" maxlon="3"/>
    <extensions><a>1</a></extensions>
  </metadata>
  <WPT><Name>no position</Name><fix>3D</fix><sat>7</sat><hdop>0</hdop><vdop>1.5</vdop>
    <time>2014-13-40T10:20:30Z</time><dgpsid>12</dgpsid>
    <link href="http://example.org/a"><text>A</text><type>text/html</type></link>
    <extensions><gpxtpx:TrackPointExtension><gpxtpx:hr>120</gpxtpx:hr></gpxtpx:TrackPointExtension></extensions>
  </WPT>
  <wpt lat="1" lon="2"><ele> 12.5 </ele><magvar>x</magvar></wpt>
  <rte><desc>Described</desc><number>4</number><type>walk</type>
    <extensions>
      <line xmlns="http://www.topografix.com/GPX/gpx_style/0/2"><color>ff8800</color><opacity>0.5</opacity></line>
      <other k="v">kept</other>
    </extensions>
    <rtept lat="3" lon="4"/><rtept lat="5" lon="6"/>
  </rte>
  <trk><name>T</name><topografix:color xmlns:topografix="urn:t">00ff00</topografix:color>
    <trkseg><trkpt lat="7" lon="8"/><extensions><s>1</s></extensions></trkseg>
    <trkseg/>
  </trk>
  <extensions><extensions/></extensions>
</GPX>)";

TEST(GpxRead, ElementRules) {
    TGPX doc;
    TGPXFile file;
    file.GPXd = &doc;
    file.GPXOptions.DeleteNullData = true;
    file.ImportGPXString(kElementRules);
    ASSERT_TRUE(file.Loaded);

    const TGPXmetadata& m = doc.Metadata;
    EXPECT_EQ(m.name, "Trip");
    EXPECT_EQ(m.author.name, "Plain Author");
    EXPECT_EQ(m.author.email.id, "me");
    EXPECT_EQ(m.author.email.domain, "example.org");
    EXPECT_EQ(m.Copyright.author, "Me & Co");
    EXPECT_EQ(m.Copyright.year, 2014);
    EXPECT_EQ(m.Link.href, "http://example.org/plain");
    EXPECT_DOUBLE_EQ(m.mtime, At(2014, 7, 3, 10, 20, 30));
    EXPECT_EQ(m.Bounds.minlat, 1.5);
    EXPECT_EQ(m.Bounds.maxlon, 3);
    EXPECT_EQ(m.Bounds.minlon, 0);
    EXPECT_EQ(m.extensions, "<a>1</a>");
    EXPECT_NE(doc.xmlns.find("xmlns:gpxtpx=\"http://www.garmin.com/"), std::string::npos);

    ASSERT_EQ(doc.wpt.Count(), 2);
    const TGPXwpt& a = doc.wpt.WayPoints(0);
    EXPECT_EQ(a.Latitude, 0);
    EXPECT_EQ(a.Longitude, 0);
    EXPECT_EQ(a.name, "no position");
    EXPECT_EQ(a.fix, "3d");
    EXPECT_EQ(a.sat, 7);
    EXPECT_EQ(a.hdop, -1) << "0 is absent with DeleteNullData";
    EXPECT_EQ(a.vdop, 1.5);
    EXPECT_EQ(a.DateTime, 0) << "an impossible date reads as no time";
    EXPECT_EQ(a.dgpsid, 12);
    EXPECT_EQ(a.Link.href, "http://example.org/a");
    EXPECT_EQ(a.Link.ltype, "text/html");
    EXPECT_EQ(
        a.extensions,
        "<gpxtpx:TrackPointExtension><gpxtpx:hr>120</gpxtpx:hr></gpxtpx:TrackPointExtension>");
    EXPECT_EQ(doc.wpt.WayPoints(1).Altitude, 12.5);
    EXPECT_EQ(doc.wpt.WayPoints(1).magvar, 0);
    bool logged = false;
    for (const auto& line : file.mLog) {
        logged = logged || line.find("2014-13-40") != std::string::npos;
    }
    EXPECT_TRUE(logged);

    ASSERT_EQ(doc.rte.Count(), 1);
    const TGPXrte& r = doc.rte.Routes(0);
    EXPECT_EQ(r.name, "Described");
    EXPECT_EQ(r.number, 4);
    EXPECT_EQ(r.rtype, "walk");
    EXPECT_EQ(r.LineStyle.ColorStr(), "FF8800");
    EXPECT_EQ(r.LineStyle.Opacity(), 0.5);
    EXPECT_EQ(r.extensions, "<other k=\"v\">kept</other>");
    EXPECT_EQ(r.Count(), 2);

    ASSERT_EQ(doc.trk.Count(), 1);
    const TGPXtrk& t = doc.trk.Tracks(0);
    EXPECT_EQ(t.LineStyle.ColorStr(), "00FF00");
    ASSERT_EQ(t.Count(), 2);
    EXPECT_EQ(t.trkseg(0).extensions, "<s>1</s>");
    EXPECT_EQ(t.trkseg(1).Count(), 0);
    EXPECT_EQ(doc.extension.text, "");
}

TEST(GpxRead, UnreadableInputLeavesTheDocumentAlone) {
    TGPX doc;
    doc.wpt.Add(Wpt(1, 2));
    TGPXFile file;
    file.GPXd = &doc;
    file.ImportGPXString("<gpx><wpt lat=\"1\"></gpx>");
    ASSERT_EQ(file.mLog.size(), 1u);
    EXPECT_NE(file.mLog[0].find(" ("), std::string::npos);
    file.ImportGPXString("<kml><Placemark/></kml>");
    EXPECT_EQ(file.mLog.back(), "File not loaded");
    testsupport::TempDir dir;
    file.ImportGPXFile(dir / "missing.gpx");
    EXPECT_NE(file.mLog.back().find("(LoadDataSource"), std::string::npos);
    EXPECT_EQ(doc.wpt.Count(), 1);
    EXPECT_FALSE(file.Loaded);
}

TGPX& SampleDocument(TGPX& doc) {
    doc.creator = "Vantorel \"test\" & co";
    doc.Metadata.name = "Trip <1>";
    doc.Metadata.filled = true;
    doc.Metadata.author.name = "Ann";
    doc.Metadata.author.filled = true;
    doc.Metadata.author.email = {"ann", "example.org", true};
    doc.Metadata.Copyright.author = "Ann & Bob";
    doc.Metadata.Copyright.year = 2014;
    doc.Metadata.Copyright.filled = true;
    auto w = Wpt(-34.6037, -58.3816, 25, At(2015, 1, 2, 12));
    w->name = "Obelisco";
    w->desc = "Buenos Aires & centre";
    w->sat = 8;
    w->hdop = 0.9;
    w->dgpsid = 3;
    w->magvar = -3.1;
    w->Link = {"http://example.org/?a=1&b=\"2\"", "site", "", true};
    doc.wpt.Add(std::move(w));
    doc.wpt.Add(Wpt(0.00001, -0.00002));
    auto route = std::make_unique<TGPXrte>();
    route->name = "R";
    route->LineStyle.SetColorStr("FF0000");
    route->LineStyle.SetOpacity(0.5);
    route->Add(Wpt(1, 1));
    route->Add(Wpt(2, 2));
    doc.rte.Add(std::move(route));
    auto track = std::make_unique<TGPXtrk>();
    track->name = "T";
    auto seg = std::make_unique<TGPXtrkseg>();
    seg->Add(Wpt(39.9042, 116.4074, 44.5, At(2014, 7, 3, 23, 58, 30)));
    seg->Add(Wpt(39.9051, 116.4083, 45, At(2014, 7, 3, 23, 59)));
    track->Add(std::move(seg));
    doc.trk.Add(std::move(track));
    return doc;
}

TEST(GpxWrite, PointsInSchemaOrderWithEscapingAndPlainDecimals) {
    TGPX doc;
    SampleDocument(doc);
    TGPXFile file;
    file.GPXd = &doc;
    testsupport::TempDir dir;
    file.Modified = true;
    file.ExportGPX(dir / "out.gpx");
    EXPECT_FALSE(file.Modified);
    const std::string text = testsupport::ReadFileBytes(dir / "out.gpx");

    EXPECT_EQ(text.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>\n<gpx "
                         "version=\"1.1\" creator=\"Vantorel &quot;test&quot; &amp; co\" "
                         "xmlns=\"http://www.topografix.com/GPX/1/1\" ",
                         0),
              0u)
        << text.substr(0, 300);
    EXPECT_EQ(text.substr(text.size() - 6), "</gpx>");
    EXPECT_EQ(text.find('\r'), std::string::npos);
    EXPECT_NE(text.find("\t\t<email id=\"ann\" domain=\"example.org\"/>\n"), std::string::npos);
    EXPECT_NE(text.find("<copyright author=\"Ann &amp; Bob\">"), std::string::npos);
    EXPECT_NE(text.find("<name>Trip &lt;1&gt;</name>"), std::string::npos);
    EXPECT_NE(text.find("<link href=\"http://example.org/?a=1&amp;b=&quot;2&quot;\">"),
              std::string::npos);
    EXPECT_NE(text.find("<wpt lat=\"0.00001\" lon=\"-0.00002\">\n</wpt>\n"), std::string::npos)
        << "a default point is its tags only, coordinates without exponent";
    // Bounds over waypoints, route and track.
    EXPECT_NE(text.find("\t<bounds minlat=\"-34.6037\" minlon=\"-58.3816\" maxlat=\"39.9051\" "
                        "maxlon=\"116.4083\" />\n"),
              std::string::npos);

    // Schema order of a waypoint's elements.
    const char* order[] = {"<ele>25</ele>",
                           "<time>2015-01-02T12:00:00Z</time>",
                           "<magvar>-3.1</magvar>",
                           "<name>Obelisco</name>",
                           "<desc>Buenos Aires &amp; centre</desc>",
                           "<link ",
                           "<sat>8</sat>",
                           "<hdop>0.9</hdop>",
                           "<dgpsid>3</dgpsid>",
                           "</wpt>"};
    std::size_t at = text.find("<wpt lat=\"-34.6037\" lon=\"-58.3816\">");
    ASSERT_NE(at, std::string::npos);
    for (const char* element : order) {
        const std::size_t next = text.find(element, at);
        ASSERT_NE(next, std::string::npos) << element;
        at = next;
    }
    // The line style is written only with GPX_Style.
    EXPECT_EQ(text.find("<line "), std::string::npos);
    file.GPXOptions.GPX_Style = true;
    file.ExportGPX(dir / "styled.gpx");
    const std::string styled = testsupport::ReadFileBytes(dir / "styled.gpx");
    EXPECT_NE(styled.find("\t<extensions>\n\t\t<line xmlns=\"http://www.topografix.com/GPX/"
                          "gpx_style/0/2\">\n\t\t\t<color>FF0000</color>\n\t\t\t<opacity>0.5</"
                          "opacity>\n\t\t</line>\n\t</extensions>\n"),
              std::string::npos)
        << styled;
}

TEST(GpxWrite, RoundTripThroughOurReader) {
    TGPX doc;
    SampleDocument(doc);
    TGPXFile writer;
    writer.GPXd = &doc;
    writer.GPXOptions.GPX_Style = true;
    testsupport::TempDir dir;
    writer.ExportGPX(dir / "out.gpx");

    TGPX back;
    TGPXFile reader;
    reader.GPXd = &back;
    reader.ImportGPXFile(dir / "out.gpx");
    ASSERT_TRUE(reader.Loaded) << (reader.mLog.empty() ? "" : reader.mLog[0]);
    ASSERT_EQ(back.wpt.Count(), 2);
    const TGPXwpt& w = back.wpt.WayPoints(0);
    EXPECT_EQ(w.name, "Obelisco");
    EXPECT_EQ(w.desc, "Buenos Aires & centre");
    EXPECT_EQ(w.Link.href, "http://example.org/?a=1&b=\"2\"");
    EXPECT_EQ(w.sat, 8);
    EXPECT_EQ(w.magvar, -3.1);
    EXPECT_DOUBLE_EQ(w.DateTime, At(2015, 1, 2, 12));
    EXPECT_EQ(back.wpt.WayPoints(1).Latitude, 0.00001);
    EXPECT_EQ(back.creator, "") << "the creator is not read";
    EXPECT_EQ(back.Metadata.author.email.domain, "example.org");
    EXPECT_EQ(back.Metadata.Copyright.author, "Ann & Bob");
    ASSERT_EQ(back.rte.Count(), 1);
    EXPECT_EQ(back.rte.Routes(0).LineStyle.ColorStr(), "FF0000");
    EXPECT_EQ(back.rte.Routes(0).LineStyle.Opacity(), 0.5);
    EXPECT_EQ(back.rte.Routes(0).extensions, "");
    ASSERT_EQ(back.trk.Count(), 1);
    EXPECT_EQ(back.trk.Tracks(0).trkseg(0).Count(), 2);
}

TEST(GpxWrite, GpsbabelReadsOurFileBack) {
    TGPX doc;
    SampleDocument(doc);
    TGPXFile file;
    file.GPXd = &doc;
    testsupport::TempDir dir;
    file.ExportGPX(dir / "ours.gpx");
    // unicsv takes one kind of data at a time: waypoints, routes or tracks.
    const auto read = [&](const char* kind) {
        return testing::ParseUnicsv(testing::RunGpsbabel(
            {kind, "-i", "gpx", "-f", (dir / "ours.gpx").string(), "-o", "unicsv", "-F", "-"}));
    };
    const auto waypoints = read("-w");
    ASSERT_EQ(waypoints.size(), 2u);
    EXPECT_EQ(waypoints[0].Get("Latitude"), "-34.603700");
    EXPECT_EQ(waypoints[0].Get("Longitude"), "-58.381600");
    EXPECT_EQ(waypoints[0].Get("Name"), "Obelisco");
    EXPECT_EQ(waypoints[0].Get("Altitude"), "25.0");
    EXPECT_EQ(waypoints[0].Get("Date"), "2015/01/02");
    EXPECT_EQ(waypoints[0].Get("Time"), "12:00:00");
    EXPECT_EQ(waypoints[1].Get("Latitude"), "0.000010");
    EXPECT_EQ(waypoints[1].Get("Longitude"), "-0.000020");
    EXPECT_EQ(read("-r").size(), 2u);
    const auto trackpoints = read("-t");
    ASSERT_EQ(trackpoints.size(), 2u);
    EXPECT_EQ(trackpoints[1].Get("Latitude"), "39.905100");
    EXPECT_EQ(trackpoints[1].Get("Longitude"), "116.408300");
    EXPECT_EQ(trackpoints[1].Get("Altitude"), "45.0");
    EXPECT_EQ(trackpoints[1].Get("Date"), "2014/07/03");
    EXPECT_EQ(trackpoints[1].Get("Time"), "23:59:00");
}

TEST(GpxWrite, KeptExtensionsBringTheirNamespaces) {
    TGPX doc;
    TGPXFile file;
    file.GPXd = &doc;
    file.ImportGPXString(kElementRules);
    ASSERT_TRUE(file.Loaded);
    testsupport::TempDir dir;
    file.ExportGPX(dir / "ext.gpx");
    const std::string text = testsupport::ReadFileBytes(dir / "ext.gpx");
    EXPECT_NE(text.find("xmlns:gpxtpx=\"http://www.garmin.com/xmlschemas/TrackPointExtension/v1\""),
              std::string::npos);
    // The result is well-formed: an independent reader takes it.
    testing::RunGpsbabel({"-i", "gpx", "-f", (dir / "ext.gpx").string(), "-o", "unicsv", "-F",
                          (dir / "ext.csv").string()});
    TGPX back;
    TGPXFile reader;
    reader.GPXd = &back;
    reader.ImportGPXFile(dir / "ext.gpx");
    ASSERT_TRUE(reader.Loaded);
    EXPECT_EQ(back.wpt.WayPoints(0).extensions, doc.wpt.WayPoints(0).extensions);

    // With PreserveXMLNS the source attributes are written as read.
    file.GPXOptions.PreserveXMLNS = true;
    file.ExportGPX(dir / "kept.gpx");
    const std::string kept = testsupport::ReadFileBytes(dir / "kept.gpx");
    EXPECT_NE(kept.find("creator=\"\" " + doc.xmlns + ">"), std::string::npos) << kept;
}

// Extension namespaces declared where the source uses them rather than on the root: on the
// metadata, a point, a route, a track, a segment or the extensions element itself, one of
// them shadowing a root declaration of the same prefix; and an element named "extensions"
// inside the extensions.
constexpr const char* kInnerNamespaces = R"(<?xml version="1.0" encoding="UTF-8"?>
<gpx version="1.1" creator="t" xmlns="http://www.topografix.com/GPX/1/1" xmlns:x="urn:root-x">
  <metadata xmlns:m="urn:m"><extensions><m:k>v</m:k></extensions></metadata>
  <wpt lat="1" lon="2" xmlns:w="urn:w"><name>W</name><extensions><w:note>n</w:note>
    <w:box><extensions>inner</extensions></w:box></extensions></wpt>
  <rte xmlns:r="urn:r"><name>R</name><extensions><r:color>blue</r:color></extensions>
    <rtept lat="1" lon="2"/></rte>
  <trk xmlns:x="urn:x"><name>T</name><extensions><x:color>red</x:color></extensions>
    <trkseg xmlns:s="urn:s">
      <trkpt lat="39.9" lon="116.4"><extensions xmlns:tpx="urn:tpx"><tpx:TrackPointExtension>
        <tpx:hr>120</tpx:hr></tpx:TrackPointExtension></extensions></trkpt>
      <trkpt lat="39.91" lon="116.41"><extensions xmlns="urn:plain"><speed>3</speed></extensions></trkpt>
      <extensions><s:quality>good</s:quality></extensions>
    </trkseg>
  </trk>
  <extensions xmlns:d="urn:d"><d:doc>1</d:doc></extensions>
</gpx>)";

TEST(GpxWrite, KeptExtensionsDeclareTheNamespacesOfTheirAncestors) {
    testsupport::TempDir dir;
    testsupport::WriteFileBytes(dir / "in.gpx", kInnerNamespaces);
    TGPX doc;
    TGPXFile file;
    file.GPXd = &doc;
    file.ImportGPXFile(dir / "in.gpx");
    ASSERT_TRUE(file.Loaded);
    file.ExportGPX(dir / "out.gpx");

    const std::string G = "{http://www.topografix.com/GPX/1/1}";
    const std::string point = G + "trk/" + G + "trkseg/" + G + "trkpt/" + G + "extensions/";
    const auto found = testing::XmlTexts(
        dir / "out.gpx",
        {G + "metadata/" + G + "extensions/{urn:m}k", G + "wpt/" + G + "extensions/{urn:w}note",
         G + "rte/" + G + "extensions/{urn:r}color", G + "trk/" + G + "extensions/{urn:x}color",
         point + "{urn:tpx}TrackPointExtension/{urn:tpx}hr", point + "{urn:plain}speed",
         G + "trk/" + G + "trkseg/" + G + "extensions/{urn:s}quality", G + "extensions/{urn:d}doc",
         G + "wpt/" + G + "extensions/{urn:w}box/" + G + "extensions"});
    EXPECT_EQ(found,
              (std::vector<std::vector<std::string>>{
                  {"v"}, {"n"}, {"blue"}, {"red"}, {"120"}, {"3"}, {"good"}, {"1"}, {"inner"}}))
        << testsupport::ReadFileBytes(dir / "out.gpx");

    // Read again, the file gives the same extensions.
    TGPX back;
    TGPXFile reader;
    reader.GPXd = &back;
    reader.ImportGPXFile(dir / "out.gpx");
    ASSERT_TRUE(reader.Loaded);
    EXPECT_EQ(back.wpt.WayPoints(0).extensions, doc.wpt.WayPoints(0).extensions);
    EXPECT_EQ(back.trk.Tracks(0).extensions, doc.trk.Tracks(0).extensions);
    EXPECT_EQ(back.trk.Tracks(0).trkseg(0).trkpt(0).extensions,
              doc.trk.Tracks(0).trkseg(0).trkpt(0).extensions);
    EXPECT_EQ(back.extension.text, doc.extension.text);
}

TEST(GpxWrite, CompressLeavesOnlyTheFixedTabs) {
    TGPX doc;
    SampleDocument(doc);
    TGPXFile file;
    file.GPXd = &doc;
    file.GPXOptions.Compress = true;
    testsupport::TempDir dir;
    file.ExportGPX(dir / "c.gpx");
    const std::string text = testsupport::ReadFileBytes(dir / "c.gpx");
    EXPECT_EQ(text.find('\n'), std::string::npos);
    EXPECT_NE(text.find("<metadata><name>Trip &lt;1&gt;</name>\t<author>"), std::string::npos);
    EXPECT_NE(text.find("<sat>8</sat>"), std::string::npos);
    EXPECT_NE(text.find("<trk><name>T</name><trkseg><trkpt"), std::string::npos);
}

TEST(GpxWrite, FailureReachesTheCaller) {
    TGPX doc;
    SampleDocument(doc);
    TGPXFile file;
    file.GPXd = &doc;
    testsupport::TempDir dir;
    testsupport::WriteFileBytes(dir / "blocker", "x");
    EXPECT_THROW(file.ExportGPX(dir / "blocker/out.gpx"), EFileError);
}

TEST(GpxLarge, HundredThousandTrackPointsReadQuickly) {
    std::string text =
        "<?xml version=\"1.0\"?>\n<gpx version=\"1.1\" "
        "xmlns=\"http://www.topografix.com/GPX/1/1\"><trk><trkseg>\n";
    const int count = 100000;
    for (int i = 0; i < count; ++i) {
        text += "<trkpt lat=\"" + engine::FormatFixed(30 + i * 1e-5, 6) + "\" lon=\"" +
                engine::FormatFixed(120 + i * 1e-5, 6) + "\"><ele>" + engine::FormatInt(i % 500) +
                "</ele><time>2014-07-03T10:20:30Z</time></trkpt>\n";
    }
    text += "</trkseg></trk></gpx>";
    TGPX doc;
    TGPXFile file;
    file.GPXd = &doc;
    const testsupport::ThreadCpuTimer timer;
    file.ImportGPXString(text);
    const double seconds = timer.Seconds();
    std::printf("reading %d GPX track points took %.3f s of CPU\n", count, seconds);
    ASSERT_EQ(doc.trk.Tracks(0).trkseg(0).Count(), count);
    EXPECT_EQ(doc.trk.Tracks(0).trkseg(0).trkpt(count - 1).Altitude, (count - 1) % 500);
    // Reads in about half a second; a reader that re-scans or cuts text off the front takes
    // minutes on this input, so the bound leaves room for a loaded machine only.
    EXPECT_LT(seconds, 5.0);
}

}  // namespace
}  // namespace geodata
