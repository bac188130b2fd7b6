#pragma once
// The object the map pages call back into. Each callback raises its event when one is
// assigned, with the page's arguments unchanged; setJsReturnValue stores the value that the
// page host hands back from a script run.
#include <QJsonValue>
#include <QObject>
#include <QString>
#include <functional>

namespace app {

using TMapMouseMoveEvent = std::function<void(double lat, double lng)>;
using TMapZoomChangedEvent = std::function<void(int zoom)>;
using TMapCenterChangedEvent = std::function<void(double lat, double lng)>;
using TPlotElevationEvent = std::function<void(const QString& results)>;
using TMarkerCompletedEvent =
    std::function<void(const QString& id, double lat, double lng, const QString& name,
                       const QString& content, bool isNew)>;

class TJsProcessor : public QObject {
    Q_OBJECT

  public:
    using QObject::QObject;

    const QString& JsReturnValue() const { return jsReturnValue_; }

    TMapMouseMoveEvent OnMapMouseMove;
    TMapZoomChangedEvent OnMapZoomChanged;
    TMapCenterChangedEvent OnMapCenterChanged;
    TPlotElevationEvent OnPlotElevation;
    TPlotElevationEvent OnPlotLatlngsEvent;
    TPlotElevationEvent OnMapBoundsChanged;
    TPlotElevationEvent OnMapMarkerClickEvent;
    TPlotElevationEvent OnMapMarkerDblClickEvent;
    TMarkerCompletedEvent OnMarkerCompletedEvent;

    // The page callbacks, in this order; each becomes a global page function of its name.
    Q_INVOKABLE void setJsReturnValue(const QString& value);
    Q_INVOKABLE void mapMousemoveEvent(double lat, double lng);
    // Takes the page's value as it is and raises OnMapZoomChanged only for a whole number
    // that an int holds.
    Q_INVOKABLE void mapZoomChangedEvent(const QJsonValue& zoom);
    Q_INVOKABLE void mapCenterChangedEvent(double lat, double lng);
    Q_INVOKABLE void plotLatlngsEvent(const QString& results);
    Q_INVOKABLE void mapMarkerClickEvent(const QString& Id);
    Q_INVOKABLE void plotElevationEvent(const QString& results);
    Q_INVOKABLE void mapBoundsChangedEvent(const QString& results);
    Q_INVOKABLE void mapMarkerDblClickEvent(const QString& Id);
    Q_INVOKABLE void markerCompletedEvent(const QString& Id, double lat, double lng,
                                          const QString& name, const QString& content, bool isNew);

  signals:
    // After every setJsReturnValue, for a host that waits for a script's answer.
    void jsReturnValueChanged();

  private:
    QString jsReturnValue_;
};

}  // namespace app
