#include "raster/combine/area_mask.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <utility>

namespace raster {

std::vector<TilePointF> FractionalTileCoordinates(const std::vector<engine::TGLatLng>& points,
                                                  int zoom, TileGrid grid) {
    const double n = std::ldexp(1.0, zoom);
    std::vector<TilePointF> result;
    result.reserve(points.size());
    for (const auto& p : points) {
        TilePointF t;
        if (grid == TileGrid::Geographic) {
            const double step = 360.0 / n;
            t.x = (p.lng + 180) / step;
            t.y = (90 - p.lat) / step;
        } else {
            const double lat = std::clamp(p.lat, -85.0511287798066, 85.0511287798066);
            const double r = lat * std::numbers::pi / 180;
            t.x = (p.lng + 180) / 360 * n;
            t.y = (1 - std::asinh(std::tan(r)) / std::numbers::pi) / 2 * n;
        }
        result.push_back(t);
    }
    return result;
}

AreaMask::AreaMask(std::vector<TilePointF> polygon) : polygon_(std::move(polygon)) {}

void AreaMask::Row(std::int64_t row, std::int64_t minCol, std::int64_t maxCol,
                   std::vector<char>& keep) const {
    keep.assign(static_cast<std::size_t>(std::max<std::int64_t>(0, maxCol - minCol + 1)), 0);
    const std::size_t n = polygon_.size();
    if (n < 3 || keep.empty()) {
        return;
    }
    const auto mark = [&](double x0, double x1) {
        if (x1 < x0) {
            std::swap(x0, x1);
        }
        const double first = std::max(std::floor(x0), static_cast<double>(minCol));
        const double last = std::min(std::floor(x1), static_cast<double>(maxCol));
        for (auto c = static_cast<std::int64_t>(first); c <= static_cast<std::int64_t>(last); ++c) {
            keep[static_cast<std::size_t>(c - minCol)] = 1;
        }
    };
    const double top = static_cast<double>(row);
    const double bottom = top + 1;
    const double middle = top + 0.5;
    std::vector<double> crossings;
    for (std::size_t i = 0; i < n; ++i) {
        const TilePointF& a = polygon_[i];
        const TilePointF& b = polygon_[(i + 1) % n];
        // The part of the edge inside the row's band: every tile it passes meets the boundary.
        if (a.y == b.y) {
            if (a.y >= top && a.y <= bottom) {
                mark(a.x, b.x);
            }
        } else {
            double t0 = (top - a.y) / (b.y - a.y);
            double t1 = (bottom - a.y) / (b.y - a.y);
            if (t0 > t1) {
                std::swap(t0, t1);
            }
            t0 = std::max(t0, 0.0);
            t1 = std::min(t1, 1.0);
            if (t0 <= t1) {
                mark(a.x + (b.x - a.x) * t0, a.x + (b.x - a.x) * t1);
            }
            // Crossings of the band's middle line, for the tiles wholly inside the area.
            if ((a.y <= middle && middle < b.y) || (b.y <= middle && middle < a.y)) {
                crossings.push_back(a.x + (b.x - a.x) * (middle - a.y) / (b.y - a.y));
            }
        }
    }
    std::sort(crossings.begin(), crossings.end());
    for (std::size_t i = 0; i + 1 < crossings.size(); i += 2) {
        mark(crossings[i], crossings[i + 1]);
    }
}

}  // namespace raster
