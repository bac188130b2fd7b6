#pragma once
// The process-wide settings of the system: 96 typed values kept in the user's settings file.
// Callers name a setting by its enumerator, e.g. settings.GetIntSetting(IntSetting::MaxThread);
// the enumerator's value is the setting's index within its type.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "engine/core/core_types.h"
#include "engine/settings/ini_config.h"
#include "engine/settings/settings_paths.h"

namespace engine {

// X(name, index, declared default)
#define VANTOREL_BOOL_SETTINGS(X)        \
    X(OfflineMode, 0, false)             \
    X(ShowDrawingManager, 1, true)       \
    X(ShowSelectedBoundary, 3, true)     \
    X(OverWriteDownload, 4, false)       \
    X(AutoUpdateTileVer, 5, true)        \
    X(UsedChinaServer, 6, true)          \
    X(BuildLatlngCoordinate, 7, true)    \
    X(IsWriteWorldFile, 8, true)         \
    X(ShowCopyright, 9, true)            \
    X(WriteLog, 10, true)                \
    X(ForceShutDownWindows, 11, false)   \
    X(ShowCoordGrid, 12, false)          \
    X(DownloadNoLabel, 13, false)        \
    X(AutoUpdate, 14, false)             \
    X(CompressImage, 15, false)          \
    X(CopyTileFromIECache, 16, false)    \
    X(ChangeMapTypeAskNoMore, 17, true)  \
    X(ElevationAskNoMore, 19, true)      \
    X(ShowResolutionMapScale, 20, true)  \
    X(ShowGPSTrack, 21, true)            \
    X(IE6VersionAskNoMore, 22, false)    \
    X(OffsetMap, 23, false)              \
    X(DlgOffsetButtonChecked, 24, false) \
    X(BigFontMode, 25, false)            \
    X(AutoCombineImage, 26, false)       \
    X(ShowAreaLabel, 27, true)           \
    X(ByRectangle, 28, true)             \
    X(ShowCurrentLocationBar, 29, true)  \
    X(ShowPOISearchBar, 30, true)        \
    X(AutoCreatePOIMarker, 31, true)     \
    X(DeleteCacheIfQuit, 32, false)

// X(name, index, declared default)
#define VANTOREL_INT_SETTINGS(X)           \
    X(MaxThread, 0, 20)                    \
    X(DownloadType, 1, 0)                  \
    X(OutImageIndex, 2, 3)                 \
    X(MapSeverIndex, 3, 0)                 \
    X(MapTypeIndex, 4, 3)                  \
    X(MaxCacheIndex, 5, 9)                 \
    X(MapTypeId, 6, 3)                     \
    X(FailedTryTimes, 7, 10)               \
    X(DownloadDelay, 8, 3)                 \
    X(ProxyType, 9, 0)                     \
    X(ZoomLevel, 10, 4)                    \
    X(ExportBoundaryDlgFilterIndex, 11, 2) \
    X(SettingIndex, 12, 0)                 \
    X(PartitionRow, 13, 10)                \
    X(PartitionCol, 14, 10)                \
    X(MSIEMajorVerion, 15, 8)              \
    X(TiandituIndex, 16, 0)                \
    X(CompressTypeIndex, 17, 1)            \
    X(NoDataValue, 18, 0)                  \
    X(PrintDPI, 19, 300)                   \
    X(ImageQuality, 20, 90)                \
    X(PolygonStrokeWeight, 21, 3)          \
    X(PolygonStrokeOpacity, 22, 75)        \
    X(PolygonFillOpacity, 23, 15)

// X(name, index); defaults registered by TSettings::RegisterDefaults
#define VANTOREL_FLOAT_SETTINGS(X) \
    X(Latitude, 0)                 \
    X(Longitude, 1)                \
    X(LatitudeOffset, 2)           \
    X(LongitudeOffset, 3)          \
    X(QueryDistTime, 4)

// X(name, index); defaults registered by TSettings::RegisterDefaults
#define VANTOREL_STR_SETTINGS(X) \
    X(ProxyHost, 0)              \
    X(ProxyPort, 1)              \
    X(ProxyUser, 2)              \
    X(ProxyPass, 3)              \
    X(CombineImageOutPutDir, 4)  \
    X(CombineImageSourceDir, 5)  \
    X(MergeImageOutPutDir, 6)    \
    X(MergeImageSatelliteDir, 7) \
    X(MergeImageOverLayDir, 8)   \
    X(MapViewerMapTileDir, 9)    \
    X(MapLanguageCode, 10)       \
    X(SatMapTileVer, 11)         \
    X(RoadMapTileVer, 12)        \
    X(UserAgent, 13)             \
    X(LastNodeText, 14)          \
    X(OutPutDirectory, 15)       \
    X(SelectedZoomLevels, 16)    \
    X(MainExeName, 17)           \
    X(StyleName, 18)             \
    X(CompressName, 19)          \
    X(StyleParamsURL, 20)        \
    X(LogFileName, 21)           \
    X(CachePath, 22)             \
    X(CefCachePath, 23)          \
    X(PolygonStrokeColor, 24)    \
    X(PolygonFillColor, 25)      \
    X(BNormalUDT, 26)            \
    X(BNormalVer, 27)            \
    X(BSatelliteUDT, 28)         \
    X(BSatelliteVer, 29)         \
    X(BSatelliteStreetUDT, 30)   \
    X(BSatelliteStreetVer, 31)   \
    X(BaiduAK, 32)               \
    X(POIKeyWord, 33)            \
    X(POIQueryTag, 34)           \
    X(SatMapTileVerNew, 35)

#define VANTOREL_SETTING_ENUMERATOR(name, index, ...) name = index,
enum class BoolSetting { VANTOREL_BOOL_SETTINGS(VANTOREL_SETTING_ENUMERATOR) };
enum class IntSetting { VANTOREL_INT_SETTINGS(VANTOREL_SETTING_ENUMERATOR) };
enum class FloatSetting { VANTOREL_FLOAT_SETTINGS(VANTOREL_SETTING_ENUMERATOR) };
enum class StrSetting { VANTOREL_STR_SETTINGS(VANTOREL_SETTING_ENUMERATOR) };
#undef VANTOREL_SETTING_ENUMERATOR

// The entries of the list an index setting points into (a layer, a list entry, a settings page
// or a file-dialog filter); nothing for an integer setting that is not an index.
struct IndexRange {
    int first = 0;
    int last = 0;
};
constexpr std::optional<IndexRange> IndexSettingRange(IntSetting s) {
    switch (s) {
        case IntSetting::MapTypeIndex:
            return IndexRange{0, kMapTypeCount - 1};
        case IntSetting::OutImageIndex:
            return IndexRange{0, 8};  // the stitch dialog's nine outputs
        case IntSetting::CompressTypeIndex:
            return IndexRange{0, 4};  // its five compressions
        case IntSetting::SettingIndex:
            return IndexRange{0, 4};  // the settings dialog's five pages
        case IntSetting::TiandituIndex:
            return IndexRange{0, 10};  // the national service and ten provinces
        case IntSetting::MapSeverIndex:
            return IndexRange{0, 1};  // the China and the international Google host
        case IntSetting::ProxyType:
            return IndexRange{0, 2};  // none, the system's, the user's own
        case IntSetting::ExportBoundaryDlgFilterIndex:
            return IndexRange{1, 4};  // the boundary export's four file kinds, from 1
        default:
            return std::nullopt;
    }
}

class TSettings : public TIniConfig {
  public:
    // Builds the store over paths.configFile; the path defaults come from the other folders,
    // which are created when missing (every construction does so).
    explicit TSettings(SettingsPaths paths);

    const SettingsPaths& Paths() const { return paths_; }

    using TIniConfig::GetBoolSetting;
    using TIniConfig::GetFloatSetting;
    using TIniConfig::GetIntSetting;
    using TIniConfig::GetStrSetting;
    using TIniConfig::SetBoolSetting;
    using TIniConfig::SetFloatSetting;
    using TIniConfig::SetIntSetting;
    using TIniConfig::SetStrSetting;

    bool GetBoolSetting(BoolSetting s) const { return GetBoolSetting(static_cast<int>(s)); }
    std::int32_t GetIntSetting(IntSetting s) const { return GetIntSetting(static_cast<int>(s)); }
    double GetFloatSetting(FloatSetting s) const { return GetFloatSetting(static_cast<int>(s)); }
    std::string GetStrSetting(StrSetting s) const { return GetStrSetting(static_cast<int>(s)); }
    // Every reader of an index setting reads it here, so the dialog, the page, the tile
    // addresses, the task and the stitch agree: a stored value outside its list reads as the
    // setting's default, with a line in the log. Any other setting reads as GetIntSetting.
    std::int32_t GetIndexSetting(IntSetting s) const;

    void SetBoolSetting(BoolSetting s, bool v) { SetBoolSetting(static_cast<int>(s), v); }
    void SetIntSetting(IntSetting s, std::int32_t v) { SetIntSetting(static_cast<int>(s), v); }
    void SetFloatSetting(FloatSetting s, double v) { SetFloatSetting(static_cast<int>(s), v); }
    void SetStrSetting(StrSetting s, std::string_view v) { SetStrSetting(static_cast<int>(s), v); }

  protected:
    void RegisterDefaults() override;

  private:
    SettingsPaths paths_;
};

}  // namespace engine
