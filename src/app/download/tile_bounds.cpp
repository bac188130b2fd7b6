#include "tile_bounds.h"

#include <algorithm>
#include <bit>
#include <limits>

#include "engine/core/baidu_projection.h"
#include "engine/core/catalogue.h"
#include "engine/core/tile_math.h"

namespace app {

using engine::TMapType;

namespace {

// An open-addressing set of tile addresses, cleared per level by a stamp instead of a wipe,
// so that one allocation serves all 22 levels of an outline with many thousands of vertices.
class TileSet {
  public:
    explicit TileSet(std::size_t expected)
        : mask_(std::bit_ceil(std::max<std::size_t>(16, expected * 2)) - 1),
          keys_(mask_ + 1),
          stamps_(mask_ + 1, 0) {}

    void Clear() { ++stamp_; }

    // True when the tile was not in the set yet.
    bool Insert(std::int32_t x, std::int32_t y) {
        const std::uint64_t key =
            (std::uint64_t{static_cast<std::uint32_t>(x)} << 32) | static_cast<std::uint32_t>(y);
        std::size_t slot = static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ull) >> 32) & mask_;
        while (stamps_[slot] == stamp_) {
            if (keys_[slot] == key)
                return false;
            slot = (slot + 1) & mask_;
        }
        stamps_[slot] = stamp_;
        keys_[slot] = key;
        return true;
    }

  private:
    std::size_t mask_;
    std::vector<std::uint64_t> keys_;
    std::vector<std::uint32_t> stamps_;
    std::uint32_t stamp_ = 1;
};

enum class Grid { WebMercator, Geographic, Baidu };

Grid GridOf(TMapType layer, int tiandituIndex) {
    if (engine::IsBaiduMapType(layer))
        return Grid::Baidu;
    if (UsesGeographicGrid(layer, tiandituIndex))
        return Grid::Geographic;
    return Grid::WebMercator;
}

bool VertexTile(Grid grid, int zoom, const engine::TGLatLng& point, std::int32_t& x,
                std::int32_t& y) {
    switch (grid) {
        case Grid::Baidu:
            return engine::BaiduLatLngToTile(zoom, x, y, point.lng, point.lat);
        case Grid::Geographic:
            engine::LatLngToTileXYGeo(zoom, point.lat, point.lng, x, y);
            return true;
        case Grid::WebMercator:
            engine::LatLngToTileXY(zoom, point.lat, point.lng, x, y);
            return true;
    }
    return false;
}

}  // namespace

bool UsesGeographicGrid(TMapType layer, int tiandituIndex) {
    const int index = engine::Ord(layer);
    return tiandituIndex > 0 && index >= engine::Ord(TMapType::mtTDTRoadMap) &&
           index <= engine::Ord(TMapType::mtTDTTerrain);
}

bool CalculateTileBounds(const engine::TZoomLevelArray& zoomLevels,
                         const std::vector<engine::TGLatLng>& latLngs, TMapType layer,
                         int tiandituIndex, engine::TTileBounds& bounds, std::int64_t& count) {
    count = 0;
    for (auto& bound : bounds) {
        bound.Checked = false;
        bound.Points.clear();
    }
    int top = -1;
    for (int z = 0; z < engine::kZoomLevelCount; ++z)
        top = zoomLevels[z].Checked ? z : top;
    if (top < 0)
        return true;
    const auto fail = [&] {
        for (auto& bound : bounds) {
            bound.Checked = false;
            bound.Points.clear();
        }
        count = 0;
        return false;
    };

    // Every grid numbers tiles as floor(fraction * 2^zoom), so the tile of a vertex one level
    // down is the tile above shifted by one bit. The (costly) projection runs once per vertex at
    // the highest level; only tiles outside the grid's range are projected level by level.
    const Grid grid = GridOf(layer, tiandituIndex);
    std::vector<engine::TPoint> topTiles(latLngs.size());
    for (std::size_t i = 0; i < latLngs.size(); ++i) {
        if (!VertexTile(grid, top, latLngs[i], topTiles[i].x, topTiles[i].y))
            return fail();
    }
    constexpr std::int32_t kNoTile = std::numeric_limits<std::int32_t>::max();
    TileSet seen(latLngs.size());
    for (int z = 0; z <= top; ++z) {
        if (!zoomLevels[z].Checked)
            continue;
        const int shift = top - z;
        engine::TTileBound& bound = bounds[z];
        seen.Clear();
        engine::TPoint last;
        bool hasLast = false;
        for (std::size_t i = 0; i < latLngs.size(); ++i) {
            engine::TPoint tile = topTiles[i];
            if (tile.x >= 0 && tile.y >= 0 && tile.x < kNoTile && tile.y < kNoTile) {
                tile.x >>= shift;
                tile.y >>= shift;
            } else if (shift > 0 && !VertexTile(grid, z, latLngs[i], tile.x, tile.y)) {
                return fail();
            }
            // Neighbouring vertices mostly share a tile on the lower levels.
            if (hasLast && tile == last)
                continue;
            last = tile;
            hasLast = true;
            if (seen.Insert(tile.x, tile.y))
                bound.Points.push_back(tile);
        }
        std::int32_t maxX = 0, maxY = 0, minX = 0, minY = 0;
        if (!engine::GetPointsBounds(bound.Points, maxX, maxY, minX, minY))
            continue;
        bound.MinRow = minY;
        bound.MaxRow = maxY;
        bound.MinCol = minX;
        bound.MaxCol = maxX;
        // Past the poles and the date line the grids have no tiles: the level holds the ones
        // that exist, as the stitch does. Baidu numbers are the projection's own.
        if (grid != Grid::Baidu && !engine::ClampToTileGrid(bound, z, grid == Grid::Geographic)) {
            bound.Points.clear();
            continue;
        }
        bound.zoom = z;
        bound.Checked = true;
        count += (std::int64_t{bound.MaxRow} - bound.MinRow + 1) *
                 (std::int64_t{bound.MaxCol} - bound.MinCol + 1);
    }
    return true;
}

int GetTileSize(TMapType layer, bool bigFontMode) {
    if (layer == TMapType::mtPhysicalReliefMap)
        return 512;
    const int index = engine::Ord(layer);
    const bool bigFontLayer = index == 3 || index == 4 || (index >= 6 && index <= 10);
    return bigFontMode && bigFontLayer ? 512 : 256;
}

}  // namespace app
