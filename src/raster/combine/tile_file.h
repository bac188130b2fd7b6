#pragma once
// Reading whole tile files with as few system calls as possible (open, one read, close for a
// usual tile), into a buffer the caller reuses, for the stitch and the exports.
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace raster {

// The file's bytes, held in `buffer` (which keeps its size between calls, so it is filled
// without clearing); nothing when the file is missing or unreadable.
std::optional<std::string_view> ReadTileFile(const std::filesystem::path& file,
                                             std::string& buffer);

}  // namespace raster
