#pragma once
// Stores one tile body so that a tile file is either complete or absent, whatever happens to
// the process. The body is written into an unnamed file in the tile's folder and then linked
// under its name: one change of the folder per tile instead of the two of a temporary name and a
// rename, which matters when twenty workers write into the same column folder. Where unnamed
// files are not available, or the tile already exists (overwrite), it falls back to a temporary
// name beside the tile and a rename (engine/core/atomic_file.h).
#include <filesystem>
#include <string_view>

namespace engine {

// Creates missing folders when the first attempt finds them missing. False when the tile could
// not be stored; nothing is then left under its name or beside it.
bool StoreTileFile(const std::filesystem::path& path, std::string_view body);

}  // namespace engine
