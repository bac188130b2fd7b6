#include "geodata/gpx/gpx_file.h"

#include <optional>

#include "engine/core/atomic_file.h"
#include "engine/core/number_format.h"
#include "geodata/gpx/iso8601.h"
#include "geodata/gpx/text_utils.h"
#include "geodata/gpx/xml_encoding.h"
#include "geodata/gpx/xml_nodes.h"

namespace geodata {
namespace {

double NumberOr(std::string_view text, double fallback) {
    const auto value = engine::ParseFloat(TrimWhite(text));
    return value ? *value : fallback;
}

std::int64_t IntegerOr(std::string_view text, std::int64_t fallback) {
    const auto value = engine::ParseInt(TrimWhite(text));
    return value ? *value : fallback;
}

std::string Text(pugi::xml_node parent, std::string_view name) {
    return TGPXFile::GetLastNodeText(parent, name);
}

}  // namespace

std::string TGPXFile::GetLastNodeText(pugi::xml_node parent, std::string_view nodeName) {
    return TextContent(LastChildNoCase(parent, nodeName));
}

namespace {
// Inner XML of an extensions element, each child element declaring the namespaces it uses.
// An element whose start tag carries more than namespace declarations keeps its whole XML.
std::string ExtensionContent(pugi::xml_node node) {
    if (!node) {
        return {};
    }
    for (pugi::xml_attribute a = node.first_attribute(); a; a = a.next_attribute()) {
        if (!IsNamespaceDeclaration(a.name())) {
            return std::string(TrimWhite(OuterXmlInScope(node)));
        }
    }
    std::string inner;
    for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling()) {
        inner += OuterXmlInScope(child);
    }
    return std::string(TrimWhite(inner));
}

// The last child of each of the point's element names, found in one pass over the children:
// files of many thousand points are read without a search per field.
enum PointField {
    kTime,
    kEle,
    kMagvar,
    kGeoidheight,
    kName,
    kCmt,
    kDesc,
    kSrc,
    kLink,
    kSym,
    kType,
    kFix,
    kSat,
    kHdop,
    kVdop,
    kPdop,
    kAge,
    kDgpsid,
    kExtensions,
    kFieldCount
};
constexpr const char* kPointFieldNames[kFieldCount] = {
    "time", "ele",  "magvar",        "geoidheight", "name",      "cmt", "desc",
    "src",  "link", "sym",           "type",        "fix",       "sat", "hdop",
    "vdop", "pdop", "ageofdgpsdata", "dgpsid",      "extensions"};

struct PointChildren {
    pugi::xml_node nodes[kFieldCount];
    explicit PointChildren(pugi::xml_node point) {
        for (pugi::xml_node child = point.first_child(); child; child = child.next_sibling()) {
            if (child.type() != pugi::node_element) {
                continue;
            }
            for (int k = 0; k < kFieldCount; ++k) {
                if (SameText(child.name(), kPointFieldNames[k])) {
                    nodes[k] = child;
                    break;
                }
            }
        }
    }
    std::string Text(PointField field) const { return TextContent(nodes[field]); }
};
}  // namespace

std::string TGPXFile::GetExtensionNodeContent(pugi::xml_node parent, std::string_view nodeName) {
    return ExtensionContent(LastChildNoCase(parent, nodeName));
}

TDateTime TGPXFile::ISO8601ToDateTime(std::string_view value) {
    try {
        return ParseISO8601(value);
    } catch (const EConvertError&) {
        AddLogLine("Invalid date-time \"" + std::string(TrimWhite(value)) + "\" read as no time");
        return 0;
    }
}

std::string TGPXFile::DateTimeToGPXTime(TDateTime value) {
    return FormatGPXTime(value);
}

void TGPXFile::ImportGPXFile(const std::filesystem::path& fileName) {
    std::string bytes;
    if (!engine::ReadFileBytes(fileName, bytes)) {
        AddLogLine("Cannot open file \"" + fileName.string() + "\" (LoadDataSource0).");
        return;
    }
    LoadBuffer(bytes, " (LoadDataSource");
}

void TGPXFile::ImportGPXString(std::string_view gpxString) {
    LoadBuffer(std::string(gpxString), " (");
}

void TGPXFile::LoadBuffer(const std::string& bytes, const std::string& failureContext) {
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
                   engine::FormatInt(result.offset) + failureContext +
                   engine::FormatInt(static_cast<int>(result.status)) + ").");
        return;
    }
    ReadDocument(document);
}

void TGPXFile::ReadDocument(const pugi::xml_document& document) {
    pugi::xml_node gpx;
    for (pugi::xml_node node = document.first_child(); node; node = node.next_sibling()) {
        if (node.type() == pugi::node_element && SameText(node.name(), "gpx")) {
            gpx = node;
        }
    }
    if (!gpx) {
        AddLogLine("File not loaded");
        return;
    }
    if (GPXd == nullptr) {
        AddLogLine("No document to read into");
        return;
    }
    ReadRootAttributes(gpx);
    for (pugi::xml_node child = gpx.first_child(); child; child = child.next_sibling()) {
        if (child.type() != pugi::node_element) {
            continue;
        }
        const std::string name = LowerAscii(child.name());
        if (name == "metadata") {
            ReadMetadata(child);
        } else if (name == "wpt") {
            ReadWaypoint(child, GPXd->wpt);
        } else if (name == "rte") {
            ReadRoute(child);
        } else if (name == "trk") {
            ReadTrack(child);
        } else if (name == "extensions") {
            ReadExtensions(child);
        }
    }
    int routePoints = 0, trackPoints = 0, segments = 0;
    for (int i = 0; i < GPXd->rte.Count(); ++i) {
        routePoints += GPXd->rte.Routes(i).Count();
    }
    for (int i = 0; i < GPXd->trk.Count(); ++i) {
        const TGPXtrk& track = GPXd->trk.Tracks(i);
        segments += track.Count();
        for (int s = 0; s < track.Count(); ++s) {
            trackPoints += track.trkseg(s).Count();
        }
    }
    using engine::FormatInt;
    AddLogLine(FormatInt(GPXd->wpt.Count()) + " waypoints");
    AddLogLine(FormatInt(GPXd->rte.Count()) + " routes (" + FormatInt(routePoints) + " points)");
    AddLogLine(FormatInt(GPXd->trk.Count()) + " tracks (" + FormatInt(trackPoints) + " points in " +
               FormatInt(segments) + " track segments)");
    Loaded = true;
}

void TGPXFile::ReadRootAttributes(pugi::xml_node gpx) {
    std::string text;
    for (pugi::xml_attribute a = gpx.first_attribute(); a; a = a.next_attribute()) {
        if (StartsWithNoCase(a.name(), "xsi") || StartsWithNoCase(a.name(), "xmlns")) {
            text += std::string(a.name()) + "=\"" + XMLiseAttribute(a.value()) + "\" ";
        }
    }
    GPXd->xmlns = std::string(TrimWhite(text));
}

void TGPXFile::ReadMetadata(pugi::xml_node node) {
    TGPXmetadata metadata;
    metadata.name = Text(node, "name");
    metadata.desc = Text(node, "desc");
    if (const auto author = LastChildNoCase(node, "author")) {
        ReadPerson(author, metadata.author);
    }
    if (const auto copyright = LastChildNoCase(node, "copyright")) {
        ReadCopyright(copyright, metadata.Copyright);
    }
    if (const auto link = LastChildNoCase(node, "link")) {
        ReadLink(link, metadata.Link);
    }
    metadata.mtime = ISO8601ToDateTime(Text(node, "time"));
    metadata.keywords = Text(node, "keywords");
    if (const auto bounds = LastChildNoCase(node, "bounds")) {
        ReadBounds(bounds, metadata.Bounds);
    }
    metadata.extensions = GetExtensionNodeContent(node, "extensions");
    metadata.filled = true;
    GPXd->Metadata = std::move(metadata);
}

void TGPXFile::ReadPerson(pugi::xml_node node, TGPXperson& person) {
    person.name = Text(node, "name");
    if (person.name.empty()) {
        // An author given as plain text.
        person.name = TextContent(node);
    }
    if (const auto email = LastChildNoCase(node, "email")) {
        ReadEmail(email, person.email);
    }
    if (const auto link = LastChildNoCase(node, "link")) {
        ReadLink(link, person.Link);
    }
    person.filled = true;
}

void TGPXFile::ReadEmail(pugi::xml_node node, TGPXemail& email) {
    // GPX 1.1 stores the address as attributes; older writers used child elements.
    const auto id = AttributeNoCase(node, "id");
    const auto domain = AttributeNoCase(node, "domain");
    email.id = id ? id.value() : Text(node, "id");
    email.domain = domain ? domain.value() : Text(node, "domain");
    email.filled = true;
}

void TGPXFile::ReadCopyright(pugi::xml_node node, TGPXcopyright& copyright) {
    if (const auto author = AttributeNoCase(node, "author")) {
        copyright.author = author.value();
    }
    copyright.year = static_cast<std::int32_t>(IntegerOr(Text(node, "year"), -1));
    copyright.license = Text(node, "license");
    copyright.filled = true;
}

void TGPXFile::ReadLink(pugi::xml_node node, TGPXLink& link) {
    link.href = AttributeNoCase(node, "href").value();
    if (link.href.empty()) {
        link.href = TextContent(node);
    }
    link.text = Text(node, "text");
    link.ltype = Text(node, "type");
    link.filled = true;
}

void TGPXFile::ReadBounds(pugi::xml_node node, TGPXbounds& bounds) {
    const auto read = [&](const char* name, double& value) {
        if (const auto a = AttributeNoCase(node, name)) {
            value = NumberOr(a.value(), 0);
        }
    };
    read("minlat", bounds.minlat);
    read("minlon", bounds.minlon);
    read("maxlat", bounds.maxlat);
    read("maxlon", bounds.maxlon);
    bounds.filled = true;
}

void TGPXFile::ReadWaypoint(pugi::xml_node node, TGPXwptList& list) {
    auto point = std::make_unique<TGPXwpt>();
    TGPXwpt& p = *point;
    list.Add(std::move(point));
    list.filled = true;
    const PointChildren c(node);
    p.Latitude = NumberOr(AttributeNoCase(node, "lat").value(), 0);
    p.Longitude = NumberOr(AttributeNoCase(node, "lon").value(), 0);
    p.DateTime = ISO8601ToDateTime(c.Text(kTime));
    p.Altitude = NumberOr(c.Text(kEle), 0);
    p.magvar = NumberOr(c.Text(kMagvar), 0);
    p.geoidheight = NumberOr(c.Text(kGeoidheight), 0);
    p.name = c.Text(kName);
    p.cmt = c.Text(kCmt);
    p.desc = c.Text(kDesc);
    p.src = c.Text(kSrc);
    if (c.nodes[kLink]) {
        ReadLink(c.nodes[kLink], p.Link);
    }
    p.sym = c.Text(kSym);
    p.wtype = c.Text(kType);
    p.fix = LowerAscii(c.Text(kFix));
    p.sat = static_cast<std::uint8_t>(IntegerOr(c.Text(kSat), -1));
    const auto dilution = [&](PointField field) {
        const double value = NumberOr(c.Text(field), -1);
        return GPXOptions.DeleteNullData && value == 0 ? -1.0 : value;
    };
    p.hdop = dilution(kHdop);
    p.vdop = dilution(kVdop);
    p.pdop = dilution(kPdop);
    p.ageofdgpsdata = NumberOr(c.Text(kAge), -1);
    p.dgpsid = static_cast<std::int32_t>(IntegerOr(c.Text(kDgpsid), -1));
    p.extensions = ExtensionContent(c.nodes[kExtensions]);
}

template <class Line>
void TGPXFile::ReadLineFields(pugi::xml_node node, Line& line, std::string& type) {
    line.name = Text(node, "name");
    line.cmt = Text(node, "cmt");
    line.desc = Text(node, "desc");
    line.src = Text(node, "src");
    if (const auto link = LastChildNoCase(node, "link")) {
        ReadLink(link, line.Link);
    }
    line.number = static_cast<std::int32_t>(IntegerOr(Text(node, "number"), -1));
    type = Text(node, "type");
    if (const std::string color = Text(node, "topografix:color"); !color.empty()) {
        line.LineStyle.SetColorStr(color);
    }
    if (const auto extensions = LastChildNoCase(node, "extensions")) {
        std::string kept;
        for (pugi::xml_node child = extensions.first_child(); child; child = child.next_sibling()) {
            if (child.type() != pugi::node_element) {
                continue;
            }
            if (SameText(child.name(), "line")) {
                if (const std::string color = Text(child, "color"); !color.empty()) {
                    line.LineStyle.SetColorStr(color);
                }
                if (const std::string opacity = Text(child, "opacity"); !opacity.empty()) {
                    line.LineStyle.SetOpacityStr(opacity);
                }
            } else {
                kept += LineBreak() + OuterXmlInScope(child);
            }
        }
        line.extensions = std::string(TrimWhite(kept));
    }
    if (line.name.empty() && !line.desc.empty()) {
        line.name = line.desc;
    }
}

void TGPXFile::ReadRoute(pugi::xml_node node) {
    auto route = std::make_unique<TGPXrte>();
    TGPXrte& r = *route;
    GPXd->rte.Add(std::move(route));
    GPXd->rte.filled = true;
    ReadLineFields(node, r, r.rtype);
    for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling()) {
        if (child.type() == pugi::node_element && SameText(child.name(), "rtept")) {
            ReadWaypoint(child, r);
        }
    }
}

void TGPXFile::ReadTrack(pugi::xml_node node) {
    auto track = std::make_unique<TGPXtrk>();
    TGPXtrk& t = *track;
    GPXd->trk.Add(std::move(track));
    GPXd->trk.filled = true;
    ReadLineFields(node, t, t.ttype);
    for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling()) {
        if (child.type() != pugi::node_element || !SameText(child.name(), "trkseg")) {
            continue;
        }
        auto segment = std::make_unique<TGPXtrkseg>();
        segment->extensions = GetExtensionNodeContent(child, "extensions");
        for (pugi::xml_node p = child.first_child(); p; p = p.next_sibling()) {
            if (p.type() == pugi::node_element && SameText(p.name(), "trkpt")) {
                ReadWaypoint(p, *segment);
            }
        }
        t.Add(std::move(segment));
    }
}

void TGPXFile::ReadExtensions(pugi::xml_node node) {
    std::string t = ExtensionContent(node);
    // An empty element inside carries nothing (and written back inside another one it would
    // nest an "extensions" element of the GPX namespace inside the extensions).
    if (SameText(t, "<extensions/>")) {
        t.clear();
    }
    GPXd->extension.text = t;
}

void TGPXFile::CopyFrom(const TGPXFile& other) {
    if (&other == this) {
        return;
    }
    if (GPXd != nullptr && other.GPXd != nullptr) {
        GPXd->CopyFrom(*other.GPXd);
    }
    FileName = other.FileName;
    Loaded = other.Loaded;
    Modified = other.Modified;
    for (const std::string& line : other.mLog) {
        AddLogLine(line);
    }
}

}  // namespace geodata
