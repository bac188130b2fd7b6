#include "attach_places.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QLayout>
#include <QMenu>
#include <QPointer>
#include <QStatusBar>
#include <QWebEnginePage>
#include <memory>

#include "app/layers/layer_controller.h"
#include "app/page/page_host.h"
#include "app/places/city_tree_panel.h"
#include "app/places/coordinates_panel.h"
#include "app/places/location_bar.h"
#include "app/places/place_search_controller.h"
#include "app/places/places_controller.h"
#include "app/places/web_gmaps_lookup_edit.h"
#include "app/services/services.h"
#include "app/tasks/task_controller.h"
#include "app/tools/text_file_dialog.h"
#include "attach_context.h"
#include "engine/download/installed_data.h"
#include "engine/log/logger.h"
#include "engine/settings/settings.h"
#include "geodata/boundary/boundary_store.h"
#include "map_events.h"

namespace app {
namespace {

// Owns the boundary store and the save dialog for the controller, which goes first.
class PlacesFeature : public QObject {
  public:
    PlacesFeature(const FrameContext& frame, QObject* parent)
        : QObject(parent), dialogs(&frame.window) {
        const std::filesystem::path userFile =
            frame.settings.Paths().configFile.parent_path() / "boundary.dat";
        boundary = std::make_unique<geodata::TBoundary>(userFile,
                                                        engine::InstalledDataFile("boundary.dat"));
        if (!boundary->LoadError().empty()) {
            engine::AppendLog("Boundary store: " + boundary->LoadError());
        }
        controller = std::make_unique<PlacesController>(
            frame.services, dialogs, frame.settings, *boundary,
            frame.settings.GetStrSetting(engine::StrSetting::CachePath));
    }

    geodata_ui::QtTextFileDialogs dialogs;
    std::unique_ptr<geodata::TBoundary> boundary;
    std::unique_ptr<PlacesController> controller;
};

QByteArray CityData() {
    QFile file(QString::fromStdString(CityDataFile().string()));
    if (!file.open(QIODevice::ReadOnly)) {
        engine::AppendLog("The place tree (china_citydata.txt) is missing");
        return {};
    }
    return file.readAll();
}

}  // namespace

PlacesParts AttachPlaces(const PlacesWidgets& w, LayerController& layers, TaskController& tasks,
                         const FrameContext& frame) {
    auto* feature = new PlacesFeature(frame, &frame.window);
    PlacesController& places = *feature->controller;
    places.coordinates = w.coordinates;
    places.onSwitch3DCity = [&layers](int city) {
        layers.SetMapTypeId(engine::TMapType::mtBaidu3D, city);
    };

    auto* tree = new CityTreePanel(places, w.pnlChinaCity, w.actExportBoundary);
    w.pnlChinaCity->layout()->addWidget(tree);
    tree->SearchBox()->Lookup().cachePath =
        frame.settings.GetStrSetting(engine::StrSetting::CachePath);
    auto* area = new CoordinatesPanel(places, w.pnlCoordinates);
    w.pnlCoordinates->layout()->addWidget(area);
    auto* bar = new LocationBar(w.crm);

    w.actExportBoundary->setEnabled(places.CanExportBoundary());
    auto refreshExport = [w, &places] {
        w.actExportBoundary->setEnabled(places.CanExportBoundary());
    };
    for (QObject* owner : w.actExportBoundary->associatedObjects()) {
        if (auto* menu = qobject_cast<QMenu*>(owner)) {
            QObject::connect(menu, &QMenu::aboutToShow, &places, refreshExport);
        }
    }

    QObject::connect(&places, &PlacesController::profileNameChanged, w.cbbProfile,
                     &QComboBox::setEditText);
    QObject::connect(&places, &PlacesController::copyToClipboard, &places,
                     [](const QString& text) { QApplication::clipboard()->setText(text); });
    // A failed lookup is said in the status bar: no dialog stops the user while typing or
    // panning, and the next lookup's answer simply replaces it.
    auto sayFailure = [bar = w.StatusBar](const QString& message) {
        bar->showMessage(message, 10000);
    };
    QObject::connect(&places, &PlacesController::lookupFailed, w.StatusBar, sayFailure);
    QObject::connect(&tree->SearchBox()->Lookup(), &PlaceSearchController::lookupFailed,
                     w.StatusBar, sayFailure);
    QObject::connect(&places, &PlacesController::focusMap, w.crm,
                     [crm = w.crm] { crm->setFocus(); });
    // The frame context lives only while the features are attached: keep what it points to.
    Services* services = &frame.services;
    QObject::connect(
        &places, &PlacesController::locationBarChanged, bar,
        [bar, services, gps = QPointer<QWidget>(w.gpsPanel)](const QString& text, bool visible) {
            int left = services->page.IsBaiduMap() ? 18 : 8;
            if (gps) {
                left += gps->width();
            }
            bar->ShowText(text, visible, left);
        });

    QObject::connect(&layers, &LayerController::districtQueryRequested, &places,
                     &PlacesController::RequestDistrictQuery);
    QObject::connect(&tasks, &TaskController::areaLoaded, &places,
                     &PlacesController::TaskAreaLoaded);
    QObject::connect(&frame.mapEvents, &MapEvents::areaCompleted, &places,
                     [&places, refreshExport](const QString& results) {
                         places.AreaCompleted(results);
                         refreshExport();
                     });

    tree->LoadCityTree(CityData());

    // The district under the stored centre, once, when the page has first loaded.
    if (QWebEnginePage* page = frame.crm.Page()) {
        auto first = std::make_shared<QMetaObject::Connection>();
        *first = QObject::connect(page, &QWebEnginePage::loadFinished, &places, [&places, first] {
            QObject::disconnect(*first);
            places.QueryDistThread();
        });
    }
    return {tree->SearchBox(), bar, area->Box()};
}

}  // namespace app
