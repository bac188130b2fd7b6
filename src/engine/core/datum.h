#pragma once
// Datum shifts between WGS-84, GCJ-02 and BD-09, the out-of-China test, and longitude and
// latitude to Web Mercator metres. No state.
#include "engine/core/core_types.h"

namespace engine {

// True when the longitude OR the latitude lies outside China's box.
bool OutOfChina(double lat, double lng);

TGLatLng WGS84ToGCJ02(const TGLatLng& position);
TGLatLng GCJ02ToWGS84(const TGLatLng& position);

void GCJ02ToBD09(double lat, double lng, double& bdLat, double& bdLng);
TGLatLng GCJ02ToBD09LatLng(const TGLatLng& position);
void BD09ToGCJ02(double lat, double lng, double& gcjLat, double& gcjLng);
TGLatLng BD09ToGCJ02LatLng(const TGLatLng& position);

TGLatLng WGS84ToBD09(const TGLatLng& position);
TGLatLng BD09ToWGS84(const TGLatLng& position);

void LngLatToMercator(double lng, double lat, double& x, double& y);

}  // namespace engine
