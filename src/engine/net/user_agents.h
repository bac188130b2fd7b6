#pragma once
// The user agents the system's requests carry: the web lookups (geocoding, districts, place
// search, IP location, tile versions) present the HTTP library's own agent, the tile requests
// (download workers, the historic-version probe) a desktop browser's.
namespace engine {

inline constexpr const char* kLookupUserAgent =
    "Mozilla/5.0 (compatible; MSIE 10.0; Windows NT 6.1; WOW64; Trident/7.0)";
inline constexpr const char* kTileUserAgent =
    "Mozilla/5.0 (Windows NT 6.1; WOW64) AppleWebKit/537.22 (KHTML, like Gecko) "
    "Chrome/25.0.1364.152 Safari/537.22";

}  // namespace engine
