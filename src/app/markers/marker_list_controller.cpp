#include "marker_list_controller.h"

#include "app/page/page_scripts.h"
#include "marker_store.h"

namespace app {

MarkerListModel::MarkerListModel(const MarkerStore& store, QObject* parent)
    : QAbstractTableModel(parent), store_(store) {}

void MarkerListModel::Reset() {
    beginResetModel();
    count_ = store_.RecordCount();
    endResetModel();
}

int MarkerListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : count_;
}

int MarkerListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 2;
}

QVariant MarkerListModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= store_.RecordCount())
        return {};
    const MarkerRecord& record = store_.Records()[static_cast<std::size_t>(index.row())];
    return index.column() == 0 ? record.name : record.content;
}

QVariant MarkerListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal)
        return {};
    return section == 0 ? QStringLiteral("名称") : QStringLiteral("备注");
}

MarkerListController::MarkerListController(Services& services, const MarkerStore& store,
                                           QObject* parent)
    : QObject(parent), services_(services), store_(store), model_(store, this) {}

TCustomPOI MarkerListController::RowRecord(int row) const {
    TCustomPOI marker;
    if (row < 0 || row >= store_.RecordCount())
        return marker;
    const MarkerRecord& record = store_.Records()[static_cast<std::size_t>(row)];
    marker.id = record.id;
    marker.name = record.name;
    marker.lat = record.latitude;
    marker.lng = record.longitude;
    marker.content = record.content;
    return marker;
}

void MarkerListController::lvMarkersClick(int row) {
    if (row < 0 || row >= store_.RecordCount())
        return;
    marker_ = RowRecord(row);
    services_.page.RunScript(pagescript::AddPOI(marker_.id, marker_.name, marker_.lat, marker_.lng,
                                                marker_.content, false, true));
}

void MarkerListController::mniDeleteClick(bool rowSelected) {
    if (!rowSelected)
        return;
    const TCustomPOI marker = marker_;
    if (!services_.messages.AskWarningYesNo(
            QStringLiteral("确定要删除“") + marker.name + QStringLiteral("”吗？"),
            QStringLiteral("删除标记"))) {
        return;
    }
    emit markerEdit(marker, moDelelet);
    Refresh();
}

}  // namespace app
