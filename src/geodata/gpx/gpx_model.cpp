#include "geodata/gpx/gpx_model.h"

#include <algorithm>

namespace geodata {

void TGPXwpt::CopyFrom(const TGPXwpt& point) {
    TPoint4D2::CopyFrom(point);
    magvar = point.magvar;
    geoidheight = point.geoidheight;
    name = point.name;
    cmt = point.cmt;
    desc = point.desc;
    src = point.src;
    Link = point.Link;
    sym = point.sym;
    wtype = point.wtype;
    fix = point.fix;
    sat = point.sat;
    hdop = point.hdop;
    vdop = point.vdop;
    pdop = point.pdop;
    ageofdgpsdata = point.ageofdgpsdata;
    dgpsid = point.dgpsid;
    extensions = point.extensions;
}

void TGPXwptList::CopyFrom(const TGPXwptList& list) {
    AppendCopies(list, 0, list.Count() - 1);
    filled = list.filled;
}

void TGPXwptList::AppendCopies(const TGPXwptList& list, int from, int to) {
    // Copy first: the other list may be this very list.
    std::vector<std::unique_ptr<TGPXwpt>> copies;
    for (int i = std::max(from, 0); i <= to && i < list.Count(); ++i) {
        auto copy = std::make_unique<TGPXwpt>();
        copy->CopyFrom(list.WayPoints(i));
        copies.push_back(std::move(copy));
    }
    for (auto& copy : copies) {
        Add(std::move(copy));
    }
}

void TGPXrte::CopyFrom(const TGPXrte& route) {
    if (&route == this) {
        return;
    }
    name = route.name;
    cmt = route.cmt;
    desc = route.desc;
    src = route.src;
    Link = route.Link;
    number = route.number;
    rtype = route.rtype;
    extensions = route.extensions;
    LineStyle.CopyFrom(route.LineStyle);
    ClearPointList();
    AppendCopies(route, 0, route.Count() - 1);
}

void TGPXtrkseg::CopyFrom(const TGPXtrkseg& segment) {
    if (&segment == this) {
        return;
    }
    extensions = segment.extensions;
    ClearPointList();
    AppendCopies(segment, 0, segment.Count() - 1);
}

void TGPXtrk::SetEnabled(bool value) {
    penabled_ = value;
    for (const auto& segment : Items()) {
        segment->SetEnabled(value);
    }
}

void TGPXtrk::CopyFrom(const TGPXtrk& track) {
    name = track.name;
    cmt = track.cmt;
    desc = track.desc;
    src = track.src;
    Link = track.Link;
    number = track.number;
    ttype = track.ttype;
    extensions = track.extensions;
    LineStyle.CopyFrom(track.LineStyle);
    std::vector<std::unique_ptr<TGPXtrkseg>> copies;
    for (int i = 0; i < track.Count(); ++i) {
        auto copy = std::make_unique<TGPXtrkseg>();
        copy->CopyFrom(track.trkseg(i));
        copies.push_back(std::move(copy));
    }
    for (auto& copy : copies) {
        Add(std::move(copy));
    }
}

void TGPXrteList::SetEnabled(bool value) {
    penabled_ = value;
    for (const auto& route : Items()) {
        route->SetEnabled(value);
    }
}

void TGPXrteList::CopyFrom(const TGPXrteList& list) {
    filled = list.filled;
    std::vector<std::unique_ptr<TGPXrte>> copies;
    for (int i = 0; i < list.Count(); ++i) {
        auto copy = std::make_unique<TGPXrte>();
        copy->CopyFrom(list.Routes(i));
        copies.push_back(std::move(copy));
    }
    for (auto& copy : copies) {
        Add(std::move(copy));
    }
}

void TGPXtrkList::SetEnabled(bool value) {
    penabled_ = value;
    for (const auto& track : Items()) {
        track->SetEnabled(value);
    }
}

void TGPXtrkList::CopyFrom(const TGPXtrkList& list) {
    filled = list.filled;
    std::vector<std::unique_ptr<TGPXtrk>> copies;
    for (int i = 0; i < list.Count(); ++i) {
        auto copy = std::make_unique<TGPXtrk>();
        copy->CopyFrom(list.Tracks(i));
        copies.push_back(std::move(copy));
    }
    for (auto& copy : copies) {
        Add(std::move(copy));
    }
}

TGPXtrk* TGPXtrkList::GetTrackOfTrackSeg(const TGPXtrkseg* segment) const {
    for (const auto& track : Items()) {
        if (track->IndexOf(segment) >= 0) {
            return track.get();
        }
    }
    return nullptr;
}

const TGPXSelection::Item& TGPXSelection::Items(int index) const {
    if (index < 0 || index >= Count()) {
        throw EListError(index);
    }
    return items_[static_cast<std::size_t>(index)];
}

namespace {
const void* Address(const TGPXSelection::Item& item) {
    if (const auto* list = std::get_if<TPointList2*>(&item)) {
        return *list;
    }
    if (const auto* point = std::get_if<TPoint4D2*>(&item)) {
        return *point;
    }
    return nullptr;
}
}  // namespace

void TGPXSelection::Remove(const void* object) {
    std::erase_if(items_, [&](const Item& item) { return Address(item) == object; });
}

bool TGPXSelection::IsInSelection(const void* object) const {
    return object != nullptr && std::any_of(items_.begin(), items_.end(), [&](const Item& item) {
               return Address(item) == object;
           });
}

bool TGPXSelection::APointListIsSelected() const {
    for (const Item& item : items_) {
        if (const auto* list = std::get_if<TPointList2*>(&item); list && *list) {
            const auto& type = typeid(**list);
            if (type == typeid(TGPXrte) || type == typeid(TGPXtrkseg)) {
                return true;
            }
        }
    }
    return false;
}

void TGPXSelection::CopyFrom(const TGPXSelection& selection) {
    if (selection.Parent != nullptr) {
        Parent = selection.Parent;
    }
    Clear();
}

TGPX::TGPX() {
    selection.Parent = this;
}

void TGPX::SetEnabled(bool value) {
    penabled_ = value;
    wpt.SetEnabled(value);
    rte.SetEnabled(value);
    trk.SetEnabled(value);
}

void TGPX::CopyFrom(const TGPX& document) {
    if (&document == this) {
        return;
    }
    version_ = document.version_;
    creator = document.creator;
    xmlns = document.xmlns;
    Metadata.CopyFrom(document.Metadata);
    wpt.CopyFrom(document.wpt);
    rte.CopyFrom(document.rte);
    trk.CopyFrom(document.trk);
    extension.CopyFrom(document.extension);
    selection.CopyFrom(document.selection);
    // The selection stays this document's own: it must never point into the other one.
    selection.Parent = this;
}

void TGPX::Clear() {
    selection.Clear();
    wpt.ClearPointList();
    wpt.filled = false;
    rte.Clear();
    rte.filled = false;
    trk.Clear();
    trk.filled = false;
}

void TGPX::ComputeMetaBounds() {
    TBBox box;
    wpt.CalcBBox(true);
    box.Add(wpt.BBox);
    for (int i = 0; i < rte.Count(); ++i) {
        TGPXrte& route = rte.Routes(i);
        route.CalcBBox(true);
        if (route.BBox.Complete) {
            box.Add(route.BBox);
        }
    }
    for (int t = 0; t < trk.Count(); ++t) {
        TGPXtrk& track = trk.Tracks(t);
        for (int s = 0; s < track.Count(); ++s) {
            TGPXtrkseg& segment = track.trkseg(s);
            segment.CalcBBox(true);
            if (segment.BBox.Complete) {
                box.Add(segment.BBox);
            }
        }
    }
    if (box.E == box.O || box.N == box.S) {
        return;
    }
    Metadata.Bounds.minlat = std::min(box.S, box.N);
    Metadata.Bounds.maxlat = std::max(box.S, box.N);
    Metadata.Bounds.minlon = std::min(box.O, box.E);
    Metadata.Bounds.maxlon = std::max(box.O, box.E);
    Metadata.Bounds.filled = true;
    Metadata.filled = true;
}

TGPXwptList* TGPX::GetWaypointParent(const TGPXwpt* point) const {
    if (wpt.IndexOf(point) >= 0) {
        return const_cast<TGPXwptList*>(&wpt);
    }
    for (int i = 0; i < rte.Count(); ++i) {
        if (rte.Routes(i).IndexOf(point) >= 0) {
            return &rte.Routes(i);
        }
    }
    for (int t = 0; t < trk.Count(); ++t) {
        const TGPXtrk& track = trk.Tracks(t);
        for (int s = 0; s < track.Count(); ++s) {
            if (track.trkseg(s).IndexOf(point) >= 0) {
                return &track.trkseg(s);
            }
        }
    }
    return nullptr;
}

}  // namespace geodata
