#pragma once
// The GPS panel of the main window without its widgets: start and stop following the receiver
// on the serial port, its port setup, and each fix shown on the map as the navigation marker.
// A receiver that goes away while followed ends the following; the panel offers a start again.
#include <QDateTime>
#include <QObject>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>

#include "geodata/gpx/gpx_model.h"
#include "gps_serial_port.h"

namespace geodataui {
class TComPortItem;
}

namespace app {

struct Services;

class GpsPanelController : public QObject {
    Q_OBJECT

  public:
    static constexpr const char* kNoDeviceMessage = "计算上未发现任何GPS设备。";
    static constexpr const char* kBaiduMessage = "百度地图不支持导航，请切换到其他地图。";
    // Fixes closer than this (whole seconds) to the last one shown are not shown.
    static constexpr qint64 kPacingSeconds = 8;

    // `port`: the serial port made at start-up with its stored settings. `logFolder`: where the
    // raw log of each day goes. `runPortSetup` runs the port-setup dialog on the port.
    GpsPanelController(Services& services, std::unique_ptr<geodataui::IGpsSerialPort> port,
                       std::filesystem::path logFolder,
                       std::function<void(geodataui::IGpsSerialPort&)> runPortSetup,
                       QObject* parent = nullptr);
    ~GpsPanelController() override;

    // actGPSNavigationExecute: flips the check mark and the panel's visibility.
    void actGPSNavigationExecute();
    // lblCloseNavClick on the GPS panel: unchecks the action and hides the panel.
    void lblCloseNavClick();
    void btnComSettingClick();
    void btnStartGPSClick();
    void btnStopGPSClick();
    // The receiver's fix handler; the point is dropped or shown, and freed either way.
    void DoDataNotify(std::unique_ptr<geodata::TGPXwpt> fix);

    // pnlGPSNavigation shown and actGPSNavigation checked.
    bool PanelVisible() const { return panelVisible_; }
    // btnStopGPS shown, btnStartGPS hidden, btnComSetting disabled.
    bool Following() const { return following_; }
    bool Connected() const;
    geodataui::IGpsSerialPort& Port() { return *port_; }

  signals:
    // The panel, the buttons or the check mark changed.
    void changed();

  private:
    void SetFollowing(bool following);

    Services& services_;
    std::unique_ptr<geodataui::IGpsSerialPort> ownedPort_;  // until the monitor takes it
    geodataui::IGpsSerialPort* port_;
    std::filesystem::path logFolder_;
    std::function<void(geodataui::IGpsSerialPort&)> runPortSetup_;
    std::unique_ptr<geodataui::TComPortItem> comPortItem_;  // made on the first start, kept
    std::optional<QDateTime> lastShown_;
    bool panelVisible_ = false;
    bool following_ = false;
};

// The fix time as the panel uses it: a time 8 whole hours from now (a receiver's UTC against
// the local clock) or 2 or more whole days from now (a time without its date) becomes now.
QDateTime FixTimeNear(engine::TDateTime fixTime, const QDateTime& now);

// Layers whose tiles are in WGS-84; every other layer needs a fix shifted to GCJ-02.
bool LayerTakesWgs84(engine::TMapType mapType);

}  // namespace app
