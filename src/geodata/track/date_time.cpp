#include "geodata/track/date_time.h"

#include <cmath>
#include <cstdint>

namespace geodata {
namespace {

// Days from 1970-01-01 of a proleptic Gregorian date.
std::int64_t DaysFromCivil(std::int64_t y, int m, int d) {
    y -= m <= 2 ? 1 : 0;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yoe = y - era * 400;
    const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void CivilFromDays(std::int64_t z, int& year, int& month, int& day) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(yoe + era * 400 + (month <= 2 ? 1 : 0));
}

constexpr std::int64_t kEpochShift = 25569;  // 1970-01-01 counted from 1899-12-30

}  // namespace

bool IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

int DaysInYear(int year) {
    return IsLeapYear(year) ? 366 : 365;
}

TDateTime EncodeDate(int year, int month, int day) {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 ||
        day > DaysInMonth(year, month)) {
        throw EConvertError("Invalid argument to date encode");
    }
    return static_cast<TDateTime>(DaysFromCivil(year, month, day) + kEpochShift);
}

TDateTime EncodeTime(int hour, int minute, int second, int milliSecond) {
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 ||
        milliSecond < 0 || milliSecond > 999) {
        throw EConvertError("Invalid argument to time encode");
    }
    return (((hour * 60.0 + minute) * 60.0 + second) * 1000.0 + milliSecond) / 86400000.0;
}

TDateTime EncodeDateDay(int year, int dayOfYear) {
    if (year < 1 || year > 9999 || dayOfYear < 1 || dayOfYear > DaysInYear(year)) {
        throw EConvertError("Invalid argument to date encode");
    }
    return EncodeDate(year, 1, 1) + dayOfYear - 1;
}

namespace {
// Monday of ISO week 1: the week that holds 4 January.
TDateTime IsoWeekOneMonday(int year) {
    const TDateTime jan4 = EncodeDate(year, 1, 4);
    // Day 0 (1899-12-30) was a Saturday; ISO weekday 1 is Monday.
    const auto days = static_cast<std::int64_t>(jan4);
    const int isoWeekday = static_cast<int>(((days + 5) % 7 + 7) % 7) + 1;
    return jan4 - (isoWeekday - 1);
}
}  // namespace

int WeeksInYear(int year) {
    if (year < 1 || year > 9998) {
        return 52;
    }
    return static_cast<int>((IsoWeekOneMonday(year + 1) - IsoWeekOneMonday(year)) / 7);
}

TDateTime EncodeDateWeek(int year, int week, int dayOfWeek) {
    if (year < 1 || year > 9999 || week < 1 || week > WeeksInYear(year) || dayOfWeek < 1 ||
        dayOfWeek > 7) {
        throw EConvertError("Invalid argument to date encode");
    }
    return IsoWeekOneMonday(year) + (week - 1) * 7 + (dayOfWeek - 1);
}

DateParts DecodeDateTime(TDateTime value) {
    DateParts parts;
    if (!std::isfinite(value)) {
        return parts;
    }
    // Whole milliseconds since the epoch day, rounded like the class library's decode.
    const auto total = static_cast<std::int64_t>(std::llround(value * 86400000.0));
    std::int64_t days = total / 86400000;
    std::int64_t ms = total % 86400000;
    if (ms < 0) {
        ms += 86400000;
        --days;
    }
    CivilFromDays(days - kEpochShift, parts.Year, parts.Month, parts.Day);
    parts.Hour = static_cast<int>(ms / 3600000);
    parts.Minute = static_cast<int>(ms / 60000 % 60);
    parts.Second = static_cast<int>(ms / 1000 % 60);
    parts.MilliSecond = static_cast<int>(ms % 1000);
    return parts;
}

std::string PadInt(int value, int width) {
    std::string digits = std::to_string(value < 0 ? -value : value);
    if (static_cast<int>(digits.size()) < width) {
        digits.insert(0, static_cast<std::size_t>(width) - digits.size(), '0');
    }
    return value < 0 ? "-" + digits : digits;
}

}  // namespace geodata
