#pragma once
// A custom marker as it travels between the page, the marker windows and the main window, and
// what a marker window asks the main window to do with it.
#include <QMetaType>
#include <QString>
#include <cstdint>

namespace app {

struct TCustomPOI {
    std::int64_t id = 0;  // the page's creation time in milliseconds
    QString name;
    std::int32_t UserID = 0;  // carried, never set
    double lat = 0;
    double lng = 0;
    QString content;
    bool isNew = false;  // only on the page (temporary), not in the table
};

// moEdit: store the marker; moDelelet: delete it; moNull: drop the page's temporary markers.
enum TMarkerOperation { moEdit = 0, moDelelet = 1, moNull = 2 };

}  // namespace app

Q_DECLARE_METATYPE(app::TCustomPOI)
Q_DECLARE_METATYPE(app::TMarkerOperation)
