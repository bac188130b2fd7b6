#include "geodata/track/point_list.h"

#include <algorithm>
#include <cmath>

namespace geodata {

void TPointList2::SetEnabled(bool value) {
    penabled_ = value;
    for (const auto& point : Items()) {
        point->enabled = value;
    }
}

void TPointList2::CalcBBoxFromTo(int from, int to, bool reset) {
    BBox.Complete = false;
    if (Count() < 2) {
        return;
    }
    from = std::max(from, 0);
    to = std::min(to, Count() - 1);
    double n = BBox.N, s = BBox.S, e = BBox.E, o = BBox.O;
    if (reset) {
        int first = from;
        while (first <= to && !At(first).enabled) {
            ++first;
        }
        if (first > to) {
            return;
        }
        n = s = At(first).Latitude;
        e = o = At(first).Longitude;
    }
    for (int i = from; i <= to; ++i) {
        const TPoint4D2& p = At(i);
        if (!p.enabled) {
            continue;
        }
        n = std::max(n, p.Latitude);
        s = std::min(s, p.Latitude);
        e = std::max(e, p.Longitude);
        o = std::min(o, p.Longitude);
    }
    BBox.N = n;
    BBox.S = s;
    BBox.E = e;
    BBox.O = o;
    BBox.Complete = true;
}

int TPointList2::FindClosestIndex(double lon, double lat) const {
    double best = 2147483647.0;
    int index = -1;
    for (int i = 0; i < Count(); ++i) {
        const double d = At(i).WGS84Distance(lon, lat, false);
        if (d < best) {
            best = d;
            index = i;
        }
    }
    return index;
}

TPoint4D2& TPointList2::FindClosestPoint(double lon, double lat) const {
    return At(FindClosestIndex(lon, lat));
}

TPoint4D2& TPointList2::FindFurtherPoint(double lon, double lat) const {
    double best = 0;
    int index = -1;
    for (int i = 0; i < Count(); ++i) {
        const double d = At(i).WGS84Distance(lon, lat, false);
        if (d > best) {
            best = d;
            index = i;
        }
    }
    return At(index);
}

double TPointList2::GetSpeedOf(const TPoint4D2* point) const {
    const int i = IndexOf(point);
    if (i <= 0) {
        return -1;
    }
    const TPoint4D2& before = At(i - 1);
    const TPoint4D2& current = At(i);
    if (before.DateTime == 0 || current.DateTime == 0) {
        return -1;
    }
    const double d = before.WGS84Distance(current, false);
    const double delta = std::fabs(current.DateTime - before.DateTime);
    if (delta == 0) {
        return -1;
    }
    return d / 1000.0 / (delta * 24.0);
}

void TPointList2::SortByDate() {
    Sort([](const TPoint4D2& a, const TPoint4D2& b) { return a.DateTime < b.DateTime; });
}

}  // namespace geodata
