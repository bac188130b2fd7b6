#pragma once
// Wires the marker handling to the bookmark menu "标记(&B)", the page's marker callback and
// page loads, and places the marker list over the POI panel.
#include <filesystem>

class QAction;
class QMenu;
class QWebEnginePage;
class QWidget;

namespace mainwindow {

class MapEvents;
class MarkersController;
struct Services;

struct MarkerWidgets {
    QWidget* window;  // the main window: parent of both marker windows
    QMenu* mniBookmarks;
    QAction* actAddMarker;
    QAction* actBookMarksManager;
    QWidget* pnlPOI;
};

// Creates the marker handling (owned by the window), loads the marker table and builds the
// bookmark items after the menu's first three entries.
MarkersController* AttachMarkers(const MarkerWidgets& widgets, Services& services,
                                 MapEvents& events, QWebEnginePage& page,
                                 const std::filesystem::path& markerFile);

}  // namespace mainwindow
