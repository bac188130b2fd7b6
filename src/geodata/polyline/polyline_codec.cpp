#include "geodata/polyline/polyline_codec.h"

#include <cmath>
#include <stdexcept>
#include <utility>

#include "engine/core/number_format.h"
#include "engine/core/text_helpers.h"

namespace geodata {
namespace {

using engine::Split;

double ReadNumber(std::string_view field) {
    const auto value = engine::ParseFloat(field);
    if (!value) {
        throw std::invalid_argument("'" + std::string(field) +
                                    "' is not a valid floating point value");
    }
    return *value;
}

bool IsBlank(std::string_view text) {
    return text.find_first_not_of(" \t\r\n") == std::string_view::npos;
}

// Ties go to the even neighbour, as the stored outlines were written.
std::int64_t RoundToPolylineUnit(double x) {
    if (!(std::fabs(x) < 9e15)) {
        throw std::invalid_argument("coordinate out of range for an encoded polyline");
    }
    return static_cast<std::int64_t>(engine::RoundHalfEven(x));
}

// Keeps the running sums so that rounding errors never add up along a long line.
class DeltaEncoder {
  public:
    void Add(double lat, double lng) {
        const std::int64_t dLat =
            RoundToPolylineUnit(lat * 100000.0 - static_cast<double>(sumLat_));
        const std::int64_t dLng =
            RoundToPolylineUnit(lng * 100000.0 - static_cast<double>(sumLng_));
        sumLat_ += dLat;
        sumLng_ += dLng;
        TGPolyLine::encodeSignedNumber(dLat, text_);
        TGPolyLine::encodeSignedNumber(dLng, text_);
    }
    std::string StoredText() const { return StoredEncodedText(text_); }

  private:
    std::int64_t sumLat_ = 0;
    std::int64_t sumLng_ = 0;
    std::string text_;
};

// One value of a plain encoded text; false when the text ends inside it.
bool ReadValue(std::string_view text, std::size_t& pos, std::int32_t& delta) {
    std::uint32_t n = 0;
    int shift = 0;
    std::uint8_t c = 0;
    do {
        if (pos >= text.size()) {
            return false;
        }
        c = static_cast<std::uint8_t>(static_cast<std::uint8_t>(text[pos++]) - 63);
        if (shift < 32) {
            n |= static_cast<std::uint32_t>(c & 31) << shift;
        }
        shift += 5;
    } while (c >= 32);
    const std::uint32_t half = n >> 1;
    delta = static_cast<std::int32_t>((n & 1) != 0 ? ~half : half);
    return true;
}

double Distance(double lat1, double lng1, double lat2, double lng2) {
    return std::hypot(lat1 - lat2, lng1 - lng2);
}

}  // namespace

TGPolyLine::TGPolyLine(double vSmall) : verySmall(vSmall) {
    zoomLevelBreaks.resize(numLevels + 1);
    for (int i = 0; i <= numLevels; ++i) {
        zoomLevelBreaks[i] = verySmall * std::pow(static_cast<double>(zoomFactor),
                                                  static_cast<double>(numLevels - i - 1));
    }
}

std::string TGPolyLine::EncodePoints(std::string_view track, bool lngAtFront) const {
    DeltaEncoder encoder;
    for (const auto item : Split(track, ';')) {
        if (IsBlank(item)) {
            continue;
        }
        const auto numbers = Split(item, ',');
        if (numbers.size() != 2) {
            throw std::invalid_argument("'" + std::string(item) + "' is not a coordinate pair");
        }
        const double first = ReadNumber(numbers[0]);
        const double second = ReadNumber(numbers[1]);
        if (lngAtFront) {
            encoder.Add(second, first);
        } else {
            encoder.Add(first, second);
        }
    }
    return encoder.StoredText();
}

std::string TGPolyLine::EncodePointsEx(std::string_view track) const {
    DeltaEncoder encoder;
    if (track.empty()) {
        return {};
    }
    const auto values = Split(track, ',');
    for (std::size_t i = 0; i + 1 < values.size(); i += 2) {
        const double lng = ReadNumber(values[i]);
        const double lat = ReadNumber(values[i + 1]);
        encoder.Add(lat, lng);
    }
    return encoder.StoredText();
}

std::string TGPolyLine::EncodePoints(const std::vector<PolylinePoint>& track) const {
    DeltaEncoder encoder;
    for (std::size_t i = 0; i < track.size(); ++i) {
        if (i == 0 || i + 1 == track.size() || track[i].Level != kLevelLeftOut) {
            encoder.Add(track[i].Latitude, track[i].Longitude);
        }
    }
    return encoder.StoredText();
}

std::string TGPolyLine::EncodeLevels(const std::vector<PolylinePoint>& track) const {
    std::string text;
    for (const auto& point : track) {
        if (point.Level != kLevelLeftOut) {
            encodeNumber(point.Level, text);
        }
    }
    return text;
}

void TGPolyLine::dpEncode(std::vector<PolylinePoint>& track) const {
    if (track.empty()) {
        throw std::out_of_range("dpEncode: the track has no points");
    }
    const std::size_t count = track.size();
    std::vector<double> dists(count, 0.0);
    auto position = [&](std::size_t i) {
        return engine::TGLatLng{track[i].Latitude, track[i].Longitude};
    };
    if (count > 2) {
        std::vector<std::pair<std::size_t, std::size_t>> stack;
        stack.emplace_back(0, count - 1);
        while (!stack.empty()) {
            const auto [a, b] = stack.back();
            stack.pop_back();
            double maxDist = -1;
            std::size_t maxIndex = a;
            for (std::size_t i = a + 1; i <= b; ++i) {
                const double d = distanceToSegment(position(i), position(a), position(b));
                if (d > maxDist) {
                    maxDist = d;
                    maxIndex = i;
                }
            }
            if (maxDist > verySmall) {
                dists[maxIndex] = maxDist;
                stack.emplace_back(a, maxIndex);
                stack.emplace_back(maxIndex, b);
            }
        }
    }
    track.front().Level = static_cast<std::uint8_t>(numLevels - 1);
    for (std::size_t i = 1; i + 1 < count; ++i) {
        track[i].Level = dists[i] > 0
                             ? static_cast<std::uint8_t>(numLevels - computeLevel(dists[i]) + 1)
                             : kLevelLeftOut;
    }
    track.back().Level = static_cast<std::uint8_t>(numLevels - 1);
}

void TGPolyLine::dpSetLevel(std::vector<PolylinePoint>& track, int j, int k) const {
    if (j + 1 >= k) {
        return;
    }
    if (j < 0 || static_cast<std::size_t>(k) >= track.size()) {
        throw std::out_of_range("dpSetLevel: index outside the track");
    }
    // Each range is handled on its own, so an explicit stack gives the same levels as the
    // recursion without its depth on long tracks.
    std::vector<std::pair<int, int>> ranges{{j, k}};
    while (!ranges.empty()) {
        const auto [from, to] = ranges.back();
        ranges.pop_back();
        if (from + 1 >= to) {
            continue;
        }
        const auto& a = track[from];
        const auto& b = track[to];
        const double dx = b.Longitude - a.Longitude;
        const double dy = b.Latitude - a.Latitude;
        const double dz = b.Altitude - a.Altitude;
        const double dd = dx * dx + dy * dy + dz * dz;
        double maxMeasure = -1;
        int m = from + 1;
        for (int i = from + 1; i < to; ++i) {
            const auto& p = track[i];
            const double t = (p.Longitude - a.Longitude) * dx + (p.Latitude - a.Latitude) * dy +
                             (p.Altitude - a.Altitude) * dz;
            double nx = a.Longitude;
            double ny = a.Latitude;
            double nz = a.Altitude;
            if (t > dd) {
                nx = b.Longitude;
                ny = b.Latitude;
                nz = b.Altitude;
            } else if (t > 0) {
                const double f = t / dd;
                nx += f * dx;
                ny += f * dy;
                nz += f * dz;
            }
            const double ex = p.Longitude - nx;
            const double ey = p.Latitude - ny;
            const double ez = p.Altitude - nz;
            const double measure = ex * ex + ey * ey + ez * ez;
            if (measure > maxMeasure) {
                maxMeasure = measure;
                m = i;
            }
        }
        if (numLevels < 2) {
            continue;
        }
        int level = 0;
        for (int l = 1; l < numLevels; ++l) {
            if (maxMeasure > zoomLevelBreaks[l]) {
                level = l;
                break;
            }
        }
        if (level == 0) {
            continue;
        }
        track[m].Level = static_cast<std::uint8_t>(level);
        ranges.emplace_back(m, to);
        ranges.emplace_back(from, m);
    }
}

bool TGPolyLine::DecodePoints(std::string_view encodedPath, std::vector<engine::TGLatLng>& points) {
    points.clear();
    std::size_t pos = 0;
    std::int64_t lat = 0;
    std::int64_t lng = 0;
    while (pos < encodedPath.size()) {
        std::int32_t dLat = 0;
        std::int32_t dLng = 0;
        if (!ReadValue(encodedPath, pos, dLat) || !ReadValue(encodedPath, pos, dLng)) {
            return false;
        }
        lat += dLat;
        lng += dLng;
        points.push_back({static_cast<double>(lat) * 0.00001, static_cast<double>(lng) * 0.00001});
    }
    return true;
}

std::string TGPolyLine::DecodePath(std::string_view encodedPath) const {
    std::vector<engine::TGLatLng> points;
    DecodePoints(encodedPath, points);
    std::string text;
    for (const auto& point : points) {
        if (!text.empty()) {
            text += ';';
        }
        text += engine::FormatFixed(point.lat, 5);
        text += ',';
        text += engine::FormatFixed(point.lng, 5);
    }
    return text;
}

int TGPolyLine::computeLevel(double d) const {
    if (d > verySmall) {
        for (std::size_t i = 0; i < zoomLevelBreaks.size(); ++i) {
            if (d >= zoomLevelBreaks[i]) {
                return static_cast<int>(i);
            }
        }
    }
    return 0;
}

double TGPolyLine::distanceToSegment(const engine::TGLatLng& p, const engine::TGLatLng& a,
                                     const engine::TGLatLng& b) {
    if (a.lat == b.lat && a.lng == b.lng) {
        return Distance(p.lat, p.lng, b.lat, b.lng);
    }
    const double dLat = b.lat - a.lat;
    const double dLng = b.lng - a.lng;
    const double u =
        ((p.lat - a.lat) * dLat + (p.lng - a.lng) * dLng) / (dLat * dLat + dLng * dLng);
    if (u <= 0) {
        return Distance(p.lat, p.lng, a.lat, a.lng);
    }
    if (u >= 1) {
        return Distance(p.lat, p.lng, b.lat, b.lng);
    }
    return Distance(p.lat, p.lng, a.lat + u * dLat, a.lng + u * dLng);
}

void TGPolyLine::encodeNumber(std::uint64_t value, std::string& out) {
    while (value >= 32) {
        out += static_cast<char>((value & 31) + 95);
        value >>= 5;
    }
    out += static_cast<char>(value + 63);
}

void TGPolyLine::encodeSignedNumber(std::int64_t value, std::string& out) {
    std::uint64_t s = static_cast<std::uint64_t>(value) << 1;
    if (value < 0) {
        s = ~s;
    }
    encodeNumber(s, out);
}

std::string PlainEncodedText(std::string_view storedText) {
    std::string plain;
    plain.reserve(storedText.size());
    for (std::size_t i = 0; i < storedText.size(); ++i) {
        plain += storedText[i];
        if (storedText[i] == '\\' && i + 1 < storedText.size() && storedText[i + 1] == '\\') {
            ++i;
        }
    }
    return plain;
}

std::string StoredEncodedText(std::string_view plainText) {
    std::string stored;
    stored.reserve(plainText.size() + 8);
    for (const char c : plainText) {
        stored += c;
        if (c == '\\') {
            stored += '\\';
        }
    }
    return stored;
}

}  // namespace geodata
