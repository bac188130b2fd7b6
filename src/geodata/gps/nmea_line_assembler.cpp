#include "geodata/gps/nmea_line_assembler.h"

namespace geodata {

std::vector<std::string> NmeaLineAssembler::Feed(std::string_view characters) {
    std::vector<std::string> lines;
    for (const char c : characters) {
        if (c == '$' && !foundStart_) {
            foundStart_ = true;
        }
        if (!foundStart_) {
            continue;  // before the first "$": never part of a line
        }
        if (c == '\n') {
            std::string line = std::move(buffer_);
            buffer_.clear();
            foundStart_ = false;
            while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) {
                line.pop_back();
            }
            lines.push_back(std::move(line));
            continue;
        }
        if (buffer_.size() >= kMaxLineLength) {
            // An endless line is dropped; the next "$" starts over.
            buffer_.clear();
            foundStart_ = c == '$';
            if (!foundStart_) {
                continue;
            }
        }
        buffer_ += c;
    }
    return lines;
}

void NmeaLineAssembler::Reset() {
    buffer_.clear();
    foundStart_ = false;
}

}  // namespace geodata
