// The GPX 1.1 writer of TGPXFile: elements in the schema's order, assembled as text.
#include <cmath>
#include <set>

#include "engine/core/atomic_file.h"
#include "engine/core/number_format.h"
#include "engine/core/xml_escape.h"
#include "geodata/gpx/gpx_file.h"
#include "geodata/gpx/iso8601.h"
#include "geodata/gpx/text_utils.h"

namespace geodata {
namespace {

constexpr const char* kGpxNamespace = "http://www.topografix.com/GPX/1/1";
constexpr const char* kSchemaInstance = "http://www.w3.org/2001/XMLSchema-instance";
constexpr const char* kGpxSchema = "http://www.topografix.com/GPX/1/1/gpx.xsd";
constexpr const char* kLineStyleNamespace = "http://www.topografix.com/GPX/gpx_style/0/2";

// Coordinates are xsd:decimal, which has no exponent form.
std::string Decimal(double value) {
    std::string text = engine::FormatFloat(value);
    if (text.find('E') == std::string::npos) {
        return text;
    }
    text = engine::FormatFixed(value, 15);
    while (!text.empty() && text.back() == '0') {
        text.pop_back();
    }
    if (!text.empty() && text.back() == '.') {
        text.pop_back();
    }
    return text == "-0" ? "0" : text;
}

bool IsNameChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '-' || c == '.' || static_cast<unsigned char>(c) >= 0x80;
}

// Prefixes of the qualified element and attribute names in a raw XML fragment.
void CollectPrefixes(std::string_view xml, std::set<std::string>& prefixes) {
    bool inTag = false;
    for (std::size_t i = 0; i < xml.size(); ++i) {
        const char c = xml[i];
        if (c == '<') {
            inTag = true;
        } else if (c == '>') {
            inTag = false;
        } else if (c == '"' || c == '\'') {
            if (inTag) {
                const std::size_t close = xml.find(c, i + 1);
                i = close == std::string_view::npos ? xml.size() : close;
            }
            continue;
        } else {
            continue;
        }
        if (!inTag) {
            continue;
        }
        // At the start of a tag: look at every name in it up to the next ">".
        std::size_t j = i + 1;
        if (j < xml.size() && xml[j] == '/') {
            ++j;
        }
        while (j < xml.size() && xml[j] != '>') {
            if (xml[j] == '"' || xml[j] == '\'') {
                const std::size_t close = xml.find(xml[j], j + 1);
                j = close == std::string_view::npos ? xml.size() : close + 1;
                continue;
            }
            std::size_t start = j;
            while (j < xml.size() && IsNameChar(xml[j])) {
                ++j;
            }
            if (j < xml.size() && xml[j] == ':' && j > start) {
                const std::string prefix(xml.substr(start, j - start));
                if (prefix != "xml" && prefix != "xmlns") {
                    prefixes.insert(prefix);
                }
            }
            if (j == start) {
                ++j;
            }
        }
        i = j;
        inTag = false;
    }
}

void CollectDocumentPrefixes(const TGPX& doc, std::set<std::string>& prefixes) {
    CollectPrefixes(doc.extension.text, prefixes);
    CollectPrefixes(doc.Metadata.extensions, prefixes);
    const auto points = [&](const TGPXwptList& list) {
        for (int i = 0; i < list.Count(); ++i) {
            CollectPrefixes(list.WayPoints(i).extensions, prefixes);
        }
    };
    points(doc.wpt);
    for (int i = 0; i < doc.rte.Count(); ++i) {
        CollectPrefixes(doc.rte.Routes(i).extensions, prefixes);
        points(doc.rte.Routes(i));
    }
    for (int i = 0; i < doc.trk.Count(); ++i) {
        const TGPXtrk& track = doc.trk.Tracks(i);
        CollectPrefixes(track.extensions, prefixes);
        for (int s = 0; s < track.Count(); ++s) {
            CollectPrefixes(track.trkseg(s).extensions, prefixes);
            points(track.trkseg(s));
        }
    }
}

// The declaration `xmlns:prefix="..."` in a kept attribute text, or empty.
std::string FindDeclaration(std::string_view attributes, const std::string& prefix) {
    const std::string key = "xmlns:" + prefix + "=";
    std::size_t at = attributes.find(key);
    while (at != std::string_view::npos && at > 0 && !IsWhite(attributes[at - 1])) {
        at = attributes.find(key, at + 1);
    }
    if (at == std::string_view::npos || at + key.size() >= attributes.size()) {
        return {};
    }
    const char quote = attributes[at + key.size()];
    const std::size_t close = attributes.find(quote, at + key.size() + 1);
    if ((quote != '"' && quote != '\'') || close == std::string_view::npos) {
        return {};
    }
    return std::string(attributes.substr(at, close + 1 - at));
}

}  // namespace

std::string TGPXFile::XMLise(std::string_view s) {
    return engine::EscapeXmlText(s);
}

std::string TGPXFile::XMLiseAttribute(std::string_view s) {
    return engine::EscapeXmlAttribute(s);
}

std::string TGPXFile::Indent(int count) const {
    std::string text;
    for (int i = 0; i < count; ++i) {
        text += indent_;
    }
    return text;
}

std::string TGPXFile::WriteText(std::string_view text, std::string_view tag, int tabCount,
                                bool ext) const {
    if (text.empty()) {
        return {};
    }
    std::string out = Indent(tabCount);
    out += "<";
    out += tag;
    out += ">";
    out += ext ? std::string(text) : XMLise(text);
    out += "</";
    out += tag;
    out += ">";
    out += lineBreak_;
    return out;
}

std::string TGPXFile::WriteInt(std::int64_t value, std::string_view tag, std::int64_t defaultValue,
                               int tabCount) const {
    return value == defaultValue ? std::string()
                                 : WriteText(engine::FormatInt(value), tag, tabCount);
}

std::string TGPXFile::WriteDouble(double value, std::string_view tag, double defaultValue,
                                  int tabCount) const {
    return value == defaultValue ? std::string()
                                 : WriteText(engine::FormatFloat(value), tag, tabCount);
}

std::string TGPXFile::WriteTime(TDateTime value, std::string_view tag, TDateTime defaultValue,
                                int tabCount) const {
    return value == defaultValue ? std::string()
                                 : WriteText(DateTimeToGPXTime(value), tag, tabCount);
}

std::string TGPXFile::WriteLink(const TGPXLink& link, int tabCount) const {
    const std::string tabs(static_cast<std::size_t>(tabCount), '\t');
    std::string out = tabs + "<link";
    if (!link.href.empty()) {
        out += " href=\"" + XMLiseAttribute(link.href) + "\"";
    }
    out += ">" + lineBreak_;
    out += WriteText(link.text, "text", tabCount + 1);
    out += WriteText(link.ltype, "type", tabCount + 1);
    out += tabs + "</link>" + lineBreak_;
    return out;
}

std::string TGPXFile::WriteWaypoint(const TGPXwpt& p, std::string_view tag, int n) const {
    std::string out = Indent(n);
    out += "<";
    out += tag;
    out += " lat=\"" + Decimal(p.Latitude) + "\" lon=\"" + Decimal(p.Longitude) + "\">";
    out += lineBreak_;
    const int m = n + 1;
    out += WriteDouble(p.Altitude, "ele", 0, m);
    out += WriteTime(p.DateTime, "time", 0, m);
    out += WriteDouble(p.magvar, "magvar", 0, m);
    out += WriteDouble(p.geoidheight, "geoidheight", 0, m);
    out += WriteText(p.name, "name", m);
    out += WriteText(p.cmt, "cmt", m);
    out += WriteText(p.desc, "desc", m);
    out += WriteText(p.src, "src", m);
    if (p.Link.filled) {
        out += WriteLink(p.Link, 0);
    }
    out += WriteText(p.sym, "sym", m);
    out += WriteText(p.wtype, "type", m);
    out += WriteText(p.fix, "fix", m);
    out += WriteInt(p.sat, "sat", 255, m);
    out += WriteDouble(p.hdop, "hdop", -1, m);
    out += WriteDouble(p.vdop, "vdop", -1, m);
    out += WriteDouble(p.pdop, "pdop", -1, m);
    out += WriteDouble(p.ageofdgpsdata, "ageofdgpsdata", -1, m);
    out += WriteInt(p.dgpsid, "dgpsid", -1, m);
    out += WriteText(p.extensions, "extensions", m, true);
    out += Indent(n) + "</" + std::string(tag) + ">" + lineBreak_;
    return out;
}

std::string TGPXFile::WriteLineExtensions(const TGPX_StyleLine& style,
                                          const std::string& extensions) const {
    const bool colored = !style.IsDefaultColor();
    const bool translucent = std::fabs(style.Opacity()) < 1;
    const bool withStyle = (colored || translucent) && GPXOptions.GPX_Style;
    if (!withStyle && extensions.empty()) {
        return {};
    }
    std::string out = Indent(1) + "<extensions>" + lineBreak_;
    if (withStyle) {
        out += Indent(2) + "<line xmlns=\"" + kLineStyleNamespace + "\">" + lineBreak_;
        if (colored) {
            out += WriteText(style.ColorStr(), "color", 3);
        }
        if (translucent) {
            out += WriteText(style.OpacityStr(), "opacity", 3);
        }
        out += Indent(2) + "</line>" + lineBreak_;
    }
    if (!extensions.empty()) {
        out += extensions + lineBreak_;
    }
    out += Indent(1) + "</extensions>" + lineBreak_;
    return out;
}

std::string TGPXFile::WriteRoute(const TGPXrte& route) const {
    std::string out = "<rte>" + lineBreak_;
    out += WriteText(route.name, "name", 1);
    out += WriteText(route.cmt, "cmt", 1);
    out += WriteText(route.desc, "desc", 1);
    out += WriteText(route.src, "src", 1);
    if (route.Link.filled) {
        out += WriteLink(route.Link, 0);
    }
    out += WriteInt(route.number, "number", -1, 1);
    out += WriteText(route.rtype, "type", 1);
    out += WriteLineExtensions(route.LineStyle, route.extensions);
    for (int i = 0; i < route.Count(); ++i) {
        out += WriteWaypoint(route.rtept(i), "rtept", 1);
    }
    out += "</rte>" + lineBreak_;
    return out;
}

std::string TGPXFile::WriteTrack(const TGPXtrk& track) const {
    std::string out = "<trk>" + lineBreak_;
    out += WriteText(track.name, "name", 1);
    out += WriteText(track.cmt, "cmt", 1);
    out += WriteText(track.desc, "desc", 1);
    out += WriteText(track.src, "src", 1);
    if (track.Link.filled) {
        out += WriteLink(track.Link, 0);
    }
    out += WriteInt(track.number, "number", -1, 1);
    out += WriteText(track.ttype, "type", 1);
    out += WriteLineExtensions(track.LineStyle, track.extensions);
    for (int s = 0; s < track.Count(); ++s) {
        const TGPXtrkseg& segment = track.trkseg(s);
        out += Indent(1) + "<trkseg>" + lineBreak_;
        for (int i = 0; i < segment.Count(); ++i) {
            out += WriteWaypoint(segment.trkpt(i), "trkpt", 2);
        }
        out += WriteText(segment.extensions, "extensions", 1, true);
        out += Indent(1) + "</trkseg>" + lineBreak_;
    }
    out += "</trk>" + lineBreak_;
    return out;
}

std::string TGPXFile::WriteMetadata(const TGPXmetadata& m) const {
    std::string out = "<metadata>" + lineBreak_;
    out += WriteText(m.name, "name", 1);
    out += WriteText(m.desc, "desc", 1);
    if (m.author.filled) {
        out += "\t<author>" + lineBreak_;
        out += WriteText(m.author.name, "name", 2);
        if (m.author.email.filled) {
            out += "\t" + Indent(1) + "<email id=\"" + XMLiseAttribute(m.author.email.id) +
                   "\" domain=\"" + XMLiseAttribute(m.author.email.domain) + "\"/>" + lineBreak_;
        }
        if (m.author.Link.filled) {
            out += WriteLink(m.author.Link, 2);
        }
        out += "</author>" + lineBreak_;
    }
    if (m.Copyright.filled) {
        out += "\t<copyright";
        if (!m.Copyright.author.empty()) {
            out += " author=\"" + XMLiseAttribute(m.Copyright.author) + "\"";
        }
        out += ">" + lineBreak_;
        out += WriteInt(m.Copyright.year, "year", -1, 2);
        out += WriteText(m.Copyright.license, "license", 2);
        out += "\t</copyright>" + lineBreak_;
    }
    if (m.Link.filled) {
        out += WriteLink(m.Link, 1);
    }
    out += WriteTime(m.mtime, "time", 0, 1);
    out += WriteText(m.keywords, "keywords", 1);
    if (m.Bounds.filled) {
        out += "\t<bounds minlat=\"" + Decimal(m.Bounds.minlat) + "\" minlon=\"" +
               Decimal(m.Bounds.minlon) + "\" maxlat=\"" + Decimal(m.Bounds.maxlat) +
               "\" maxlon=\"" + Decimal(m.Bounds.maxlon) + "\" />" + lineBreak_;
    }
    out += WriteText(m.extensions, "extensions", 1, true);
    out += "</metadata>" + lineBreak_;
    return out;
}

std::string TGPXFile::RootAttributes() const {
    std::string attributes;
    if (!GPXd->xmlns.empty() && GPXOptions.PreserveXMLNS) {
        attributes = GPXd->xmlns;
    } else {
        attributes = std::string("xmlns=\"") + kGpxNamespace + "\" xmlns:xsi=\"" + kSchemaInstance +
                     "\" xsi:schemaLocation=\"" + kGpxNamespace + " " + kGpxSchema + "\"";
    }
    // Kept extensions name their elements with the prefixes of the source file: declare those
    // that the root does not declare yet, with the namespaces read from the source file.
    std::set<std::string> prefixes;
    CollectDocumentPrefixes(*GPXd, prefixes);
    for (const std::string& prefix : prefixes) {
        if (!FindDeclaration(" " + attributes, prefix).empty()) {
            continue;
        }
        const std::string declaration = FindDeclaration(" " + GPXd->xmlns, prefix);
        if (!declaration.empty()) {
            attributes += " " + declaration;
        }
    }
    return attributes;
}

std::string TGPXFile::ExportGPXWPTList(const TGPXwptList& wayptList) const {
    std::string out;
    for (int i = 0; i < wayptList.Count(); ++i) {
        out += WriteWaypoint(wayptList.WayPoints(i), "wpt", 0);
    }
    return out;
}

std::string TGPXFile::ExportGPXRTEList(const TGPXrteList& routeList) const {
    std::string out;
    for (int i = 0; i < routeList.Count(); ++i) {
        out += WriteRoute(routeList.Routes(i));
    }
    return out;
}

std::string TGPXFile::ExportGPXTRKList(const TGPXtrkList& trackList) const {
    std::string out;
    for (int i = 0; i < trackList.Count(); ++i) {
        out += WriteTrack(trackList.Tracks(i));
    }
    return out;
}

void TGPXFile::ExportGPX(const std::filesystem::path& fileName) {
    if (GPXd == nullptr) {
        throw EFileError("no document to write");
    }
    if (GPXOptions.Compress) {
        SetLayout("", "");
    } else {
        SetLayout("\n", "\t");
    }
    std::string head = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>" + lineBreak_ +
                       "<gpx version=\"1.1\" creator=\"" + XMLiseAttribute(GPXd->creator) + "\" " +
                       RootAttributes();
    std::string out(TrimWhite(head));
    out += ">" + lineBreak_;
    if (GPXd->Metadata.filled) {
        GPXd->ComputeMetaBounds();
        out += WriteMetadata(GPXd->Metadata);
    }
    if (!GPXd->wpt.Empty()) {
        out += ExportGPXWPTList(GPXd->wpt) + lineBreak_;
    }
    if (!GPXd->rte.Empty()) {
        out += ExportGPXRTEList(GPXd->rte) + lineBreak_;
    }
    if (!GPXd->trk.Empty()) {
        out += ExportGPXTRKList(GPXd->trk) + lineBreak_;
    }
    const std::string_view extension = TrimWhite(GPXd->extension.text);
    if (!extension.empty()) {
        out += WriteText(extension, "extensions", 1, true);
    }
    out += "</gpx>";
    std::string error;
    if (!engine::WriteFileAtomic(fileName, out, &error)) {
        throw EFileError("cannot write " + fileName.string() + ": " + error);
    }
    Modified = false;
}

}  // namespace geodata
