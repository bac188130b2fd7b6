#pragma once
// The bounding box of a point list: northern, southern, eastern and western limits.
#include <memory>

#include "geodata/track/track_point.h"

namespace geodata {

class TBBox {
  public:
    TBBox() { Clear(); }

    double N = 0;                   // largest latitude
    double S = 0;                   // smallest latitude
    double E = 0;                   // largest longitude
    double O = 0;                   // smallest longitude
    double Rm = 0, Rx = 0, Ry = 0;  // carried by Copy only
    bool Complete = false;          // the four limits are valid

    void Clear();
    // Copies the limits and the carried values; Complete keeps its value.
    void Copy(const TBBox& box);
    // Widens this box by another. A limit of exactly 0 counts as not set for Complete.
    void Add(const TBBox& box);
    std::unique_ptr<TPoint4D2> GetCenter() const;
};

}  // namespace geodata
