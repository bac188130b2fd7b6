#pragma once
// Which older satellite tile versions the China tile servers still serve for one tile, and the
// dotted IPv4 test of the IP lookup. Plain C++; the probe blocks and is meant for a worker.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace geodataui {

inline constexpr int kOldestHistoricVersion = 130;
inline constexpr int kHistoricProbeZoom = 16;

// The request for one version of the satellite tile (x, y) at zoom 16 on server 0 to 3.
std::string HistoricTileUrl(int server, const std::string& version, std::int32_t x, std::int32_t y);

// Asks for every version from `newest` down to 130, one after the other, and reports each that
// answers 200 with more than 1024 bytes through `found`. `stop` is checked between and during
// requests. Returns the number of requests made.
int ProbeHistoricVersions(int newest, std::int32_t x, std::int32_t y,
                          const std::function<bool()>& stop,
                          const std::function<void(const std::string&)>& found);

// True when the text is not a dotted IPv4 address: 7 to 15 characters, digits and dots only,
// every dot followed by a digit, not starting with a dot, exactly three dots, every run of
// digits at most 3 long and at most 255 (leading zeros allowed).
bool IsInvalidIPv4(std::string_view text);

}  // namespace geodataui
