#pragma once
// The marker editor's logic (TfrmMarkerEdit): one marker at a time, the checks of Save, the
// delete question and the questions on closing. It never changes the table: it reports to the
// main window through markerEdit, which the main window handles before the signal returns.
#include <QObject>
#include <QString>
#include <functional>

#include "app/services/services.h"
#include "custom_poi.h"

namespace app {

class MarkerStore;

class MarkerEditController : public QObject {
    Q_OBJECT

  public:
    enum class SaveOutcome {
        Saved,      // reported; the window closes
        EmptyName,  // the name box gets the focus
        Refused,
    };

    MarkerEditController(Services& services, const MarkerStore& store, QObject* parent = nullptr);

    // Where a refused marker id is logged (the daily log unless set).
    void SetLog(std::function<void(const QString&)> log) { log_ = std::move(log); }

    // ShowForm: takes the page's values; false (and logged) when the id is no decimal 64-bit
    // integer, and the editor keeps what it had.
    bool ShowForm(const QString& id, double lat, double lng, const QString& name,
                  const QString& content, bool isNew);
    // FormShow: the window became visible.
    void FormShow() { operation_ = moNull; }

    // UpdateInfo: what the controls show.
    QString Caption() const;
    QString TitleText() const { return marker_.name; }
    QString LatitudeText() const;
    QString LongitudeText() const;
    QString ContentText() const { return marker_.content; }

    // btnSaveClick, with the texts of the name, latitude, longitude and note boxes.
    SaveOutcome Save(const QString& name, const QString& latitude, const QString& longitude,
                     const QString& content);
    // btnDeleteClick, with the name box's text; true when reported (the window closes).
    bool Delete(const QString& name);
    // FormCloseQuery: whether the window may close.
    bool CloseQuery();

    const TCustomPOI& Marker() const { return marker_; }
    TMarkerOperation Operation() const { return operation_; }

  signals:
    void markerEdit(app::TCustomPOI marker, app::TMarkerOperation operation);

  private:
    Services& services_;
    const MarkerStore& store_;
    std::function<void(const QString&)> log_;
    TCustomPOI marker_;
    TMarkerOperation operation_ = moNull;
};

}  // namespace app
