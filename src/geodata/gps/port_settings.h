#pragma once
// The serial settings of the GPS receiver's port, kept in an INI file of their own (the path is
// the caller's). Values are stored as the texts that the port-setup dialog lists.
#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace geodata {

inline constexpr std::array<std::string_view, 16> kBaudRateTexts = {
    "Custom", "110",   "300",   "600",   "1200",  "2400",   "4800",   "9600",
    "14400",  "19200", "38400", "56000", "57600", "115200", "128000", "256000"};
inline constexpr std::array<std::string_view, 3> kStopBitsTexts = {"1", "1.5", "2"};
inline constexpr std::array<std::string_view, 4> kDataBitsTexts = {"5", "6", "7", "8"};
inline constexpr std::array<std::string_view, 5> kParityTexts = {"None", "Odd", "Even", "Mark",
                                                                 "Space"};
inline constexpr std::array<std::string_view, 4> kFlowControlTexts = {"Hardware", "Software",
                                                                      "None", "Custom"};

// The port a new port starts with, as settings files of every version store it. No serial port
// of this system bears that name, so a stored "COM1" means that no user has chosen a port yet.
inline constexpr std::string_view kFirstRunPort = "COM1";

struct ComPortSettings {
    std::string Port = std::string(kFirstRunPort);
    std::string BaudRate = "9600";
    std::int32_t CustomBaudRate = 9600;
    std::string StopBits = "1";
    std::string DataBits = "8";
    std::string Parity = "None";
    std::string FlowControl = "None";

    // Bits per second: the custom rate when BaudRate is "Custom".
    std::int32_t BaudRateValue() const;
};

// Whether `port` names a port that a user chose: anything but the first-run default (or no name
// at all). Only an unchosen port may give way to another port that is present.
bool PortChosen(std::string_view port);

// Reads the section into `settings`. A missing key, or a value that is not one of the listed
// texts, leaves that setting as it was; "CustomBaudRate" is read (9600 when missing) only when
// "BaudRate" is "Custom". Returns false when the file cannot be read.
bool LoadPortSettings(const std::filesystem::path& file, std::string_view section,
                      ComPortSettings& settings);

// Writes the section's keys, keeping every other section, key and line of the file; the file
// is replaced atomically. Returns false and sets `error` on failure.
bool SavePortSettings(const std::filesystem::path& file, std::string_view section,
                      const ComPortSettings& settings, std::string* error = nullptr);

}  // namespace geodata
