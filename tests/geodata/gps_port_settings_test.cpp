#include "geodata/gps/port_settings.h"

#include <vector>

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace geodata {
namespace {

TEST(GpsPortSettings, FreshFileHoldsTheBasicKeysUnderTheEmptySection) {
    testsupport::TempDir dir;
    const auto file = dir / "settings.ini";
    ASSERT_TRUE(SavePortSettings(file, "", ComPortSettings{}));
    EXPECT_EQ(testsupport::ReadFileBytes(file),
              "[]\r\nPort=COM1\r\nBaudRate=9600\r\nStopBits=1\r\nDataBits=8\r\nParity=None\r\n"
              "FlowControl=None\r\n");
}

TEST(GpsPortSettings, SaveKeepsTheRestOfTheFileAndLoadReadsItBack) {
    testsupport::TempDir dir;
    const auto file = dir / "settings.ini";
    testsupport::WriteFileBytes(file,
                                "[Other]\nPort=keep me\n\n[]\nport=COM9\nExtra=1\n\n[Last]\nA=B\n");
    ComPortSettings s;
    s.Port = "ttyUSB0";
    s.BaudRate = "Custom";
    s.CustomBaudRate = 250000;
    s.StopBits = "1.5";
    s.DataBits = "7";
    s.Parity = "Even";
    s.FlowControl = "Hardware";
    ASSERT_TRUE(SavePortSettings(file, "", s));
    EXPECT_EQ(testsupport::ReadFileBytes(file),
              "[Other]\r\nPort=keep me\r\n\r\n[]\r\nPort=ttyUSB0\r\nExtra=1\r\nBaudRate=Custom\r\n"
              "CustomBaudRate=250000\r\nStopBits=1.5\r\nDataBits=7\r\nParity=Even\r\n"
              "FlowControl=Hardware\r\n\r\n[Last]\r\nA=B\r\n");

    ComPortSettings read;
    ASSERT_TRUE(LoadPortSettings(file, "", read));
    EXPECT_EQ(read.Port, "ttyUSB0");
    EXPECT_EQ(read.BaudRateValue(), 250000);
    EXPECT_EQ(read.StopBits, "1.5");
    EXPECT_EQ(read.DataBits, "7");
    EXPECT_EQ(read.Parity, "Even");
    EXPECT_EQ(read.FlowControl, "Hardware");
}

TEST(GpsPortSettings, MissingOrUnknownValuesKeepTheCurrentOnes) {
    testsupport::TempDir dir;
    ComPortSettings s;
    s.Port = "ttyS1";
    s.Parity = "Odd";
    EXPECT_FALSE(LoadPortSettings(dir / "absent.ini", "", s));
    EXPECT_EQ(s.Port, "ttyS1");

    const auto file = dir / "settings.ini";
    testsupport::WriteFileBytes(
        file, "\xEF\xBB\xBF[]\r\nBaudRate=12345\r\nDataBits=9\r\nParity=odd\r\n[x]\r\nPort=no\r\n");
    ASSERT_TRUE(LoadPortSettings(file, "", s));
    EXPECT_EQ(s.Port, "ttyS1");
    EXPECT_EQ(s.BaudRate, "9600");
    EXPECT_EQ(s.DataBits, "8");
    EXPECT_EQ(s.Parity, "Odd");

    testsupport::WriteFileBytes(file, "[]\nBaudRate=Custom\n");
    s.CustomBaudRate = 1;
    ASSERT_TRUE(LoadPortSettings(file, "", s));
    EXPECT_EQ(s.BaudRateValue(), 9600) << "a custom rate without its value reads as 9600";
}

TEST(GpsPortSettings, StoredFilesTellAChosenPortFromTheFirstRunDefault) {
    testsupport::TempDir dir;
    const auto file = dir / "settings.ini";
    struct Case {
        const char* text;
        bool chosen;
    };
    const std::vector<Case> cases = {
        {"[]\r\nPort=COM1\r\nBaudRate=9600\r\n", false},
        {"[]\r\nBaudRate=4800\r\n", false},
        {"[]\r\nPort=\r\n", false},
        {"[]\r\nPort=ttyUSB0\r\n", true},
        {"[]\r\nPort=/dev/serial/by-id/usb-gps\r\n", true},
        {"[]\r\nPort=COM3\r\n", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        testsupport::WriteFileBytes(file, c.text);
        ComPortSettings read;
        ASSERT_TRUE(LoadPortSettings(file, "", read));
        EXPECT_EQ(PortChosen(read.Port), c.chosen);
    }
    EXPECT_FALSE(PortChosen(ComPortSettings{}.Port));
}

}  // namespace
}  // namespace geodata
