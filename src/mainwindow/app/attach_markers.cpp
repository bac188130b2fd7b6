#include "mainwindow/app/attach_markers.h"

#include <QAction>
#include <QActionGroup>
#include <QEvent>
#include <QMenu>
#include <QWebEnginePage>
#include <QWidget>

#include "mainwindow/app/map_events.h"
#include "mainwindow/markers/marker_windows.h"
#include "mainwindow/markers/markers_controller.h"

namespace mainwindow {

namespace {

// The POI panel's rectangle in the window's coordinates.
QRect PanelBound(const MarkerWidgets& w) {
    return QRect(w.pnlPOI->mapTo(w.window, QPoint(0, 0)), w.pnlPOI->size());
}

// Runs `moved` whenever the watched widget moves or changes size.
class GeometryWatcher : public QObject {
  public:
    GeometryWatcher(QObject* watched, std::function<void()> moved)
        : QObject(watched), moved_(std::move(moved)) {
        watched->installEventFilter(this);
    }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Move || event->type() == QEvent::Resize)
            moved_();
        return false;
    }

  private:
    std::function<void()> moved_;
};

// BuildBookmarksMenu: the items after the first three, one radio item per marker.
void BuildBookmarksMenu(const MarkerWidgets& w, MarkersController& markers, QActionGroup& group) {
    const QList<QAction*> actions = w.mniBookmarks->actions();
    for (qsizetype i = 3; i < actions.size(); ++i) {
        w.mniBookmarks->removeAction(actions[i]);
        delete actions[i];
    }
    int n = 0;
    for (const TCustomPOI& marker : markers.BookmarkItems()) {
        auto* item = new QAction(marker.name, &group);
        item->setObjectName(QStringLiteral("mniBookmark%1").arg(++n));
        item->setCheckable(true);
        QObject::connect(item, &QAction::triggered, &markers,
                         [&markers, marker] { markers.BookmarkMenuClick(marker); });
        w.mniBookmarks->addAction(item);
    }
}

}  // namespace

MarkersController* AttachMarkers(const MarkerWidgets& w, Services& services, MapEvents& events,
                                 QWebEnginePage& page, const std::filesystem::path& markerFile) {
    auto* markers = new MarkersController(services, markerFile, w.window);
    auto* windows = new MarkerWindows(*markers, w.window);
    auto* group = new QActionGroup(w.mniBookmarks);
    group->setExclusive(true);

    QObject::connect(&events, &MapEvents::markerCompleted, markers,
                     &MarkersController::OnMarkerCompleted);
    QObject::connect(&page, &QWebEnginePage::loadFinished, markers, &MarkersController::crmLoadEnd);
    QObject::connect(w.actAddMarker, &QAction::triggered, markers,
                     &MarkersController::actAddMarkerExecute);
    QObject::connect(w.actBookMarksManager, &QAction::triggered, windows,
                     [w, windows] { windows->ShowList(PanelBound(w)); });
    new GeometryWatcher(w.pnlPOI, [w, windows] { windows->PlaceList(PanelBound(w)); });
    new GeometryWatcher(w.window, [w, windows] { windows->PlaceList(PanelBound(w)); });
    QObject::connect(markers, &MarkersController::markersChanged, w.mniBookmarks,
                     [w, markers, group] { BuildBookmarksMenu(w, *markers, *group); });
    markers->LoadMarkers();
    return markers;
}

}  // namespace mainwindow
