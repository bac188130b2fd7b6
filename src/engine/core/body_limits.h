#pragma once
// The largest bodies the system takes in, so that no server and no stray file can make it read
// without end: a tile above the tile limit is refused by the download and by the stitch, a web
// lookup's answer above its limit fails that lookup.
#include <cstddef>

namespace engine {

inline constexpr std::size_t kMaxTileBodyBytes = std::size_t{32} << 20;
inline constexpr std::size_t kMaxLookupAnswerBytes = std::size_t{16} << 20;

}  // namespace engine
