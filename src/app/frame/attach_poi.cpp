#include "attach_poi.h"

#include <QAction>
#include <QLayout>
#include <QLineEdit>
#include <QWidget>
#include <memory>

#include "app/poi/poi_controller.h"
#include "app/poi/poi_panel.h"
#include "app/tools/text_file_dialog.h"
#include "attach_context.h"
#include "engine/settings/settings.h"
#include "map_events.h"

namespace app {
namespace {

// Owns the save dialog for the controller, which goes first.
class PoiFeature : public QObject {
  public:
    PoiFeature(const FrameContext& frame, QObject* parent)
        : QObject(parent), dialogs(&frame.window) {
        controller = std::make_unique<PoiController>(
            frame.services, dialogs, frame.settings,
            frame.settings.GetStrSetting(engine::StrSetting::CachePath));
    }

    geodata_ui::QtTextFileDialogs dialogs;
    std::unique_ptr<PoiController> controller;
};

}  // namespace

void AttachPoi(const PoiWidgets& w, const FrameContext& frame) {
    auto* feature = new PoiFeature(frame, &frame.window);
    PoiController& poi = *feature->controller;
    poi.coordinates = w.coordinates;
    // The place-search box keeps the region; it is found by name so that no feature header
    // of the place panel is needed here.
    QWidget& window = frame.window;
    poi.region = [&window] {
        QObject* box = window.findChild<QObject*>(QStringLiteral("WebGMapsLookupEdit1"));
        return box ? box->property("region").toString() : QString();
    };

    poi.locationBarVisible = [&window] {
        auto* bar = window.findChild<QWidget*>(QStringLiteral("pnlLocation"));
        return bar != nullptr && bar->isVisible();
    };
    QObject::connect(&poi, &PoiController::regionFound, &poi, [&window](const QString& region) {
        if (QObject* box = window.findChild<QObject*>(QStringLiteral("WebGMapsLookupEdit1"))) {
            box->setProperty("region", region);
        }
    });

    auto* panel = new PoiPanel(poi, w.pnlPOI);
    w.pnlPOI->layout()->addWidget(panel);
    panel->edtKeyWord->setText(
        QString::fromStdString(frame.settings.GetStrSetting(engine::StrSetting::POIKeyWord)));
    panel->edtQueryTag->setText(
        QString::fromStdString(frame.settings.GetStrSetting(engine::StrSetting::POIQueryTag)));
    panel->AddClearMapAction(w.actclearShapeAndAreaMarker);

    w.actPOISearch->setEnabled(true);
    QObject::connect(w.actPOISearch, &QAction::triggered, &poi,
                     [&poi](bool checked) { poi.SetPanelShown(checked); });
    QObject::connect(&poi, &PoiController::panelShownChanged, w.pnlPOI, [w](bool shown) {
        w.actPOISearch->setChecked(shown);
        w.pnlPOI->setVisible(shown);
    });
    QObject::connect(&frame.mapEvents, &MapEvents::markerClicked, panel,
                     &PoiPanel::SelectMarkerRow);
}

}  // namespace app
