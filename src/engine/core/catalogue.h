#pragma once
// The constant tables of the 49 map layers and the image types. Read-only and process-wide.
// Folder texts keep their stored backslashes ("\googlemaps\satellite\"); the tile-path
// function turns them into path segments.
#include <array>
#include <string_view>

#include "engine/core/core_types.h"

namespace engine {

// Per layer, indexed by Ord(TMapType).
extern const std::array<std::string_view, kMapTypeCount> MapTypeIds;       // page identifier
extern const std::array<std::string_view, kMapTypeCount> MapTypeCaptions;  // shown to the user
extern const std::array<std::string_view, kMapTypeCount> MapTileFolders;   // layer folder
// Label-overlay folder of the twelve layers that fetch a second tile per address; "" otherwise.
extern const std::array<std::string_view, kMapTypeCount> MapOverlayFolders;

// Per image type, indexed by static_cast<int>(TImgType).
extern const std::array<std::string_view, kImgTypeCount> ImgGdalDrivers;
extern const std::array<std::string_view, kImgTypeCount> ImgFileExts;
extern const std::array<std::string_view, kImgTypeCount> ImgWorldFileExts;

extern const std::array<std::string_view, 4> NokiaLayerNames;  // index: layer ordinal - 17
extern const std::array<std::string_view, 11> ServerLetters;   // "a" to "k"
extern const std::array<std::string_view, 4> Baidu3DCities;
extern const std::array<std::string_view, 4> Baidu3DCityCenters;  // "lat,lng,zoom"

constexpr int kMapLanguageCount = 57;
extern const std::array<std::string_view, kMapLanguageCount> MapLanguageCodes;
extern const std::array<std::string_view, kMapLanguageCount> MapLanguageNames;

// Indexed by zoom 0 to 23; the stored values, not recomputed.
extern const std::array<double, 24> ZoomScales;
extern const std::array<double, 24> ZoomResolutions;

TImgType DefaultImgType(TMapType mapType);
bool IsBaiduMapType(TMapType mapType);
// True for the twelve layers with a label overlay.
bool HasOverlay(TMapType mapType);

inline std::string_view ImgFileExt(TImgType t) {
    return ImgFileExts[static_cast<int>(t)];
}

}  // namespace engine
