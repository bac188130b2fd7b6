#include "engine/download/tile_version_probe.h"

#include "engine/core/json_text.h"
#include "engine/core/utilities.h"
#include "engine/net/http_client.h"

namespace engine {
namespace {

// Exactly `digits` decimal digits: a shorter, empty or mixed text is no version.
std::optional<std::string> Version(std::string_view text, std::size_t digits) {
    if (text.size() != digits || !IsAllDigits(text)) {
        return std::nullopt;
    }
    return std::string(text);
}

std::optional<std::string> VersionAfter(std::string_view text, std::size_t marker,
                                        std::size_t digits) {
    if (marker == std::string_view::npos || marker + 2 > text.size()) {
        return std::nullopt;
    }
    return Version(text.substr(marker + 2, digits), digits);
}

void ParseBaiduGroup(const JsonValue& ditu, std::string_view name, std::optional<std::string>& udt,
                     std::optional<std::string>& version) {
    const JsonValue* group = FindJsonPair(ditu, name);
    if (group == nullptr || !group->is_object()) {
        return;
    }
    if (auto value = Version(GetJsonStr(*group, "updateDate"), 8)) {
        udt = std::move(value);
    }
    if (auto value = Version(GetJsonStr(*group, "version"), 3)) {
        version = std::move(value);
    }
}

bool Succeeded(const HttpResponse& response) {
    return response.transferred && response.status == 200 && !response.body.empty();
}

}  // namespace

void ParseGoogleLoader(std::string_view script, TileVersions& versions) {
    std::size_t position = script.find("m@");
    for (int i = 0; i < 2 && position != std::string_view::npos; ++i) {
        position = position + 9 <= script.size() ? script.find("m@", position + 9)
                                                 : std::string_view::npos;
    }
    if (auto road = VersionAfter(script, position, 9)) {
        versions.RoadMapTileVer = std::move(road);
    }
    if (auto satellite = VersionAfter(script, script.find("s@"), 3)) {
        versions.SatMapTileVer = std::move(satellite);
    }
}

void ParseBaiduPage(std::string_view page, TileVersions& versions) {
    constexpr std::string_view kMarker = "window.TVC";
    const std::size_t marker = page.find(kMarker);
    if (marker == std::string_view::npos) {
        return;
    }
    // Past the marker and the "=" that follows it.
    std::string_view rest = page.substr(std::min(page.size(), marker + kMarker.size() + 1));
    const std::size_t end = rest.find("}}}");
    if (end == std::string_view::npos) {
        return;
    }
    rest = rest.substr(0, std::min(rest.size(), end + 4));
    const std::optional<JsonValue> object = ParseJsonText(ExtractJsonObjectText(rest));
    if (!object || !object->is_object()) {
        return;
    }
    const JsonValue* ditu = FindJsonPair(*object, "ditu");
    if (ditu == nullptr || !ditu->is_object()) {
        return;
    }
    ParseBaiduGroup(*ditu, "normal", versions.BNormalUDT, versions.BNormalVer);
    ParseBaiduGroup(*ditu, "satellite", versions.BSatelliteUDT, versions.BSatelliteVer);
    ParseBaiduGroup(*ditu, "satelliteStreet", versions.BSatelliteStreetUDT,
                    versions.BSatelliteStreetVer);
}

void StoreTileVersions(const TileVersions& versions, ITileVersionStore& store) {
    const auto store_if = [&](std::string_view name, const std::optional<std::string>& value) {
        if (value) {
            store.StoreTileVersion(name, *value);
        }
    };
    store_if("RoadMapTileVer", versions.RoadMapTileVer);
    store_if("SatMapTileVer", versions.SatMapTileVer);
    store_if("SatMapTileVerNew", versions.SatMapTileVer);
    store_if("BNormalUDT", versions.BNormalUDT);
    store_if("BNormalVer", versions.BNormalVer);
    store_if("BSatelliteUDT", versions.BSatelliteUDT);
    store_if("BSatelliteVer", versions.BSatelliteVer);
    store_if("BSatelliteStreetUDT", versions.BSatelliteStreetUDT);
    store_if("BSatelliteStreetVer", versions.BSatelliteStreetVer);
}

TileVersions FetchTileVersions() {
    TileVersions versions;
    if (const HttpResponse google = HttpGetForLookup(kGoogleLoaderUrl); Succeeded(google)) {
        ParseGoogleLoader(google.body, versions);
    }
    if (const HttpResponse baidu = HttpGetForLookup(kBaiduHomeUrl); Succeeded(baidu)) {
        ParseBaiduPage(baidu.body, versions);
    }
    return versions;
}

void UpdateTileVersions(ITileVersionStore& store) {
    StoreTileVersions(FetchTileVersions(), store);
}

}  // namespace engine
