#include "geodata/track/track_point.h"

#include <clocale>
#include <cmath>
#include <ctime>
#include <numbers>

#include "engine/core/number_format.h"

namespace geodata {
namespace {

constexpr double kEarthRadius = 6378137.0;  // WGS-84 semi-major axis, metres

std::string DegreesMinutes(double value, const char* positive, const char* negative) {
    const double absolute = std::fabs(value);
    const double whole = std::trunc(absolute);
    return engine::FormatInt(static_cast<std::int64_t>(whole)) + "," +
           engine::FormatFixed((absolute - whole) * 60.0, 5) + "," +
           (value < 0 ? negative : positive);
}

}  // namespace

void TPoint4D2::CopyFrom(const TPoint4D2& point) {
    Latitude = point.Latitude;
    Longitude = point.Longitude;
    Altitude = point.Altitude;
    DateTime = point.DateTime;
}

double TPoint4D2::WGS84Distance(double lon, double lat, bool almostNul) const {
    constexpr double kRad = std::numbers::pi / 180.0;
    const double phi1 = Latitude * kRad;
    const double lambda1 = Longitude * kRad;
    const double phi2 = lat * kRad;
    const double lambda2 = lon * kRad;
    if (lambda1 == lambda2 && phi1 == phi2) {
        return 0;
    }
    const double p = std::sin(phi1) * std::sin(phi2);
    const double q = std::cos(phi1) * std::cos(phi2) * std::cos(lambda2 - lambda1);
    const double s = p + q;
    // nearbyint rounds ties to even under the default rounding mode.
    const double t = almostNul ? std::nearbyint(s * 100000000.0) / 100000000.0 : s;
    if (t >= 1) {
        return 0;
    }
    return std::acos(s) * kEarthRadius;
}

double TPoint4D2::WGS84Distance(const TPoint4D2& point, bool almostNul) const {
    return WGS84Distance(point.Longitude, point.Latitude, almostNul);
}

bool TPoint4D2::IsInBox(double e, double o, double s, double n) const {
    const double south = std::fmin(s, n), north = std::fmax(s, n);
    const double west = std::fmin(e, o), east = std::fmax(e, o);
    return Latitude > south && Latitude < north && Longitude > west && Longitude < east;
}

std::string TPoint4D2::LatitudeStr() const {
    return engine::FormatFixed(std::fabs(Latitude), 6) + "?" + (Latitude < 0 ? "S" : "N");
}

std::string TPoint4D2::LongitudeStr() const {
    return engine::FormatFixed(std::fabs(Longitude), 6) + "?" + (Longitude < 0 ? "W" : "E");
}

std::string TPoint4D2::LatitudeOZStr() const {
    return DegreesMinutes(Latitude, "N", "S");
}
std::string TPoint4D2::LongitudeOZStr() const {
    return DegreesMinutes(Longitude, "E", "W");
}
std::string TPoint4D2::Lat() const {
    return engine::FormatFixed(Latitude, 6);
}
std::string TPoint4D2::Lon() const {
    return engine::FormatFixed(Longitude, 6);
}
std::string TPoint4D2::AltitudeStr() const {
    return engine::FormatFixed(Altitude, 1) + " m";
}
std::string TPoint4D2::Coord() const {
    return LatitudeStr() + ", " + LongitudeStr();
}

std::string TPoint4D2::DateTimeStr() const {
    if (DateTime == 0) {
        return {};
    }
    const DateParts parts = DecodeDateTime(DateTime);
    // The date in the short form of the process locale.
    std::tm tm{};
    tm.tm_year = parts.Year - 1900;
    tm.tm_mon = parts.Month - 1;
    tm.tm_mday = parts.Day;
    char date[64];
    const std::size_t length = std::strftime(date, sizeof date, "%x", &tm);
    std::string text(date, length);
    text +=
        " " + PadInt(parts.Hour, 2) + ":" + PadInt(parts.Minute, 2) + ":" + PadInt(parts.Second, 2);
    if (parts.MilliSecond != 0) {
        text += "." + PadInt(parts.MilliSecond, 3);
    }
    return text;
}

std::unique_ptr<TPoint4D2> PointDifference(const TPoint4D2& a, const TPoint4D2& b) {
    auto result = std::make_unique<TPoint4D2>();
    result->CopyFrom(a);
    result->Longitude = a.Longitude - b.Longitude;
    result->Latitude = a.Latitude - b.Latitude;
    result->Altitude = a.Altitude - b.Altitude;
    return result;
}

double PointDotProduct(const TPoint4D2& a, const TPoint4D2& b) {
    return a.Longitude * b.Longitude + a.Latitude * b.Latitude + a.Altitude * b.Altitude;
}

double PointSquaredNorm(const TPoint4D2& a) {
    return PointDotProduct(a, a);
}

double PointSquaredDistance(const TPoint4D2& a, const TPoint4D2& b) {
    const double dx = a.Longitude - b.Longitude;
    const double dy = a.Latitude - b.Latitude;
    const double dz = a.Altitude - b.Altitude;
    return dx * dx + dy * dy + dz * dz;
}

}  // namespace geodata
