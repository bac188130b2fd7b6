#include "engine/download/download_settings.h"

#include <optional>
#include <utility>

#include "engine/log/logger.h"

namespace engine {

DownloadSettings DownloadSettingsFrom(const TSettings& settings) {
    DownloadSettings out;
    out.OutPutDirectory = settings.GetStrSetting(StrSetting::OutPutDirectory);
    out.MapTypeIndex = settings.GetIndexSetting(IntSetting::MapTypeIndex);
    out.FailedTryTimes = settings.GetIntSetting(IntSetting::FailedTryTimes);
    out.OverWriteDownload = settings.GetBoolSetting(BoolSetting::OverWriteDownload);
    out.LogFileName = settings.GetStrSetting(StrSetting::LogFileName);
    out.DownloadDelay = settings.GetIntSetting(IntSetting::DownloadDelay);
    out.UserAgent = settings.GetStrSetting(StrSetting::UserAgent);
    out.ProxyType = settings.GetIndexSetting(IntSetting::ProxyType);
    out.ProxyHost = settings.GetStrSetting(StrSetting::ProxyHost);
    out.ProxyPort = settings.GetStrSetting(StrSetting::ProxyPort);
    out.ProxyUser = settings.GetStrSetting(StrSetting::ProxyUser);
    out.ProxyPass = settings.GetStrSetting(StrSetting::ProxyPass);
    return out;
}

UrlSettings UrlSettingsFrom(const TSettings& settings) {
    UrlSettings out;
    out.MapLanguageCode = settings.GetStrSetting(StrSetting::MapLanguageCode);
    out.MapSeverIndex = settings.GetIndexSetting(IntSetting::MapSeverIndex);
    out.SatMapTileVer = settings.GetStrSetting(StrSetting::SatMapTileVer);
    out.RoadMapTileVer = settings.GetStrSetting(StrSetting::RoadMapTileVer);
    out.DownloadNoLabel = settings.GetBoolSetting(BoolSetting::DownloadNoLabel);
    out.BigFontMode = settings.GetBoolSetting(BoolSetting::BigFontMode);
    out.TiandituIndex = settings.GetIndexSetting(IntSetting::TiandituIndex);
    out.BNormalUDT = settings.GetStrSetting(StrSetting::BNormalUDT);
    out.BNormalVer = settings.GetStrSetting(StrSetting::BNormalVer);
    out.BSatelliteUDT = settings.GetStrSetting(StrSetting::BSatelliteUDT);
    out.BSatelliteVer = settings.GetStrSetting(StrSetting::BSatelliteVer);
    out.BSatelliteStreetUDT = settings.GetStrSetting(StrSetting::BSatelliteStreetUDT);
    out.BSatelliteStreetVer = settings.GetStrSetting(StrSetting::BSatelliteStreetVer);
    return out;
}

DownloadLogSink LoggerSink() {
    return [](const std::string& message, const std::string& file) {
        AppendLog(message, std::filesystem::path(file));
    };
}

namespace {

std::optional<StrSetting> VersionSetting(std::string_view name) {
    static const std::pair<std::string_view, StrSetting> kNames[] = {
        {"RoadMapTileVer", StrSetting::RoadMapTileVer},
        {"SatMapTileVer", StrSetting::SatMapTileVer},
        {"SatMapTileVerNew", StrSetting::SatMapTileVerNew},
        {"BNormalUDT", StrSetting::BNormalUDT},
        {"BNormalVer", StrSetting::BNormalVer},
        {"BSatelliteUDT", StrSetting::BSatelliteUDT},
        {"BSatelliteVer", StrSetting::BSatelliteVer},
        {"BSatelliteStreetUDT", StrSetting::BSatelliteStreetUDT},
        {"BSatelliteStreetVer", StrSetting::BSatelliteStreetVer},
    };
    for (const auto& [known, setting] : kNames) {
        if (known == name) {
            return setting;
        }
    }
    return std::nullopt;
}

}  // namespace

void SettingsTileVersionStore::StoreTileVersion(std::string_view name, const std::string& value) {
    if (const auto setting = VersionSetting(name)) {
        settings_.SetStrSetting(*setting, value);
    }
}

}  // namespace engine
