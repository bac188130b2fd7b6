#include "mainwindow/bridge/js_processor.h"

namespace mainwindow {

void TJsProcessor::setJsReturnValue(const QString& value) {
    jsReturnValue_ = value;
    emit jsReturnValueChanged();
}

void TJsProcessor::mapMousemoveEvent(double lat, double lng) {
    if (OnMapMouseMove)
        OnMapMouseMove(lat, lng);
}

void TJsProcessor::mapZoomChangedEvent(int zoom) {
    if (OnMapZoomChanged)
        OnMapZoomChanged(zoom);
}

void TJsProcessor::mapCenterChangedEvent(double lat, double lng) {
    if (OnMapCenterChanged)
        OnMapCenterChanged(lat, lng);
}

void TJsProcessor::plotLatlngsEvent(const QString& results) {
    if (OnPlotLatlngsEvent)
        OnPlotLatlngsEvent(results);
}

void TJsProcessor::mapMarkerClickEvent(const QString& Id) {
    if (OnMapMarkerClickEvent)
        OnMapMarkerClickEvent(Id);
}

void TJsProcessor::plotElevationEvent(const QString& results) {
    if (OnPlotElevation)
        OnPlotElevation(results);
}

void TJsProcessor::mapBoundsChangedEvent(const QString& results) {
    if (OnMapBoundsChanged)
        OnMapBoundsChanged(results);
}

void TJsProcessor::mapMarkerDblClickEvent(const QString& Id) {
    if (OnMapMarkerDblClickEvent)
        OnMapMarkerDblClickEvent(Id);
}

void TJsProcessor::markerCompletedEvent(const QString& Id, double lat, double lng,
                                        const QString& name, const QString& content, bool isNew) {
    if (OnMarkerCompletedEvent)
        OnMarkerCompletedEvent(Id, lat, lng, name, content, isNew);
}

}  // namespace mainwindow
