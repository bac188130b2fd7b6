#include "attach_gps.h"

#include <QAction>
#include <QPushButton>

#include "app/gps/com_setup_form.h"
#include "app/gps/gps_panel.h"
#include "app/gps/gps_panel_controller.h"
#include "app/gps/serial_gps_port.h"
#include "app/services/services.h"
#include "attach_context.h"
#include "engine/settings/settings_paths.h"
#include "geodata/gps/port_settings.h"

namespace app {

QWidget* AttachGps(const GpsWidgets& w, const FrameContext& frame) {
    const engine::XdgBaseDirs dirs = engine::XdgBaseDirsFromEnvironment();
    const std::filesystem::path settingsFile = geodataui::SerialSettingsFile(dirs);

    // The port is made once at start-up with its stored settings.
    auto port = std::make_unique<geodataui::SerialGpsPort>();
    geodata::ComPortSettings settings;
    geodata::LoadPortSettings(settingsFile, geodataui::kSerialSettingsSection, settings);
    port->ApplySettings(settings);

    QWidget* window = &frame.window;
    IMessages* messages = &frame.services.messages;
    auto* gps = new GpsPanelController(
        frame.services, std::move(port), geodataui::GpsLogFolder(dirs),
        [window, settingsFile, messages](geodataui::IGpsSerialPort& serial) {
            geodataui::RunComSetupDialog(window, serial, settingsFile, *messages);
        },
        window);

    auto* panel = new GpsPanel(w.mapArea);
    // Right of the drawing tools that both map pages put in their top-left corner, so that the
    // panel does not hide them.
    panel->move(56, 10);
    QObject::connect(w.actGPSNavigation, &QAction::triggered, gps,
                     [gps] { gps->actGPSNavigationExecute(); });
    QObject::connect(panel, &GpsPanel::closeClicked, gps, [gps] { gps->lblCloseNavClick(); });
    QObject::connect(panel->btnComSetting, &QPushButton::clicked, gps,
                     [gps] { gps->btnComSettingClick(); });
    QObject::connect(panel->btnStartGPS, &QPushButton::clicked, gps,
                     [gps] { gps->btnStartGPSClick(); });
    QObject::connect(panel->btnStopGPS, &QPushButton::clicked, gps,
                     [gps] { gps->btnStopGPSClick(); });
    QObject::connect(gps, &GpsPanelController::changed, panel,
                     [gps, panel, action = w.actGPSNavigation] {
                         action->setChecked(gps->PanelVisible());
                         panel->Refresh(gps->PanelVisible(), gps->Following());
                     });
    w.actGPSNavigation->setChecked(false);
    w.actGPSNavigation->setEnabled(true);
    return panel;
}

}  // namespace app
