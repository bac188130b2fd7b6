#pragma once
// The tile rectangles and the tile count of a download area: per selected level the bounding
// rectangle of the tiles its vertices fall in, counted as rows times columns in 64 bits, so
// that no tile is walked.
#include <cstdint>
#include <vector>

#include "engine/core/core_types.h"

namespace app {

// Layers 34 to 37 use the geographic grid when the TiandituIndex setting is above 0.
bool UsesGeographicGrid(engine::TMapType layer, int tiandituIndex);

// CalculateTileBounds. Every level's Checked flag is cleared, then set for each selected level
// with its rectangle and its vertex tiles (each once, in vertex order) in Points. On the grid
// layers the rectangle holds only the tiles that exist (clamped to the level's grid); a level
// whose area lies wholly off the grid stays unchecked. Returns false
// when a vertex cannot be projected on a Baidu layer: `count` is then 0 and no level is set,
// never a rectangle at tile (0, 0).
bool CalculateTileBounds(const engine::TZoomLevelArray& zoomLevels,
                         const std::vector<engine::TGLatLng>& latLngs, engine::TMapType layer,
                         int tiandituIndex, engine::TTileBounds& bounds, std::int64_t& count);

// GetTileSize: 512 for layer 39, 512 for layers 3, 4 and 6 to 10 in big-font mode, else 256.
int GetTileSize(engine::TMapType layer, bool bigFontMode);

}  // namespace app
