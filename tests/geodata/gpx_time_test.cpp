#include <gtest/gtest.h>

#include "geodata/gpx/gpx_file.h"
#include "geodata/gpx/iso8601.h"

namespace geodata {
namespace {

TDateTime At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0) {
    return EncodeDate(y, mo, d) + EncodeTime(h, mi, s, ms);
}

TEST(Iso8601, ReadsTheFormsOfTheStandard) {
    struct Case {
        const char* text;
        TDateTime expected;
    };
    const Case cases[] = {
        {"2014-07-03T10:20:30Z", At(2014, 7, 3, 10, 20, 30)},
        {"2014-07-03T10:20:30+08:00", At(2014, 7, 3, 2, 20, 30)},
        {"2014-07-03T10:20:30-05:00", At(2014, 7, 3, 15, 20, 30)},
        {"2014-07-03T01:00:00+0230", At(2014, 7, 2, 22, 30, 0)},
        {"2014-07-03T10:20:30.5Z", At(2014, 7, 3, 10, 20, 30, 500)},
        {"2014-07-03T10:20:30,25Z", At(2014, 7, 3, 10, 20, 30, 250)},
        {"2014-07-03T10:20:30.123Z", At(2014, 7, 3, 10, 20, 30, 123)},
        {"2014-07-03T10:20Z", At(2014, 7, 3, 10, 20)},
        {"2014-07-03T10.5Z", At(2014, 7, 3, 10, 30)},
        {"2014-07-03T10:20.5Z", At(2014, 7, 3, 10, 20, 30)},
        {"2014-07-03", At(2014, 7, 3)},
        {"2014-07-03 10:20:30", At(2014, 7, 3, 10, 20, 30)},
        {"  2014-07-03T10:20:30Z\n", At(2014, 7, 3, 10, 20, 30)},
        {"20140703T102030Z", At(2014, 7, 3, 10, 20, 30)},
        {"2014-184", At(2014, 7, 3)},
        {"2014-W27-4", At(2014, 7, 3)},
        {"2014W274", At(2014, 7, 3)},
        {"2014-07", 0},  // fewer than 8 characters
        {"", 0},
        {"T10:20:30Z", 0},  // date part shorter than 4
    };
    for (const Case& c : cases) {
        EXPECT_DOUBLE_EQ(ParseISO8601(c.text), c.expected) << c.text;
    }
}

TEST(Iso8601, ComponentsOutOfRange) {
    for (const char* text : {"2014-13-03T10:20:30Z", "2014-07-03T25:20:30Z", "2014-W60-1",
                             "2014-02-30T00:00:00Z", "2014-07-03T10:20:30+25:00"}) {
        EXPECT_THROW(ParseISO8601(text), EConvertError) << text;
    }
    // The reader logs the bad value and takes it as no time.
    TGPXFile file;
    EXPECT_EQ(file.ISO8601ToDateTime("2014-13-03T10:20:30Z"), 0);
    ASSERT_EQ(file.mLog.size(), 1u);
    EXPECT_NE(file.mLog[0].find("2014-13-03T10:20:30Z"), std::string::npos);
}

TEST(Iso8601, WritesUtcWithMillisecondsOnlyWhenPresent) {
    EXPECT_EQ(FormatGPXTime(At(2014, 7, 3, 10, 20, 30)), "2014-07-03T10:20:30Z");
    EXPECT_EQ(FormatGPXTime(At(2014, 7, 3, 10, 20, 30, 5)), "2014-07-03T10:20:30.005Z");
    EXPECT_EQ(FormatGPXTime(At(1999, 12, 31, 23, 59, 59, 999)), "1999-12-31T23:59:59.999Z");
    // Round trip of a value with milliseconds.
    const TDateTime t = At(2021, 2, 28, 0, 0, 1, 250);
    EXPECT_DOUBLE_EQ(ParseISO8601(FormatGPXTime(t)), t);
}

}  // namespace
}  // namespace geodata
