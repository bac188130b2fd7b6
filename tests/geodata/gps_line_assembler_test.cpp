#include "geodata/gps/nmea_line_assembler.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace geodata {
namespace {

TEST(GpsLineAssembler, CutsLinesFromReadsOfAnySize) {
    struct Case {
        const char* what;
        std::vector<std::string> reads;
        std::vector<std::string> lines;
        std::string pending;
    };
    const std::vector<Case> cases = {
        {"split across reads",
         {"$GPGGA,1", "23519,48", "07.038*47\r", "\n"},
         {"$GPGGA,123519,4807.038*47"},
         ""},
        {"two in one read", {"$GPGGA,a*00\r\n$GPRMC,b*01\r\n"}, {"$GPGGA,a*00", "$GPRMC,b*01"}, ""},
        {"end of one and start of the next", {"$GPGGA,a*0", "0\r\n$GPR"}, {"$GPGGA,a*00"}, "$GPR"},
        {"junk before the dollar", {"xx\r\n", "junk$GPGGA,a*00\r\n"}, {"$GPGGA,a*00"}, ""},
        {"line feed only", {"$GPGGA,a*00\n$GPRMC,b*01\n"}, {"$GPGGA,a*00", "$GPRMC,b*01"}, ""},
        {"doubled carriage return", {"$GPGGA,a*00\r\r\n"}, {"$GPGGA,a*00"}, ""},
        {"line feed without a dollar", {"abc\n", "\r\n"}, {}, ""},
        {"two sentences on one line", {"$GPGGA,a$GPRMC,b\r\n"}, {"$GPGGA,a$GPRMC,b"}, ""},
    };
    for (const auto& c : cases) {
        NmeaLineAssembler assembler;
        std::vector<std::string> lines;
        for (const auto& read : c.reads) {
            for (auto& line : assembler.Feed(read)) {
                lines.push_back(std::move(line));
            }
        }
        EXPECT_EQ(lines, c.lines) << c.what;
        EXPECT_EQ(assembler.Pending(), c.pending) << c.what;
    }
}

TEST(GpsLineAssembler, BufferStaysBoundedWithoutLineEnds) {
    NmeaLineAssembler assembler;
    const std::string noise(1000, 'x');
    assembler.Feed("$");
    for (int i = 0; i < 100; ++i) {
        EXPECT_TRUE(assembler.Feed(noise).empty());
        ASSERT_LE(assembler.Pending().size(), NmeaLineAssembler::kMaxLineLength);
    }
    // The endless line is dropped; the receiver recovers at the next sentence.
    const auto lines = assembler.Feed("xx\r\n$GPGGA,a*00\r\n");
    EXPECT_EQ(lines, std::vector<std::string>{"$GPGGA,a*00"});

    // Text without any "$" is not kept at all.
    NmeaLineAssembler quiet;
    quiet.Feed(std::string(100000, 'y'));
    EXPECT_TRUE(quiet.Pending().empty());
}

TEST(GpsLineAssembler, ResetDropsHalfALine) {
    NmeaLineAssembler assembler;
    assembler.Feed("$GPGGA,12");
    assembler.Reset();
    EXPECT_EQ(assembler.Feed("3519*47\r\n$GPRMC*00\r\n"), std::vector<std::string>{"$GPRMC*00"});
}

}  // namespace
}  // namespace geodata
