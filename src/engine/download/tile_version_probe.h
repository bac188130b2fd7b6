#pragma once
// Current tile versions of the Google and Baidu layers, picked out of two provider pages at
// start-up so that later tile URLs name versions the providers still serve. Parsing is kept
// apart from fetching; only a value of exactly the expected digits is ever stored, so an empty,
// missing or malformed value never replaces a working one.
#include <optional>
#include <string>
#include <string_view>

namespace engine {

inline constexpr const char* kGoogleLoaderUrl =
    "http://maps.google.cn/maps/api/js?sensor=false&language=zh-cn";
inline constexpr const char* kBaiduHomeUrl = "http://map.baidu.com/";

// The values found; unset ones are left alone in the settings.
struct TileVersions {
    std::optional<std::string> RoadMapTileVer;  // 9 digits
    std::optional<std::string> SatMapTileVer;   // 3 digits; also stored as SatMapTileVerNew
    std::optional<std::string> BNormalUDT;      // 8 digits (a date)
    std::optional<std::string> BNormalVer;      // 3 digits
    std::optional<std::string> BSatelliteUDT;
    std::optional<std::string> BSatelliteVer;
    std::optional<std::string> BSatelliteStreetUDT;
    std::optional<std::string> BSatelliteStreetVer;
};

// The road version follows the third "m@" of the loader script (each searched from 9
// characters after the one before), the satellite version the first "s@".
void ParseGoogleLoader(std::string_view script, TileVersions& versions);
// The "ditu" object of the page's "window.TVC" assignment: the groups "normal", "satellite"
// and "satelliteStreet" with "updateDate" and "version".
void ParseBaiduPage(std::string_view page, TileVersions& versions);

// Where the probe writes: the settings store takes each found value by its setting's name.
class ITileVersionStore {
  public:
    virtual ~ITileVersionStore() = default;
    virtual void StoreTileVersion(std::string_view name, const std::string& value) = 0;
};

// Stores every found value; SatMapTileVer goes to SatMapTileVerNew as well.
void StoreTileVersions(const TileVersions& versions, ITileVersionStore& store);

// Fetches both pages with lookup clients and parses them; a failed request leaves its values
// unset. Blocks for the transfers: meant for a background thread.
TileVersions FetchTileVersions();
// FetchTileVersions, then StoreTileVersions.
void UpdateTileVersions(ITileVersionStore& store);

}  // namespace engine
