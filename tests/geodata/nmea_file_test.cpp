#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "geodata/nmea/nmea_file.h"
#include "gga_cases.h"
#include "gpx_test_support.h"
#include "support/temp_dir.h"

namespace geodata {
namespace {

// "$" + body + "*" + the checksum of the body.
std::string Sentence(const std::string& body) {
    unsigned x = 0;
    for (char c : body) {
        x ^= static_cast<unsigned char>(c);
    }
    char sum[3];
    std::snprintf(sum, sizeof sum, "%02X", x);
    return "$" + body + "*" + sum;
}

TDateTime At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0) {
    return EncodeDate(y, mo, d) + EncodeTime(h, mi, s, ms);
}

TEST(NmeaChecksum, WellFormedSentencesOnly) {
    struct Case {
        std::string text;
        bool pass;
    };
    const std::string gga = "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47";
    const Case cases[] = {
        {gga, true},
        {"  " + gga + "\r\n", true},
        {"$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A", true},
        {"$GPRMC,225446,A,4916.45,N,12311.12,W,000.5,054.7,191194,020.3,E*68", true},
        {Sentence("GNGGA,092750.000,5321.6802,N,00630.3372,W,1,8,1.03,61.7,M,55.2,M,,"), true},
        {Sentence("GPGSV,3,1,11,03,03,111,00,04,15,270,00,06,01,010,00,13,06,292,00"), true},
        {gga.substr(0, gga.size() - 2) + "48", false},                    // wrong sum
        {gga.substr(0, gga.size() - 2) + "047", false},                   // three digits
        {Sentence("GPGLL,4916.45,N,$GPGLL,12311.12,W,225444,A"), false},  // second "$"
        {"$GPGG,1,2*00", false},                                          // four-character address
        {"GPGGA,123519,4807.038,N*00", false},
        {"$GP,*00", false},
        {"", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TNMEAFile::CheckPass(c.text), c.pass) << c.text;
    }
    // Lower-case digits are accepted.
    const std::string lower =
        "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6a";
    EXPECT_TRUE(TNMEAFile::CheckPass(lower));
}

TEST(NmeaSentences, GgaFillsThePoint) {
    TNMEAFile nmea;
    for (const auto& c : testing::GgaCases()) {
        TGPXwpt p;
        p.sat = kSatNoFix;
        nmea.GPGGAToGPXwpt(c.sentence, p);
        testing::ExpectPointOf(c, p);
    }
    // Leading and trailing white space and the line end do not matter.
    const auto& first = testing::GgaCases().front();
    TGPXwpt padded;
    padded.sat = kSatNoFix;
    nmea.GPGGAToGPXwpt("  " + first.sentence + "\r\n", padded);
    testing::ExpectPointOf(first, padded);
}

TEST(NmeaSentences, GgaWithoutAPositionKeepsWhatThePointHeld) {
    TNMEAFile nmea;
    TGPXwpt p;
    p.sat = 254;
    p.Latitude = 7;
    p.Altitude = 12;
    nmea.GPGGAToGPXwpt(Sentence("GPGGA,123519,,,,,0,00,,,M,,M,,"), p);
    EXPECT_EQ(p.sat, 254) << "no position: the point stays unusable";
    EXPECT_EQ(p.Latitude, 7);
    EXPECT_EQ(p.Altitude, 12);
    EXPECT_DOUBLE_EQ(p.DateTime, EncodeTime(12, 35, 19, 0));
}

TEST(NmeaSentences, RmcOfACombinedReceiver) {
    TNMEAFile nmea;
    TGPXwpt b;
    nmea.GPRMCToGPXwpt(
        Sentence("GNRMC,092750.000,A,5321.6802,N,00630.3372,W,0.02,31.66,280511,,,A"), b);
    EXPECT_NEAR(b.Latitude, 53 + 21.6802 / 60, 1e-12);
    EXPECT_NEAR(b.Longitude, -(6 + 30.3372 / 60), 1e-12);
    EXPECT_DOUBLE_EQ(b.DateTime, At(2011, 5, 28, 9, 27, 50));
    EXPECT_EQ(b.magvar, 0);
}

TEST(NmeaSentences, RmcDateTimeAndVariation) {
    TNMEAFile nmea;
    TGPXwpt p;
    const std::string rmc = "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A";
    nmea.GPRMCToGPXwpt(rmc, p);
    EXPECT_DOUBLE_EQ(p.DateTime, At(1994, 3, 23, 12, 35, 19));
    EXPECT_EQ(p.magvar, -3.1) << "a West variation is negative";
    ASSERT_EQ(nmea.Logs.size(), 1u);
    EXPECT_EQ(nmea.Logs[0], rmc);
    EXPECT_TRUE(nmea.mLog.empty());

    TGPXwpt e;
    nmea.GPRMCToGPXwpt(Sentence("GPRMC,225446,A,4916.45,N,12311.12,W,000.5,054.7,191114,020.3,E"),
                       e);
    EXPECT_DOUBLE_EQ(e.DateTime, At(2014, 11, 19, 22, 54, 46));
    EXPECT_EQ(e.magvar, 20.3);

    TGPXwpt bad;
    nmea.GPRMCToGPXwpt(Sentence("GPRMC,225446,A,4916.45,N,12311.12,W,,,321314,,"), bad);
    EXPECT_EQ(bad.DateTime, 0) << "an impossible date reads as no time";

    EXPECT_EQ(ExpandTwoDigitYear(94, 2026), 1994);
    EXPECT_EQ(ExpandTwoDigitYear(14, 2026), 2014);
    EXPECT_EQ(ExpandTwoDigitYear(76, 2026), 1976);
    EXPECT_EQ(ExpandTwoDigitYear(75, 2026), 2075);
}

TEST(NmeaSentences, RmcWithoutAPositionSetsNothing) {
    TNMEAFile nmea;
    TGPXwpt r;
    r.DateTime = 5;
    nmea.GPRMCToGPXwpt(Sentence("GPRMC,123519,V,,,,,,,230394,,"), r);
    EXPECT_EQ(r.DateTime, 5);
}

TEST(NmeaImport, GpsbabelLogGivesOnePointPerEpoch) {
    TGPX doc;
    TNMEAFile nmea;
    nmea.GPXd = &doc;
    nmea.ImportNMEA(testing::Fixture("track.nmea"));
    ASSERT_EQ(doc.trk.Count(), 1);
    EXPECT_EQ(doc.trk.Tracks(0).src, "NMEA Log");
    const TGPXtrkseg& seg = doc.trk.Tracks(0).trkseg(0);
    ASSERT_EQ(seg.Count(), 6);
    EXPECT_NEAR(seg.trkpt(0).Latitude, 39.9042, 1e-4);
    EXPECT_NEAR(seg.trkpt(0).Longitude, 116.4074, 1e-4);
    EXPECT_EQ(seg.trkpt(0).Altitude, 44.5);
    EXPECT_DOUBLE_EQ(seg.trkpt(0).DateTime, At(2014, 7, 3, 23, 58, 30));
    EXPECT_DOUBLE_EQ(seg.trkpt(3).DateTime, At(2014, 7, 4, 0, 0, 0));
    EXPECT_DOUBLE_EQ(seg.trkpt(5).DateTime, At(2014, 7, 4, 0, 1, 0));
    EXPECT_TRUE(seg.filled);
    EXPECT_TRUE(doc.trk.filled);
    const std::vector<std::string> tail(nmea.Logs.end() - 5, nmea.Logs.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"12 lines", "0 CRC error", "6 GGA lines",
                                              "6 RMC lines", "6 points imported"}));
    EXPECT_EQ(nmea.Logs[0].rfind("Import ", 0), 0u);
}

void WriteLog(const std::filesystem::path& file, const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines) {
        text += line + "\r\n";
    }
    testsupport::WriteFileBytes(file, text);
}

TEST(NmeaImport, EpochsDatesAndCounts) {
    testsupport::TempDir dir;
    const std::string gga1 =
        Sentence("GNGGA,235959,3342.6618,S,11751.3858,W,1,10,1.2,27.0,M,0,M,,");
    const std::string gga2 =
        Sentence("GPGGA,000001,3342.6700,S,11751.3900,W,1,10,1.2,27.5,M,0,M,,");
    const std::string gga3 =
        Sentence("GPGGA,000002,3342.6800,S,11751.4000,W,1,10,1.2,28.0,M,0,M,,");
    const std::string rmc = Sentence("GNRMC,235959,A,3342.6618,S,11751.3858,W,0.1,0,311213,1.5,W");
    const std::string rmc2 = Sentence("GPRMC,000002,A,3342.6800,S,11751.4000,W,0.1,0,010114,2.0,E");
    const std::string gsv = Sentence("GPGSV,3,1,11,03,03,111,00");
    WriteLog(dir / "log.nmea",
             {gga1, "$GPGGA,garbage*00", rmc, gsv, gga2, rmc2, gga3, "", "$GPRMC,bad*11"});
    TGPX doc;
    TNMEAFile nmea;
    nmea.GPXd = &doc;
    nmea.ImportNMEA(dir / "log.nmea");
    const TGPXtrkseg& seg = doc.trk.Tracks(0).trkseg(0);
    // gga1 was completed by the first RMC; gga2 after midnight still has the old date.
    ASSERT_EQ(seg.Count(), 3);
    EXPECT_DOUBLE_EQ(seg.trkpt(0).DateTime, At(2013, 12, 31, 23, 59, 59));
    EXPECT_EQ(seg.trkpt(0).Altitude, 27.0);
    EXPECT_EQ(seg.trkpt(0).magvar, -1.5);
    EXPECT_DOUBLE_EQ(seg.trkpt(1).DateTime, At(2013, 12, 31, 0, 0, 1));
    EXPECT_EQ(seg.trkpt(1).magvar, 0) << "a fresh point: no RMC sentence since the last point";
    EXPECT_DOUBLE_EQ(seg.trkpt(2).DateTime, At(2014, 1, 1, 0, 0, 2));
    EXPECT_LT(seg.trkpt(2).Latitude, 0);
    EXPECT_EQ(seg.trkpt(2).magvar, 2.0) << "the variation of the RMC sentence of its epoch";
    const std::vector<std::string> tail(nmea.Logs.end() - 5, nmea.Logs.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"9 lines", "3 CRC errors", "3 GGA lines",
                                              "2 RMC lines", "3 points imported"}));

    WriteLog(dir / "one.nmea", {gga1, "$GPGGA,x*00"});
    nmea.ImportNMEA(dir / "one.nmea");
    ASSERT_EQ(doc.trk.Count(), 2);
    EXPECT_EQ(doc.trk.Tracks(1).trkseg(0).Count(), 0) << "no RMC sentence, no point";
    EXPECT_FALSE(doc.trk.filled);
    EXPECT_EQ(nmea.Logs[nmea.Logs.size() - 4], "1 CRC error");

    WriteLog(dir / "early.nmea", {gga1, gga2, gga3, rmc});
    nmea.ImportNMEA(dir / "early.nmea");
    EXPECT_EQ(doc.trk.Tracks(2).trkseg(0).Count(), 1)
        << "GGA sentences before the first RMC make one point";
}

TEST(NmeaImport, MissingFileRaisesAndChangesNothing) {
    testsupport::TempDir dir;
    TGPX doc;
    TNMEAFile nmea;
    nmea.GPXd = &doc;
    EXPECT_THROW(nmea.ImportNMEA(dir / "none.nmea"), EFileError);
    EXPECT_EQ(doc.trk.Count(), 0);
    ASSERT_EQ(nmea.Logs.size(), 1u);
}

TEST(NmeaImport, ReadsGpxThroughTheBase) {
    TGPX doc;
    TNMEAFile nmea;
    nmea.GPXd = &doc;
    nmea.ImportGPXFile(testing::Fixture("places.gpx"));
    EXPECT_EQ(doc.wpt.Count(), 3);
    EXPECT_EQ(nmea.Logs.back(), "0 tracks (0 points in 0 track segments)");
}

}  // namespace
}  // namespace geodata
