#include "layer_controller.h"

#include <cmath>

#include "app/frame/services.h"
#include "app/page/page_scripts.h"
#include "baidu_layer_switch.h"
#include "engine/core/catalogue.h"
#include "engine/core/datum.h"
#include "engine/core/profile_name.h"
#include "engine/settings/settings.h"
#include "geodata/boundary/boundary_store.h"

namespace app {

namespace {

constexpr int kMemoVertexLimit = 80;

// Two decimals, "." always, as the district query compares centres.
QString Cell(double lat, double lng) {
    return QString::number(lat, 'f', 2) + QString::number(lng, 'f', 2);
}

// The same vertices in the same order, up to the rounding of the page's encoded path
// (1e-5 degrees) and of its report.
bool SameArea(const std::vector<engine::TGLatLng>& a, const std::vector<engine::TGLatLng>& b) {
    constexpr double kTolerance = 2e-5;
    if (a.empty() || a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::abs(a[i].lat - b[i].lat) > kTolerance ||
            std::abs(a[i].lng - b[i].lng) > kTolerance) {
            return false;
        }
    }
    return true;
}

}  // namespace

LayerController::LayerController(engine::TSettings& settings, Services& services, Hooks hooks,
                                 QObject* parent)
    : QObject(parent), settings_(settings), services_(services), hooks_(std::move(hooks)) {
    oldMapType_ = services_.page.MapType();
}

// mniChangeMapTypeClick
void LayerController::ChangeMapType(int tag) {
    if (tag < 0 || tag >= engine::kMapTypeCount ||
        tag == settings_.GetIntSetting(engine::IntSetting::MapTypeIndex)) {
        return;
    }
    const auto newType = static_cast<engine::TMapType>(tag);
    emit mapTypeChecked(tag, MapTypeCaption(appTitle_, tag));
    LoadOrSwitch(newType);
    UpdateZoomLevelRange(newType);
    oldMapType_ = newType;
    if (hooks_.calculateStart) {
        hooks_.calculateStart();
    }
}

void LayerController::SwitchTo(engine::TMapType mapType) {
    LoadOrSwitch(mapType);
    CheckMapTypeMenu(mapType);
    UpdateZoomLevelRange(mapType);
}

// Steps 3 to 5 of the switch: the page host's layer and the setting, then a reload for the
// other page family or a call on the loaded page.
void LayerController::LoadOrSwitch(engine::TMapType newType) {
    services_.page.SetMapType(newType);
    settings_.SetIntSetting(engine::IntSetting::MapTypeIndex, static_cast<int>(newType));
    if (engine::IsBaiduMapType(oldMapType_) != engine::IsBaiduMapType(newType)) {
        services_.page.LoadMaps();
    } else {
        ChangeMapTypeAndFocus(newType);
    }
}

void LayerController::CheckMapTypeMenu(engine::TMapType mapType) {
    const int tag = static_cast<int>(mapType);
    emit mapTypeChecked(tag, MapTypeCaption(appTitle_, tag));
    oldMapType_ = services_.page.MapType();
}

void LayerController::UpdateZoomLevelRange(engine::TMapType mapType) {
    const ZoomRange range =
        ZoomLevelRange(mapType, settings_.GetBoolSetting(engine::BoolSetting::BigFontMode));
    emit zoomItemsChanged(ZoomItemsFor(range, zoomLevels_));
}

void LayerController::SetMapTypeId(engine::TMapType mapType, int cityNameIndex) {
    if (!services_.page.IsBaiduMap()) {
        services_.page.ExecJavaScript(pagescript::ChangeMapType(mapType, false));
        return;
    }
    SwitchBaiduLayer(settings_, services_.page, mapType, cityNameIndex);
}

void LayerController::ChangeMapTypeAndFocus(engine::TMapType mapType) {
    SetMapTypeId(mapType, 0);
    emit focusMapRequested();
}

void LayerController::OnMapMouseMoveEvent(double lat, double lng) {
    emit mouseTextChanged(QStringLiteral("经纬度:%1,%2")
                              .arg(QString::number(lng, 'f', 5), QString::number(lat, 'f', 5)));
    emit focusMapRequested();
}

void LayerController::OnMapZoomChangedEvent(int zoom) {
    // Only whole levels with a scale and resolution entry.
    if (zoom < 0 || zoom >= static_cast<int>(engine::ZoomScales.size())) {
        return;
    }
    emit zoomTextChanged(QStringLiteral("地图级别:%1 比例尺:1/%2 分辨率:%3米/像素 ")
                             .arg(zoom)
                             .arg(static_cast<qint64>(std::trunc(engine::ZoomScales[zoom])))
                             .arg(QString::number(engine::ZoomResolutions[zoom], 'f', 1)));
    settings_.SetIntSetting(engine::IntSetting::ZoomLevel, zoom);
}

void LayerController::OnMapCenterChanged(double lat, double lng) {
    if (services_.page.IsBaiduMap()) {
        double gcjLat = 0;
        double gcjLng = 0;
        engine::BD09ToGCJ02(lat, lng, gcjLat, gcjLng);
        lat = gcjLat;
        lng = gcjLng;
    }
    const double oldLat = settings_.GetFloatSetting(engine::FloatSetting::Latitude);
    const double oldLng = settings_.GetFloatSetting(engine::FloatSetting::Longitude);
    if (Cell(lat, lng) != Cell(oldLat, oldLng)) {
        emit districtQueryRequested();
    }
    settings_.SetFloatSetting(engine::FloatSetting::Latitude, lat);
    settings_.SetFloatSetting(engine::FloatSetting::Longitude, lng);
}

void LayerController::OnPlotLatlngsEvent(const QString& results) {
    if (results.isEmpty()) {
        return;
    }
    QString coordinates = results;
    coordinates.replace(QLatin1Char(';'), QLatin1Char(','));
    std::vector<engine::TGLatLng> latLngs =
        geodata::TBoundary::StrToArray(coordinates.toStdString());
    const int count = static_cast<int>(latLngs.size());
    if (count < kMemoVertexLimit) {
        emit coordinatesTextShown(coordinates);
    }
    // The page reporting back the area it was given (a loaded task's) keeps the task's name;
    // only another area is a new task.
    if (!(hooks_.currentArea && SameArea(latLngs, hooks_.currentArea()))) {
        QString name = QString::fromStdString(engine::MakeProfileName(services_.page.MapType()));
        const QString lastNode =
            QString::fromStdString(settings_.GetStrSetting(engine::StrSetting::LastNodeText));
        if (!lastNode.isEmpty()) {
            name = lastNode + name;
        }
        emit profileNameProposed(name);
    }
    if (hooks_.setArea) {
        hooks_.setArea(std::move(latLngs), coordinates, count);
    }
    if (hooks_.calculateStart) {
        hooks_.calculateStart();
    }
}

}  // namespace app
