#pragma once
// Calendar helpers for the date-times of the model: 64-bit floats counting days from
// 30 December 1899, the fraction being the time of day.
#include <stdexcept>
#include <string>

#include "engine/core/core_types.h"

namespace geodata {

using engine::TDateTime;

// A date or time component outside its range (month 13, hour 25, ISO week 60, ...).
class EConvertError : public std::range_error {
  public:
    using std::range_error::range_error;
};

struct DateParts {
    int Year = 1899, Month = 12, Day = 30;
    int Hour = 0, Minute = 0, Second = 0, MilliSecond = 0;
};

bool IsLeapYear(int year);
int DaysInMonth(int year, int month);
int DaysInYear(int year);

// Each raises EConvertError for a component outside its range.
TDateTime EncodeDate(int year, int month, int day);
TDateTime EncodeTime(int hour, int minute, int second, int milliSecond);
TDateTime EncodeDateDay(int year, int dayOfYear);
// ISO 8601 week date: week 1 holds the year's first Thursday; dayOfWeek 1 is Monday.
TDateTime EncodeDateWeek(int year, int week, int dayOfWeek);
int WeeksInYear(int year);

// Splits a date-time into its parts, the time rounded to the millisecond.
DateParts DecodeDateTime(TDateTime value);

// Decimal digits of a whole number padded with "0" on the left to `width` characters.
std::string PadInt(int value, int width);

}  // namespace geodata
