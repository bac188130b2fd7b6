#pragma once
// Layer switching and the page's map events: the map menu's switch, the switch a task load
// asks for, the zoom levels each layer offers, and the mouse, zoom, centre and area
// callbacks. No widget: the window shows what the signals say.
#include <QObject>
#include <QString>
#include <functional>
#include <vector>

#include "engine/core/core_types.h"
#include "map_type_menu.h"

namespace engine {
class TSettings;
}

namespace app {

struct Services;

class LayerController : public QObject {
    Q_OBJECT

  public:
    // What the controller hands on to the download control.
    struct Hooks {
        // The area's vertices, its coordinate text and the vertex count (FLatLngArray,
        // FCoordinates, FCoordCount).
        std::function<void(std::vector<engine::TGLatLng>, QString, int)> setArea;
        std::function<void()> calculateStart;  // CalculateStart
        // The area of the task last loaded or saved, when that task has a name; none else.
        std::function<std::vector<engine::TGLatLng>()> taskArea;
    };

    LayerController(engine::TSettings& settings, Services& services, Hooks hooks,
                    QObject* parent = nullptr);

    // FZoomLevels: the selection the level list shows within each layer's range.
    const engine::TZoomLevelArray& ZoomLevels() const { return zoomLevels_; }
    void SetZoomLevels(const engine::TZoomLevelArray& levels) { zoomLevels_ = levels; }
    engine::TMapType OldMapType() const { return oldMapType_; }
    void SetAppTitle(const QString& title) { appTitle_ = title; }

    // mniChangeMapTypeClick with the item's tag; nothing while a page call is waited for.
    // The new layer is stored before the page is told; the page's answer only brings the
    // focus back to the map.
    void ChangeMapType(int tag);
    // The switch of a task load: to `mapType` as the menu does, without the recount.
    void SwitchTo(engine::TMapType mapType);
    // CheckMapTypeMenu: the check mark and caption for a layer; FOldMapType := shown layer.
    void CheckMapTypeMenu(engine::TMapType mapType);
    // UpdateZoomLevelRange.
    void UpdateZoomLevelRange(engine::TMapType mapType);
    // SetMapTypeId on the loaded page (`then` once it answered), and ChangeMapTypeAndFocus.
    void SetMapTypeId(engine::TMapType mapType, int cityNameIndex, std::function<void()> then = {});
    void ChangeMapTypeAndFocus(engine::TMapType mapType);

    // The page is about to draw the download area again (a page loaded afresh shows none): its
    // report of that area is no area of the user's, and the task name stays as typed.
    void ExpectRedraw(const QString& coordinates);

    // Page callbacks.
    void OnMapMouseMoveEvent(double lat, double lng);
    void OnMapZoomChangedEvent(int zoom);
    void OnMapCenterChanged(double lat, double lng);
    void OnPlotLatlngsEvent(const QString& results);

  signals:
    void mapTypeChecked(int tag, const QString& windowCaption);
    void zoomItemsChanged(const app::ZoomItemStates& states);
    void focusMapRequested();
    void mouseTextChanged(const QString& text);  // status panel 4
    void zoomTextChanged(const QString& text);   // status panel 3
    // The centre moved to another 0.01° cell: the district query timer runs.
    void districtQueryRequested();
    // An area of fewer than 80 vertices: the coordinate box shows its text.
    void coordinatesTextShown(const QString& text);
    void profileNameProposed(const QString& name);

  private:
    void Switch(engine::TMapType newType);

    engine::TSettings& settings_;
    Services& services_;
    Hooks hooks_;
    engine::TZoomLevelArray zoomLevels_{};
    engine::TMapType oldMapType_{};
    QString appTitle_;
    std::vector<engine::TGLatLng> redrawn_;  // the area of the last redraw, until another comes
};

}  // namespace app

Q_DECLARE_METATYPE(app::ZoomItemStates)
