#include "map_events.h"

#include "app/page/js_processor.h"

namespace app {

void MapEvents::ConnectTo(TJsProcessor& processor) {
    processor.OnMapMouseMove = [this](double lat, double lng) { emit mapMouseMoved(lat, lng); };
    processor.OnMapZoomChanged = [this](int zoom) { emit zoomChanged(zoom); };
    processor.OnMapCenterChanged = [this](double lat, double lng) { emit centerChanged(lat, lng); };
    processor.OnPlotLatlngsEvent = [this](const QString& results) { emit areaCompleted(results); };
    processor.OnMapBoundsChanged = [this](const QString& results) { emit boundsChanged(results); };
    processor.OnMapMarkerClickEvent = [this](const QString& id) { emit markerClicked(id); };
    processor.OnMapMarkerDblClickEvent = [this](const QString& id) { emit markerDblClicked(id); };
    processor.OnMarkerCompletedEvent = [this](const QString& id, double lat, double lng,
                                              const QString& name, const QString& content,
                                              bool isNew) {
        emit markerCompleted(id, lat, lng, name, content, isNew);
    };
}

}  // namespace app
