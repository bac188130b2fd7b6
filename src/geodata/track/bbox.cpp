#include "geodata/track/bbox.h"

#include <algorithm>

namespace geodata {

void TBBox::Clear() {
    N = S = E = O = 0;
    Rx = Ry = 0;
    Complete = false;
}

void TBBox::Copy(const TBBox& box) {
    N = box.N;
    S = box.S;
    E = box.E;
    O = box.O;
    Rm = box.Rm;
    Rx = box.Rx;
    Ry = box.Ry;
}

void TBBox::Add(const TBBox& box) {
    if (Complete) {
        N = std::max(N, box.N);
        S = std::min(S, box.S);
        E = std::max(E, box.E);
        O = std::min(O, box.O);
    } else {
        Copy(box);
    }
    if (N != 0 && S != 0 && E != 0 && O != 0) {
        Complete = true;
    }
}

std::unique_ptr<TPoint4D2> TBBox::GetCenter() const {
    auto center = std::make_unique<TPoint4D2>();
    center->Latitude = S + (N - S) / 2;
    center->Longitude = O + (E - O) / 2;
    return center;
}

}  // namespace geodata
