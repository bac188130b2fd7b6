#pragma once
// The marker list's logic (TfrmMarkers): rows produced on demand from the marker table, the
// marker last clicked shown on the map, and its deletion after a question. The deletion is
// reported through markerEdit, which the main window handles later (queued).
#include <QAbstractTableModel>
#include <QObject>

#include "app/services/services.h"
#include "custom_poi.h"

namespace app {

class MarkerStore;

// Two columns, "名称" and "备注"; the row count is set by Reset, as the list's count is set.
class MarkerListModel : public QAbstractTableModel {
    Q_OBJECT

  public:
    explicit MarkerListModel(const MarkerStore& store, QObject* parent = nullptr);

    // The row count := the table's record count; every row is produced again.
    void Reset();

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

  private:
    const MarkerStore& store_;
    int count_ = 0;
};

class MarkerListController : public QObject {
    Q_OBJECT

  public:
    MarkerListController(Services& services, const MarkerStore& store, QObject* parent = nullptr);

    MarkerListModel& Model() { return model_; }

    // FormShow, and after every change of the table.
    void Refresh() { model_.Reset(); }
    // lvMarkersData: the record of list row n (isNew false); a zeroed record past the end.
    TCustomPOI RowRecord(int row) const;
    // lvMarkersClick with the selected row (-1: none).
    void lvMarkersClick(int row);
    // mniDeleteClick: acts on the marker last clicked, when a row is selected.
    void mniDeleteClick(bool rowSelected);

    const TCustomPOI& Marker() const { return marker_; }

  signals:
    void markerEdit(app::TCustomPOI marker, app::TMarkerOperation operation);

  private:
    Services& services_;
    const MarkerStore& store_;
    MarkerListModel model_;
    TCustomPOI marker_;
};

}  // namespace app
