#pragma once
// Small builders for the GPX model tests.
#include <memory>

#include "geodata/gpx/gpx_model.h"

namespace geodata::testing {

inline std::unique_ptr<TGPXwpt> Wpt(double lat, double lon, double ele = 0, TDateTime time = 0) {
    auto p = std::make_unique<TGPXwpt>();
    p->Latitude = lat;
    p->Longitude = lon;
    p->Altitude = ele;
    p->DateTime = time;
    return p;
}

// A list of points at latitudes `lats` along longitude `lon`.
template <class List>
List& Fill(List& list, std::initializer_list<double> lats, double lon = 10) {
    for (double lat : lats) {
        list.Add(Wpt(lat, lon));
    }
    return list;
}

}  // namespace geodata::testing
