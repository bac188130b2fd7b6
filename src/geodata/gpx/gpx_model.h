#pragma once
// In-memory model of a GPX 1.1 document: metadata, waypoints, routes, tracks of segments, the
// document's raw extensions and a selection used by the editing operations.
#include <cstdint>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "geodata/gpx/gpx_style.h"
#include "geodata/track/owned_list.h"
#include "geodata/track/point_list.h"

namespace geodata {

struct TGPXLink {
    std::string href, text, ltype;
    bool filled = false;
    void CopyFrom(const TGPXLink& link) { *this = link; }
};

struct TGPXemail {
    std::string id, domain;
    bool filled = false;
    void CopyFrom(const TGPXemail& email) { *this = email; }
};

struct TGPXperson {
    std::string name;
    TGPXemail email;
    TGPXLink Link;
    bool filled = false;
    void CopyFrom(const TGPXperson& person) { *this = person; }
};

struct TGPXcopyright {
    std::string author;
    std::int32_t year = -1;
    std::string license;
    bool filled = false;
    void CopyFrom(const TGPXcopyright& copyright) { *this = copyright; }
};

struct TGPXbounds {
    double minlat = 0, minlon = 0, maxlat = 0, maxlon = 0;
    bool filled = false;
    void CopyFrom(const TGPXbounds& bounds) { *this = bounds; }
};

struct TGPXmetadata {
    std::string name, desc;
    TGPXperson author;
    TGPXcopyright Copyright;
    TGPXLink Link;
    TDateTime mtime = 0;
    std::string keywords;
    TGPXbounds Bounds;
    std::string extensions;  // raw XML
    bool filled = false;
    void CopyFrom(const TGPXmetadata& metadata) { *this = metadata; }
};

struct TGPXExtension {
    std::string text;  // raw XML of the document's extensions
    void CopyFrom(const TGPXExtension& extension) { text = extension.text; }
};

// Waypoint, route point and track point.
class TGPXwpt : public TPoint4D2 {
  public:
    double magvar = 0;
    double geoidheight = 0;
    std::string name, cmt, desc, src;
    TGPXLink Link;
    std::string sym, wtype, fix;
    std::uint8_t sat = 255;                  // 255 absent; 254 marks a point without a usable fix
    double hdop = -1, vdop = -1, pdop = -1;  // -1 absent
    double ageofdgpsdata = -1;
    std::int32_t dgpsid = -1;
    std::string extensions;  // raw XML

    // Everything but Level and enabled.
    void CopyFrom(const TGPXwpt& point);
    // Mode 0: same place and every GPX field equal (Link aside); mode 1 and above: same place.
    bool IsIdentical(const TGPXwpt& point, std::uint8_t filterMode) const;
};

class TGPXwptList : public TPointList2 {
  public:
    TGPXwptList() { penabled_ = true; }

    TGPXwpt& WayPoints(int index) const { return static_cast<TGPXwpt&>(At(index)); }
    TGPXwpt& operator[](int index) const { return WayPoints(index); }
    void SetWayPoint(int index, std::unique_ptr<TGPXwpt> point) { Set(index, std::move(point)); }
    // The list holds only GPX points: these hide the base forms that take any point.
    int Add(std::unique_ptr<TGPXwpt> point) { return TPointList2::Add(std::move(point)); }
    void Insert(int index, std::unique_ptr<TGPXwpt> point) {
        TPointList2::Insert(index, std::move(point));
    }
    void SetPoint(int index, std::unique_ptr<TGPXwpt> point) { Set(index, std::move(point)); }
    std::unique_ptr<TGPXwpt> Extract(int index) {
        return std::unique_ptr<TGPXwpt>(
            static_cast<TGPXwpt*>(TPointList2::Extract(index).release()));
    }

    // Appends a copy of every point of the other list; takes its filled flag.
    void CopyFrom(const TGPXwptList& list);
    // Appends copies of the other list's points from `from` to `to` inclusive.
    void AppendCopies(const TGPXwptList& list, int from, int to);
    // Removes, from the last to the second, every point identical to the one just before it.
    void RemoveDuplicates(std::uint8_t filterMode, bool sortBefore);
};

class TGPXrte : public TGPXwptList {
  public:
    std::string name, cmt, desc, src;
    TGPXLink Link;
    std::int32_t number = -1;
    std::string rtype;
    std::string extensions;
    TGPX_StyleLine LineStyle;

    TGPXwpt& rtept(int index) const { return WayPoints(index); }
    void SetRtePoint(int index, std::unique_ptr<TGPXwpt> point) { Set(index, std::move(point)); }
    // Copies the fields and replaces the points by copies of the other route's.
    void CopyFrom(const TGPXrte& route);
};

class TGPXtrkseg : public TGPXwptList {
  public:
    std::string extensions;

    TGPXwpt& trkpt(int index) const { return WayPoints(index); }
    void SetTrkPoint(int index, std::unique_ptr<TGPXwpt> point) { Set(index, std::move(point)); }
    void CopyFrom(const TGPXtrkseg& segment);
};

class TGPXtrk : public OwnedList<TGPXtrkseg> {
  public:
    std::string name, cmt, desc, src;
    TGPXLink Link;
    std::int32_t number = -1;
    std::string ttype;
    std::string extensions;
    TGPX_StyleLine LineStyle;

    TGPXtrkseg& trkseg(int index) const { return At(index); }
    void SetTrkSeg(int index, std::unique_ptr<TGPXtrkseg> segment) {
        Set(index, std::move(segment));
    }
    bool enabled() const { return penabled_; }
    void SetEnabled(bool value);
    // Copies the fields and appends a copy of every segment of the other track.
    void CopyFrom(const TGPXtrk& track);

    // Cuts `which` in two at `where` (at least three points before it and two after it); the
    // new second segment stands right after `which` and is returned, or nullptr.
    TGPXtrkseg* Cuttrkseg(TGPXtrkseg* which, const TGPXwpt* where);
    // By the time of each segment's first point; an empty segment raises the index error.
    void SortByDate();

  private:
    bool penabled_ = true;
};

class TGPXrteList : public OwnedList<TGPXrte> {
  public:
    bool filled = false;

    TGPXrte& Routes(int index) const { return At(index); }
    void SetRoute(int index, std::unique_ptr<TGPXrte> route) { Set(index, std::move(route)); }
    bool enabled() const { return penabled_; }
    void SetEnabled(bool value);
    void CopyFrom(const TGPXrteList& list);

    // Joins route2 onto route1 (appending or prepending by place, time and list order), takes
    // route2 out of the list and releases it; returns route1.
    TGPXrte* BindRoutes(TGPXrte* route1, TGPXrte* route2);
    TGPXrte* CutRoute(TGPXrte* which, const TGPXwpt* where);
    void SortByDate();

  private:
    bool penabled_ = true;
};

class TGPXtrkList : public OwnedList<TGPXtrk> {
  public:
    bool filled = false;

    TGPXtrk& Tracks(int index) const { return At(index); }
    void SetTrack(int index, std::unique_ptr<TGPXtrk> track) { Set(index, std::move(track)); }
    bool enabled() const { return penabled_; }
    void SetEnabled(bool value);
    void CopyFrom(const TGPXtrkList& list);

    // Joins segment2 onto segment1 like BindRoutes; segment2, or its track when it held only
    // that segment, is taken out and released. segment2 must belong to a track of the list.
    TGPXtrkseg* BindTrackSeg(TGPXtrkseg* segment1, TGPXtrkseg* segment2);
    TGPXtrk* GetTrackOfTrackSeg(const TGPXtrkseg* segment) const;

  private:
    bool penabled_ = true;
};

class TGPX;

// References to routes, track segments or points of the document; it owns none of them.
class TGPXSelection {
  public:
    using Item = std::variant<std::monostate, TPointList2*, TPoint4D2*>;

    TGPX* Parent = nullptr;

    int Count() const { return static_cast<int>(items_.size()); }
    const Item& Items(int index) const;
    void Add(Item item) { items_.push_back(item); }
    void Remove(const void* object);
    void Clear() { items_.clear(); }

    bool IsInSelection(const void* object) const;
    // Whether a selected object is exactly a route or a track segment (not a derived class).
    bool APointListIsSelected() const;
    // Takes the other's Parent when it has one, then empties itself.
    void CopyFrom(const TGPXSelection& selection);

  private:
    std::vector<Item> items_;
};

class TGPX {
  public:
    TGPX();
    TGPX(const TGPX&) = delete;
    TGPX& operator=(const TGPX&) = delete;

    std::string creator;
    std::string xmlns;  // namespace attributes of the root element as read
    TGPXmetadata Metadata;
    TGPXwptList wpt;
    TGPXrteList rte;
    TGPXtrkList trk;
    TGPXExtension extension;
    TGPXSelection selection;

    bool enabled() const { return penabled_; }
    void SetEnabled(bool value);

    // Copies the other document's texts and metadata and appends its content to the lists.
    void CopyFrom(const TGPX& document);
    // Releases every waypoint, route and track; metadata, extensions, creator, xmlns stay.
    void Clear();
    // Metadata bounds from the boxes of the waypoints, routes and track segments.
    void ComputeMetaBounds();

    // Joins the two selected routes or track segments; returns the first, or nullptr when the
    // selection is not exactly two routes or two segments. The second is dropped from the
    // selection, since the join releases it.
    TPointList2* BindSelection();
    // The waypoint list, route or track segment that holds the point, or nullptr.
    TGPXwptList* GetWaypointParent(const TGPXwpt* point) const;

  private:
    bool penabled_ = true;
    std::string version_;
};

}  // namespace geodata
