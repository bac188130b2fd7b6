#pragma once
// One place found by the place search, as the search answer gives it; positions in BD-09.
#include <string>

#include "engine/core/core_types.h"

namespace geodata {

struct TDetailInfo {
    std::string _type;
    std::string tag;
    std::string url;
};

struct TPOIData {
    std::string uid;
    std::string name;
    std::string address;
    std::string telephone;
    engine::TGLatLng location;
    TDetailInfo detail;
};

}  // namespace geodata
