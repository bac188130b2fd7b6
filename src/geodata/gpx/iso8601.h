#pragma once
// ISO 8601 date-times as GPX and KML files carry them, read into UTC date-times and written back.
#include <string>
#include <string_view>

#include "geodata/track/date_time.h"

namespace geodata {

// Reads calendar, ordinal (2014-184) and week (2014-W27-4) dates, basic and extended forms,
// fractions of the hour, minute or second, "Z" and numeric offsets; the result is UTC. A text
// of fewer than 8 characters, or with a date part of fewer than 4, gives 0. A component
// outside its range raises EConvertError.
TDateTime ParseISO8601(std::string_view value);

// "yyyy-mm-ddThh:mm:ss[.zzz]Z", the fraction only when the milliseconds are not 0.
std::string FormatGPXTime(TDateTime value);

}  // namespace geodata
