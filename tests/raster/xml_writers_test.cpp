// Every XML file the system writes, with names that break naive XML (markup characters, quotes,
// controls, CDATA ends, Chinese, emoji), read back by a strict XML 1.0 parser (Python's expat):
// each file is well-formed and gives the names back, less the characters XML cannot hold.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "combine_test_support.h"
#include "engine/core/xml_escape.h"
#include "geodata/boundary/boundary_store.h"
#include "geodata/export/poi_export.h"
#include "geodata/gpx/gpx_file.h"
#include "geodata/kml/kml_file.h"
#include "raster/georeference.h"
#include "support/child_process.h"

namespace raster {
namespace {

const std::vector<std::string> kHostileNames = {
    "武汉 A&B <1>", "say \"hi\" & 'bye'", "ctrl\x01\x1F-name\x7F",
    "中文名称",     "emoji 🗺️📍",  "]]><b>&amp;",
};

// Parses each file (doc.kml inside a KMZ) with expat and prints, per file, either the parse
// error or the texts of its elements and the values of its attributes by local name.
constexpr const char* kReader = R"(
import json, sys, zipfile
import xml.etree.ElementTree as ET
out = {}
for path in sys.argv[1:]:
    try:
        data = zipfile.ZipFile(path).read('doc.kml') if path.endswith('.kmz') else open(path, 'rb').read()
        texts, attributes = {}, {}
        for element in ET.fromstring(data).iter():
            texts.setdefault(element.tag.split('}')[-1], []).append(element.text or '')
            for name, value in element.attrib.items():
                attributes.setdefault(name.split('}')[-1], []).append(value)
        out[path] = {'texts': texts, 'attributes': attributes}
    except Exception as error:
        out[path] = {'error': str(error)}
print(json.dumps(out))
)";

using Names = std::vector<std::pair<std::string, std::string>>;

struct Written {
    Written(std::string w, std::filesystem::path f, Names t, Names a = {})
        : writer(std::move(w)), file(std::move(f)), texts(std::move(t)), attributes(std::move(a)) {}

    std::string writer;
    std::filesystem::path file;
    // What the file must give back, by element or attribute local name.
    Names texts;
    Names attributes;
};

nlohmann::json ReadStrictly(const std::vector<Written>& files) {
    std::vector<std::string> argv = {testsupport::SystemPython(), "-c", kReader};
    for (const Written& w : files) {
        argv.push_back(w.file.string());
    }
    const testsupport::ChildResult result = testsupport::RunChild(argv);
    EXPECT_EQ(result.exitCode, 0) << result.errors;
    return nlohmann::json::parse(result.output, nullptr, false);
}

bool Holds(const nlohmann::json& values, const std::string& wanted) {
    if (!values.is_array()) {
        return false;
    }
    for (const auto& value : values) {
        if (value == wanted) {
            return true;
        }
    }
    return false;
}

std::unique_ptr<geodata::TGPXwpt> Point(const std::string& name, double lat, double lon) {
    auto p = std::make_unique<geodata::TGPXwpt>();
    p->Latitude = lat;
    p->Longitude = lon;
    p->name = name;
    p->desc = name;
    return p;
}

// A document whose every named thing carries `name`.
void FillDocument(geodata::TGPX& doc, const std::string& name) {
    doc.creator = name;
    doc.Metadata.filled = true;
    doc.Metadata.name = name;
    doc.Metadata.author.filled = true;
    doc.Metadata.author.name = name;
    doc.wpt.filled = true;
    doc.wpt.Add(Point(name, 30.5, 114.3));
    doc.wpt.WayPoints(0).Link.filled = true;
    doc.wpt.WayPoints(0).Link.href = "http://example.com/?q=" + name;
    auto route = std::make_unique<geodata::TGPXrte>();
    route->name = name;
    route->Add(Point(name, 30.6, 114.4));
    route->Add(Point(name, 30.7, 114.5));
    doc.rte.filled = true;
    doc.rte.Add(std::move(route));
    auto segment = std::make_unique<geodata::TGPXtrkseg>();
    segment->Add(Point(name, 30.8, 114.6));
    segment->Add(Point(name, 30.9, 114.7));
    auto track = std::make_unique<geodata::TGPXtrk>();
    track->name = name;
    track->Add(std::move(segment));
    doc.trk.filled = true;
    doc.trk.Add(std::move(track));
}

// The stitching exports over a one-tile task named `name`; `kind` picks the export.
void RunExport(const std::filesystem::path& root, const std::string& name, TImageCombineType kind) {
    const std::filesystem::path tiles = root / "tiles";
    test::MakeTiles(tiles, engine::TMapType::mtGoogleRoadMap, 12, 100, 100, 200, 200);
    engine::TProfiles task = test::MakeTask(root, tiles, engine::TMapType::mtGoogleRoadMap,
                                            test::AreaText({{100.2, 200.3}, {100.8, 200.7}}, 12));
    task.SetName(name);
    test::RecordingEvents events;
    TCombineTile worker(task, root / "out", name, engine::TImgType::itPNG, events);
    worker.SetZoomLevels(test::Levels({12}));
    worker.SetImageCombineType(kind);
    worker.Start();
    worker.WaitFor();
    ASSERT_EQ(events.endResult, CombineResult::Completed) << name;
}

TEST(XmlWritersTest, EveryWriterStaysWellFormedWhateverTheNamesHold) {
    testsupport::TempDir dir;
    std::vector<Written> files;
    for (std::size_t i = 0; i < kHostileNames.size(); ++i) {
        const std::string& name = kHostileNames[i];
        const std::string clean = engine::XmlCharacters(name);
        const std::filesystem::path folder = dir / std::to_string(i);
        std::filesystem::create_directories(folder);

        geodata::TGPX doc;
        FillDocument(doc, name);
        geodata::TGPXFile gpx;
        gpx.GPXd = &doc;
        gpx.ExportGPX(folder / "track.gpx");
        files.push_back({"GPX",
                         folder / "track.gpx",
                         {{"name", clean}, {"desc", clean}},
                         {{"creator", clean}, {"href", "http://example.com/?q=" + clean}}});
        geodata::TKMLFile kml;
        kml.GPXd = &doc;
        kml.ExportKML(folder / "track.kml");
        files.push_back({"KML", folder / "track.kml", {{"name", clean}, {"description", clean}}});

        geodata::TPOIData poi;
        poi.name = name;
        poi.address = name;
        geodata::ExportPOIs(folder / "places.kmz", geodata::kExportKmz, {poi},
                            engine::TCoordType::ctGoogle, {});
        files.push_back({"KMZ", folder / "places.kmz", {{"name", clean}, {"description", clean}}});

        // The boundary's placemark is named after its file.
        const std::filesystem::path boundary = folder / (name + ".kml");
        geodata::TBoundary::SaveToFile("114.1,30.1,114.2,30.1,114.2,30.2", boundary,
                                       engine::TCoordType::ctGoogle);
        files.push_back({"boundary KML", boundary, {{"name", clean + ".kml"}}});

        RunExport(folder, name, TImageCombineType::icGoogleEarth);
        files.push_back({"stitch KML",
                         folder / "out" / (name + "_L12") / (name + "12.kml"),
                         {{"name", clean + "_L12"}}});
        RunExport(folder, name, TImageCombineType::icOruxMaps);
        files.push_back({"OruxMaps calibration",
                         folder / "out" / (name + "_OruxMaps") / (name + ".otrk2.xml"),
                         {{"MapName", clean}, {"MapName", clean + "12"}}});
        RunExport(folder, name, TImageCombineType::icArcGIS);
        files.push_back({"ArcGIS configuration",
                         folder / "out" / (name + "_ArcGIS瓦片") / "conf.xml",
                         {{"LevelID", "12"}}});
        files.push_back(
            {"ArcGIS envelope", folder / "out" / (name + "_ArcGIS瓦片") / "conf.cdi", {}});
    }

    const nlohmann::json read = ReadStrictly(files);
    ASSERT_TRUE(read.is_object());
    for (const Written& w : files) {
        SCOPED_TRACE(w.writer + ": " + w.file.string());
        const nlohmann::json& file = read[w.file.string()];
        if (file.contains("error")) {
            ADD_FAILURE() << "not well-formed: " << file["error"];
            continue;
        }
        for (const auto& [element, text] : w.texts) {
            EXPECT_TRUE(Holds(file["texts"][element], text)) << element << " " << text;
        }
        for (const auto& [attribute, value] : w.attributes) {
            EXPECT_TRUE(Holds(file["attributes"][attribute], value)) << attribute << " " << value;
        }
    }
}

// Extensions of a read file are written back as they were read; a control character that the
// source held (raw or as a reference, which the reader accepts) has no place in XML 1.0.
TEST(XmlWritersTest, KeptExtensionsLoseTheControlsOfTheirSource) {
    testsupport::TempDir dir;
    geodata::TGPX doc;
    geodata::TGPXFile gpx;
    gpx.GPXd = &doc;
    gpx.ImportGPXString(
        "<gpx version=\"1.1\" xmlns=\"http://www.topografix.com/GPX/1/1\" "
        "xmlns:x=\"urn:example\"><wpt lat=\"30.5\" lon=\"114.3\"><name>a</name><extensions>"
        "<x:note v=\"line&#10;two&#2;\">c&#1;d\x03_e</x:note></extensions></wpt></gpx>");
    ASSERT_EQ(doc.wpt.Count(), 1);
    gpx.ExportGPX(dir / "kept.gpx");
    const Written written("GPX extensions", dir / "kept.gpx", {});
    const nlohmann::json read = ReadStrictly({written});
    const nlohmann::json& file = read[written.file.string()];
    ASSERT_FALSE(file.contains("error")) << file["error"];
    EXPECT_TRUE(Holds(file["texts"]["note"], "cd_e")) << file;
    EXPECT_TRUE(Holds(file["attributes"]["v"], "line\ntwo")) << file;
}

}  // namespace
}  // namespace raster
