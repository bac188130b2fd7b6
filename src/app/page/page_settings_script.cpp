#include "page_settings_script.h"

#include <functional>
#include <stdexcept>
#include <utility>
#include <vector>

#include "engine/core/atomic_file.h"
#include "engine/core/datum.h"
#include "engine/core/number_format.h"
#include "engine/core/text_helpers.h"
#include "script_text.h"

namespace app {
namespace {

using Rule = std::pair<const char*, std::function<QString()>>;

QString Flag(const char* name, bool value) {
    return QString::fromLatin1(name) + QStringLiteral(" = ") + JsBool(value) + u';';
}

QString Text(const std::string& value) {
    return JsString(QString::fromStdString(value));
}

QString Fixed(double value, int decimals) {
    return QString::fromStdString(engine::FormatFixed(value, decimals));
}

// The tile folder with a closing separator, as the page joins layer folders onto it: a
// backslash for a folder written with backslashes, else "/".
QString TileFolder(const std::string& folder) {
    QString text = QString::fromStdString(folder);
    if (!text.endsWith(u'/') && !text.endsWith(u'\\')) {
        text += text.contains(u'\\') && !text.contains(u'/') ? u'\\' : u'/';
    }
    return text;
}

std::vector<Rule> PolygonRules(const PageSettings& s) {
    return {
        {"strokeColor", [&s] { return "strokeColor: " + Text(s.PolygonStrokeColor) + ","; }},
        {"fillColor", [&s] { return "fillColor : " + Text(s.PolygonFillColor) + ","; }},
        {"fillOpacity",
         [&s] { return "fillOpacity: " + Fixed(s.PolygonFillOpacity / 100.0, 2) + ","; }},
        {"strokeWeight", [&s] { return "strokeWeight: " + JsInt(s.PolygonStrokeWeight) + ","; }},
        {"strokeOpacity",
         [&s] { return "strokeOpacity:" + Fixed(s.PolygonStrokeOpacity / 100.0, 2) + ","; }},
    };
}

// A rule without a maker keeps its line as it is (and no later key claims it).
QStringList Rewrite(const QStringList& lines, const std::vector<Rule>& rules) {
    QStringList out;
    out.reserve(lines.size());
    for (const QString& line : lines) {
        QString written = line;
        for (const auto& [key, make] : rules) {
            if (line.contains(QLatin1String(key))) {
                if (make) {
                    written = make();
                }
                break;
            }
        }
        out << written;
    }
    return out;
}

QString Centre(const char* name, double value) {
    return QString::fromLatin1(name) + " = " + Fixed(value, 5) + ";";
}

QString Zoom(int zoom) {
    return "zeb.DEFAULT_ZOOM = " + JsInt(zoom) + "; ";
}

}  // namespace

QStringList RewriteGoogleSettings(const QStringList& lines, const PageSettings& s) {
    std::vector<Rule> rules = {
        {"zeb.showCopyright", [&s] { return Flag("zeb.showCopyright", s.ShowCopyright); }},
        {"zeb.showResolutionMapScale",
         [&s] { return Flag("zeb.showResolutionMapScale", s.ShowResolutionMapScale); }},
        {"zeb.offlineMode", [&s] { return Flag("zeb.offlineMode", s.OfflineMode); }},
        {"zeb.showCoordGrid", [&s] { return Flag("zeb.showCoordGrid", s.ShowCoordGrid); }},
        {"zeb.GOOGLE_M_VER", [&s] { return "zeb.GOOGLE_M_VER = " + Text(s.RoadMapTileVer) + ";"; }},
        {"zeb.GOOGLE_H_VER", [&s] { return "zeb.GOOGLE_H_VER = " + Text(s.RoadMapTileVer) + ";"; }},
        {"GOOGLE_S_VER", [&s] { return "zeb.GOOGLE_S_VER = " + Text(s.SatMapTileVer) + ";"; }},
        {"zeb.DEFAULT_MAPTYPE_INDEX",
         [&s] { return "zeb.DEFAULT_MAPTYPE_INDEX = " + JsInt(s.MapTypeIndex) + ";"; }},
        {"zeb.DEFAULT_LATITUDE", [&s] { return Centre("zeb.DEFAULT_LATITUDE", s.Latitude); }},
        {"zeb.DEFAULT_LONGITUDE", [&s] { return Centre("zeb.DEFAULT_LONGITUDE", s.Longitude); }},
        {"zeb.DEFAULT_ZOOM", [&s] { return Zoom(s.ZoomLevel); }},
        {"zeb.languageCode",
         [&s] { return "zeb.languageCode = " + Text(s.MapLanguageCode) + ";"; }},
        {"zeb.mapsever",
         [&s] {
             return "zeb.mapsever = " +
                    Text(s.MapSeverIndex < 1 ? kGoogleChinaHostPattern
                                             : kGoogleInternationalHostPattern) +
                    ";";
         }},
        // High-definition tiles are never asked for: the load always clears the big-font mode.
        {"zeb.GOOGLE_HD_VER", [] { return QStringLiteral("zeb.GOOGLE_HD_VER = \"\";"); }},
        {"zeb.STYLE_PARAMS_URL",
         [&s] { return "zeb.STYLE_PARAMS_URL = " + Text(s.StyleParamsURL) + "; "; }},
        {"zeb.showAreaLabel", [&s] { return Flag("zeb.showAreaLabel", s.ShowAreaLabel); }},
        {"zeb.TILE_PATH",
         [&s] { return "zeb.TILE_PATH = " + JsString(TileFolder(s.OutPutDirectory)) + ";"; }},
    };
    for (auto& rule : PolygonRules(s)) {
        rules.push_back(std::move(rule));
    }
    return Rewrite(lines, rules);
}

QStringList RewriteBaiduSettings(const QStringList& lines, const PageSettings& s,
                                 engine::TMapType mapType) {
    double lat = 0;
    double lng = 0;
    engine::GCJ02ToBD09(s.Latitude, s.Longitude, lat, lng);
    int index = 0;
    switch (mapType) {
        case engine::TMapType::mtBaiduSatellite:
            index = 2;
            break;
        case engine::TMapType::mtBaiduHybrid:
            index = 3;
            break;
        case engine::TMapType::mtBaidu3D:
            index = 5;
            break;
        default:
            index = 0;
            break;
    }
    const auto quoted = [](const char* name, const std::string& value) {
        return QString::fromLatin1(name) + "=" + Text(value) + ";";
    };
    std::vector<Rule> rules = {
        {"zeb.DEFAULT_LATITUDE", [lat] { return Centre("zeb.DEFAULT_LATITUDE", lat); }},
        {"zeb.DEFAULT_LONGITUDE", [lng] { return Centre("zeb.DEFAULT_LONGITUDE", lng); }},
        {"zeb.DEFAULT_ZOOM", [&s] { return Zoom(s.ZoomLevel); }},
        // Also catches the line of the default layer object: the page goes by the index.
        {"zeb.DEFAULT_MAPTYPE",
         [index] { return "zeb.DEFAULT_MAPTYPE_INDEX = " + JsInt(index) + ";"; }},
        {"zeb.showCopyright", [&s] { return Flag("zeb.showCopyright", s.ShowCopyright); }},
        {"zeb.showAreaLabel", [&s] { return Flag("zeb.showAreaLabel", s.ShowAreaLabel); }},
        {"zeb.showResolutionMapScale",
         [&s] { return Flag("zeb.showResolutionMapScale", s.ShowResolutionMapScale); }},
    };
    rules.push_back({"zeb.scaledDrawingBar", nullptr});
    for (auto& rule : PolygonRules(s)) {
        rules.push_back(std::move(rule));
    }
    rules.push_back({"zeb.normalUDT", [&] { return quoted("zeb.normalUDT", s.BNormalUDT); }});
    rules.push_back({"zeb.normalVer", [&] { return quoted("zeb.normalVer", s.BNormalVer); }});
    rules.push_back(
        {"zeb.satelliteUDT", [&] { return quoted("zeb.satelliteUDT", s.BSatelliteUDT); }});
    rules.push_back(
        {"zeb.satelliteVer", [&] { return quoted("zeb.satelliteVer", s.BSatelliteVer); }});
    rules.push_back({"zeb.satelliteStreetUDT",
                     [&] { return quoted("zeb.satelliteStreetUDT", s.BSatelliteStreetUDT); }});
    rules.push_back({"zeb.satelliteStreetVer",
                     [&] { return quoted("zeb.satelliteStreetVer", s.BSatelliteStreetVer); }});
    return Rewrite(lines, rules);
}

QStringList ReadScriptLines(const std::filesystem::path& file) {
    std::string bytes;
    if (!engine::ReadFileBytes(file, bytes)) {
        throw std::runtime_error("cannot read " + file.string());
    }
    if (bytes.starts_with(engine::kUtf8Bom)) {
        bytes.erase(0, engine::kUtf8Bom.size());
    }
    QString text = QString::fromUtf8(bytes);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QStringList lines = text.split(u'\n');
    if (!lines.isEmpty() && lines.back().isEmpty()) {
        lines.removeLast();  // the last line's own line end
    }
    return lines;
}

void WriteScriptLines(const std::filesystem::path& file, const QStringList& lines) {
    QByteArray bytes(engine::kUtf8Bom.data(), static_cast<qsizetype>(engine::kUtf8Bom.size()));
    for (const QString& line : lines) {
        bytes += line.toUtf8();
        bytes += "\r\n";
    }
    if (!engine::WriteFileAtomic(file, std::string_view(bytes.constData(), bytes.size()))) {
        throw std::runtime_error("cannot write " + file.string());
    }
}

}  // namespace app
