#include "page_scripts.h"

#include <QStringList>

#include "engine/core/catalogue.h"
#include "engine/core/number_format.h"
#include "script_text.h"

namespace app::pagescript {
namespace {

// The view a position text falls back to field by field (the page's full view).
constexpr double kDefaultLatitude = 32.694866;
constexpr double kDefaultLongitude = 105.996094;
constexpr int kDefaultZoom = 4;

QString Fixed6(double value) {
    return QString::fromStdString(engine::FormatFixed(value, 6));
}

QString Str(const std::string& text) {
    return JsString(QString::fromStdString(text));
}

QStringList NumbersOf(const QString& commaList) {
    QStringList numbers;
    for (const QString& field : commaList.split(u',')) {
        numbers << JsNumber(engine::ParseFloat(field.trimmed().toStdString()).value_or(0));
    }
    return numbers;
}

QString LayerId(engine::TMapType mapType) {
    return JsString(
        QString::fromUtf8(engine::MapTypeIds[static_cast<std::size_t>(mapType)].data(),
                          engine::MapTypeIds[static_cast<std::size_t>(mapType)].size()));
}

}  // namespace

QString SetCenterAndZoom(const QString& latLngZoom) {
    const QStringList fields = latLngZoom.split(u',');
    if (fields.size() < 3) {
        return QString();  // a damaged view position leaves the view as it is
    }
    const auto number = [&fields](int i, double fallback) {
        return engine::ParseFloat(fields[i].toStdString()).value_or(fallback);
    };
    const int zoom = engine::ParseInt32(fields[2].toStdString()).value_or(kDefaultZoom);
    return JsCall(QStringLiteral("setCenterAndZoom"),
                  {JsNumber(number(0, kDefaultLatitude)), JsNumber(number(1, kDefaultLongitude)),
                   JsInt(zoom)});
}

QString SetCenterAndZoom(double lat, double lng, int zoom) {
    return JsCall(QStringLiteral("setCenterAndZoom"), {Fixed6(lat), Fixed6(lng), JsInt(zoom)});
}

QString ShowBoundary(const QString& encodedPath) {
    return JsCall(QStringLiteral("showBoundary"), {JsString(encodedPath)});
}

QString AddNewMarker(int id, const engine::TGLatLng& position, const geodata::TPOIData& poi,
                     bool center) {
    return JsCall(
        QStringLiteral("addNewMarker"),
        {JsInt(id), Fixed6(position.lat), Fixed6(position.lng), JsBool(center), Str(poi.name),
         Str(poi.address), Str(poi.telephone), Str(poi.detail.tag), Str(poi.detail.url)});
}

QString AddPOI(std::int64_t id, const QString& name, double lat, double lng, const QString& content,
               bool isTemp, bool center) {
    return JsCall(QStringLiteral("addPOI"), {JsInt(id), JsString(name), Fixed6(lat), Fixed6(lng),
                                             JsString(content), JsBool(isTemp), JsBool(center)});
}

QString AddMarker(const QString& latLngZoom, const QString& title) {
    QStringList arguments = NumbersOf(latLngZoom);
    arguments << JsString(title);
    return JsCall(QStringLiteral("addMarker"), arguments);
}

QString AddNavigationMarker(const QString& latLngZoom) {
    return JsCall(QStringLiteral("addNavigationMarker"), NumbersOf(latLngZoom));
}

QString AddNavigationMarker(double lat, double lng, int satellites, double altitude,
                            const QString& time, const QString& text) {
    const auto fixed = [](double value, int decimals) {
        return QString::fromStdString(engine::FormatFixed(value, decimals));
    };
    return JsCall(QStringLiteral("addNavigationMarker"),
                  {fixed(lat, 8), fixed(lng, 8), JsInt(satellites), fixed(altitude, 2),
                   JsString(time), JsString(text)});
}

QString ClearNavigationMarker() {
    return JsCall(QStringLiteral("clearNavigationMarker"), {});
}

QString DeletePOIMarker(std::int64_t id) {
    return JsCall(QStringLiteral("deletePOIMarker"), {JsInt(id)});
}

QString DecodePath(const QString& encodedPath) {
    return JsCall(QStringLiteral("decodePath"), {JsString(encodedPath)});
}

QString EncodePath(const QString& path) {
    return JsCall(QStringLiteral("encodePath"), {JsString(path)});
}

QString GetBoundary(const QString& cityName) {
    return JsCall(QStringLiteral("getBoundary"), {JsString(cityName)});
}

QString SetMapTypeId(engine::TMapType mapType) {
    return JsCall(QStringLiteral("zeb.map.setMapTypeId"), {LayerId(mapType)});
}

QString ChangeMapType(engine::TMapType mapType, bool baiduPage, const QString& city,
                      const QString& latLngZoom) {
    if (!baiduPage) {
        return JsCall(QStringLiteral("changeMapType"), {LayerId(mapType)});
    }
    switch (mapType) {
        case engine::TMapType::mtBaiduSatellite:
            return QStringLiteral("zeb.map.setMapType(BMAP_SATELLITE_MAP);");
        case engine::TMapType::mtBaiduHybrid:
            return QStringLiteral("zeb.map.setMapType(BMAP_HYBRID_MAP);");
        case engine::TMapType::mtBaidu3D:
            return QStringLiteral("zeb.map.setMapType(BMAP_PERSPECTIVE_MAP);") +
                   JsCall(QStringLiteral("zeb.map.setCurrentCity"), {JsString(city)}) +
                   SetCenterAndZoom(latLngZoom);
        default:
            return QStringLiteral("zeb.map.setMapType(BMAP_NORMAL_MAP);");
    }
}

QString OfflineMode(bool offline) {
    return offline ? QStringLiteral("setOfflineMode();") : QStringLiteral("setOnlineMode();");
}

QString CoordGrid(bool shown) {
    return shown ? QStringLiteral("addCoordGrid();") : QStringLiteral("removeCoordGrid();");
}

QString FullView() {
    return QStringLiteral("fullView();");
}

QString ClearAllOverlays() {
    return QStringLiteral("clearAllOverlays();");
}

QString ShowCurrentView() {
    return QStringLiteral("showCurrentView();");
}

QString DeleteTempPOIMarkers() {
    return QStringLiteral("deleteTempPOIMarkers();");
}

QString DrawingManager(bool shown) {
    return shown ? QStringLiteral("showDrawingManager();")
                 : QStringLiteral("hideDrawingManager();");
}

QString ZoomIn() {
    return QStringLiteral("zeb.map.zoomIn();");
}

QString ZoomOut() {
    return QStringLiteral("zeb.map.zoomOut();");
}

QString TrafficLayer(bool shown) {
    return shown ? QStringLiteral("addTrafficTileLayer();")
                 : QStringLiteral("removeTrafficTileLayer();");
}

QString StartMarkerDrawing(bool baiduPage) {
    return baiduPage ? QStringLiteral(
                           "zeb.drawingManager.setDrawingMode(BMAP_DRAWING_MARKER);"
                           "zeb.drawingManager.open();")
                     : QStringLiteral(
                           "zeb.drawingManager.setDrawingMode(google.maps.drawing.OverlayType."
                           "MARKER);");
}

QString SetStyleParams(const QString& params) {
    return JsCall(QStringLiteral("setStyleParams"), {JsString(params)});
}

}  // namespace app::pagescript
