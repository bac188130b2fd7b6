#pragma once
// The position that the GPS receiver hands to its owner for every GGA sentence: the fields of a
// GGA sentence as a track point carries them, with the sentence itself.
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/core/core_types.h"

namespace geodata {

// `sat` 254 marks a point without a usable fix (a sentence that could not be read).
constexpr std::uint8_t kSatNoFix = 254;

struct GpsFix {
    engine::TDateTime DateTime = 0;  // UTC time of day only; the date part is 0
    double Latitude = 0;
    double Longitude = 0;
    double Altitude = 0;
    std::string fix;  // "none", "2d", "3d", "dgps", "pps" or empty
    std::uint8_t sat = kSatNoFix;
    double hdop = -1;
    double geoidheight = 0;
    double ageofdgpsdata = -1;
    std::int32_t dgpsid = -1;
    std::string Sentence;  // the GGA sentence as received, from its "$"
};

// Fills `fix` from a GGA sentence; the address and the checksum are not checked. A sentence
// without a position leaves the position fields as they were; an empty E/W field stops the
// reading and sets `sat` to 254.
void ReadGgaSentence(std::string_view sentence, GpsFix& fix);

}  // namespace geodata
