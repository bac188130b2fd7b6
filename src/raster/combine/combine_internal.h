#pragma once
// What the stitch and the exports share inside the worker: the task as the run sees it and
// the tile range of one level.
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "engine/core/core_types.h"
#include "raster/combine/area_mask.h"
#include "raster/combine/combine_tile.h"

namespace raster {

struct TCombineTile::Task {
    engine::TMapType mapType{};
    int layer = 0;
    engine::TImgType tileType = engine::TImgType::itPNG;
    std::string tileExt;  // ".png" or ".jpg"
    int tileSize = 256;
    std::filesystem::path directory;
    std::string tileFolder;     // catalogue folder text of the layer
    std::string overlayFolder;  // empty when no label tiles are merged
    std::vector<engine::TGLatLng> points;
    engine::TGLatLngBounds box{};
    bool baiduNumbering = false;  // layers 45 to 48: stored ranges, rows growing northwards
    TileGrid grid = TileGrid::WebMercator;
    bool clip = false;  // keep only the tiles that meet the area polygon

    std::filesystem::path TileFile(int z, std::int32_t x, std::int32_t y) const;
    std::filesystem::path OverlayFile(int z, std::int32_t x, std::int32_t y) const;
};

struct TCombineTile::Level {
    int zoom = 0;
    engine::TTileBound range;
    std::int64_t columns = 0;
    std::int64_t rows = 0;
    std::int64_t count = 0;
    TileGrid grid = TileGrid::WebMercator;
    std::unique_ptr<AreaMask> mask;  // null: every position of the range
};

}  // namespace raster
