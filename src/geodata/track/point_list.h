#pragma once
// A list that owns its points and keeps their bounding box.
#include <memory>

#include "geodata/track/bbox.h"
#include "geodata/track/owned_list.h"
#include "geodata/track/track_point.h"

namespace geodata {

class TPointList2 : public OwnedList<TPoint4D2> {
  public:
    TBBox BBox;
    bool filled = false;  // set by the file readers when they put points in

    TPoint4D2& Points(int index) const { return At(index); }
    TPoint4D2& operator[](int index) const { return At(index); }
    void SetPoint(int index, std::unique_ptr<TPoint4D2> point) { Set(index, std::move(point)); }
    void ClearPointList() { Clear(); }

    bool enabled() const { return penabled_; }
    // Also sets the flag of every point of the list.
    void SetEnabled(bool value);

    void CalcBBox(bool reset) { CalcBBoxFromTo(0, Count() - 1, reset); }
    void CalcBBoxFromTo(int from, int to, bool reset);
    void CopyBBoxFrom(const TBBox& box) { BBox.Copy(box); }

    // Searches by great-circle distance (Almostnul false), the earliest of equal distances
    // winning. The point searches raise the index error when no point qualifies.
    int FindClosestIndex(double lon, double lat) const;
    TPoint4D2& FindClosestPoint(double lon, double lat) const;
    TPoint4D2& FindFurtherPoint(double lon, double lat) const;

    // km/h from the point before it; -1 when no speed can be formed.
    double GetSpeedOf(const TPoint4D2* point) const;
    void SortByDate();

  protected:
    bool penabled_ = false;
};

}  // namespace geodata
