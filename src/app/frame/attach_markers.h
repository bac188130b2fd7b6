#pragma once
// Wires the marker handling to the bookmark menu "标记(&B)", the page's marker callback and
// page loads, and places the marker list over the POI panel.
#include <filesystem>

class QAction;
class QMenu;
class QWidget;

namespace app {

class MarkersController;
struct FrameContext;

struct MarkerWidgets {
    QMenu* mniBookmarks;
    QAction* actAddMarker;
    QAction* actBookMarksManager;
    QWidget* pnlPOI;
};

// Creates the marker handling (owned by the window), loads the marker table from
// `markerFile` (the user's, unless given) and builds the bookmark items after the menu's
// first three entries.
MarkersController* AttachMarkers(const MarkerWidgets& widgets, const FrameContext& frame,
                                 const std::filesystem::path& markerFile = {});

}  // namespace app
