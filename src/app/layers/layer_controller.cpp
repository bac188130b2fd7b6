#include "layer_controller.h"

#include <QPointer>
#include <cmath>

#include "app/page/page_scripts.h"
#include "app/services/page_wait.h"
#include "app/services/services.h"
#include "baidu_layer_switch.h"
#include "engine/core/catalogue.h"
#include "engine/core/datum.h"
#include "engine/core/profile_name.h"
#include "engine/settings/settings.h"
#include "geodata/boundary/boundary_store.h"
#include "same_area.h"

namespace app {

namespace {

constexpr int kMemoVertexLimit = 80;

// Two decimals, "." always, as the district query compares centres.
QString Cell(double lat, double lng) {
    return QString::number(lat, 'f', 2) + QString::number(lng, 'f', 2);
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
        tag == settings_.GetIntSetting(engine::IntSetting::MapTypeIndex) ||
        services_.pageWait.Busy()) {
        return;
    }
    const auto newType = static_cast<engine::TMapType>(tag);
    // After the switch, so that what follows the mark (the grid and offline items) is judged
    // for the layer now shown.
    Switch(newType);
    emit mapTypeChecked(tag, MapTypeCaption(appTitle_, tag));
    UpdateZoomLevelRange(newType);
    if (hooks_.calculateStart) {
        hooks_.calculateStart();
    }
}

void LayerController::SwitchTo(engine::TMapType mapType) {
    Switch(mapType);
    CheckMapTypeMenu(mapType);
    UpdateZoomLevelRange(mapType);
}

// Steps 3 to 5 of the switch: the page host's layer, the setting and the shown layer are
// stored first, then the page is told: a reload for the other page family, a call on the
// loaded page otherwise (waited for with the controls off).
void LayerController::Switch(engine::TMapType newType) {
    const bool reload = engine::IsBaiduMapType(oldMapType_) != engine::IsBaiduMapType(newType);
    services_.page.SetMapType(newType);
    settings_.SetIntSetting(engine::IntSetting::MapTypeIndex, static_cast<int>(newType));
    oldMapType_ = newType;
    if (reload) {
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

void LayerController::SetMapTypeId(engine::TMapType mapType, int cityNameIndex,
                                   std::function<void()> then) {
    auto answered = [then = std::move(then)](const QString&) {
        if (then) {
            then();
        }
    };
    if (!services_.page.IsBaiduMap()) {
        services_.pageWait.Run(pagescript::ChangeMapType(mapType, false), std::move(answered));
        return;
    }
    SwitchBaiduLayer(settings_, services_.pageWait, mapType, cityNameIndex, std::move(answered));
}

void LayerController::ChangeMapTypeAndFocus(engine::TMapType mapType) {
    SetMapTypeId(mapType, 0, [self = QPointer<LayerController>(this)] {
        if (self) {
            emit self->focusMapRequested();
        }
    });
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

void LayerController::ExpectRedraw(const QString& coordinates) {
    redrawn_ = geodata::TBoundary::StrToArray(coordinates.toStdString());
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
    // The page reporting back the area of the task (shown by its load) or the area it was given
    // again after a reload keeps the name in the box; an area the user made is offered a new
    // one. A redraw's area counts until the page reports another.
    const bool redraw = SameArea(latLngs, redrawn_);
    if (!redraw) {
        redrawn_.clear();
    }
    if (!redraw && !(hooks_.taskArea && SameArea(latLngs, hooks_.taskArea()))) {
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
