#pragma once
// The text files that travel with the raster output: world file, Chinese information text and
// GDAL auxiliary file of a stitched image, and the two configuration files of an ArcGIS
// exploded tile cache. Geometry is Web Mercator (EPSG:3857) on the tile grid; images stitched
// on the equirectangular grid of the TianDiTu provincial service get geographic side files
// (EPSG:4326), so that they are not mislocated. Numbers always use ".".
#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "engine/core/core_types.h"

namespace raster {

enum class TileGrid { WebMercator, Geographic };

// The tile range that covers an area box at one level and its outer edges.
struct LevelExtent {
    engine::TTileBound range;  // MinCol..MaxCol, MinRow..MaxRow
    std::int64_t width = 0;    // pixels
    std::int64_t height = 0;
    double west = 0, east = 0, north = 0, south = 0;  // degrees of the snapped edges
    double xw = 0, xe = 0, yn = 0, ys = 0;            // the same edges in Web Mercator metres
};

LevelExtent ComputeLevelExtent(const engine::TGLatLngBounds& bounds, int zoom, int tileSize,
                               TileGrid grid = TileGrid::WebMercator);

// Raster order: west edge, pixel width, 0, north edge, 0, pixel height (negative); metres on
// the Web Mercator grid, degrees on the geographic one.
std::array<double, 6> GeoTransformOf(const LevelExtent& extent,
                                     TileGrid grid = TileGrid::WebMercator);

// "%.12f" with a point.
std::string FormatFloat12(double value);

// The projection text of the GDAL auxiliary file ("&quot;" for the quotes).
extern const std::string_view kAuxWebMercatorSrs;
extern const std::string_view kAuxGeographicSrs;

// Writes the world file (plain ASCII), the information text and, for all but GeoTIFF, the
// auxiliary file of `imageFile`, each atomically. Call it after the image is closed, so that
// the raster library cannot overwrite them. Returns false with `error` set when a file cannot
// be written; `geoTransform` is set in every case.
bool WriteGeoreferenceFiles(const std::filesystem::path& imageFile, int zoom,
                            const engine::TGLatLngBounds& bounds, int tileSize,
                            engine::TImgType imgType, std::array<double, 6>& geoTransform,
                            std::string* error = nullptr, TileGrid grid = TileGrid::WebMercator);

// Writes "conf.cdi" and "conf.xml" into `cacheDir` for the levels set in `zoomLevels`; the
// envelope is the area's snapped extent at the highest of them.
bool WriteArcGISCacheConfig(const std::filesystem::path& cacheDir,
                            const engine::TGLatLngBounds& bounds,
                            const engine::TZoomLevelArray& zoomLevels, engine::TImgType imgType,
                            int tileSize, std::string* error = nullptr);

}  // namespace raster
