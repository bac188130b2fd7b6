#pragma once
// What the coordinate window does, without the window: locate a typed position (degrees,
// minutes and seconds or decimal degrees) and convert one typed point between WGS-84, GCJ-02
// and BD-09, each time putting the single marker on the map at zoom 16.
#include <QString>
#include <QStringList>
#include <optional>

namespace app {
class IMapPage;
class IMessages;
}  // namespace app

namespace geodataui {

// The eight edits of the locate group, as typed or as written back.
struct LocateFields {
    QString lngDegree{};
    QString lngMinute{};
    QString lngSecond{};
    QString latDegree{};
    QString latMinute{};
    QString latSecond{};
    QString lng{};
    QString lat{};
};

class TransformCoordController {
  public:
    static constexpr int kMarkerZoom = 16;

    // `localeDecimalPoint`: the separator typed numbers may use besides ".".
    TransformCoordController(app::IMapPage& page, app::IMessages& messages,
                             QString localeDecimalPoint);

    // Items of cbbType, in order: GCJ-02 to WGS-84, WGS-84 to GCJ-02, BD-09 to WGS-84,
    // WGS-84 to BD-09.
    static QStringList ConvertTypes();
    static QString HelpText();

    // btnLoactionClick. `byDms`: rbDegree is checked, the six unit edits are read and the
    // decimal edits written; otherwise the reverse. Empty edits count as 0; a text that is not
    // a number, a position outside -90..90 / -180..180, or a position of 0, 0 does nothing.
    // Returns whether the marker was placed.
    bool Locate(bool byDms, LocateFields& fields);

    // btnwgs84ToWarsClick: the result "lng,lat" (longitude first) for edtlatlngTest, or
    // nothing (and no marker) when either text is not a number or out of range.
    std::optional<QString> Convert(int typeIndex, const QString& lngText, const QString& latText);

    // btnHelpTestClick
    void ShowHelp();

  private:
    void AddMarker(double lat, double lng);

    app::IMapPage& page_;
    app::IMessages& messages_;
    QString decimalPoint_;
};

}  // namespace geodataui
