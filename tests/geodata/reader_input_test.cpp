// The GPX and KML readers on files as they come from elsewhere: nested deeper than any stack,
// in the encoding their declaration names. Each file is written by the test, read, written
// back and parsed again by an independent XML parser.
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
        // Declared on the point, so the kept copy declares it too.
        {"GPX track point extensions",
         Format::Gpx,
         kGpxHead +
             "<trk><trkseg><trkpt lat=\"39.9\" lon=\"116.4\" xmlns:y=\"urn:y\"><extensions>" +
             Nest("y:a", kLevels, "1") + "</extensions></trkpt></trkseg></trk></gpx>",
         G + "trk/" + G + "trkseg/" + G + "trkpt/" + G + "extensions/{urn:y}a",
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

// UTF-8 to UTF-16 (two-byte units) or UTF-32 (four-byte units) as bytes, written here rather
// than through the converter the readers use.
std::string Wide(std::string_view utf8, int unitBytes, bool bigEndian) {
    std::string out;
    const auto unit = [&](unsigned u) {
        for (int k = 0; k < unitBytes; ++k) {
            out += static_cast<char>((u >> (8 * (bigEndian ? unitBytes - 1 - k : k))) & 0xFF);
        }
    };
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        const int length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        unsigned code = length == 1 ? lead : lead & (0x3F >> (length - 1));
        for (int k = 1; k < length; ++k) {
            code = (code << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        }
        i += static_cast<std::size_t>(length);
        if (code >= 0x10000 && unitBytes == 2) {
            unit(0xD800 + ((code - 0x10000) >> 10));
            unit(0xDC00 + ((code - 0x10000) & 0x3FF));
        } else {
            unit(code);
        }
    }
    return out;
}

TEST(ReaderEncoding, TheDeclaredEncodingIsReadAndWrittenBackAsUtf8) {
    enum class Form { Bytes, Utf8Mark, Utf16LeMark, Utf16BeBare, Utf32LeBare };
    struct Case {
        const char* what;
        const char* declared;  // the declaration's encoding; nullptr for none
        Form form;
        std::string name, note;          // as the file holds them (UTF-8 for the UTF-16 forms)
        std::string readName, readNote;  // what the written file holds
        std::string refusal;             // what the log says of a file that is not read
    };
    const std::vector<Case> cases = {
        {"UTF-8 declared", "UTF-8", Form::Bytes, "天安门", "Café", "天安门", "Café", ""},
        {"UTF-8 with a byte-order mark", nullptr, Form::Utf8Mark, "北京", "façade", "北京",
         "façade", ""},
        {"UTF-16 little-endian with a mark", "UTF-16", Form::Utf16LeMark, "天安门广场",
         "Crème brûlée", "天安门广场", "Crème brûlée", ""},
        {"UTF-16 big-endian without a mark", "UTF-16", Form::Utf16BeBare, "臺北 𠮷", "naïve",
         "臺北 𠮷", "naïve", ""},
        {"UTF-32 little-endian without a mark", "UTF-32", Form::Utf32LeBare, "𠮷野家", "Grüß",
         "𠮷野家", "Grüß", ""},
        {"GBK", "GBK", Form::Bytes, "\xCC\xEC\xB0\xB2\xC3\xC5", "\xB9\xE3\xB3\xA1\xB1\xB1\xB2\xE0",
         "天安门", "广场北侧", ""},
        {"GB18030, lower case", "gb18030", Form::Bytes, "\x95\x34\xB2\x35\xD2\xB0\xBC\xD2",
         "\xA2\xE3", "𠮷野家", "€", ""},
        {"Big5", "Big5", Form::Bytes, "\xBB\x4F\xA5\x5F", "\xA8\xAE\xAF\xB8", "臺北", "車站", ""},
        {"windows-1252", "windows-1252", Form::Bytes,
         "Caf\xE9 \x80"
         "5",
         "Cr\xE8me br\xFBl\xE9"
         "e",
         "Café €5", "Crème brûlée", ""},
        {"ISO-8859-1", "ISO-8859-1", Form::Bytes, "M\xFCller", "Gr\xFC\xDF", "Müller", "Grüß", ""},
        {"GB2312 holding a GBK character", "GB2312", Form::Bytes, "\x86\xB4", "\xBC\xAA", "喆",
         "吉", ""},
        {"an encoding the system does not know", "x-no-such-encoding", Form::Bytes, "a", "b", "",
         "", "Unknown encoding \"x-no-such-encoding\""},
        {"a converter option in the name", "GBK//IGNORE", Form::Bytes, "a", "b", "", "",
         "Unknown encoding \"GBK//IGNORE\""},
        {"bytes that are not GBK", "GBK", Form::Bytes, "\x81\x20", "b", "", "",
         "The text is not GBK"},
        {"GBK without a declaration", nullptr, Form::Bytes, "\xCC\xEC", "b", "", "",
         "The text is not UTF-8"},
    };
    const std::string gpxPoint = G + "wpt/" + G;
    const std::string kmlPlacemark = K + "Document/" + K + "Folder/" + K + "Placemark/" + K;
    for (const Format format : {Format::Gpx, Format::Kml}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(format == Format::Gpx ? "GPX, " : "KML, ") + c.what);
            std::string text = "<?xml version=\"1.0\"";
            if (c.declared != nullptr) {
                text += std::string(" encoding=\"") + c.declared + "\"";
            }
            text += "?>\n";
            if (format == Format::Gpx) {
                text +=
                    "<gpx version=\"1.1\" creator=\"t\" "
                    "xmlns=\"http://www.topografix.com/GPX/1/1\"><wpt lat=\"39.9\" "
                    "lon=\"116.39\"><name>" +
                    c.name + "</name><desc>" + c.note + "</desc></wpt></gpx>\n";
            } else {
                text +=
                    "<kml xmlns=\"http://www.opengis.net/kml/2.2\"><Document><Placemark><name>" +
                    c.name + "</name><Snippet>" + c.note +
                    "</Snippet><Point><coordinates>116.39,39.9</coordinates></Point>"
                    "</Placemark></Document></kml>\n";
            }
            switch (c.form) {
                case Form::Bytes:
                    break;
                case Form::Utf8Mark:
                    text = "\xEF\xBB\xBF" + text;
                    break;
                case Form::Utf16LeMark:
                    text = "\xFF\xFE" + Wide(text, 2, false);
                    break;
                case Form::Utf16BeBare:
                    text = Wide(text, 2, true);
                    break;
                case Form::Utf32LeBare:
                    text = Wide(text, 4, false);
                    break;
            }
            testsupport::TempDir dir;
            testsupport::WriteFileBytes(dir / "in", text);
            const std::string report = ReadAndWrite(format, dir / "in", dir / "out");
            if (!c.refusal.empty()) {
                EXPECT_NE(report.find("refused: " + c.refusal), std::string::npos) << report;
                EXPECT_FALSE(std::filesystem::exists(dir / "out"));
                continue;
            }
            ASSERT_EQ(report, "read");
            const std::vector<std::vector<std::string>> expected = {{c.readName}, {c.readNote}};
            if (format == Format::Gpx) {
                EXPECT_EQ(testing::XmlTexts(dir / "out", {gpxPoint + "name", gpxPoint + "desc"}),
                          expected);
            } else {
                EXPECT_EQ(testing::XmlTexts(dir / "out",
                                            {kmlPlacemark + "name", kmlPlacemark + "description"}),
                          expected);
            }
        }
    }
}

}  // namespace
}  // namespace geodata
