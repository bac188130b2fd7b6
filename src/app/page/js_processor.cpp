#include "js_processor.h"

#include <cmath>
#include <limits>

namespace app {

void TJsProcessor::setJsReturnValue(const QString& value) {
    jsReturnValue_ = value;
    emit jsReturnValueChanged();
}

void TJsProcessor::mapMousemoveEvent(double lat, double lng) {
    if (OnMapMouseMove)
        OnMapMouseMove(lat, lng);
}

// A channel converting to int would round a fraction, wrap an overflow and read a
// non-number (NaN arrives as null) as 0, each of them some level.
void TJsProcessor::mapZoomChangedEvent(const QJsonValue& zoom) {
    if (!zoom.isDouble()) {
        return;
    }
    const double value = zoom.toDouble();
    if (!std::isfinite(value) || value != std::trunc(value) ||
        value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max()) {
        return;
    }
    if (OnMapZoomChanged)
        OnMapZoomChanged(static_cast<int>(value));
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

}  // namespace app
