#include "geodata/kml/kml_file.h"

#include "engine/core/atomic_file.h"
#include "engine/core/number_format.h"
#include "geodata/gpx/text_utils.h"
#include "geodata/gpx/xml_encoding.h"
#include "geodata/gpx/xml_nodes.h"

namespace geodata {
namespace {

constexpr const char* kKmlNamespace = "http://www.opengis.net/kml/2.2";
constexpr const char* kAtomNamespace = "http://www.w3.org/2005/Atom";

double NumberOr0(std::string_view text) {
    return engine::ParseFloat(TrimWhite(text)).value_or(0);
}

// A "lon,lat[,alt]" tuple into a new point; the altitude is 0 when absent.
std::unique_ptr<TGPXwpt> TuplePoint(std::string_view tuple) {
    auto point = std::make_unique<TGPXwpt>();
    const std::size_t first = tuple.find(',');
    const std::string_view rest = tuple.substr(first + 1);
    const std::size_t second = rest.find(',');
    point->Longitude = NumberOr0(tuple.substr(0, first));
    if (second == std::string_view::npos) {
        point->Latitude = NumberOr0(rest);
    } else {
        point->Latitude = NumberOr0(rest.substr(0, second));
        point->Altitude = NumberOr0(rest.substr(second + 1));
    }
    return point;
}

std::string PointCoordinates(const TGPXwpt& p) {
    std::string text = engine::FormatFloat(p.Longitude) + "," + engine::FormatFloat(p.Latitude);
    if (p.Altitude != 0) {
        text += "," + engine::FormatFloat(p.Altitude);
    }
    return text;
}

std::string LineCoordinates(const TGPXwptList& list) {
    std::string text;
    for (int i = 0; i < list.Count(); ++i) {
        if (i > 0) {
            text += ' ';
        }
        text += PointCoordinates(list.WayPoints(i));
    }
    return text;
}

}  // namespace

void TKMLFile::ImportKML(const std::filesystem::path& fileName) {
    std::string bytes;
    if (!engine::ReadFileBytes(fileName, bytes)) {
        AddLogLine("Cannot open file \"" + fileName.string() + "\" (0).");
        return;
    }
    XmlText text = XmlBytesToUtf8(bytes);
    if (!text.ok) {
        AddLogLine(text.error + ": file not loaded");
        return;
    }
    pugi::xml_document document;
    // Parsed in place: the text lives as long as the document.
    const pugi::xml_parse_result result = document.load_buffer_inplace(
        text.utf8.data(), text.utf8.size(), pugi::parse_default, pugi::encoding_utf8);
    if (!result) {
        AddLogLine(std::string(result.description()) + " at offset " +
                   engine::FormatInt(result.offset) + " (" +
                   engine::FormatInt(static_cast<int>(result.status)) + ").");
        return;
    }
    pugi::xml_node kml;
    for (pugi::xml_node node = document.first_child(); node; node = node.next_sibling()) {
        if (node.type() == pugi::node_element && SameText(node.name(), "kml")) {
            kml = node;
        }
    }
    if (!kml || GPXd == nullptr) {
        AddLogLine("File not loaded");
        return;
    }
    // Placemarks anywhere below the root, in document order, also without a document around.
    std::vector<pugi::xml_node> placemarks;
    struct Collector : pugi::xml_tree_walker {
        std::vector<pugi::xml_node>* found = nullptr;
        bool for_each(pugi::xml_node& node) override {
            if (node.type() == pugi::node_element && SameText(node.name(), "Placemark")) {
                found->push_back(node);
            }
            return true;
        }
    } collector;
    collector.found = &placemarks;
    kml.traverse(collector);
    for (const pugi::xml_node placemark : placemarks) {
        ReadPlacemark(placemark);
    }
}

void TKMLFile::ReadPlacemark(pugi::xml_node placemark) {
    if (const pugi::xml_node point = FirstChildNoCase(placemark, "Point")) {
        const std::string text = TextContent(PathNoCase(point, "coordinates"));
        const std::string_view c = TrimWhite(text);
        if (c.find(',') == std::string_view::npos) {
            return;
        }
        auto p = TuplePoint(c);
        p->name = TGPXFile::GetLastNodeText(placemark, "name");
        p->DateTime = ISO8601ToDateTime(TextContent(PathNoCase(placemark, "TimeStamp/when")));
        p->desc =
            ReplaceAllNoCase(TextContent(FirstChildNoCase(placemark, "Snippet")), "<br/>", "\r\n");
        GPXd->wpt.Add(std::move(p));
        GPXd->wpt.filled = true;
        return;
    }
    const pugi::xml_node line = FirstChildNoCase(placemark, "LineString");
    if (!line) {
        return;  // polygons, multi-geometries, models
    }
    const std::string c = TextContent(PathNoCase(line, "coordinates")) + " ";
    auto track = std::make_unique<TGPXtrk>();
    track->name = TextContent(FirstChildNoCase(placemark.parent(), "name"));
    auto segment = std::make_unique<TGPXtrkseg>();
    // A moving index over the text: tuples end at any white space.
    const std::size_t lastComma = c.rfind(',');
    std::size_t at = 0;
    while (lastComma != std::string::npos && at <= lastComma && c.size() - at >= 4) {
        std::size_t end = at;
        while (end < c.size() && !IsWhite(c[end])) {
            ++end;
        }
        const std::string_view tuple(c.data() + at, end - at);
        at = end + 1;
        if (tuple.find(',') == std::string_view::npos) {
            continue;
        }
        segment->Add(TuplePoint(tuple));
        segment->filled = true;
    }
    if (segment->Count() == 1) {
        auto only = segment->Extract(0);
        only->name = track->name;
        GPXd->wpt.Add(std::move(only));
        GPXd->wpt.filled = true;
    }
    if (segment->Empty()) {
        return;
    }
    track->Add(std::move(segment));
    GPXd->trk.Add(std::move(track));
    GPXd->trk.filled = true;
}

std::string TKMLFile::LineColor(const TGPX_StyleLine& style) const {
    // KML orders colours alpha, blue, green, red.
    TColor color = 0x0000FF;  // red unless a colour is chosen
    if (GPXOptions.GPX_Style && !style.IsDefaultColor()) {
        color = style.Color();
    }
    const std::string rgb = ColorToHexStr(color);
    return "FF" + rgb.substr(4, 2) + rgb.substr(2, 2) + rgb.substr(0, 2);
}

std::string TKMLFile::WriteAtomLink(const TGPXLink& link, int n) const {
    if (!link.filled || link.href.empty()) {
        return {};
    }
    return Indent(n) + "<atom:link href=\"" + XMLiseAttribute(link.href) + "\"/>" + LineBreak();
}

std::string TKMLFile::WriteKMLMetadata(const TGPXmetadata& m, int n) const {
    std::string out = WriteText(m.name, "name", n) + WriteText(m.desc, "description", n);
    if (m.author.filled && !m.author.name.empty()) {
        out += Indent(n) + "<atom:author><atom:name>" + XMLise(m.author.name) +
               "</atom:name></atom:author>" + LineBreak();
    }
    out += WriteAtomLink(m.Link, n);
    return out;
}

std::string TKMLFile::WriteWaypointPlacemark(const TGPXwpt& p, int n) const {
    std::string out = Indent(n) + "<Placemark>" + LineBreak();
    out += WriteText(p.name, "name", n + 1);
    out += WriteText(p.desc, "description", n + 1);
    if (p.DateTime != 0) {
        out += Indent(n + 1) + "<TimeStamp>" + LineBreak();
        out += WriteTime(p.DateTime, "when", 0, n + 2);
        out += Indent(n + 1) + "</TimeStamp>" + LineBreak();
    }
    out += Indent(n + 1) + "<Point>" + LineBreak();
    out += WriteText(PointCoordinates(p), "coordinates", n + 2);
    out += Indent(n + 1) + "</Point>" + LineBreak();
    out += WriteAtomLink(p.Link, n + 1);
    out += Indent(n) + "</Placemark>" + LineBreak();
    return out;
}

std::string TKMLFile::WriteWaypointFolder(const TGPXwptList& list, int n) const {
    std::string out = Indent(n) + "<Folder>" + LineBreak() + WriteText("Waypoints", "name", n + 1);
    for (int i = 0; i < list.Count(); ++i) {
        out += WriteWaypointPlacemark(list.WayPoints(i), n + 1);
    }
    return out + Indent(n) + "</Folder>" + LineBreak();
}

std::string TKMLFile::WriteRoutePlacemark(const TGPXrte& route, int n) const {
    std::string out = Indent(n) + "<Placemark>" + LineBreak();
    out += WriteText(route.name, "name", n + 1);
    out += WriteText(route.desc, "description", n + 1);
    out += Indent(n + 1) + "<Style>" + LineBreak();
    out += Indent(n + 2) + "<LineStyle>" + LineBreak();
    out += WriteText(LineColor(route.LineStyle), "color", n + 3);
    out += WriteInt(6, "width", 0, 0);
    out += Indent(n + 2) + "</LineStyle>" + LineBreak();
    out += Indent(n + 1) + "</Style>" + LineBreak();
    out += Indent(n + 1) + "<LineString>" + LineBreak();
    out += WriteText(LineCoordinates(route), "coordinates", n + 2);
    out += WriteInt(1, "tessellate", 0, 0);
    out += Indent(n + 1) + "</LineString>" + LineBreak();
    out += WriteAtomLink(route.Link, n + 1);
    out += Indent(n) + "</Placemark>" + LineBreak();
    return out;
}

std::string TKMLFile::WriteRouteFolder(const TGPXrteList& list, int n) const {
    std::string out = Indent(n) + "<Folder>" + LineBreak() + WriteText("Routes", "name", n + 1);
    for (int i = 0; i < list.Count(); ++i) {
        out += WriteRoutePlacemark(list.Routes(i), n + 1);
    }
    return out + Indent(n) + "</Folder>" + LineBreak();
}

std::string TKMLFile::WriteTrackFolder(const TGPXtrk& track, int n) const {
    if (track.Empty()) {
        return {};
    }
    std::string out = Indent(n) + "<Folder>" + LineBreak();
    out += WriteText(track.name, "name", n + 1);
    out += WriteText(track.desc, "description", n + 1);
    out += WriteAtomLink(track.Link, n + 1);
    const std::string color = LineColor(track.LineStyle);
    for (int k = 0; k < track.Count(); ++k) {
        out += Indent(n + 1) + "<Placemark>" + LineBreak();
        out += WriteText("Track Segment #" + engine::FormatInt(k + 1), "name", n + 2);
        out += Indent(n + 2) + "<Style>" + LineBreak();
        out += Indent(n + 3) + "<LineStyle>" + LineBreak();
        out += WriteText(color, "color", n + 4);
        out += WriteInt(6, "width", 0, 0);
        out += Indent(n + 3) + "</LineStyle>" + LineBreak();
        out += Indent(n + 2) + "</Style>" + LineBreak();
        out += Indent(n + 2) + "<LineString>" + LineBreak();
        out += WriteInt(1, "tessellate", 0, 0);
        out += WriteText(LineCoordinates(track.trkseg(k)), "coordinates", n + 3);
        out += Indent(n + 2) + "</LineString>" + LineBreak();
        out += Indent(n + 1) + "</Placemark>" + LineBreak();
    }
    return out + Indent(n) + "</Folder>" + LineBreak();
}

std::string TKMLFile::WriteTrackFolders(const TGPXtrkList& list, int n) const {
    std::string out = Indent(n) + "<Folder>" + LineBreak() + WriteText("Tracks", "name", n + 1);
    for (int i = 0; i < list.Count(); ++i) {
        out += WriteTrackFolder(list.Tracks(i), n + 1);
    }
    return out + Indent(n) + "</Folder>" + LineBreak();
}

void TKMLFile::ExportKML(const std::filesystem::path& fileName) {
    if (GPXd == nullptr) {
        throw EFileError("no document to write");
    }
    if (GPXOptions.Compress) {
        SetLayout("", "");
    } else {
        SetLayout("\r\n", "\t");
    }
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>" + LineBreak();
    out += std::string("<kml xmlns=\"") + kKmlNamespace + "\" xmlns:atom=\"" + kAtomNamespace +
           "\">" + LineBreak();
    out += Indent(1) + "<Document>" + LineBreak();
    if (GPXd->Metadata.filled) {
        GPXd->ComputeMetaBounds();
        out += WriteKMLMetadata(GPXd->Metadata, 2);
    }
    if (!GPXd->wpt.Empty()) {
        out += WriteWaypointFolder(GPXd->wpt, 2) + LineBreak();
    }
    if (!GPXd->rte.Empty()) {
        out += WriteRouteFolder(GPXd->rte, 2) + LineBreak();
    }
    if (!GPXd->trk.Empty()) {
        out += WriteTrackFolders(GPXd->trk, 2) + LineBreak();
    }
    out += Indent(1) + "</Document>" + LineBreak() + "</kml>" + LineBreak();
    std::string error;
    if (!engine::WriteFileAtomic(fileName, out, &error)) {
        throw EFileError("cannot write " + fileName.string() + ": " + error);
    }
    Modified = false;
}

}  // namespace geodata
