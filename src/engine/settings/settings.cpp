#include "engine/settings/settings.h"

#include <algorithm>
#include <system_error>
#include <vector>

#include "engine/core/number_format.h"

namespace engine {
namespace {

std::vector<SettingDescriptor> SettingsTable() {
    std::vector<SettingDescriptor> table;
#define VANTOREL_DECLARED(name, index, value) \
    table.push_back({#name, kind, index, static_cast<int>(value)});
#define VANTOREL_REGISTERED(name, index) table.push_back({#name, kind, index, 0});
    SettingKind kind = SettingKind::Boolean;
    VANTOREL_BOOL_SETTINGS(VANTOREL_DECLARED)
    kind = SettingKind::Integer;
    VANTOREL_INT_SETTINGS(VANTOREL_DECLARED)
    kind = SettingKind::Float;
    VANTOREL_FLOAT_SETTINGS(VANTOREL_REGISTERED)
    kind = SettingKind::String;
    VANTOREL_STR_SETTINGS(VANTOREL_REGISTERED)
#undef VANTOREL_DECLARED
#undef VANTOREL_REGISTERED
    return table;
}

std::string WithTrailingSlash(std::string text) {
    if (text.empty() || text.back() != '/') {
        text += '/';
    }
    return text;
}

// Folder creation is best effort: a folder that cannot be made is not reported here; the
// first tile, cache file or export that needs it reports the failure.
void CreateFolder(const std::filesystem::path& folder) {
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
}

}  // namespace

TSettings::TSettings(SettingsPaths paths)
    : TIniConfig("TSettings", SettingsTable(), IniFile(paths.configFile)),
      paths_(std::move(paths)) {
    Initialize();
}

std::int32_t TSettings::GetIndexSetting(IntSetting s) const {
    const std::int32_t value = GetIntSetting(s);
    const auto range = IndexSettingRange(s);
    if (!range || (value >= range->first && value <= range->last)) {
        return value;
    }
    const auto prop = std::find_if(PropList().begin(), PropList().end(), [s](const auto& p) {
        return p.kind == SettingKind::Integer && p.index == static_cast<int>(s);
    });
    const std::int32_t fallback = prop->declaredDefault;
    LogOnce("settings: " + prop->name + " " + FormatInt(value) + " is outside " +
            FormatInt(range->first) + ".." + FormatInt(range->last) + "; " + FormatInt(fallback) +
            " is used");
    return fallback;
}

void TSettings::RegisterDefaults() {
    const std::string outputDirectory = paths_.defaultOutputDir.string();
    const std::string combineOutputDirectory = WithTrailingSlash(outputDirectory) + "OutPut";
    const std::string cachePath = WithTrailingSlash(paths_.cacheDir.string());
    const std::string cefCachePath = WithTrailingSlash(paths_.cefCacheDir.string());
    CreateFolder(outputDirectory);
    CreateFolder(combineOutputDirectory);
    CreateFolder(cachePath);
    CreateFolder(cefCachePath);

    AddDefault("OutPutDirectory", outputDirectory);
    AddDefault("CombineImageOutPutDir", combineOutputDirectory);
    AddDefault("CachePath", cachePath);
    AddDefault("CefCachePath", cefCachePath);
    AddDefault("MapLanguageCode", "zh-cn");
    AddDefault("SatMapTileVer", "152");
    AddDefault("RoadMapTileVer", "266");
    AddDefault("SatMapTileVerNew", "152");
    AddDefault("Latitude", FormatFloat(32.694866));
    AddDefault("Longitude", FormatFloat(105.996094));
    AddDefault("LatitudeOffset", FormatFloat(1e-6));
    AddDefault("LongitudeOffset", FormatFloat(1e-6));
    AddDefault("MainExeName", "Tolvar.exe");
    AddDefault("StyleName", "SapphireKamri");
    AddDefault("PolygonStrokeColor", "#0000FF");
    AddDefault("PolygonFillColor", "#0080FF");
    AddDefault("BNormalUDT", "20140620");
    AddDefault("BNormalVer", "025");
    AddDefault("BSatelliteUDT", "20140117");
    AddDefault("BSatelliteVer", "009");
    AddDefault("BSatelliteStreetUDT", "20140620");
    AddDefault("BSatelliteStreetVer", "025");
    AddDefault("POIKeyWord", "酒店");
}

}  // namespace engine
