#pragma once
// The page's callbacks as Qt signals. The bridge keeps one handler per callback, so they are
// assigned once, here, and every feature (download area, markers, places, POI, GPS) connects
// to the signals it needs without replacing another's handler.
#include <QObject>
#include <QString>

namespace app {

class TJsProcessor;

class MapEvents : public QObject {
    Q_OBJECT

  public:
    using QObject::QObject;

    // Assigns the processor's callbacks to this object's signals (once; a second call
    // replaces the first object's hold on the processor).
    void ConnectTo(TJsProcessor& processor);

  signals:
    void mapMouseMoved(double lat, double lng);
    void zoomChanged(int zoom);
    void centerChanged(double lat, double lng);
    // An area drawn or edited on the page: its coordinate text.
    void areaCompleted(const QString& results);
    void boundsChanged(const QString& results);
    void markerClicked(const QString& id);
    void markerDblClicked(const QString& id);
    void markerCompleted(const QString& id, double lat, double lng, const QString& name,
                         const QString& content, bool isNew);
};

}  // namespace app
