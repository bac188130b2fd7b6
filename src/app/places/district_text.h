#pragma once
// Reading the reverse district lookup's answer ("国,省,市,区,...") for the location bar and the
// tree, by the map's zoom.
#include <QString>

namespace app {

struct DistrictStep {
    QString pathText;  // shown after "当前位置："
    QString name;      // the place the tree selects
    QString subPlace;  // preferred over name when set (zoom 11 and above)
    QString region;    // the place-search box's region
};

// False when the answer holds no part.
bool ReadDistrictAnswer(const QString& answer, int zoom, DistrictStep& step);

// The lines of a boundary export as text: "lng<sep>lat" with six decimals, one per vertex of a
// GCJ-02 "lng,lat,lng,lat,..." text converted to `coordType` (0 GPS, 1 Baidu, 2 Google). A pair
// holding a 0 or an unreadable number is skipped.
QStringList BoundaryExportLines(const QString& coordinates, int coordType, const QString& sep);

// Keys the coordinate box takes: the digits, ",", "-", "." and Backspace.
bool CoordinateBoxAccepts(QChar ch);

}  // namespace app
