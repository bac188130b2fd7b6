#pragma once
// Google encoded polylines of test points (latitude first in each pair, 1e-5 steps), the form
// in which the program hands areas to the map pages.
#include <QString>
#include <cmath>
#include <string>
#include <vector>

#include "engine/core/core_types.h"

namespace testmainwindow {

inline QString EncodedPolyline(const std::vector<engine::TGLatLng>& points) {
    std::string out;
    const auto value = [&out](long v) {
        unsigned long u =
            v < 0 ? ~(static_cast<unsigned long>(v) << 1) : static_cast<unsigned long>(v) << 1;
        while (u >= 0x20) {
            out += static_cast<char>((0x20 | (u & 0x1f)) + 63);
            u >>= 5;
        }
        out += static_cast<char>(u + 63);
    };
    long lat = 0;
    long lng = 0;
    for (const auto& p : points) {
        const long la = std::lround(p.lat * 1e5);
        const long ln = std::lround(p.lng * 1e5);
        value(la - lat);
        value(ln - lng);
        lat = la;
        lng = ln;
    }
    return QString::fromStdString(out);
}

}  // namespace testmainwindow
