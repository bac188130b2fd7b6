#pragma once
// A position with altitude and time: the base of every waypoint, route point and track point.
#include <cstdint>
#include <memory>
#include <string>

#include "geodata/track/date_time.h"

namespace geodata {

class TPoint4D2 {
  public:
    TPoint4D2() = default;
    TPoint4D2(const TPoint4D2&) = delete;
    TPoint4D2& operator=(const TPoint4D2&) = delete;
    virtual ~TPoint4D2() = default;

    double Latitude = 0;
    double Longitude = 0;
    double Altitude = 0;     // metres
    TDateTime DateTime = 0;  // UTC; 0 means no time
    std::uint8_t Level = 0;  // polyline zoom level; 255 leaves the point out
    bool enabled = true;     // takes part in bounding boxes

    // Position and time only; Level and enabled stay.
    void CopyFrom(const TPoint4D2& point);

    // Metres along a great circle of the WGS-84 equatorial radius. With almostNul the cosine sum
    // is rounded to 8 decimals before the test for coincident points.
    double WGS84Distance(double lon, double lat, bool almostNul) const;
    double WGS84Distance(const TPoint4D2& point, bool almostNul) const;

    // Strictly inside the box whose corners may come in either order; an edge is outside.
    bool IsInBox(double e, double o, double s, double n) const;

    std::string LatitudeStr() const;
    std::string LongitudeStr() const;
    std::string LatitudeOZStr() const;
    std::string LongitudeOZStr() const;
    std::string Lat() const;
    std::string Lon() const;
    std::string AltitudeStr() const;
    std::string DateTimeStr() const;
    std::string Coord() const;
};

// Vector helpers over (Longitude, Latitude, Altitude), used by the polyline simplification.
std::unique_ptr<TPoint4D2> PointDifference(const TPoint4D2& a, const TPoint4D2& b);
double PointDotProduct(const TPoint4D2& a, const TPoint4D2& b);
double PointSquaredNorm(const TPoint4D2& a);
double PointSquaredDistance(const TPoint4D2& a, const TPoint4D2& b);

}  // namespace geodata
