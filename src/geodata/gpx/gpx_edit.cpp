// Editing operations of the GPX model: joining, cutting, sorting and removing duplicates.
#include <stdexcept>
#include <utility>

#include "geodata/gpx/gpx_model.h"

namespace geodata {
namespace {

bool SamePlace(const TPoint4D2& a, const TPoint4D2& b) {
    return a.Longitude == b.Longitude && a.Latitude == b.Latitude && a.Altitude == b.Altitude;
}

// Joins the points of `second` onto `first`: appended when the ends meet, when the first ends
// before the second begins in time, or when the first stands before the second; otherwise
// prepended. A shared end point is kept once.
void JoinPoints(TGPXwptList& first, const TGPXwptList& second, bool firstStandsBefore) {
    const TGPXwpt& a = first.WayPoints(first.Count() - 1);
    const TGPXwpt& b = second.WayPoints(0);
    const bool joined = SamePlace(a, b);
    if (joined || a.DateTime < b.DateTime || firstStandsBefore) {
        first.AppendCopies(second, joined ? 1 : 0, second.Count() - 1);
        return;
    }
    const int skip = SamePlace(first.WayPoints(0), second.WayPoints(second.Count() - 1)) ? 1 : 0;
    for (int i = second.Count() - 1 - skip; i >= 0; --i) {
        auto copy = std::make_unique<TGPXwpt>();
        copy->CopyFrom(second.WayPoints(i));
        first.Insert(0, std::move(copy));
    }
}

// Keeps points 0 to `cut` in `kept` and points `cut` to the end in `part2` (a full copy).
void SplitPoints(TGPXwptList& kept, TGPXwptList& part2, int cut) {
    kept.FreeRange(cut + 1, kept.Count() - cut - 1);
    part2.FreeRange(0, cut);
}

bool CanCutAt(const TGPXwptList& list, const TGPXwpt* where, int& index) {
    index = list.IndexOf(where);
    return index >= 3 && index <= list.Count() - 3;
}

}  // namespace

bool TGPXwpt::IsIdentical(const TGPXwpt& p, std::uint8_t filterMode) const {
    if (Latitude != p.Latitude || Longitude != p.Longitude || Altitude != p.Altitude) {
        return false;
    }
    if (filterMode >= 1) {
        return true;
    }
    return DateTime == p.DateTime && magvar == p.magvar && geoidheight == p.geoidheight &&
           name == p.name && cmt == p.cmt && desc == p.desc && src == p.src && sym == p.sym &&
           wtype == p.wtype && fix == p.fix && sat == p.sat && hdop == p.hdop && vdop == p.vdop &&
           pdop == p.pdop && ageofdgpsdata == p.ageofdgpsdata && dgpsid == p.dgpsid &&
           extensions == p.extensions;
}

void TGPXwptList::RemoveDuplicates(std::uint8_t filterMode, bool sortBefore) {
    if (sortBefore) {
        SortByDate();
    }
    auto& items = Items();
    if (items.size() < 2) {
        return;
    }
    // Each point is compared with its neighbour before any removal, so of every run of
    // identical consecutive points the first stays.
    std::vector<bool> drop(items.size(), false);
    for (std::size_t i = 1; i < items.size(); ++i) {
        drop[i] = static_cast<const TGPXwpt&>(*items[i]).IsIdentical(
            static_cast<const TGPXwpt&>(*items[i - 1]), filterMode);
    }
    std::size_t kept = 0;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (!drop[i]) {
            items[kept++] = std::move(items[i]);
        }
    }
    items.resize(kept);
}

void TGPXrteList::SortByDate() {
    for (int i = 0; i < Count(); ++i) {
        (void)Routes(i).WayPoints(0);  // an empty route raises the index error before any move
    }
    Sort([](const TGPXrte& a, const TGPXrte& b) {
        return a.WayPoints(0).DateTime < b.WayPoints(0).DateTime;
    });
}

void TGPXtrk::SortByDate() {
    for (int i = 0; i < Count(); ++i) {
        (void)trkseg(i).WayPoints(0);
    }
    Sort([](const TGPXtrkseg& a, const TGPXtrkseg& b) {
        return a.WayPoints(0).DateTime < b.WayPoints(0).DateTime;
    });
}

TGPXrte* TGPXrteList::BindRoutes(TGPXrte* route1, TGPXrte* route2) {
    if (route1 == route2) {
        throw std::invalid_argument("a route cannot be joined to itself");
    }
    JoinPoints(*route1, *route2, IndexOf(route1) < IndexOf(route2));
    (void)Extract(route2);  // released here; the caller drops any reference it kept
    return route1;
}

TGPXtrkseg* TGPXtrkList::BindTrackSeg(TGPXtrkseg* segment1, TGPXtrkseg* segment2) {
    if (segment1 == segment2) {
        throw std::invalid_argument("a track segment cannot be joined to itself");
    }
    TGPXtrk* track2 = GetTrackOfTrackSeg(segment2);
    if (track2 == nullptr) {
        throw std::invalid_argument("the second track segment belongs to no track of the list");
    }
    // List order of segments: by track, then by segment within the track.
    TGPXtrk* track1 = GetTrackOfTrackSeg(segment1);
    const std::pair<int, int> position1{IndexOf(track1), track1 ? track1->IndexOf(segment1) : -1};
    const std::pair<int, int> position2{IndexOf(track2), track2->IndexOf(segment2)};
    JoinPoints(*segment1, *segment2, position1 < position2);
    if (track2->Count() == 1) {
        (void)Extract(track2);
    } else {
        (void)track2->Extract(segment2);
    }
    return segment1;
}

TGPXrte* TGPXrteList::CutRoute(TGPXrte* which, const TGPXwpt* where) {
    const int position = IndexOf(which);
    int cut = -1;
    if (position < 0 || !CanCutAt(*which, where, cut)) {
        return nullptr;
    }
    auto part2 = std::make_unique<TGPXrte>();
    part2->CopyFrom(*which);
    SplitPoints(*which, *part2, cut);
    part2->name += " (part 2)";
    TGPXrte* result = part2.get();
    Insert(position + 1, std::move(part2));
    return result;
}

TGPXtrkseg* TGPXtrk::Cuttrkseg(TGPXtrkseg* which, const TGPXwpt* where) {
    const int position = IndexOf(which);
    int cut = -1;
    if (position < 0 || !CanCutAt(*which, where, cut)) {
        return nullptr;
    }
    auto part2 = std::make_unique<TGPXtrkseg>();
    part2->CopyFrom(*which);
    SplitPoints(*which, *part2, cut);
    TGPXtrkseg* result = part2.get();
    Insert(position + 1, std::move(part2));
    return result;
}

TPointList2* TGPX::BindSelection() {
    if (selection.Count() != 2) {
        return nullptr;
    }
    auto* const* first = std::get_if<TPointList2*>(&selection.Items(0));
    auto* const* second = std::get_if<TPointList2*>(&selection.Items(1));
    if (first == nullptr || second == nullptr || *first == nullptr || *second == nullptr ||
        *first == *second) {
        return nullptr;
    }
    TPointList2* list1 = *first;
    TPointList2* list2 = *second;
    // The join releases the second list and its points: forget every reference to them.
    std::vector<const void*> released{list2};
    for (int i = 0; i < list2->Count(); ++i) {
        released.push_back(&list2->Points(i));
    }
    TPointList2* result = nullptr;
    auto* route1 = dynamic_cast<TGPXrte*>(list1);
    auto* route2 = dynamic_cast<TGPXrte*>(list2);
    auto* segment1 = dynamic_cast<TGPXtrkseg*>(list1);
    auto* segment2 = dynamic_cast<TGPXtrkseg*>(list2);
    if (route1 && route2) {
        result = rte.BindRoutes(route1, route2);
    } else if (segment1 && segment2 && trk.GetTrackOfTrackSeg(segment2) != nullptr) {
        result = trk.BindTrackSeg(segment1, segment2);
    } else {
        return nullptr;
    }
    for (const void* object : released) {
        selection.Remove(object);
    }
    return result;
}

}  // namespace geodata
