#pragma once
// Reading whole tile files with few system calls (open, a read of the whole tile, the empty
// read that tells its end, close), into a buffer the caller reuses, for the stitch and the
// exports.
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace raster {

// The file's bytes, held in `buffer` (which keeps its size between calls, so it is filled
// without clearing); nothing when the file is missing, a read fails or the file is larger than
// any tile (engine/core/body_limits.h).
std::optional<std::string_view> ReadTileFile(const std::filesystem::path& file,
                                             std::string& buffer);

}  // namespace raster
