#pragma once
// The Baidu layers' own projection: BD-09 longitude/latitude to Baidu Mercator metres (a
// banded polynomial fit, not a true Mercator) and metres to Baidu tile numbers, whose origin
// is at (0, 0) metres with rows counted northward. At zoom 18 one pixel is one metre.
// The Baidu map page carries a script port of the same maths; both pass one table of cases.
#include <cstdint>
#include <optional>

#include "engine/core/core_types.h"

namespace engine {

// Baidu Mercator metres: x eastward, y northward.
struct BaiduMercator {
    double x = 0;
    double y = 0;
};

// Latitude is clamped to [-74, 74] and longitude wrapped into [-180, 180], as the provider
// does. Non-finite input gives nothing.
std::optional<BaiduMercator> BaiduLatLngToMercator(double lng, double lat);
// The inverse fit; non-finite input gives nothing.
std::optional<TGLatLng> BaiduMercatorToLatLng(double x, double y);

// Tile of a point on a Baidu layer at zoom 0 to 21: pixels = floor(metres * 2^(zoom - 18)),
// tile = floor(pixels / 256). Returns false and leaves x and y unchanged when the point or the
// zoom cannot be converted, so a failure is never mistaken for tile (0, 0).
bool BaiduLatLngToTile(int zoom, std::int32_t& x, std::int32_t& y, double lng, double lat);

// The corner of a Baidu tile with the smallest x and the largest y (its north-west corner on
// the ground, rows growing northward), in BD-09. Nothing for a zoom outside 0 to 21.
std::optional<TGLatLng> BaiduTileToLatLng(std::int64_t x, std::int64_t y, int zoom);

}  // namespace engine
