#pragma once
// Draws a label overlay tile over a base tile into one tile, as the stitcher and the exporters
// use it for layers whose labels come as a separate transparent tile.
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "engine/image/image_codec.h"

namespace engine {

// Decodes both files, scales each to Size x Size, draws TopFile over BottomFile and writes
// OutFile atomically, encoded by the extension of BottomFile: ".jpg" (any letter case) as JPEG
// of quality 100, ".png" as PNG. Any other extension, an unreadable input or a Size of 0 or
// less writes nothing and gives false.
bool MergeTileImages(const std::filesystem::path& TopFile, const std::filesystem::path& BottomFile,
                     const std::filesystem::path& OutFile, int Size);

// The same drawing on encoded bytes; the result is encoded as `format` (JPEG at quality 100).
// Both tiles are decoded as tiles (DecodeTileImage). `problem`, when given, receives a text for
// the caller's log: which input is damaged, too large or not of `size` (and so scaled); it
// stays empty for two sound tiles of the right size.
std::optional<std::string> MergeTileImageBytes(std::string_view top, std::string_view bottom,
                                               ImageFormat format, int size,
                                               std::string* problem = nullptr);

// The output format MergeTileImages chooses for a base tile's file name.
ImageFormat MergeOutputFormat(const std::filesystem::path& bottomFile);

}  // namespace engine
