#include "engine/core/datum.h"

#include <algorithm>
#include <cmath>

namespace engine {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kA = 6378245.0;
constexpr double kEe = 0.00669342162296594323;
constexpr double kAOneMinusEe = 6335552.7170004255872;  // kA * (1 - kEe), as stored
constexpr double kXPi = 52.359877559829887336;          // pi * 3000 / 180
constexpr double kMercatorHalfExtent = 20037508.342789;
constexpr double kTolerance = 1e-7;
// Inside China the inverse settles within a handful of steps. Next to the border of the box
// the shifted estimate can leave the box and the estimate then flips between two values for
// ever; the bound ends that, and the best estimate seen is returned.
constexpr int kMaxInverseSteps = 30;

double TransformLat(double x, double y) {
    return -100.0 + 2.0 * x + 3.0 * y + 0.2 * y * y + 0.1 * x * y + 0.2 * std::sqrt(std::abs(x)) +
           (20.0 * std::sin(6.0 * x * kPi) + 20.0 * std::sin(2.0 * x * kPi)) * 2.0 / 3.0 +
           (20.0 * std::sin(y * kPi) + 40.0 * std::sin(y / 3.0 * kPi)) * 2.0 / 3.0 +
           (160.0 * std::sin(y / 12.0 * kPi) + 320.0 * std::sin(y * kPi / 30.0)) * 2.0 / 3.0;
}

double TransformLng(double x, double y) {
    return 300.0 + x + 2.0 * y + 0.1 * x * x + 0.1 * x * y + 0.1 * std::sqrt(std::abs(x)) +
           (20.0 * std::sin(6.0 * x * kPi) + 20.0 * std::sin(2.0 * x * kPi)) * 2.0 / 3.0 +
           (20.0 * std::sin(x * kPi) + 40.0 * std::sin(x / 3.0 * kPi)) * 2.0 / 3.0 +
           (150.0 * std::sin(x / 12.0 * kPi) + 300.0 * std::sin(x / 30.0 * kPi)) * 2.0 / 3.0;
}

// Angle of (x, y) without dividing by a zero x; a zero y counts as positive.
double Angle(double x, double y) {
    if (x > 0) {
        return std::atan(y / x);
    }
    if (x < 0) {
        return std::atan(y / x) + kPi;
    }
    return y < 0 ? -kPi / 2 : kPi / 2;
}

}  // namespace

bool OutOfChina(double lat, double lng) {
    return lng < 72.004 || lng > 137.8347 || lat < 0.8293 || lat > 55.8271;
}

TGLatLng WGS84ToGCJ02(const TGLatLng& position) {
    if (OutOfChina(position.lat, position.lng)) {
        return position;
    }
    const double x = position.lng - 105.0;
    const double y = position.lat - 35.0;
    double dLat = TransformLat(x, y);
    double dLng = TransformLng(x, y);
    const double r = position.lat / 180.0 * kPi;
    double m = std::sin(r);
    m = 1 - kEe * m * m;
    const double s = std::sqrt(m);
    dLat = dLat * 180.0 / (kAOneMinusEe / (m * s) * kPi);
    dLng = dLng * 180.0 / (kA / s * std::cos(r) * kPi);
    return {position.lat + dLat, position.lng + dLng};
}

TGLatLng GCJ02ToWGS84(const TGLatLng& position) {
    TGLatLng estimate = position;
    TGLatLng best = position;
    double bestError = INFINITY;
    for (int step = 0; step < kMaxInverseSteps; ++step) {
        const TGLatLng shifted = WGS84ToGCJ02(estimate);
        const double dLat = position.lat - shifted.lat;
        const double dLng = position.lng - shifted.lng;
        if (std::abs(dLat) < kTolerance && std::abs(dLng) < kTolerance) {
            return estimate;
        }
        const double error = std::max(std::abs(dLat), std::abs(dLng));
        if (error < bestError) {
            bestError = error;
            best = estimate;
        }
        estimate.lat += dLat;
        estimate.lng += dLng;
    }
    return best;
}

void GCJ02ToBD09(double lat, double lng, double& bdLat, double& bdLng) {
    const double x = lng;
    const double y = lat;
    const double z = std::sqrt(x * x + y * y) + 0.00002 * std::sin(y * kXPi);
    const double t = Angle(x, y) + 0.000003 * std::cos(x * kXPi);
    bdLng = z * std::cos(t) + 0.0065;
    bdLat = z * std::sin(t) + 0.006;
}

TGLatLng GCJ02ToBD09LatLng(const TGLatLng& position) {
    TGLatLng result;
    GCJ02ToBD09(position.lat, position.lng, result.lat, result.lng);
    return result;
}

void BD09ToGCJ02(double lat, double lng, double& gcjLat, double& gcjLng) {
    const double x = lng - 0.0065;
    const double y = lat - 0.006;
    const double z = std::sqrt(x * x + y * y) - 0.00002 * std::sin(y * kXPi);
    const double t = Angle(x, y) - 0.000003 * std::cos(x * kXPi);
    gcjLng = z * std::cos(t);
    gcjLat = z * std::sin(t);
}

TGLatLng BD09ToGCJ02LatLng(const TGLatLng& position) {
    TGLatLng result;
    BD09ToGCJ02(position.lat, position.lng, result.lat, result.lng);
    return result;
}

TGLatLng WGS84ToBD09(const TGLatLng& position) {
    return GCJ02ToBD09LatLng(WGS84ToGCJ02(position));
}

TGLatLng BD09ToWGS84(const TGLatLng& position) {
    return GCJ02ToWGS84(BD09ToGCJ02LatLng(position));
}

void LngLatToMercator(double lng, double lat, double& x, double& y) {
    x = lng * kMercatorHalfExtent / 180.0;
    y = std::log(std::tan((90.0 + lat) * kPi / 360.0)) / (kPi / 180.0);
    y = y * kMercatorHalfExtent / 180.0;
}

}  // namespace engine
