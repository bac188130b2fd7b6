#include "attach_poi.h"

#include <QAction>
#include <QLayout>
#include <QLineEdit>
#include <QPointer>
#include <QWidget>
#include <memory>

#include "app/places/web_gmaps_lookup_edit.h"
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
    // The place-search box keeps the region.
    const QPointer<TWebGMapsLookupEdit> box(w.searchBox);
    poi.region = [box] { return box ? box->Region() : QString(); };
    const QPointer<QWidget> bar(w.locationBar);
    poi.locationBarVisible = [bar] { return bar && bar->isVisible(); };
    QObject::connect(&poi, &PoiController::regionFound, &poi, [box](const QString& region) {
        if (box) {
            box->SetRegion(region);
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
