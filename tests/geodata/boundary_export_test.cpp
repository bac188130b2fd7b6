#include <pugixml.hpp>

#include <string>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "geodata/boundary/boundary_store.h"
#include "support/child_process.h"
#include "support/temp_dir.h"

namespace geodata {
namespace {

using engine::TCoordType;

constexpr const char* kRectangle = "116.3,39.9,116.5,40.1";

TEST(BoundaryExport, KmlLineBytes) {
    testsupport::TempDir dir;
    const auto file = dir / "exports" / "北京市.kml";
    TBoundary::SaveToFile(kRectangle, file, TCoordType::ctGoogle);
    EXPECT_EQ(testsupport::ReadFileBytes(file),
              "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
              "<kml xmlns=\"http://www.opengis.net/kml/2.2\" "
              "xmlns:gx=\"http://www.google.com/kml/ext/2.2\" "
              "xmlns:kml=\"http://www.opengis.net/kml/2.2\" "
              "xmlns:atom=\"http://www.w3.org/2005/Atom\">\r\n"
              "<Document>\r\n"
              "\t<Placemark>\r\n"
              "\t<name>北京市.kml</name>\r\n"
              "\t<description>由 Vantorel 导出的边界线</description>\r\n"
              "\t<Style><LineStyle><color>ff0000FF</color><width>3</width></LineStyle></Style>\r\n"
              "\t\t<LineString>\r\n"
              "\t\t\t<coordinates>\r\n"
              "\t\t\t\t116.300000,39.900000 116.300000,40.100000 116.500000,40.100000 "
              "116.500000,39.900000\r\n"
              "\t\t\t</coordinates>\r\n"
              "\t\t</LineString>\r\n"
              "\t</Placemark>\r\n"
              "</Document>\r\n"
              "</kml>\r\n");
}

TEST(BoundaryExport, KmlWithoutPointsAndWithAnAwkwardName) {
    const std::string kml = TBoundary::KmlText("", "a&b <c>.kml", TCoordType::ctGPS);
    EXPECT_NE(kml.find("\t\t\t<coordinates>\r\n\r\n\t\t\t</coordinates>"), std::string::npos);
    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_string(kml.c_str() + 3)) << kml;
    EXPECT_STREQ(doc.child("kml").child("Document").child("Placemark").child_value("name"),
                 "a&b <c>.kml");
}

TEST(BoundaryExport, GeoJsonClosesTheRing) {
    struct Case {
        std::string value;
        std::string text;
    };
    const std::vector<Case> cases = {
        {"116.3,39.9,116.5,40.1,116.4,40.3",
         "{\"type\": \"MultiPolygon\",\"coordinates\": "
         "[[[[116.30000,39.90000],[116.50000,40.10000],"
         "[116.40000,40.30000],[116.30000,39.90000]]]]}\r\n"},
        {"", "{\"type\": \"MultiPolygon\",\"coordinates\": [[[]]]}\r\n"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TBoundary::GeoJsonText(c.value, TCoordType::ctGoogle), c.text) << c.value;
    }
}

TEST(BoundaryExport, GeoJsonReadsBackWithGdal) {
    testsupport::TempDir dir;
    const auto file = dir / "area.json";
    TBoundary::DumpGeoJSON(kRectangle, file, TCoordType::ctGoogle);
    const auto result = testsupport::RunChild({"ogrinfo", "-ro", "-al", "-q", file.string()});
    ASSERT_EQ(result.exitCode, 0) << "ogrinfo (Debian package gdal-bin) failed: " << result.output
                                  << result.errors;
    EXPECT_NE(result.output.find(
                  "MULTIPOLYGON (((116.3 39.9,116.3 40.1,116.5 40.1,116.5 39.9,116.3 39.9)))"),
              std::string::npos)
        << result.output;
}

TEST(BoundaryExport, DatumOfTheExportedPoints) {
    // GCJ-02 in Beijing: BD-09 lies about 0.0065/0.006 degrees east/north of it, WGS-84 about
    // 0.0062/0.0014 west/south.
    auto first = [](TCoordType type) {
        const auto json = nlohmann::json::parse(TBoundary::GeoJsonText("116.397,39.909", type));
        return json["coordinates"][0][0][0];
    };
    const auto gcj = first(TCoordType::ctGoogle);
    EXPECT_EQ(gcj, nlohmann::json::parse("[116.397,39.909]"));
    const auto bd = first(TCoordType::ctBaidu);
    EXPECT_NEAR(bd[0].get<double>(), 116.397 + 0.0065, 0.0008);
    EXPECT_NEAR(bd[1].get<double>(), 39.909 + 0.006, 0.0008);
    const auto wgs = first(TCoordType::ctGPS);
    EXPECT_NEAR(wgs[0].get<double>(), 116.397 - 0.0062, 0.0008);
    EXPECT_NEAR(wgs[1].get<double>(), 39.909 - 0.0014, 0.0008);
}

TEST(BoundaryExport, UnwritableTargetRaises) {
    testsupport::TempDir dir;
    testsupport::WriteFileBytes(dir / "blocker", "a file, not a folder");
    EXPECT_THROW(TBoundary::SaveToFile(kRectangle, dir / "blocker" / "a.kml", TCoordType::ctGPS),
                 std::runtime_error);
    EXPECT_THROW(TBoundary::DumpGeoJSON(kRectangle, dir / "blocker" / "a.json", TCoordType::ctGPS),
                 std::runtime_error);
}

}  // namespace
}  // namespace geodata
