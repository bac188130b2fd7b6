// The port settings file is read with every line end the other settings readers take: CR LF,
// LF and the lone CR of old Macintosh files, after an optional byte-order mark.
#include <gtest/gtest.h>

#include "geodata/gps/port_settings.h"
#include "support/temp_dir.h"

namespace geodata {
namespace {

TEST(GpsPortSettingsLineEnds, EveryLineEndReadsTheSameSettings) {
    for (const char* ends : {"\r\n", "\n", "\r"}) {
        const std::string e = ends;
        testsupport::TempDir dir;
        const auto file = dir / "settings.ini";
        testsupport::WriteFileBytes(file, "\xEF\xBB\xBF[Other]" + e + "Port=no" + e + "[GPS]" + e +
                                              " port = ttyUSB1 " + e + "BAUDRATE=4800" + e);
        ComPortSettings read;
        ASSERT_TRUE(LoadPortSettings(file, "gps", read)) << int(ends[0]);
        EXPECT_EQ(read.Port, "ttyUSB1") << int(ends[0]);
        EXPECT_EQ(read.BaudRate, "4800") << int(ends[0]);
    }
}

}  // namespace
}  // namespace geodata
