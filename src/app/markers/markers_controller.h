#pragma once
// The main window's marker handling: the page's finished custom markers go to the editor; what
// the editor and the list report is stored in or deleted from the table, saved at once and
// shown on the page; every page load draws all stored markers again after 800 ms; the
// bookmark menu lists the first 30 markers.
#include <QObject>
#include <QString>
#include <QTimer>
#include <filesystem>
#include <vector>

#include "app/services/services.h"
#include "custom_poi.h"
#include "marker_edit_controller.h"
#include "marker_list_controller.h"
#include "marker_store.h"

namespace app {

class MarkersController : public QObject {
    Q_OBJECT

  public:
    static constexpr int kMarkersDelayMs = 800;
    static constexpr int kBookmarkCount = 30;

    MarkersController(Services& services, std::filesystem::path markerFile,
                      QObject* parent = nullptr);

    // Loads the table from its file; a file that cannot be read is reported here.
    void LoadMarkers();

    MarkerStore& Store() { return store_; }
    MarkerEditController& Editor() { return editor_; }
    MarkerListController& List() { return list_; }
    QTimer& MarkersTimer() { return tmrMarkers_; }

    // OnMarkerCompletedEvent: fills the editor and asks for it (editorWanted).
    void OnMarkerCompleted(const QString& id, double lat, double lng, const QString& name,
                           const QString& content, bool isNew);
    // The marker windows' report (store, delete, drop the temporary markers).
    void MarkerEdit(const app::TCustomPOI& marker, app::TMarkerOperation operation);
    // crmLoadEnd: the stored markers are drawn once the timer fires.
    void crmLoadEnd() { tmrMarkers_.start(); }
    // tmrMarkersTimer: every stored marker, in table order, not centred.
    void tmrMarkersTimer();
    // actAddMarkerExecute ("添加标记"): the page's marker tool.
    void actAddMarkerExecute();
    // BuildBookmarksMenu: the bookmark items, the first 30 markers of the table.
    std::vector<TCustomPOI> BookmarkItems() const;
    // BookmarkMenuClick: the item's marker, centred.
    void BookmarkMenuClick(const TCustomPOI& marker);

  signals:
    // The editor holds a new marker and wants to be shown.
    void editorWanted();
    // The table changed: the bookmark menu is built again.
    void markersChanged();

  private:
    Services& services_;
    MarkerStore store_;
    MarkerEditController editor_;
    MarkerListController list_;
    QTimer tmrMarkers_;
};

}  // namespace app
