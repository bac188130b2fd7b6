#pragma once
// Cuts the characters that a GPS receiver sends into NMEA lines. A line runs from the first "$"
// after the previous cut up to a line feed; the CR and LF characters that end it are stripped,
// whatever mix of them the receiver uses. Text before the first "$" is never part of a line.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace geodata {

class NmeaLineAssembler {
  public:
    // Longest partial line kept. NMEA sentences are at most 82 characters; a receiver that never
    // ends its lines must not grow the buffer without bound.
    static constexpr std::size_t kMaxLineLength = 4096;

    // Handles the characters in order and returns the lines completed by them.
    std::vector<std::string> Feed(std::string_view characters);

    // Forgets a half-received line (port opened or closed).
    void Reset();

    // The text of the line being received, from its "$"; empty before the first "$".
    const std::string& Pending() const { return buffer_; }

  private:
    std::string buffer_;
    bool foundStart_ = false;
};

}  // namespace geodata
