#pragma once
// The text files that travel with the raster output: world file, Chinese information text and
// GDAL auxiliary file of a stitched image, and the two configuration files of an ArcGIS
// exploded tile cache. Geometry is Web Mercator (EPSG:3857) on the tile grid; images stitched
// on the equirectangular grid of the TianDiTu provincial service get geographic side files
// (EPSG:4326), so that they are not mislocated. Images made of Baidu tiles take their corners
// from the Baidu projection, in Web Mercator like the others. Numbers always use ".".
#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "engine/core/core_types.h"

namespace raster {

// Baidu tiles (layers 45 to 47) are numbered by the Baidu projection, rows growing northwards.
enum class TileGrid { WebMercator, Geographic, Baidu };

// A tile range at one level and its outer edges.
struct LevelExtent {
    engine::TTileBound range;  // MinCol..MaxCol, MinRow..MaxRow
    std::int64_t width = 0;    // pixels
    std::int64_t height = 0;
    double west = 0, east = 0, north = 0, south = 0;  // the map's own degrees of the edges
    double xw = 0, xe = 0, yn = 0, ys = 0;            // the same edges in Web Mercator metres
    TileGrid grid = TileGrid::WebMercator;
};

// The range of the tiles that cover an area box at one level, unclamped, and its edges.
LevelExtent ComputeLevelExtent(const engine::TGLatLngBounds& bounds, int zoom, int tileSize,
                               TileGrid grid = TileGrid::WebMercator);
// The edges of a given range at level `zoom`.
LevelExtent LevelExtentOf(const engine::TTileBound& range, int zoom, int tileSize,
                          TileGrid grid = TileGrid::WebMercator);
// The range with each end clamped to the grid's first and last tile of level `zoom`: beyond
// the poles and the date line there are no tiles. Baidu ranges are returned as they are (the
// projection wraps and clamps every position, and its columns and rows may be negative).
engine::TTileBound ClampToGrid(engine::TTileBound range, int zoom, TileGrid grid);

// Raster order: west edge, pixel width, 0, north edge, 0, pixel height (negative); degrees on
// the geographic grid, Web Mercator metres on the others.
std::array<double, 6> GeoTransformOf(const LevelExtent& extent);

// "%.12f" with a point.
std::string FormatFloat12(double value);

// The projection text of the GDAL auxiliary file ("&quot;" for the quotes).
extern const std::string_view kAuxWebMercatorSrs;
extern const std::string_view kAuxGeographicSrs;

// Writes the world file (plain ASCII), the information text and, for all but GeoTIFF, the
// auxiliary file of an image that holds exactly the tiles of `extent`, each atomically. Call it
// after the image is closed, so that the raster library cannot overwrite them. Returns false
// with `error` set when a file cannot be written; `geoTransform` is set in every case.
bool WriteGeoreferenceFiles(const std::filesystem::path& imageFile, const LevelExtent& extent,
                            engine::TImgType imgType, std::array<double, 6>& geoTransform,
                            std::string* error = nullptr);

// Writes "conf.cdi" and "conf.xml" into `cacheDir` for the levels set in `zoomLevels`; the
// envelope is the area's snapped extent at the highest of them.
bool WriteArcGISCacheConfig(const std::filesystem::path& cacheDir,
                            const engine::TGLatLngBounds& bounds,
                            const engine::TZoomLevelArray& zoomLevels, engine::TImgType imgType,
                            int tileSize, std::string* error = nullptr);

}  // namespace raster
