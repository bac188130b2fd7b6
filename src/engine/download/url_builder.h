#pragma once
// Tile URLs of the 49 layers and their label overlays. The download workers call it for every
// tile and again before each delayed retry; each URL goes to one of the provider's servers,
// drawn at random so that a task's requests spread over them.
#include <cstdint>
#include <functional>
#include <string>

#include "engine/core/core_types.h"

namespace engine {

// The settings the builder reads, taken as one snapshot per call. Names and defaults are those
// of the settings store.
struct UrlSettings {
    std::string MapLanguageCode = "zh-cn";
    int MapSeverIndex = 0;  // above 0: the international Google host
    std::string SatMapTileVer = "152";
    std::string RoadMapTileVer = "266";
    bool DownloadNoLabel = false;
    bool BigFontMode = false;
    int TiandituIndex = 0;  // not 0: the provincial TianDiTu service
    std::string BNormalUDT = "20140620";
    std::string BNormalVer = "025";
    std::string BSatelliteUDT = "20140117";
    std::string BSatelliteVer = "009";
    std::string BSatelliteStreetUDT = "20140620";
    std::string BSatelliteStreetVer = "025";
};

// Gives a value from 0 to n - 1; the default draws from RandomIndex.
using RandomSource = std::function<int(int n)>;

struct TileUrls {
    std::string Base;
    std::string Overlay;  // empty when the layer has no overlay or none applies
};

class TileUrlBuilder {
  public:
    explicit TileUrlBuilder(TMapType mapType, RandomSource random = {});

    TileUrls BuildTileUrl(const TTile& tile, const UrlSettings& settings) const;

    TMapType MapType() const { return mapType_; }

  private:
    int Server(int first, int count) const;

    TMapType mapType_;
    RandomSource random_;
};

// Provider tile names, exposed for the tests of their schemes.
std::string TencentTileName(const TTile& tile, bool bigFont);
std::string TileXYToQuadKey(std::int32_t x, std::int32_t y, int z);
std::string NavInfoTilePath(const TTile& tile);
std::string Baidu3DTileURL(const TTile& tile, const RandomSource& random);
std::string TileToWmsBBox(const TTile& tile);

}  // namespace engine
