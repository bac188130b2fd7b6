#pragma once
// Named district outlines (encoded polylines in GCJ-02, backslashes doubled) in a store file of
// "name=outline" lines, and the helpers that turn the coordinate texts of task areas into
// coordinate arrays, boxes and Web Mercator points and export an outline as KML or GeoJSON.
//
// The store is the user's copy under the data folder; on first use it is seeded from the copy
// installed with the program, which is never written.
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/core/core_types.h"

namespace geodata {

class TBoundary {
  public:
    // Loads `userFile`; when it does not exist yet and `seedFile` does, the seed is copied to
    // `userFile` first. Neither existing leaves the store empty.
    explicit TBoundary(std::filesystem::path userFile, std::filesystem::path seedFile = {});

    // The outline stored under `name` (letters compared without regard to case); empty when
    // there is none.
    std::string GetLatLngs(std::string_view name) const;

    // Stores `value` under `name`, replacing the held outline or adding the name, and rewrites
    // the file as UTF-8 with a byte-order mark and CR LF line ends. Throws
    // std::invalid_argument for an empty name or value, a name holding "=", or a line break in
    // either; std::runtime_error when the file cannot be written (the store is then unchanged)
    // or when the file could not be read at construction (it is not overwritten).
    void Save(std::string_view name, std::string_view value);

    // The stored outline of `name` as positions (the coordinate text rules of StrToArray apply).
    std::vector<engine::TGLatLng> GetLatLngArray(std::string_view name) const;
    // The same for a stored value: an encoded polyline (stored form) or a coordinate text.
    static std::vector<engine::TGLatLng> OutlineArray(std::string_view value);

    const std::filesystem::path& FileName() const { return fileName_; }
    const std::vector<std::string>& Lines() const { return lines_; }
    // Why the store file could not be read; empty when it was read or did not exist.
    const std::string& LoadError() const { return loadError_; }

    // Coordinate texts: "lng,lat,lng,lat,..." with "." decimals; two points stand for the
    // rectangle they span.

    // The encoded polyline (stored form) of a coordinate text.
    static std::string EncodePath(std::string_view s);
    // Four comma-separated fields.
    static bool IsRectangle(std::string_view value);
    // Positions of the pairs; pairs with a 0 (or an unreadable number) are dropped and two
    // remaining points become the four corners of their rectangle.
    static std::vector<engine::TGLatLng> StrToArray(std::string_view value);
    static std::vector<engine::TGLatLng> StrToArrayEx(std::string_view value) {
        return StrToArray(value);
    }
    // "lat,lng" to a position; nothing without a usable pair.
    static std::optional<engine::TGLatLng> StrToLatLng(std::string_view value);
    // "lng,lat,lng,lat,..." with five decimals.
    static std::string LatLngArrayToStr(const std::vector<engine::TGLatLng>& points);
    // Web Mercator metres cut towards zero.
    static std::vector<engine::TPoint> LatLngsToMercators(
        const std::vector<engine::TGLatLng>& points);
    // Largest and smallest longitude (X) and latitude (Y); false, with the results untouched,
    // when the text holds no point.
    static bool GetBounds(std::string_view value, double& maxX, double& minX, double& maxY,
                          double& minY);
    // The box of the points; `initial` when the text gives fewer than three points.
    static engine::TGLatLngBounds GetBounds(std::string_view value,
                                            const engine::TGLatLngBounds& initial);

    // Exports of a GCJ-02 coordinate text in the chosen datum. The files are replaced
    // atomically; a failure throws std::runtime_error.
    static void SaveToFile(std::string_view value, const std::filesystem::path& fileName,
                           engine::TCoordType coordType);
    static void DumpGeoJSON(std::string_view s, const std::filesystem::path& fileName,
                            engine::TCoordType coordType);
    // The bytes that SaveToFile and DumpGeoJSON write. `name` is the export file's name.
    static std::string KmlText(std::string_view value, const std::string& name,
                               engine::TCoordType coordType);
    static std::string GeoJsonText(std::string_view s, engine::TCoordType coordType);

  private:
    void Load(const std::filesystem::path& seedFile);
    std::optional<std::size_t> IndexOfName(std::string_view name) const;

    std::vector<std::string> lines_;
    std::filesystem::path fileName_;
    std::string loadError_;
};

// The GCJ-02 position in the chosen datum.
engine::TGLatLng ConvertFromGcj02(const engine::TGLatLng& gcj, engine::TCoordType coordType);

}  // namespace geodata
