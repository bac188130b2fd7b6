#include "same_area.h"

#include <cmath>
#include <cstddef>

namespace app {

namespace {

bool Near(const engine::TGLatLng& p, const engine::TGLatLng& q) {
    constexpr double kTolerance = 2e-5;
    return std::abs(p.lat - q.lat) <= kTolerance && std::abs(p.lng - q.lng) <= kTolerance;
}

}  // namespace

bool SameArea(const std::vector<engine::TGLatLng>& a, const std::vector<engine::TGLatLng>& b) {
    const std::size_t n = a.size();
    if (n == 0 || b.size() != n) {
        return false;
    }
    for (std::size_t start = 0; start < n; ++start) {
        if (!Near(a[0], b[start])) {
            continue;
        }
        for (const bool forward : {true, false}) {
            std::size_t i = 1;
            while (i < n && Near(a[i], b[forward ? (start + i) % n : (start + n - i) % n])) {
                ++i;
            }
            if (i == n) {
                return true;
            }
        }
    }
    return false;
}

}  // namespace app
