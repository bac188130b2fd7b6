#pragma once
// The page settings scripts (js/gmap_settings.js, js/bmap_settings.js), rewritten line by line
// before every load so that a page starts with the user's centre, zoom, layer, tile versions,
// language, tile folder, polygon style and display switches.
#include <QString>
#include <QStringList>
#include <filesystem>
#include <string>

#include "engine/core/core_types.h"

namespace app {

// The settings a page script takes, by their setting names; the defaults are the values the
// pages ship with.
struct PageSettings {
    bool ShowCopyright = true;
    bool ShowResolutionMapScale = true;
    bool OfflineMode = false;
    bool ShowCoordGrid = false;
    bool ShowAreaLabel = true;
    std::string RoadMapTileVer = "264";
    std::string SatMapTileVer = "150";
    int MapTypeIndex = 0;
    double Latitude = 23.540307;  // GCJ-02
    double Longitude = 111.772463;
    int ZoomLevel = 4;
    std::string MapLanguageCode = "zh-cn";
    int MapSeverIndex = 0;
    std::string StyleParamsURL;
    std::string OutPutDirectory;
    std::string PolygonStrokeColor = "#009ad6";
    std::string PolygonFillColor = "#009ad6";
    int PolygonFillOpacity = 15;  // percent
    int PolygonStrokeWeight = 3;
    int PolygonStrokeOpacity = 85;  // percent
    std::string BNormalUDT = "20140522";
    std::string BNormalVer = "024";
    std::string BSatelliteUDT = "20140117";
    std::string BSatelliteVer = "009";
    std::string BSatelliteStreetUDT = "20140522";
    std::string BSatelliteStreetVer = "024";
};

// Tile host patterns written into zeb.mapsever; "{0}" stands for the server number.
inline constexpr char kGoogleChinaHostPattern[] = "http://mt{0}.google.cn";
inline constexpr char kGoogleInternationalHostPattern[] = "http://mt{0}.google.com";

// Each line is replaced whole by the first key it contains (in the table's order); lines
// without a key stay. No line is added or removed. Texts are written as escaped string
// literals and numbers with ".".
QStringList RewriteGoogleSettings(const QStringList& lines, const PageSettings& settings);
// The centre is converted from GCJ-02 to BD-09 first; the layer index follows `mapType`.
QStringList RewriteBaiduSettings(const QStringList& lines, const PageSettings& settings,
                                 engine::TMapType mapType);

// Reads a script as UTF-8 lines (a leading byte-order mark skipped; CR LF or LF line ends).
// Throws std::runtime_error when the file cannot be read.
QStringList ReadScriptLines(const std::filesystem::path& file);
// Writes lines as UTF-8 with a byte-order mark, each ended by CR LF, through a temporary file
// beside it. Throws std::runtime_error on failure.
void WriteScriptLines(const std::filesystem::path& file, const QStringList& lines);

}  // namespace app
