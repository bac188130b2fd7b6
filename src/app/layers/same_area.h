#pragma once
// Whether an area the page reports is one the program gave it: the same vertices up to the
// rounding of the encoded path (1e-5 degrees) and of the report, from whichever vertex and
// whichever way round (the pages report a polygon from its last vertex back, a rectangle from
// one of its corners).
#include <vector>

#include "engine/core/core_types.h"

namespace app {

// False when either area is empty.
bool SameArea(const std::vector<engine::TGLatLng>& a, const std::vector<engine::TGLatLng>& b);

}  // namespace app
