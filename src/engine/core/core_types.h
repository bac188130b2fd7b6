#pragma once
// The shared enumerations and records with which every part of the system speaks of map
// layers, image types, datums, positions, tiles, zoom selections, tile ranges and counters.
#include <array>
#include <cstdint>
#include <vector>

namespace engine {

constexpr int kMapTypeCount = 49;
constexpr int kZoomLevelCount = 22;  // downloads and tasks cover zoom 0 to 21

// One web map layer, 0 to 48; indexes every per-layer table of the catalogue.
enum class TMapType : std::uint8_t {
    mtMapAbcRoadMap,
    mtMapAbcSatellite,
    mtMapAbcHybrid,
    mtGoogleRoadMap,
    mtGoogleSatellite,
    mtGoogleSatellite_EN,
    mtGoogleHybrid,
    mtGoogleTerrain,
    mtGoogleRoadMap_NoLabel,
    mtGoogleHybrid_NoLabel,
    mtGoogleTerrain_NoLabel,
    mtSosoRoadMap,
    mtSosoSatellite,
    mtSosoHybrid,
    mtSosoTerrain,
    mtYahooRoadMap,
    mtYahooSatellite,
    mtNokiaRoadMap,
    mtNokiaSatellite,
    mtNokiaHybrid,
    mtNokiaTerrain,
    mtBingRoadMap_CN,
    mtBingRoadMap,
    mtBingSatellite,
    mtBingHybrid,
    mtSupermap,
    mtSmartearth,
    mtArcGIS_Community,
    mtArcGIS_StreetColor,
    mtArcGIS_StreetWarm,
    mtArcGIS_StreetCold,
    mtArcGIS_StreetGray,
    mtArcGIS_CommunityENG,
    mtArcGIS_Satellite,
    mtTDTRoadMap,
    mtTDTSatellite,
    mtTDTHybrid,
    mtTDTTerrain,
    mtTopomapperTerrain,
    mtPhysicalReliefMap,
    mtHistoric_nlsmap,
    mtOsmRoadMap,
    mtEarthNight,
    mtNavInfoRoadMap,
    mtNavInfoHybrid,
    mtBaiduRoadMap,
    mtBaiduSatellite,
    mtBaiduHybrid,
    mtBaidu3D,
};

constexpr int Ord(TMapType t) {
    return static_cast<int>(t);
}
constexpr TMapType MapTypeOf(int ordinal) {
    return static_cast<TMapType>(ordinal);
}

// Type of a tile or an output image; itError marks a body that is no recognised image.
enum class TImgType : std::uint8_t { itBMP, itJPG, itPNG, itTIFF, itGeoJPG, itError };
constexpr int kImgTypeCount = 6;

// Target datum of an export or conversion: WGS-84, BD-09, GCJ-02.
enum class TCoordType : std::uint8_t { ctGPS, ctBaidu, ctGoogle };

// State of the download task in the main window.
enum class TDownloadStatus : std::uint8_t { dsDownloading, dsPaused, dsStopped };

// Tile address: column, row counted from the north edge, zoom. Nothing clamps them.
struct TTile {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int8_t z = 0;
    friend bool operator==(const TTile&, const TTile&) = default;
};

// A position with a zoom level in single precision, such as the bookmark of a saved task.
struct TLatLng {
    std::uint8_t zoom = 0;
    float lat = 0;
    float lng = 0;
};

// The position type of the map page, the geodata code and the datum shifts.
struct TGLatLng {
    double lat = 0;
    double lng = 0;
    friend bool operator==(const TGLatLng&, const TGLatLng&) = default;
};

// A box by its north-east (largest lat and lng) and south-west corners.
struct TGLatLngBounds {
    TGLatLng NorthEast;
    TGLatLng SouthWest;
};

struct TZoomLevelItem {
    bool Checked = false;
};
using TZoomLevelArray = std::array<TZoomLevelItem, kZoomLevelCount>;

struct TPoint {
    std::int32_t x = 0;
    std::int32_t y = 0;
    friend bool operator==(const TPoint&, const TPoint&) = default;
};

// Tile rectangle of one zoom level, both ranges inclusive; rows are tile y, columns tile x.
struct TTileBound {
    std::int32_t MinRow = 0;
    std::int32_t MaxRow = 0;
    std::int32_t MinCol = 0;
    std::int32_t MaxCol = 0;
    std::vector<TPoint> Points;  // tile addresses of the area's vertices; not stored in tasks
    std::int32_t zoom = 0;
    bool Checked = false;
};
using TTileBounds = std::array<TTileBound, kZoomLevelCount>;

// Date-time: days since 30 December 1899 as a 64-bit float; 0 means no time.
using TDateTime = double;

// Counters of a running download, kept by the main window under its progress lock.
struct TDownloadInfo {
    std::int64_t Total = 0;
    std::int64_t Succeed = 0;
    std::int64_t PreviousSucceed = 0;
    std::int64_t Failed = 0;
    std::int64_t Failed_404 = 0;
    std::int64_t FileSize = 0;
    std::int64_t PreviousFileSize = 0;
    std::int64_t PreviousElapsedMs = 0;
    std::int32_t Speed1 = 0;  // bytes per second since the previous tick
    std::int32_t Speed2 = 0;  // tiles per second since the previous tick
    TDateTime Activity = 0;
    std::int64_t ElapsedMs = 0;
};

}  // namespace engine
