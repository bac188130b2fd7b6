#pragma once
// Wires the place tree, the place-search box, the coordinate box, the location bar and the
// boundary actions to the place-tree and area sections of the left side.
#include <QString>
#include <functional>

class QAction;
class QComboBox;
class QPlainTextEdit;
class QStatusBar;
class QWidget;

namespace app {

struct FrameContext;
class LayerController;
class TaskController;
class TWebGMapsLookupEdit;

struct PlacesWidgets {
    QWidget* pnlChinaCity;    // the place-tree section: search box and tree go in
    QWidget* pnlCoordinates;  // the area section: the coordinate box and its buttons go in
    QWidget* crm;             // the map view: the location bar sits over it
    QComboBox* cbbProfile;    // takes the task name of a place's outline
    QAction* actExportBoundary;
    // FCoordinates: the download area's coordinate text.
    std::function<QString()> coordinates;
    QStatusBar* StatusBar;  // says when a lookup failed
    QWidget* gpsPanel;      // the location bar starts right of it
};

// What other features use of the places: the place-search box keeps the search region, the
// location bar's visibility, the coordinate box shows the area texts of layers and tasks.
struct PlacesParts {
    TWebGMapsLookupEdit* searchBox;
    QWidget* locationBar;
    QPlainTextEdit* coordinatesBox;
};

// `layers` switches the 3D city and asks for the district when the centre moves; a load
// of `tasks` sets the outline.
PlacesParts AttachPlaces(const PlacesWidgets& widgets, LayerController& layers,
                         TaskController& tasks, const FrameContext& frame);

}  // namespace app
