#include "geodata/boundary/boundary_store.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <limits>
#include <stdexcept>

#include "engine/core/atomic_file.h"
#include "engine/core/datum.h"
#include "engine/core/number_format.h"
#include "engine/core/text_helpers.h"
#include "engine/core/xml_escape.h"
#include "geodata/polyline/polyline_codec.h"
#include "geodata/text/encoding.h"

namespace geodata {
namespace {

using engine::kUtf8Bom;
using engine::SameText;
using engine::SplitLines;

std::vector<std::string_view> SplitCommas(std::string_view text) {
    return engine::Split(text, ',');
}

// The store's text as UTF-8: by its byte-order mark, else UTF-8 when it is valid UTF-8, else
// the Chinese ANSI code page (GBK) in which older stores were written.
std::optional<std::string> DecodeStoreText(std::string_view bytes) {
    if (bytes.starts_with(kUtf8Bom)) {
        return std::string(bytes.substr(kUtf8Bom.size()));
    }
    if (bytes.starts_with("\xFF\xFE")) {
        return Utf16ToUtf8(bytes.substr(2), false);
    }
    if (bytes.starts_with("\xFE\xFF")) {
        return Utf16ToUtf8(bytes.substr(2), true);
    }
    if (IsValidUtf8(bytes)) {
        return std::string(bytes);
    }
    return GbkToUtf8(bytes);
}

double NumberOrZero(std::string_view field) {
    return engine::ParseFloat(field).value_or(0);
}

// Drops positions with a 0 and turns two positions into the corners of their rectangle.
std::vector<engine::TGLatLng> AreaPoints(const std::vector<engine::TGLatLng>& points) {
    std::vector<engine::TGLatLng> kept;
    for (const auto& p : points) {
        if (p.lat != 0 && p.lng != 0) {
            kept.push_back(p);
        }
    }
    if (kept.size() == 2) {
        const auto p1 = kept[0];
        const auto p2 = kept[1];
        kept = {{p1.lat, p1.lng}, {p2.lat, p1.lng}, {p2.lat, p2.lng}, {p1.lat, p2.lng}};
    }
    return kept;
}

std::int32_t MetresToInt(double metres) {
    if (std::isnan(metres)) {
        return 0;
    }
    // Latitudes at the poles map to (near) infinity; keep them at the edge of the range.
    constexpr double kMax = std::numeric_limits<std::int32_t>::max();
    constexpr double kMin = std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(std::trunc(std::clamp(metres, kMin, kMax)));
}

void WriteOrThrow(const std::filesystem::path& file, const std::string& bytes) {
    std::string error;
    if (!engine::WriteFileAtomic(file, bytes, &error)) {
        throw std::runtime_error(error.empty() ? "cannot write " + file.string() : error);
    }
}

std::vector<engine::TGLatLng> Converted(std::string_view value, engine::TCoordType coordType) {
    auto points = TBoundary::StrToArray(value);
    for (auto& p : points) {
        p = ConvertFromGcj02(p, coordType);
    }
    return points;
}

}  // namespace

engine::TGLatLng ConvertFromGcj02(const engine::TGLatLng& gcj, engine::TCoordType coordType) {
    switch (coordType) {
        case engine::TCoordType::ctGPS:
            return engine::GCJ02ToWGS84(gcj);
        case engine::TCoordType::ctBaidu:
            return engine::GCJ02ToBD09LatLng(gcj);
        case engine::TCoordType::ctGoogle:
            return gcj;
    }
    return gcj;
}

TBoundary::TBoundary(std::filesystem::path userFile, std::filesystem::path seedFile)
    : fileName_(std::move(userFile)) {
    Load(seedFile);
}

void TBoundary::Load(const std::filesystem::path& seedFile) {
    std::error_code ec;
    std::string bytes;
    if (!std::filesystem::exists(fileName_, ec)) {
        if (seedFile.empty() || !std::filesystem::exists(seedFile, ec)) {
            return;
        }
        if (!engine::ReadFileBytes(seedFile, bytes)) {
            loadError_ = "cannot read " + seedFile.string();
            return;
        }
        // A failed copy still leaves the seed's outlines in memory; the first Save then
        // creates the user's copy.
        engine::WriteFileAtomic(fileName_, bytes);
    } else if (!engine::ReadFileBytes(fileName_, bytes)) {
        loadError_ = "cannot read " + fileName_.string();
        return;
    }
    const auto text = DecodeStoreText(bytes);
    if (!text) {
        loadError_ = "the boundary store " + fileName_.string() + " is not a readable text file";
        return;
    }
    lines_ = SplitLines(*text);
}

std::optional<std::size_t> TBoundary::IndexOfName(std::string_view name) const {
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const auto eq = lines_[i].find('=');
        if (eq != std::string::npos && SameText(std::string_view(lines_[i]).substr(0, eq), name)) {
            return i;
        }
    }
    return std::nullopt;
}

std::string TBoundary::GetLatLngs(std::string_view name) const {
    const auto index = IndexOfName(name);
    if (!index) {
        return {};
    }
    return lines_[*index].substr(lines_[*index].find('=') + 1);
}

void TBoundary::Save(std::string_view name, std::string_view value) {
    if (name.empty() || value.empty() || name.find_first_of("=\r\n") != std::string_view::npos ||
        value.find_first_of("\r\n") != std::string_view::npos) {
        throw std::invalid_argument("not a boundary name and outline that the store can hold");
    }
    if (!loadError_.empty()) {
        throw std::runtime_error(loadError_);
    }
    auto lines = lines_;
    const std::string line = std::string(name) + "=" + std::string(value);
    if (const auto index = IndexOfName(name)) {
        lines[*index] = line;
    } else {
        lines.push_back(line);
    }
    std::string bytes(kUtf8Bom);
    for (const auto& l : lines) {
        bytes += l;
        bytes += "\r\n";
    }
    WriteOrThrow(fileName_, bytes);
    lines_ = std::move(lines);
}

std::vector<engine::TGLatLng> TBoundary::GetLatLngArray(std::string_view name) const {
    return OutlineArray(GetLatLngs(name));
}

std::vector<engine::TGLatLng> TBoundary::OutlineArray(std::string_view value) {
    if (value.find(',') != std::string_view::npos) {
        return StrToArray(value);  // a plain coordinate text
    }
    std::vector<engine::TGLatLng> points;
    TGPolyLine::DecodePoints(PlainEncodedText(value), points);
    return AreaPoints(points);
}

std::string TBoundary::EncodePath(std::string_view s) {
    return TGPolyLine(0.00001).EncodePointsEx(s);
}

bool TBoundary::IsRectangle(std::string_view value) {
    return !value.empty() && SplitCommas(value).size() == 4;
}

std::vector<engine::TGLatLng> TBoundary::StrToArray(std::string_view value) {
    if (value.empty()) {
        return {};
    }
    const auto fields = SplitCommas(value);
    std::vector<engine::TGLatLng> points;
    for (std::size_t i = 0; i + 1 < fields.size(); i += 2) {
        points.push_back({NumberOrZero(fields[i + 1]), NumberOrZero(fields[i])});
    }
    return AreaPoints(points);
}

std::optional<engine::TGLatLng> TBoundary::StrToLatLng(std::string_view value) {
    if (value.find(',') == std::string_view::npos) {
        return std::nullopt;
    }
    const auto fields = SplitCommas(value);
    const engine::TGLatLng position{NumberOrZero(fields[0]), NumberOrZero(fields[1])};
    if (position.lat == 0 || position.lng == 0) {
        return std::nullopt;
    }
    return position;
}

std::string TBoundary::LatLngArrayToStr(const std::vector<engine::TGLatLng>& points) {
    std::string text;
    for (const auto& p : points) {
        if (!text.empty()) {
            text += ',';
        }
        text += engine::FormatFixed(p.lng, 5) + "," + engine::FormatFixed(p.lat, 5);
    }
    return text;
}

std::vector<engine::TPoint> TBoundary::LatLngsToMercators(
    const std::vector<engine::TGLatLng>& points) {
    std::vector<engine::TPoint> result;
    result.reserve(points.size());
    for (const auto& p : points) {
        double x = 0;
        double y = 0;
        engine::LngLatToMercator(p.lng, p.lat, x, y);
        result.push_back({MetresToInt(x), MetresToInt(y)});
    }
    return result;
}

bool TBoundary::GetBounds(std::string_view value, double& maxX, double& minX, double& maxY,
                          double& minY) {
    const auto points = StrToArray(value);
    if (points.empty()) {
        return false;
    }
    maxX = minX = points[0].lng;
    maxY = minY = points[0].lat;
    for (const auto& p : points) {
        maxX = std::max(maxX, p.lng);
        minX = std::min(minX, p.lng);
        maxY = std::max(maxY, p.lat);
        minY = std::min(minY, p.lat);
    }
    return true;
}

engine::TGLatLngBounds TBoundary::GetBounds(std::string_view value,
                                            const engine::TGLatLngBounds& initial) {
    if (StrToArray(value).size() < 3) {
        return initial;
    }
    engine::TGLatLngBounds bounds;
    GetBounds(value, bounds.NorthEast.lng, bounds.SouthWest.lng, bounds.NorthEast.lat,
              bounds.SouthWest.lat);
    return bounds;
}

std::string TBoundary::KmlText(std::string_view value, const std::string& name,
                               engine::TCoordType coordType) {
    std::string coordinates;
    for (const auto& p : Converted(value, coordType)) {
        coordinates += coordinates.empty() ? "\t\t\t\t" : " ";
        coordinates += engine::FormatFixed(p.lng, 6) + "," + engine::FormatFixed(p.lat, 6);
    }
    const std::vector<std::string> lines = {
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>",
        "<kml xmlns=\"http://www.opengis.net/kml/2.2\" "
        "xmlns:gx=\"http://www.google.com/kml/ext/2.2\" "
        "xmlns:kml=\"http://www.opengis.net/kml/2.2\" xmlns:atom=\"http://www.w3.org/2005/Atom\">",
        "<Document>",
        "\t<Placemark>",
        "\t<name>" + engine::EscapeXmlText(name) + "</name>",
        "\t<description>由 Vantorel 导出的边界线</description>",
        "\t<Style><LineStyle><color>ff0000FF</color><width>3</width></LineStyle></Style>",
        "\t\t<LineString>",
        "\t\t\t<coordinates>",
        coordinates,
        "\t\t\t</coordinates>",
        "\t\t</LineString>",
        "\t</Placemark>",
        "</Document>",
        "</kml>",
    };
    std::string text(kUtf8Bom);
    for (const auto& line : lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

std::string TBoundary::GeoJsonText(std::string_view s, engine::TCoordType coordType) {
    const auto points = Converted(s, coordType);
    auto position = [](const engine::TGLatLng& p) {
        return "[" + engine::FormatFixed(p.lng, 5) + "," + engine::FormatFixed(p.lat, 5) + "]";
    };
    std::string text = "{\"type\": \"MultiPolygon\",\"coordinates\": [[[";
    for (std::size_t i = 0; i < points.size(); ++i) {
        if (i > 0) {
            text += ',';
        }
        text += position(points[i]);
    }
    if (!points.empty()) {
        text += "," + position(points.front());
    }
    text += "]]]}\r\n";
    return text;
}

void TBoundary::SaveToFile(std::string_view value, const std::filesystem::path& fileName,
                           engine::TCoordType coordType) {
    WriteOrThrow(fileName, KmlText(value, fileName.filename().string(), coordType));
}

void TBoundary::DumpGeoJSON(std::string_view s, const std::filesystem::path& fileName,
                            engine::TCoordType coordType) {
    WriteOrThrow(fileName, GeoJsonText(s, coordType));
}

}  // namespace geodata
