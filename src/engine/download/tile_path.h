#pragma once
// The one place where a tile's file name is formed: output folder + layer or overlay folder +
// zoom/column/row + extension, e.g. <out>/googlemaps/satellite/3/6/2.jpg for x 6, y 2, zoom 3.
// The downloader, the stitcher, the exporters and the page host all go through it.
#include <filesystem>
#include <string_view>

#include "engine/core/core_types.h"

namespace engine {

// The folder text keeps its stored backslashes ("\googlemaps\satellite\"); each piece between
// separators (backslash or slash) becomes one path segment, so doubled separators collapse.
std::filesystem::path LayerFolderPath(const std::filesystem::path& outputDir,
                                      std::string_view folderText);

// The folder of one tile column: <layer folder>/<z>/<x>.
std::filesystem::path TileFolderPath(const std::filesystem::path& outputDir,
                                     std::string_view folderText, int z, std::int32_t x);

// <layer folder>/<z>/<x>/<y><ext>; `ext` includes its dot (".png").
std::filesystem::path TilePath(const std::filesystem::path& outputDir, std::string_view folderText,
                               const TTile& tile, std::string_view ext);

// Base and overlay tiles of a layer, named through the catalogue's folders and extensions.
// The overlay form is empty for a layer without overlay.
std::filesystem::path BaseTilePath(const std::filesystem::path& outputDir, TMapType mapType,
                                   const TTile& tile, TImgType type);
std::filesystem::path OverlayTilePath(const std::filesystem::path& outputDir, TMapType mapType,
                                      const TTile& tile, TImgType type);

}  // namespace engine
