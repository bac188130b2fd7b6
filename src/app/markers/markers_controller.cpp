#include "markers_controller.h"

#include "app/page/page_scripts.h"

namespace app {

MarkersController::MarkersController(Services& services, std::filesystem::path markerFile,
                                     QObject* parent)
    : QObject(parent),
      services_(services),
      store_(std::move(markerFile)),
      editor_(services, store_, this),
      list_(services, store_, this) {
    // A child, so that the window's timer is found by its name with the others.
    tmrMarkers_.setParent(this);
    tmrMarkers_.setObjectName(QStringLiteral("tmrMarkers"));
    tmrMarkers_.setSingleShot(true);
    tmrMarkers_.setInterval(kMarkersDelayMs);
    connect(&tmrMarkers_, &QTimer::timeout, this, &MarkersController::tmrMarkersTimer);
    // The editor's report is handled before it returns; the list's after its menu has closed.
    connect(&editor_, &MarkerEditController::markerEdit, this, &MarkersController::MarkerEdit);
    connect(&list_, &MarkerListController::markerEdit, this, &MarkersController::MarkerEdit,
            Qt::QueuedConnection);
}

void MarkersController::LoadMarkers() {
    const QString problem = store_.LoadMarkerFromFile();
    if (!problem.isEmpty())
        services_.messages.ShowWarning(problem);
    list_.Refresh();
    emit markersChanged();
}

void MarkersController::OnMarkerCompleted(const QString& id, double lat, double lng,
                                          const QString& name, const QString& content, bool isNew) {
    if (editor_.ShowForm(id, lat, lng, name, content, isNew))
        emit editorWanted();
}

void MarkersController::MarkerEdit(const TCustomPOI& marker, TMarkerOperation operation) {
    switch (operation) {
        case moEdit: {
            MarkerRecord record{marker.id, marker.name, marker.lat, marker.lng, marker.content};
            if (!store_.Post(record))
                services_.messages.ShowInfo(QStringLiteral("标记的经纬度有误，未能保存。"));
            services_.page.RunScript(pagescript::AddPOI(marker.id, marker.name, marker.lat,
                                                        marker.lng, marker.content, false, false));
            break;
        }
        case moDelelet:
            store_.Delete(marker.id);
            services_.page.RunScript(pagescript::DeletePOIMarker(marker.id));
            break;
        case moNull:
            services_.page.RunScript(pagescript::DeleteTempPOIMarkers());
            break;
    }
    QString error;
    if (!store_.SaveMarkerToFile(&error))
        services_.messages.ShowError(error);
    list_.Refresh();
    emit markersChanged();
}

void MarkersController::tmrMarkersTimer() {
    tmrMarkers_.stop();
    // A copy: a page call may run events that change the table.
    const std::vector<MarkerRecord> records = store_.Records();
    for (const MarkerRecord& r : records) {
        services_.page.RunScript(
            pagescript::AddPOI(r.id, r.name, r.latitude, r.longitude, r.content, false, false));
    }
}

void MarkersController::actAddMarkerExecute() {
    services_.page.RunScript(pagescript::StartMarkerDrawing(services_.page.IsBaiduMap()));
}

std::vector<TCustomPOI> MarkersController::BookmarkItems() const {
    std::vector<TCustomPOI> items;
    for (int i = 0; i < store_.RecordCount() && i < kBookmarkCount; ++i)
        items.push_back(list_.RowRecord(i));
    return items;
}

void MarkersController::BookmarkMenuClick(const TCustomPOI& marker) {
    services_.page.RunScript(pagescript::AddPOI(marker.id, marker.name, marker.lat, marker.lng,
                                                marker.content, false, true));
}

}  // namespace app
