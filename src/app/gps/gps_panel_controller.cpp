#include "gps_panel_controller.h"

#include <cmath>

#include "app/page/page_scripts.h"
#include "app/services/services.h"
#include "com_port_item.h"
#include "engine/core/datum.h"
#include "geodata/nmea/nmea_file.h"

namespace app {
namespace {

constexpr qint64 kMsPerHour = 3600 * 1000;
constexpr qint64 kMsPerDay = 24 * kMsPerHour;

QDateTime FromDateTime(engine::TDateTime value, const QDateTime& like) {
    const QDateTime origin(QDate(1899, 12, 30), QTime(0, 0), like.timeSpec());
    return origin.addMSecs(static_cast<qint64>(std::llround(value * kMsPerDay)));
}

bool Invalid(const geodata::TGPXwpt& fix) {
    return fix.sat == geodata::kSatNoFix || fix.fix == "none" ||
           (fix.Latitude == 0 && fix.Longitude == 0);
}

}  // namespace

QDateTime FixTimeNear(engine::TDateTime fixTime, const QDateTime& now) {
    const QDateTime time = FromDateTime(fixTime, now);
    const qint64 apart = std::llabs(now.msecsTo(time));
    if (apart / kMsPerHour == 8 || apart / kMsPerDay >= 2) {
        return now;
    }
    return time;
}

bool LayerTakesWgs84(engine::TMapType mapType) {
    const int layer = static_cast<int>(mapType);
    return layer == 5 || layer == 16 || (layer >= 22 && layer <= 24) ||
           (layer >= 34 && layer <= 37) || (layer >= 45 && layer <= 48);
}

GpsPanelController::GpsPanelController(Services& services,
                                       std::unique_ptr<geodataui::IGpsSerialPort> port,
                                       std::filesystem::path logFolder,
                                       std::function<void(geodataui::IGpsSerialPort&)> runPortSetup,
                                       QObject* parent)
    : QObject(parent),
      services_(services),
      ownedPort_(std::move(port)),
      port_(ownedPort_.get()),
      logFolder_(std::move(logFolder)),
      runPortSetup_(std::move(runPortSetup)) {}

GpsPanelController::~GpsPanelController() = default;

bool GpsPanelController::Connected() const {
    return comPortItem_ && comPortItem_->Connected();
}

void GpsPanelController::actGPSNavigationExecute() {
    panelVisible_ = !panelVisible_;
    emit changed();
}

void GpsPanelController::lblCloseNavClick() {
    panelVisible_ = false;
    emit changed();
}

void GpsPanelController::btnComSettingClick() {
    if (runPortSetup_) {
        runPortSetup_(*port_);
    }
}

void GpsPanelController::btnStartGPSClick() {
    if (port_->PortName().isEmpty()) {
        services_.messages.ShowError(QString::fromUtf8(kNoDeviceMessage));
        return;
    }
    if (services_.page.IsBaiduMap()) {
        services_.messages.ShowInfo(QString::fromUtf8(kBaiduMessage));
        return;
    }
    if (!comPortItem_) {
        comPortItem_ = std::make_unique<geodataui::TComPortItem>(
            std::move(ownedPort_), geodata::NmeaDayLog(logFolder_),
            [this](const std::string& message) {
                services_.messages.ShowPlain(QString::fromStdString(message));
            });
        comPortItem_->SetOnDataNotify([this](geodata::GpsReceiver&,
                                             std::unique_ptr<geodata::TGPXwpt> fix,
                                             int) { DoDataNotify(std::move(fix)); });
        comPortItem_->SetOnConnectionLost([this] { SetFollowing(false); });
    }
    comPortItem_->Start();
    // A port that cannot be opened has shown its message; the panel stays as it was.
    if (!comPortItem_->Connected()) {
        return;
    }
    SetFollowing(true);
    services_.page.RunScript(pagescript::ClearNavigationMarker());
}

void GpsPanelController::btnStopGPSClick() {
    SetFollowing(false);
    if (comPortItem_) {
        comPortItem_->Stop();
    }
}

void GpsPanelController::DoDataNotify(std::unique_ptr<geodata::TGPXwpt> fix) {
    if (!fix || Invalid(*fix)) {
        return;
    }
    const QDateTime fixTime = FixTimeNear(fix->DateTime, services_.clock.CurrentDateTime());
    if (lastShown_ && std::llabs(lastShown_->secsTo(fixTime)) <= kPacingSeconds) {
        return;
    }
    engine::TGLatLng position{fix->Latitude, fix->Longitude};
    if (!LayerTakesWgs84(services_.page.MapType())) {
        position = engine::WGS84ToGCJ02(position);
    }
    if (services_.page.IsBaiduMap()) {
        return;
    }
    services_.page.RunScript(pagescript::AddNavigationMarker(
        position.lat, position.lng, fix->sat, fix->Altitude,
        fixTime.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")), QString()));
    lastShown_ = fixTime;
}

void GpsPanelController::SetFollowing(bool following) {
    following_ = following;
    emit changed();
}

}  // namespace app
