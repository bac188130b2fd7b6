#pragma once
// Which tiles of a level an area polygon touches. A tile is kept when its rectangle meets the
// polygon (boundary included), computed from the vertices' fractional tile coordinates, so a
// diagonal edge keeps every tile it passes through, not only those whose corner lies inside.
#include <cstdint>
#include <vector>

#include "engine/core/core_types.h"
#include "raster/georeference.h"

namespace raster {

struct TilePointF {
    double x = 0;  // columns, fractional
    double y = 0;  // rows from the north edge, fractional
};

// The positions in tile units at `zoom` on the given grid.
std::vector<TilePointF> FractionalTileCoordinates(const std::vector<engine::TGLatLng>& points,
                                                  int zoom, TileGrid grid);

class AreaMask {
  public:
    // The polygon is closed implicitly; fewer than three vertices keep nothing.
    explicit AreaMask(std::vector<TilePointF> polygon);

    // keep[c - minCol] for the columns minCol..maxCol of `row`: 1 where the tile meets the area.
    void Row(std::int64_t row, std::int64_t minCol, std::int64_t maxCol,
             std::vector<char>& keep) const;

  private:
    std::vector<TilePointF> polygon_;
};

}  // namespace raster
