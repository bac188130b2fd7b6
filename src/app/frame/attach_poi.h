#pragma once
// Wires the POI panel into `pnlPOI`, its menu action "POI下载" and the search markers of the page.
#include <QString>
#include <functional>

class QAction;
class QWidget;

namespace app {

struct FrameContext;
class TWebGMapsLookupEdit;

struct PoiWidgets {
    QWidget* pnlPOI;
    QAction* actPOISearch;
    QAction* actclearShapeAndAreaMarker;  // "清空地图", also in the list's pop-up menu
    // The download area's coordinate text.
    std::function<QString()> coordinates;
    TWebGMapsLookupEdit* searchBox;  // keeps the search region
    QWidget* locationBar;            // a shown bar moves the found places' list
};

void AttachPoi(const PoiWidgets& widgets, const FrameContext& frame);

}  // namespace app
