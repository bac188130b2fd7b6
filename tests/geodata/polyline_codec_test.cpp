#include "geodata/polyline/polyline_codec.h"

#include <cmath>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/core/number_format.h"

namespace geodata {
namespace {

// The published example of the encoded polyline format.
constexpr const char* kExample = "_p~iF~ps|U_ulLnnqC_mqNvxq`@";

TEST(PolylineCodec, EncodesThePublishedExampleFromEveryTextForm) {
    TGPolyLine codec(0.00001);
    EXPECT_EQ(codec.EncodePoints("38.5,-120.2;40.7,-120.95;43.252,-126.453", false), kExample);
    EXPECT_EQ(codec.EncodePoints("-120.2,38.5;-120.95,40.7;-126.453,43.252", true), kExample);
    EXPECT_EQ(codec.EncodePointsEx("-120.2,38.5,-120.95,40.7,-126.453,43.252"), kExample);
    EXPECT_EQ(codec.EncodePointsEx("-120.2,38.5"), "_p~iF~ps|U");
}

TEST(PolylineCodec, TextFormsOfTheEdges) {
    TGPolyLine codec(0.00001);
    struct Case {
        std::string track;
        std::string expected;
    };
    const std::vector<Case> exCases = {
        {"", ""},
        {"-120.2,38.5,7", "_p~iF~ps|U"},  // a last number without a partner is ignored
        {" -120.2 , 38.5 ", "_p~iF~ps|U"},
    };
    for (const auto& c : exCases) {
        EXPECT_EQ(codec.EncodePointsEx(c.track), c.expected) << c.track;
    }
    const std::vector<Case> pairCases = {
        {"38.5,-120.2;", "_p~iF~ps|U"},
        {"38.5,-120.2;;40.7,-120.95", "_p~iF~ps|U_ulLnnqC"},
        {"", ""},
    };
    for (const auto& c : pairCases) {
        EXPECT_EQ(codec.EncodePoints(c.track, false), c.expected) << c.track;
    }
}

TEST(PolylineCodec, UnreadableNumbersRaise) {
    TGPolyLine codec(0.00001);
    EXPECT_THROW(codec.EncodePointsEx("116.3,abc"), std::invalid_argument);
    EXPECT_THROW(codec.EncodePointsEx("116.3,,39.9,40"), std::invalid_argument);
    EXPECT_THROW(codec.EncodePoints("38.5;40.7,-120.95", false), std::invalid_argument);
    EXPECT_THROW(codec.EncodePoints("38,5,-120,2", false), std::invalid_argument)
        << "comma decimals read as extra fields must not be taken as 38 and 5";
}

TEST(PolylineCodec, DecodesWithPointAsSeparatorInAnyLocale) {
    TGPolyLine codec(0.00001);
    EXPECT_EQ(codec.DecodePath(kExample),
              "38.50000,-120.20000;40.70000,-120.95000;43.25200,-126.45300");
    EXPECT_EQ(codec.DecodePath(""), "");
}

TEST(PolylineCodec, BackslashIsDoubledInTheStoredFormOnly) {
    TGPolyLine codec(0.00001);
    // A latitude delta of -15 encodes as the single character "\".
    const std::string stored = codec.EncodePointsEx("0,-0.00015");
    EXPECT_EQ(stored, "\\\\?");
    const std::string plain = PlainEncodedText(stored);
    EXPECT_EQ(plain, "\\?");
    EXPECT_EQ(StoredEncodedText(plain), stored);
    EXPECT_EQ(codec.DecodePath(plain), "-0.00015,0.00000");

    // Doubling must not be undone twice: a real "\\" pair in the plain text survives a round trip.
    const std::string twoBackslashes = codec.EncodePointsEx("0,-0.00015,0,-0.0003");
    EXPECT_EQ(PlainEncodedText(twoBackslashes).find("\\?\\"), 0u) << twoBackslashes;
    EXPECT_EQ(codec.DecodePath(PlainEncodedText(twoBackslashes)),
              "-0.00015,0.00000;-0.00030,0.00000");
}

TEST(PolylineCodec, LongRoundTripDoesNotDrift) {
    TGPolyLine codec(0.00001);
    std::mt19937 random(20140711);
    std::uniform_real_distribution<double> step(-0.003, 0.003);
    std::vector<engine::TGLatLng> original;
    std::vector<PolylinePoint> track;
    std::string text;
    double lat = 39.9087123;
    double lng = 116.3975456;
    for (int i = 0; i < 10000; ++i) {
        lat += step(random);
        lng += step(random);
        original.push_back({lat, lng});
        track.push_back({lat, lng, 0, 17});
        if (!text.empty()) {
            text += ',';
        }
        text += engine::FormatFloat(lng) + "," + engine::FormatFloat(lat);
    }
    const std::string stored = codec.EncodePointsEx(text);
    EXPECT_EQ(codec.EncodePoints(track), stored);

    std::vector<engine::TGLatLng> decoded;
    ASSERT_TRUE(TGPolyLine::DecodePoints(PlainEncodedText(stored), decoded));
    ASSERT_EQ(decoded.size(), original.size());
    double worst = 0;
    for (std::size_t i = 0; i < decoded.size(); ++i) {
        worst = std::max({worst, std::fabs(decoded[i].lat - original[i].lat),
                          std::fabs(decoded[i].lng - original[i].lng)});
    }
    EXPECT_LE(worst, 0.5e-5 + 1e-9);
}

TEST(PolylineCodec, TruncatedTextGivesTheWholePointsBeforeTheCut) {
    struct Case {
        std::string text;
        std::size_t points;
        bool complete;
    };
    const std::vector<Case> cases = {
        {"_p~iF", 0, false},              // a latitude without its longitude
        {"_p~iF~ps|U_ulL", 1, false},     // second point without longitude
        {"_p~iF~ps|U_ulLnnq", 1, false},  // the text ends inside a value
        {"_p~iF~ps|U_ulLnnqC", 2, true},
        {"~~~~~~~~~~~~~~~~~~~~", 0, false},  // continuation characters only
    };
    TGPolyLine codec(0.00001);
    for (const auto& c : cases) {
        std::vector<engine::TGLatLng> points;
        EXPECT_EQ(TGPolyLine::DecodePoints(c.text, points), c.complete) << c.text;
        EXPECT_EQ(points.size(), c.points) << c.text;
    }
    EXPECT_EQ(codec.DecodePath("_p~iF~ps|U_ulLnnq"), "38.50000,-120.20000");
}

TEST(PolylineCodec, DouglasPeuckerLevels) {
    TGPolyLine codec(0.00001);
    EXPECT_DOUBLE_EQ(codec.zoomLevelBreaks.front(), 1.31072);
    EXPECT_DOUBLE_EQ(codec.zoomLevelBreaks.back(), 0.000005);

    std::vector<PolylinePoint> two = {{1, 2, 0, 0}, {3, 4, 0, 0}};
    codec.dpEncode(two);
    EXPECT_EQ(two[0].Level, 17);
    EXPECT_EQ(two[1].Level, 17);

    // The middle point lies on the line: it is left out of the encoded line and its levels.
    std::vector<PolylinePoint> straight = {{0, 0, 0, 0}, {0, 1, 0, 0}, {0, 2, 0, 0}};
    codec.dpEncode(straight);
    EXPECT_EQ(straight[1].Level, kLevelLeftOut);
    EXPECT_EQ(codec.EncodePoints(straight), codec.EncodePointsEx("0,0,2,0"));
    EXPECT_EQ(codec.EncodeLevels(straight), "PP");

    // 0.5 degrees off the line reaches break 2 (0.32768): level 18 - 2 + 1.
    std::vector<PolylinePoint> bent = {{0, 0, 0, 0}, {0.5, 1, 0, 0}, {0, 2, 0, 0}};
    codec.dpEncode(bent);
    EXPECT_EQ(bent[1].Level, 17);
    EXPECT_EQ(codec.EncodePoints(bent), codec.EncodePointsEx("0,0,1,0.5,2,0"));

    std::vector<PolylinePoint> none;
    EXPECT_THROW(codec.dpEncode(none), std::out_of_range);
}

TEST(PolylineCodec, SetLevelMeasuresInThreeDimensions) {
    TGPolyLine codec(0.00001);
    // Only the altitude lifts the middle point off the line; its squared distance 0.25 first
    // exceeds break 3 (0.16384).
    std::vector<PolylinePoint> track = {{0, 0, 0, 0}, {0, 1, 0.5, 0}, {0, 2, 0, 0}};
    codec.dpSetLevel(track, 0, 2);
    EXPECT_EQ(track[1].Level, 3);

    std::vector<PolylinePoint> flat = {{0, 0, 0, 9}, {0, 1, 0, 7}, {0, 2, 0, 9}};
    codec.dpSetLevel(flat, 0, 2);
    EXPECT_EQ(flat[1].Level, 7) << "no break exceeded: the level stays as it was";
    EXPECT_THROW(codec.dpSetLevel(flat, 0, 5), std::out_of_range);
}

}  // namespace
}  // namespace geodata
