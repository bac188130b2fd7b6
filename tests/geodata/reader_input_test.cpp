// The GPX and KML readers on files as they come from elsewhere: nested deeper than any stack.
// Each file is written by the test, read, written back and parsed again by an independent XML
// parser.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "geodata/gpx/gpx_file.h"
#include "geodata/kml/kml_file.h"
#include "gpx_test_support.h"
#include "support/temp_dir.h"

namespace geodata {
namespace {

const std::string G = "{http://www.topografix.com/GPX/1/1}";
const std::string K = "{http://www.opengis.net/kml/2.2}";

enum class Format { Gpx, Kml };

// Reads `in` with the format's reader and writes what it read to `out`: "read", or "refused: "
// and the reader's log when it read nothing.
std::string ReadAndWrite(Format format, const std::filesystem::path& in,
                         const std::filesystem::path& out) {
    TGPX doc;
    std::vector<std::string> log;
    bool read = false;
    if (format == Format::Gpx) {
        TGPXFile gpx;
        gpx.GPXd = &doc;
        gpx.ImportGPXFile(in);
        read = gpx.Loaded;
        log = gpx.mLog;
        if (read) {
            gpx.ExportGPX(out);
        }
    } else {
        TKMLFile kml;
        kml.GPXd = &doc;
        kml.ImportKML(in);
        read = !doc.wpt.Empty() || !doc.trk.Empty();
        log = kml.mLog;
        if (read) {
            kml.ExportKML(out);
        }
    }
    if (read) {
        return "read";
    }
    std::string report = "refused:";
    for (const std::string& line : log) {
        report += " " + line;
    }
    return report;
}

// `levels` elements named `tag`, one inside the other, around `inner`.
std::string Nest(const std::string& tag, int levels, const std::string& inner) {
    std::string open = "<" + tag + ">";
    std::string close = "</" + tag + ">";
    std::string text;
    text.reserve((open.size() + close.size()) * static_cast<std::size_t>(levels) + inner.size());
    for (int i = 0; i < levels; ++i) {
        text += open;
    }
    text += inner;
    for (int i = 0; i < levels; ++i) {
        text += close;
    }
    return text;
}

const std::string kGpxHead =
    "<?xml version=\"1.0\"?>\n<gpx version=\"1.1\" creator=\"t\" "
    "xmlns=\"http://www.topografix.com/GPX/1/1\" xmlns:x=\"urn:x\">";
const std::string kKmlHead =
    "<?xml version=\"1.0\"?>\n<kml xmlns=\"http://www.opengis.net/kml/2.2\"><Document>";
const std::string kPointPlacemark =
    "<Placemark><name>P</name><Point><coordinates>116.39,39.91</coordinates></Point></Placemark>";

TEST(ReaderDepth, TwoHundredThousandLevelsAreReadWithoutExhaustingTheStack) {
    constexpr int kLevels = 200000;
    struct Case {
        const char* what;
        Format format;
        std::string text;
        std::string path;  // what the written file holds
        std::vector<std::string> texts;
    };
    const std::vector<Case> cases = {
        {"GPX waypoint name of nested elements",
         Format::Gpx,
         kGpxHead + "<wpt lat=\"39.9\" lon=\"116.4\"><name>" + Nest("b", kLevels, "深") +
             "</name></wpt></gpx>",
         G + "wpt/" + G + "name",
         {"深"}},
        {"GPX track point extensions",
         Format::Gpx,
         kGpxHead + "<trk><trkseg><trkpt lat=\"39.9\" lon=\"116.4\"><extensions>" +
             Nest("x:a", kLevels, "1") + "</extensions></trkpt></trkseg></trk></gpx>",
         G + "trk/" + G + "trkseg/" + G + "trkpt/" + G + "extensions/{urn:x}a",
         {"1"}},
        {"KML placemark name of nested elements",
         Format::Kml,
         kKmlHead + "<Placemark><name>" + Nest("b", kLevels, "深") +
             "</name><Point><coordinates>116.39,39.91</coordinates></Point></Placemark>"
             "</Document></kml>",
         K + "Document/" + K + "Folder/" + K + "Placemark/" + K + "name",
         {"深"}},
        {"KML placemark inside nested folders",
         Format::Kml,
         kKmlHead + Nest("Folder", kLevels, kPointPlacemark) + "</Document></kml>",
         K + "Document/" + K + "Folder/" + K + "Placemark/" + K + "name",
         {"P"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        testsupport::TempDir dir;
        testsupport::WriteFileBytes(dir / "in", c.text);
        const auto end =
            testing::RunInChild([&] { return ReadAndWrite(c.format, dir / "in", dir / "out"); });
        ASSERT_TRUE(end.exited) << "the reader ended the process with signal " << end.signal;
        ASSERT_EQ(end.code, 0) << end.report;
        ASSERT_EQ(end.report, "read");
        EXPECT_EQ(testing::XmlTexts(dir / "out", {c.path}),
                  std::vector<std::vector<std::string>>{c.texts});
    }
}

}  // namespace
}  // namespace geodata
