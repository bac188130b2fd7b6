#pragma once
// The script texts the host sends to the map pages, one builder per page function. Texts go
// in as escaped string literals, numbers are written from numbers with ".".
#include <QString>
#include <cstdint>

#include "engine/core/core_types.h"
#include "geodata/search/poi_data.h"

namespace app::pagescript {

// A builder with an argument that is not a finite number gives an empty text: nothing is sent.
// Other "lat,lng,zoom" texts (markers) are re-formatted from their numbers; a field that is
// not a number is written as 0.

// A view position "lat,lng,zoom": with fewer than three fields nothing is sent (empty text);
// a field that is not a number gives 32.694866, 105.996094 or 4.
QString SetCenterAndZoom(const QString& latLngZoom);
QString SetCenterAndZoom(double lat, double lng, int zoom);
QString ShowBoundary(const QString& encodedPath);
QString AddNewMarker(int id, const engine::TGLatLng& position, const geodata::TPOIData& poi,
                     bool center);
QString AddPOI(std::int64_t id, const QString& name, double lat, double lng, const QString& content,
               bool isTemp, bool center);
QString AddMarker(const QString& latLngZoom, const QString& title);
QString AddNavigationMarker(const QString& latLngZoom);
// A GPS fix: position with 8 decimals, satellites, altitude with 2 decimals, the fix time and a
// text, both as string literals.
QString AddNavigationMarker(double lat, double lng, int satellites, double altitude,
                            const QString& time, const QString& text);
QString ClearNavigationMarker();
QString DeletePOIMarker(std::int64_t id);
QString DecodePath(const QString& encodedPath);
QString EncodePath(const QString& path);
QString GetBoundary(const QString& cityName);
QString SetMapTypeId(engine::TMapType mapType);
// The layer switch within a page family. For the Baidu 3D layer, the city and the view
// ("lat,lng,zoom") go with it.
QString ChangeMapType(engine::TMapType mapType, bool baiduPage, const QString& city = QString(),
                      const QString& latLngZoom = QString());
QString OfflineMode(bool offline);
QString CoordGrid(bool shown);
QString FullView();
QString ClearAllOverlays();
QString ShowCurrentView();
QString DeleteTempPOIMarkers();
QString DrawingManager(bool shown);
QString ZoomIn();
QString ZoomOut();
QString TrafficLayer(bool shown);
QString StartMarkerDrawing(bool baiduPage);
// The styled map's parameter text (Google page): its tiles are drawn again with it.
QString SetStyleParams(const QString& params);

}  // namespace app::pagescript
