#pragma once
// GGA sentences and the track point each gives, shared by the NMEA reader's tests and the GPS
// receiver's: the receiver must read a sentence exactly as the reader does. Every point starts
// with sat kSatNoFix, as the receiver and the import make it.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "geodata/gpx/gpx_model.h"
#include "geodata/nmea/nmea_file.h"

namespace geodata::testing {

struct GgaCase {
    const char* what;
    std::string sentence;
    double secondsOfDay;
    double lat, lng, alt;
    std::string fix;
    int sat;
    double hdop, geoid, age;
    int dgpsid;
};

inline const std::vector<GgaCase>& GgaCases() {
    static const std::vector<GgaCase> cases = {
        {"a GPS fix", "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47", 45319,
         48 + 7.038 / 60, 11 + 31.0 / 60, 545.4, "3d", 8, 0.9, 46.9, -1, -1},
        {"differential, with a fraction of a second",
         "$GPGGA,123520.5,4807.038,N,01131.000,E,2,08,0.9,545.4,M,46.9,M,2.0,0120*7A", 45320.5,
         48 + 7.038 / 60, 11 + 31.0 / 60, 545.4, "dgps", 8, 0.9, 46.9, 2, 120},
        {"southern and western, below the geoid",
         "$GPGGA,002153.000,3342.6618,S,11751.3858,W,1,10,1.2,27.0,M,-34.2,M,,0000*43", 1313,
         -(33 + 42.6618 / 60), -(117 + 51.3858 / 60), 27.0, "3d", 10, 1.2, -34.2, -1, 0},
        {"combined receiver, southern and western, at sea level",
         "$GNGGA,000001.25,3345.000,S,07030.000,W,1,12,1.5,0,M,,M,,*79", 1.25, -33.75, -70.5, 0,
         "2d", 12, 1.5, 0, -1, -1},
        {"combined receiver, pps fix",
         "$GNGGA,092750.000,5321.6802,N,00630.3372,W,3,8,1.03,61.7,M,55.2,M,,*6A", 34070,
         53 + 21.6802 / 60, -(6 + 30.3372 / 60), 61.7, "pps", 8, 1.03, 55.2, -1, -1},
        // Without N/S nothing after the time is read: the point stays unusable.
        {"no position", "$GPGGA,123519,,,,,0,00,,,M,,M,,*6B", 45319, 0, 0, 0, "", 254, -1, 0, -1,
         -1},
        {"nothing but the address", "$GPGGA*56", 0, 0, 0, 0, "", 254, -1, 0, -1, -1},
        // An empty E/W field is a read error: the latitude was read, the mark stays.
        {"no E/W letter", "$GPGGA,123519,4807.038,N,01131.000,,1,08,0.9,545.4,M,46.9,M,,*02", 45319,
         48 + 7.038 / 60, 0, 0, "", 254, -1, 0, -1, -1},
        {"position only", "$GPGGA,123519,4807.038,N,01131.000,E,1,,,,M,,M,,*53", 45319,
         48 + 7.038 / 60, 11 + 31.0 / 60, 0, "2d", 255, -1, 0, -1, -1},
        {"unknown fix quality, satellites not a number",
         "$GPGGA,235959,0130.000,N,10330.000,E,6,x,,,M,,M,,*21", 86399, 1.5, 103.5, 0, "", 255, -1,
         0, -1, -1},
        {"every number unreadable", "$GPGGA,101010,ab.cd,N,1x2.5,E,x,1y,h,a,M,g,M,q,z*43", 36610, 0,
         1, 0, "none", 255, -1, 0, -1, -1},
        {"time unreadable", "$GPGGA,12a519,4807.038,N,01131.000,E,0,03,2.5,545.4,M,46.9,M,,*11", 0,
         48 + 7.038 / 60, 11 + 31.0 / 60, 545.4, "none", 3, 2.5, 46.9, -1, -1},
    };
    return cases;
}

inline void ExpectPointOf(const GgaCase& c, const TGPXwpt& p) {
    SCOPED_TRACE(std::string(c.what) + ": " + c.sentence);
    EXPECT_NEAR(p.DateTime * 86400.0, c.secondsOfDay, 1e-6);
    EXPECT_NEAR(p.Latitude, c.lat, 1e-12);
    EXPECT_NEAR(p.Longitude, c.lng, 1e-12);
    EXPECT_DOUBLE_EQ(p.Altitude, c.alt);
    EXPECT_EQ(p.fix, c.fix);
    EXPECT_EQ(p.sat, c.sat);
    EXPECT_DOUBLE_EQ(p.hdop, c.hdop);
    EXPECT_DOUBLE_EQ(p.geoidheight, c.geoid);
    EXPECT_DOUBLE_EQ(p.ageofdgpsdata, c.age);
    EXPECT_EQ(p.dgpsid, c.dgpsid);
}

}  // namespace geodata::testing
