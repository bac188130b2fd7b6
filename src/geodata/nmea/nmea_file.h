#pragma once
// NMEA 0183 sentences of a GPS receiver: checksum test, GGA and RMC sentences into GPX points,
// and import of a log file of sentences as one new track.
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "geodata/gpx/gpx_file.h"

namespace geodata {

// `sat` of a point that a sentence could not give: no position was read, or it was incomplete.
inline constexpr std::uint8_t kSatNoFix = 254;

class TNMEAFile : public TGPXFile {
  public:
    std::vector<std::string> Logs;  // every line this reader logs

    // One well-formed sentence ("$" + five-character address ... "*" + two hex digits) whose
    // checksum matches.
    static bool CheckPass(std::string_view sentence);

    // Fills the point from a GGA sentence (address and checksum are not checked): time of day,
    // position, fix, satellites, dilution, altitude, geoid height, differential data. A
    // sentence without a position leaves the rest of the point alone; a position without its
    // E/W letter marks the point with kSatNoFix.
    void GPGGAToGPXwpt(std::string_view sentence, TGPXwpt& point);
    // Fills position, date-time and magnetic variation (West negative) from an RMC sentence,
    // and logs the sentence.
    void GPRMCToGPXwpt(std::string_view sentence, TGPXwpt& point);

    // Reads the GGA and RMC sentences (GP and GN talkers) of a log file into one new track of
    // GPXd; raises EFileError when the file cannot be read.
    void ImportNMEA(const std::filesystem::path& fileName);

  protected:
    void AddLogLine(std::string line) override { Logs.push_back(std::move(line)); }
};

// A two-digit year in the hundred years that begin 50 years before `currentYear`.
int ExpandTwoDigitYear(int twoDigitYear, int currentYear);

}  // namespace geodata
