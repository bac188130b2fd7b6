#pragma once
// Positions to tile addresses and back on the Web Mercator and the equirectangular grids,
// bounding boxes of point lists, degrees and DMS, image-type detection, byte-size texts and
// random indices. No state.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/core/core_types.h"

namespace engine {

// Web Mercator grid; truncation toward zero, nothing clamped (single-precision steps).
void LatLngToTileXY(int zoom, double lat, double lng, std::int32_t& x, std::int32_t& y);
// Equirectangular grid of the TianDiTu provincial service.
void LatLngToTileXYGeo(int zoom, double lat, double lng, std::int32_t& x, std::int32_t& y);
// North-west corner of a Web Mercator tile; x + 1 or y + 1 gives the east or south edge.
void TileXYToLatLng(std::int64_t x, std::int64_t y, int zoom, double& lng, double& lat);

// The tiles of `range` that exist on the grid of level `zoom` (2^zoom columns; 2^zoom rows on
// the Web Mercator grid, 2^(zoom-1) and at least one on the equirectangular one): each end is
// clamped to the grid's first and last tile, since beyond the poles and the date line there are
// none. False when no tile of the range is on the grid; the range is then clamped all the same.
bool ClampToTileGrid(TTileBound& range, int zoom, bool geographicGrid);

// Leaves `bounds` unchanged and returns false with fewer than two points.
bool GetLatLngBounds(const std::vector<TGLatLng>& points, TGLatLngBounds& bounds);
// Returns false (and leaves the outputs unchanged) for an empty array.
bool GetPointsBounds(const std::vector<TPoint>& points, std::int32_t& maxX, std::int32_t& maxY,
                     std::int32_t& minX, std::int32_t& minY);
bool ContainsPoint(const TPoint& point, const std::vector<TPoint>& points);

double DMSToDegrees(std::int32_t degrees, std::int32_t minutes, double seconds);
void DegreesToDMS(double value, std::int32_t& degrees, std::int32_t& minutes, double& seconds);
// The same, with the seconds rounded to `secondDecimals` digits as they are shown; a rounding up
// to 60 seconds (or minutes) carries into the minutes (or degrees).
void DegreesToDMS(double value, int secondDecimals, std::int32_t& degrees, std::int32_t& minutes,
                  double& seconds);

// From the first two bytes of a body; fewer than two bytes give itError.
TImgType DetectImgType(std::string_view body);

// "1023B", "1.0KB", ... "big"; always "." as the decimal separator.
std::string FormatByteSize(std::int64_t bytes);

// 0 to n - 1 from a per-thread generator seeded once.
int RandomIndex(int n);

}  // namespace engine
