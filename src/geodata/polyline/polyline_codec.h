#pragma once
// Encoded polylines: each coordinate stored as a delta of integer hundred-thousandths of a
// degree, five bits per character. Task areas and district outlines travel in this form to the
// map page and into the boundary store.
//
// Two text forms exist and must not be mixed up:
//  - the stored form, which every Encode* function returns: the plain encoded text with each
//    backslash doubled (the boundary store keeps outlines this way);
//  - the plain form, which DecodePath reads and which is what the page's decoder expects once a
//    script literal has been parsed. PlainEncodedText turns the stored form into the plain one.
// Escaping for a script literal is the page host's job and is applied to the plain form.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/core/core_types.h"

namespace geodata {

// A point of a track as the codec sees it. Level 255 leaves the point out of the encoded line.
struct PolylinePoint {
    double Latitude = 0;
    double Longitude = 0;
    double Altitude = 0;
    std::uint8_t Level = 0;
};

constexpr std::uint8_t kLevelLeftOut = 255;

class TGPolyLine {
  public:
    explicit TGPolyLine(double vSmall);

    std::uint8_t numLevels = 18;
    std::uint8_t zoomFactor = 2;
    double verySmall = 0;
    std::vector<double> zoomLevelBreaks;  // numLevels + 1 entries

    // `track`: pairs separated by ";", the two numbers of a pair by ","; with lngAtFront each
    // pair is longitude then latitude. Blank items are skipped; an item that is not exactly two
    // readable numbers throws std::invalid_argument.
    std::string EncodePoints(std::string_view track, bool lngAtFront) const;
    // `track`: one comma-separated list lng,lat,lng,lat,...; a last value without a partner is
    // ignored. An unreadable number throws std::invalid_argument.
    std::string EncodePointsEx(std::string_view track) const;
    // The points whose Level is not 255; the first and the last point always.
    std::string EncodePoints(const std::vector<PolylinePoint>& track) const;
    // The Level of every point that is not left out, as unsigned numbers; no backslash doubling.
    std::string EncodeLevels(const std::vector<PolylinePoint>& track) const;

    // Douglas-Peucker level assignment. An empty track throws std::out_of_range.
    void dpEncode(std::vector<PolylinePoint>& track) const;
    // Levels of the points strictly between j and k by recursive subdivision in three dimensions.
    void dpSetLevel(std::vector<PolylinePoint>& track, int j, int k) const;

    // Plain encoded text to "lat,lng;lat,lng;..." with five decimals. A value cut off by the end
    // of the text, or a latitude without its longitude, ends the output after the last whole
    // point.
    std::string DecodePath(std::string_view encodedPath) const;

    // Plain encoded text to positions. Returns false when the text ends inside a point; `points`
    // then holds the whole points before it.
    static bool DecodePoints(std::string_view encodedPath, std::vector<engine::TGLatLng>& points);

    int computeLevel(double d) const;
    static double distanceToSegment(const engine::TGLatLng& p, const engine::TGLatLng& a,
                                    const engine::TGLatLng& b);
    static void encodeNumber(std::uint64_t value, std::string& out);
    static void encodeSignedNumber(std::int64_t value, std::string& out);
};

// Stored form (backslashes doubled) to the plain encoded text, and back.
std::string PlainEncodedText(std::string_view storedText);
std::string StoredEncodedText(std::string_view plainText);

}  // namespace geodata
