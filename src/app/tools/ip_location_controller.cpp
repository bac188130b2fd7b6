#include "ip_location_controller.h"

#include <QMetaObject>
#include <algorithm>

#include "app/page/page_scripts.h"
#include "app/services/services.h"
#include "engine/core/datum.h"
#include "engine/core/number_format.h"
#include "engine/core/tile_math.h"
#include "engine/settings/settings.h"
#include "geodata/search/geocoder.h"
#include "historic_versions.h"

namespace geodataui {
namespace {

constexpr int kMarkerZoom = 16;

void Join(std::thread& thread) {
    if (thread.joinable()) {
        thread.join();
    }
}

}  // namespace

IPLocationController::IPLocationController(app::IMapPage& page, app::IMessages& messages,
                                           engine::TSettings& settings, QObject* parent)
    : QObject(parent), page_(page), messages_(messages), settings_(settings) {}

IPLocationController::~IPLocationController() {
    stopping_ = true;
    Join(probeThread_);
    Join(lookupThread_);
}

bool IPLocationController::UpdateTileVerions() {
    if (probing_) {
        return false;
    }
    const auto newest =
        engine::ParseInt(settings_.GetStrSetting(engine::StrSetting::SatMapTileVerNew));
    if (!newest) {
        return false;
    }
    std::int32_t x = 0;
    std::int32_t y = 0;
    engine::LatLngToTileXY(kHistoricProbeZoom,
                           settings_.GetFloatSetting(engine::FloatSetting::Latitude),
                           settings_.GetFloatSetting(engine::FloatSetting::Longitude), x, y);
    Join(probeThread_);
    probing_ = true;
    versions_.clear();
    emit probeStarted();
    // Versions have three digits; a damaged value must not start thousands of requests.
    const int from = static_cast<int>(std::clamp<std::int64_t>(*newest, 0, 999));
    probeThread_ = std::thread([this, from, x, y] {
        ProbeHistoricVersions(
            from, x, y, [this] { return stopping_.load(); },
            [this](const std::string& version) {
                QMetaObject::invokeMethod(
                    this,
                    [this, text = QString::fromStdString(version)] {
                        versions_ << text;
                        emit versionFound(text);
                    },
                    Qt::QueuedConnection);
            });
        QMetaObject::invokeMethod(
            this, [this] { ProbeDone(); }, Qt::QueuedConnection);
    });
    return true;
}

void IPLocationController::ProbeDone() {
    probing_ = false;
    emit probeFinished();
}

void IPLocationController::ChooseVersion(const QString& version) {
    if (version.isEmpty()) {
        return;
    }
    settings_.SetStrSetting(engine::StrSetting::SatMapTileVer, version.toStdString());
    page_.LoadMaps();
}

bool IPLocationController::Locate(const QString& ip) {
    const std::string text = ip.toStdString();
    if (IsInvalidIPv4(text)) {
        messages_.ShowWarning(QString::fromUtf8(kInvalidIPMessage));
        return false;
    }
    if (locating_) {
        return true;
    }
    Join(lookupThread_);
    locating_ = true;
    const std::filesystem::path cachePath = settings_.GetStrSetting(engine::StrSetting::CachePath);
    lookupThread_ = std::thread([this, text, cachePath] {
        std::string address;
        engine::TGLatLng position;
        const bool found = geodata::LocateIP(cachePath, text, address, position).Found();
        QMetaObject::invokeMethod(
            this,
            [this, found, where = QString::fromStdString(address), position] {
                LocateDone(found, where, position.lat, position.lng);
            },
            Qt::QueuedConnection);
    });
    return true;
}

void IPLocationController::LocateDone(bool found, const QString& address, double lat, double lng) {
    locating_ = false;
    if (!found) {
        // No place is known: a marker at 0, 0 would only mislead.
        messages_.ShowWarning(QString::fromUtf8(kLookupFailedMessage));
        emit locateFinished(false);
        return;
    }
    engine::TGLatLng position{lat, lng};
    if (!page_.IsBaiduMap()) {
        position = engine::BD09ToGCJ02LatLng(position);
    }
    const QString value = QString::fromStdString(engine::FormatFixed(position.lat, 8) + "," +
                                                 engine::FormatFixed(position.lng, 8) + "," +
                                                 engine::FormatInt(kMarkerZoom));
    page_.RunScript(app::pagescript::AddMarker(value, address));
    emit locateFinished(true);
}

}  // namespace geodataui
