#pragma once
// The one place where the system turns numbers into text and back for everything it writes:
// settings, task files, page scripts, KML, GeoJSON, side files, URLs and database metadata.
// The decimal separator is always "." whatever the process locale.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace engine {

// General form with up to 15 significant digits, the shortest that shows the value at that
// precision: 116.403874, 0.5, 100, 1E-5, 1.5E20. Exponent form below 1E-4 and from 1E15 on.
std::string FormatFloat(double value);

// General form with the given number of significant digits (1 to 17).
std::string FormatFloatPrecision(double value, int significantDigits);

// Fixed notation with exactly `decimals` digits after the point, correctly rounded from the
// binary value: FormatFixed(33.333, 2) == "33.33".
std::string FormatFixed(double value, int decimals);

// Decimal integer.
std::string FormatInt(std::int64_t value);

// Parses a whole text as a decimal number with "." as separator (leading and trailing blanks
// allowed, exponent allowed). Empty, partial or non-finite texts give nothing.
std::optional<double> ParseFloat(std::string_view text);

// Parses a whole text as a decimal integer; with allowHex a "0x" or "$" prefix reads hexadecimal.
std::optional<std::int64_t> ParseInt(std::string_view text, bool allowHex = false);
// The same for a value that must fit 32 bits (as task and settings files hold them); a larger
// one does not parse.
std::optional<std::int32_t> ParseInt32(std::string_view text, bool allowHex = false);

// Rounds to the nearest whole number, ties to the even one (2.5 -> 2, 3.5 -> 4, -2.5 -> -2).
double RoundHalfEven(double value);

}  // namespace engine
