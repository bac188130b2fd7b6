#include "geodata/export/poi_export.h"

#include <pugixml.hpp>

#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "engine/core/number_format.h"
#include "support/child_process.h"
#include "support/temp_dir.h"
#include "xls_readers.h"

namespace geodata {
namespace {

using engine::TCoordType;

std::vector<TPOIData> Places() {
    TPOIData a;
    a.uid = "65e1ee886c885190f60e77ff";
    a.name = "天安门";
    a.address = "北京市东城区长安街";
    a.telephone = "(010)63095718";
    a.location = {39.915119, 116.403963};
    a.detail = {"scope", "旅游景点", "http://example.invalid/detail"};
    TPOIData b;
    b.uid = "b2";
    b.name = "A]]>B & <C>";
    b.address = "";
    b.location = {31.2397, 121.4998};
    TPOIData c;
    c.uid = "c3";
    c.name = "东方明珠";
    c.location = {31.245, 121.5063};
    return {a, b, c};
}

// The text of an element, over all its text and CDATA children.
std::string AllText(const pugi::xml_node& node) {
    std::string text;
    for (const auto& child : node.children()) {
        text += child.value();
    }
    return text;
}

std::string Unzip(const std::vector<std::string>& args) {
    std::vector<std::string> argv = {"unzip"};
    argv.insert(argv.end(), args.begin(), args.end());
    const auto result = testsupport::RunChild(argv);
    EXPECT_EQ(result.exitCode, 0) << "unzip (Debian package unzip) failed: " << result.output
                                  << result.errors;
    return result.output;
}

TEST(PoiExport, KmzHoldsDocKmlAndIconBuiltInMemory) {
    testsupport::TempDir dir;
    testsupport::WriteFileBytes(dir / "share" / "marker-icon.png", "\x89PNG fake icon");
    const auto target = dir / "out" / "a.b.kmz";
    auto places = Places();
    places.resize(2);
    ExportPOIs(target, kExportKmz, places, TCoordType::ctBaidu, dir / "share" / "marker-icon.png");

    // Nothing but the archive appears next to the target: no work folder "a".
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir / "out")) {
        names.push_back(entry.path().filename().string());
    }
    EXPECT_EQ(names, std::vector<std::string>{"a.b.kmz"});

    std::istringstream listing(Unzip({"-Z", target.string()}));
    std::vector<std::string> entries;
    for (std::string line; std::getline(listing, line);) {
        if (line.find(" doc.kml") != std::string::npos ||
            line.find(" files/marker-icon.png") != std::string::npos) {
            entries.push_back(line.substr(line.rfind(' ') + 1));
            EXPECT_NE(line.find(" def"), std::string::npos) << "deflate expected: " << line;
        }
    }
    EXPECT_EQ(entries, (std::vector<std::string>{"doc.kml", "files/marker-icon.png"}));
    EXPECT_EQ(Unzip({"-p", target.string(), "files/marker-icon.png"}), "\x89PNG fake icon");

    const std::string kml = Unzip({"-p", target.string(), "doc.kml"});
    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_string(kml.c_str())) << kml;
    const auto placemarks = doc.select_nodes("/kml/Document/Placemark");
    ASSERT_EQ(placemarks.size(), 2u);
    EXPECT_EQ(AllText(placemarks[0].node().child("name")), "天安门");
    EXPECT_EQ(AllText(placemarks[1].node().child("name")), "A]]>B & <C>");
    EXPECT_STREQ(placemarks[0].node().child("Point").child_value("coordinates"),
                 "116.403963,39.915119,0");
}

TEST(PoiExport, DocKmlBytes) {
    auto places = Places();
    places.resize(1);
    EXPECT_EQ(BuildPOIDocKml(places, TCoordType::ctBaidu),
              "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
              "<kml xmlns=\"http://www.opengis.net/kml/2.2\">\r\n"
              "\t<Document>\r\n"
              "\t\t\t<Style id=\"icon-1073\">\r\n"
              "\t\t\t<IconStyle>\r\n"
              "\t\t\t<Icon>\r\n"
              "\t\t\t<href>files/marker-icon.png</href>\r\n"
              "\t\t\t</Icon>\r\n"
              "\t\t\t</IconStyle>\r\n"
              "\t\t\t</Style>\r\n"
              "\t\t<Placemark>\r\n"
              "\t\t\t<name><![CDATA[天安门]]></name>\r\n"
              "\t\t\t<description><![CDATA[北京市东城区长安街]]></description>\r\n"
              "\t\t\t<styleUrl>#icon-1073</styleUrl>\r\n"
              "\t\t\t<Point>\r\n"
              "\t\t\t\t<coordinates>116.403963,39.915119,0</coordinates>\r\n"
              "\t\t\t</Point>\r\n"
              "\t\t</Placemark>\r\n"
              "\t</Document>\r\n"
              "</kml>\r\n");
}

TEST(PoiExport, KmzWithoutIconHoldsOnlyDocKml) {
    testsupport::TempDir dir;
    ExportPOIs(dir / "p.kmz", kExportKmz, Places(), TCoordType::ctGPS, dir / "missing.png");
    EXPECT_EQ(Unzip({"-Z1", (dir / "p.kmz").string()}), "doc.kml\n");
}

TEST(PoiExport, DatumOfTheExportedPositions) {
    const engine::TGLatLng bd09{39.915119, 116.403963};
    EXPECT_EQ(ConvertPOICoord(bd09, TCoordType::ctBaidu), bd09);
    // BD-09 lies about 0.006 degrees north-east of GCJ-02, which lies north-east of WGS-84 in
    // Beijing.
    const auto gcj = ConvertPOICoord(bd09, TCoordType::ctGoogle);
    EXPECT_NEAR(gcj.lng, bd09.lng - 0.0065, 0.0005);
    EXPECT_NEAR(gcj.lat, bd09.lat - 0.006, 0.0005);
    const auto wgs = ConvertPOICoord(bd09, TCoordType::ctGPS);
    EXPECT_NEAR(wgs.lng, gcj.lng - 0.0062, 0.0005);
    EXPECT_NEAR(wgs.lat, gcj.lat - 0.0014, 0.0005);
}

TEST(PoiExport, XlsRowsAreAllText) {
    testsupport::TempDir dir;
    const auto file = dir / "places.xls";
    const auto places = Places();
    ExportPOIs(file, kExportXls, places, TCoordType::ctGoogle, {});

    const char* script =
        "import sys, json, xlrd\n"
        "sh = xlrd.open_workbook(sys.argv[1]).sheet_by_index(0)\n"
        "print(json.dumps([[[sh.cell_type(r, c), sh.cell_value(r, c)] for c in range(sh.ncols)]"
        " for r in range(sh.nrows)]))\n";
    const auto result =
        testsupport::RunChild({testsupport::SystemPython(), "-c", script, file.string()});
    ASSERT_EQ(result.exitCode, 0) << "reading the worksheet needs python3 with xlrd (Debian "
                                     "package python3-xlrd): "
                                  << result.output;
    const auto rows = nlohmann::json::parse(result.output);
    ASSERT_EQ(rows.size(), 4u);
    const std::vector<std::string> header = {"编号", "经度(谷歌坐标)", "纬度(谷歌坐标)", "名称",
                                             "地址", "电话",           "标签",           "类别"};
    for (const auto& row : rows) {
        ASSERT_EQ(row.size(), 8u) << row.dump();
        for (const auto& cell : row) {
            EXPECT_EQ(cell[0], 1) << "every cell is a text cell: " << row.dump();
        }
    }
    for (std::size_t c = 0; c < header.size(); ++c) {
        EXPECT_EQ(rows[0][c][1], header[c]);
    }
    const auto gcj = ConvertPOICoord(places[0].location, TCoordType::ctGoogle);
    EXPECT_EQ(rows[1][0][1], places[0].uid);
    EXPECT_EQ(rows[1][1][1], engine::FormatFloat(gcj.lng));
    EXPECT_EQ(rows[1][2][1], engine::FormatFloat(gcj.lat));
    EXPECT_EQ(rows[1][3][1], "天安门");
    EXPECT_EQ(rows[1][4][1], "北京市东城区长安街");
    EXPECT_EQ(rows[1][5][1], "(010)63095718");
    EXPECT_EQ(rows[1][6][1], "旅游景点");
    EXPECT_EQ(rows[1][7][1], "scope");
    EXPECT_EQ(rows[3][3][1], "东方明珠");
}

// The export opens in every common reader, each giving back every row and every Chinese text.
TEST(PoiExport, XlsOpensInEveryReader) {
    testsupport::TempDir dir;
    const auto file = dir / "places.xls";
    const auto places = Places();
    ExportPOIs(file, kExportXls, places, TCoordType::ctGPS, {});
    xlstest::Rows expected = {
        {"编号", "经度(GPS坐标)", "纬度(GPS坐标)", "名称", "地址", "电话", "标签", "类别"}};
    for (const auto& place : places) {
        const auto at = ConvertPOICoord(place.location, TCoordType::ctGPS);
        expected.push_back({place.uid, engine::FormatFloat(at.lng), engine::FormatFloat(at.lat),
                            place.name, place.address, place.telephone, place.detail.tag,
                            place.detail._type});
    }
    for (const auto& reader : xlstest::Readers()) {
        SCOPED_TRACE(reader.name);
        const auto work = dir / reader.name;
        std::filesystem::create_directories(work);
        EXPECT_EQ(reader.read(file, work), expected);
    }
}

TEST(PoiExport, NothingToWrite) {
    testsupport::TempDir dir;
    ExportPOIs(dir / "empty.kmz", kExportKmz, {}, TCoordType::ctGPS, {});
    ExportPOIs(dir / "empty.xls", kExportXls, {}, TCoordType::ctGPS, {});
    ExportPOIs(dir / "other.txt", 2, Places(), TCoordType::ctGPS, {});
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
    testsupport::WriteFileBytes(dir / "blocker", "a file, not a folder");
    EXPECT_THROW(ExportPOIs(dir / "blocker" / "x.kmz", kExportKmz, Places(), TCoordType::ctGPS, {}),
                 std::runtime_error);
}

}  // namespace
}  // namespace geodata
