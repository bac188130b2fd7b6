#include "attach_markers.h"

#include <QAction>
#include <QActionGroup>
#include <QEvent>
#include <QMenu>
#include <QWebEnginePage>
#include <QWidget>

#include "app/markers/marker_windows.h"
#include "app/markers/markers_controller.h"
#include "app/page/page_host.h"
#include "attach_context.h"
#include "map_events.h"

namespace app {

namespace {

// The POI panel's rectangle in the window's coordinates.
QRect PanelBound(QWidget* window, QWidget* pnlPOI) {
    return QRect(pnlPOI->mapTo(window, QPoint(0, 0)), pnlPOI->size());
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
        // A name is shown as typed: "&" marks no shortcut key.
        auto* item = new QAction(QString(marker.name).replace(u'&', QStringLiteral("&&")), &group);
        item->setObjectName(QStringLiteral("mniBookmark%1").arg(++n));
        item->setCheckable(true);
        QObject::connect(item, &QAction::triggered, &markers,
                         [&markers, marker] { markers.BookmarkMenuClick(marker); });
        w.mniBookmarks->addAction(item);
    }
}

}  // namespace

MarkersController* AttachMarkers(const MarkerWidgets& w, const FrameContext& frame,
                                 const std::filesystem::path& markerFile) {
    QWidget* window = &frame.window;
    auto* markers = new MarkersController(
        frame.services, markerFile.empty() ? DefaultMarkerFileName() : markerFile, window);
    auto* windows = new MarkerWindows(*markers, window);
    auto* group = new QActionGroup(w.mniBookmarks);
    group->setExclusive(true);
    const auto place = [window, panel = w.pnlPOI, windows] {
        windows->PlaceList(PanelBound(window, panel));
    };

    QObject::connect(&frame.mapEvents, &MapEvents::markerCompleted, markers,
                     &MarkersController::OnMarkerCompleted);
    if (QWebEnginePage* page = frame.crm.Page()) {
        QObject::connect(page, &QWebEnginePage::loadFinished, markers,
                         &MarkersController::crmLoadEnd);
    }
    QObject::connect(w.actAddMarker, &QAction::triggered, markers,
                     &MarkersController::actAddMarkerExecute);
    QObject::connect(
        w.actBookMarksManager, &QAction::triggered, windows,
        [window, panel = w.pnlPOI, windows] { windows->ShowList(PanelBound(window, panel)); });
    // The frame holds them disabled until their feature is attached.
    w.actAddMarker->setEnabled(true);
    w.actBookMarksManager->setEnabled(true);
    new GeometryWatcher(w.pnlPOI, place);
    new GeometryWatcher(window, place);
    QObject::connect(markers, &MarkersController::markersChanged, w.mniBookmarks,
                     [w, markers, group] { BuildBookmarksMenu(w, *markers, *group); });
    markers->LoadMarkers();
    return markers;
}

}  // namespace app
