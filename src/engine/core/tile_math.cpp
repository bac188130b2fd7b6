#include "engine/core/tile_math.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>

#include "engine/core/number_format.h"

namespace engine {
namespace {

constexpr long double kPi = 3.141592653589793238462643383279502884L;

// 2^zoom as a 32-bit float: exact for every zoom in use, and the form the tile numbers of
// stored tasks were computed with.
float PowerOfTwo(int zoom) {
    return std::ldexp(1.0f, zoom);
}

// Truncation toward zero into 32 bits. Positions far outside the grid (latitudes at or beyond
// the poles) have no row; they saturate instead of overflowing.
std::int32_t TruncateToInt32(long double value) {
    if (std::isnan(value)) {
        return 0;
    }
    constexpr long double kMin = std::numeric_limits<std::int32_t>::min();
    constexpr long double kMax = std::numeric_limits<std::int32_t>::max();
    if (value <= kMin) {
        return std::numeric_limits<std::int32_t>::min();
    }
    if (value >= kMax) {
        return std::numeric_limits<std::int32_t>::max();
    }
    return static_cast<std::int32_t>(std::trunc(value));
}

}  // namespace

void LatLngToTileXY(int zoom, double lat, double lng, std::int32_t& x, std::int32_t& y) {
    // The radian is held in single precision: tiles at exact boundaries follow it.
    const float r = static_cast<float>(static_cast<long double>(lat) * kPi / 180);
    const long double n = PowerOfTwo(zoom);
    x = TruncateToInt32((static_cast<long double>(lng) + 180) / 360 * n);
    const long double rl = r;
    const long double row = (1 - std::log(1 / std::cos(rl) + std::tan(rl)) / kPi) / 2 * n;
    if (std::isnan(row)) {
        // At or beyond a pole the logarithm has no value: north of the grid or south of it.
        y = lat > 0 ? std::numeric_limits<std::int32_t>::min()
                    : std::numeric_limits<std::int32_t>::max();
        return;
    }
    y = TruncateToInt32(row);
}

void LatLngToTileXYGeo(int zoom, double lat, double lng, std::int32_t& x, std::int32_t& y) {
    const long double columns = PowerOfTwo(zoom);
    const long double rows = PowerOfTwo(zoom - 1);
    x = TruncateToInt32(columns * (static_cast<long double>(lng) + 180) / 360);
    y = TruncateToInt32(rows * (90 - static_cast<long double>(lat)) / 180);
}

void TileXYToLatLng(std::int64_t x, std::int64_t y, int zoom, double& lng, double& lat) {
    const long double n = PowerOfTwo(zoom);
    lng = static_cast<double>(static_cast<long double>(x) / n * 360 - 180);
    lat = static_cast<double>(
        std::atan(std::sinh(kPi * (1 - 2 * static_cast<long double>(y) / n))) * 180 / kPi);
}

bool ClampToTileGrid(TTileBound& range, int zoom, bool geographicGrid) {
    const std::int64_t columns = std::int64_t{1} << std::clamp(zoom, 0, 30);
    const std::int64_t rows = geographicGrid ? std::max<std::int64_t>(columns / 2, 1) : columns;
    const bool onGrid = range.MinCol <= range.MaxCol && range.MinRow <= range.MaxRow &&
                        range.MaxCol >= 0 && range.MinCol < columns && range.MaxRow >= 0 &&
                        range.MinRow < rows;
    const auto clamp = [](std::int32_t v, std::int64_t count) {
        return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, 0, count - 1));
    };
    range.MinCol = clamp(range.MinCol, columns);
    range.MaxCol = clamp(range.MaxCol, columns);
    range.MinRow = clamp(range.MinRow, rows);
    range.MaxRow = clamp(range.MaxRow, rows);
    return onGrid;
}

bool GetLatLngBounds(const std::vector<TGLatLng>& points, TGLatLngBounds& bounds) {
    if (points.size() < 2) {
        return false;
    }
    const auto [minLat, maxLat] = std::minmax_element(
        points.begin(), points.end(), [](const auto& a, const auto& b) { return a.lat < b.lat; });
    const auto [minLng, maxLng] = std::minmax_element(
        points.begin(), points.end(), [](const auto& a, const auto& b) { return a.lng < b.lng; });
    bounds.SouthWest = {minLat->lat, minLng->lng};
    bounds.NorthEast = {maxLat->lat, maxLng->lng};
    return true;
}

bool GetPointsBounds(const std::vector<TPoint>& points, std::int32_t& maxX, std::int32_t& maxY,
                     std::int32_t& minX, std::int32_t& minY) {
    if (points.empty()) {
        return false;
    }
    maxX = minX = points.front().x;
    maxY = minY = points.front().y;
    for (const auto& p : points) {
        maxX = std::max(maxX, p.x);
        minX = std::min(minX, p.x);
        maxY = std::max(maxY, p.y);
        minY = std::min(minY, p.y);
    }
    return true;
}

bool ContainsPoint(const TPoint& point, const std::vector<TPoint>& points) {
    return std::find(points.begin(), points.end(), point) != points.end();
}

double DMSToDegrees(std::int32_t degrees, std::int32_t minutes, double seconds) {
    return degrees + minutes / 60.0 + seconds / 3600.0;
}

void DegreesToDMS(double value, std::int32_t& degrees, std::int32_t& minutes, double& seconds) {
    degrees = TruncateToInt32(value);
    const double minuteValue = (value - degrees) * 60;
    minutes = TruncateToInt32(minuteValue);
    seconds = (minuteValue - minutes) * 60;
}

void DegreesToDMS(double value, int secondDecimals, std::int32_t& degrees, std::int32_t& minutes,
                  double& seconds) {
    DegreesToDMS(value, degrees, minutes, seconds);
    const double scale = std::pow(10.0, secondDecimals);
    seconds = std::round(seconds * scale) / scale;
    // A value just below a whole minute rounds to 60 seconds: carry it so that the text never
    // shows "60.0000" (and likewise 60 minutes into the degrees). The sign follows the value.
    const int sign = value < 0 ? -1 : 1;
    if (std::abs(seconds) >= 60) {
        seconds = 0;
        minutes += sign;
    }
    if (std::abs(minutes) >= 60) {
        minutes = 0;
        degrees += sign;
    }
    if (seconds == 0) {
        seconds = 0;  // no "-0.0000"
    }
}

TImgType DetectImgType(std::string_view body) {
    if (body.size() < 2) {
        return TImgType::itError;
    }
    const auto b0 = static_cast<unsigned char>(body[0]);
    const auto b1 = static_cast<unsigned char>(body[1]);
    if (b0 == 0x42 && b1 == 0x4D) {
        return TImgType::itBMP;
    }
    if (b0 == 0xFF && b1 == 0xD8) {
        return TImgType::itJPG;
    }
    if (b0 == 0x89 && b1 == 0x50) {
        return TImgType::itPNG;
    }
    if (b0 == 0x49 && b1 == 0x49) {
        return TImgType::itTIFF;
    }
    return TImgType::itError;
}

std::string FormatByteSize(std::int64_t bytes) {
    struct Unit {
        int shift;
        const char* suffix;
    };
    static constexpr Unit kUnits[] = {{10, "KB"}, {20, "MB"}, {30, "GB"}, {40, "TB"}, {50, "PB"}};
    if (bytes < (std::int64_t{1} << 10)) {
        return FormatInt(bytes) + "B";
    }
    for (const auto& unit : kUnits) {
        if (bytes < (std::int64_t{1} << (unit.shift + 10))) {
            const double scaled = static_cast<double>(bytes) / std::ldexp(1.0, unit.shift);
            return FormatFixed(scaled, 1) + unit.suffix;
        }
    }
    return "big";
}

int RandomIndex(int n) {
    if (n <= 1) {
        return 0;
    }
    // One generator per thread, seeded once: download workers draw concurrently, and a clock
    // re-seed would hand every worker of the same millisecond the same server.
    thread_local std::mt19937 generator{std::random_device{}()};
    return std::uniform_int_distribution<int>(0, n - 1)(generator);
}

}  // namespace engine
