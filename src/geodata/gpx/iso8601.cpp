#include "geodata/gpx/iso8601.h"

#include <cmath>
#include <optional>

#include "engine/core/number_format.h"
#include "geodata/gpx/text_utils.h"

namespace geodata {
namespace {

// Whole decimal number of a short field, `fallback` when it is not one.
int IntOr(std::string_view text, int fallback) {
    const auto value = engine::ParseInt(text);
    if (!value || *value < -1000000 || *value > 1000000) {
        return fallback;
    }
    return static_cast<int>(*value);
}

// Value of a fraction text that begins with ".", 0 when it is not a number.
double Fraction(std::string_view text) {
    const auto value = engine::ParseFloat("0" + std::string(text));
    return value && *value >= 0 && *value < 1 ? *value : 0;
}

std::string_view After(std::string_view text, std::size_t count) {
    return count >= text.size() ? std::string_view() : text.substr(count);
}

std::string_view DropLeading(std::string_view text, char c) {
    if (!text.empty() && text.front() == c) {
        text.remove_prefix(1);
    }
    return text;
}

// Whole units of a fraction; the tiny bias keeps 0.123 × 1000 from truncating to 122.
int WholeUnits(double& fraction, double factor) {
    const double scaled = fraction * factor;
    const double whole = std::floor(scaled + 1e-9);
    fraction = std::fmax(scaled - whole, 0.0);
    return static_cast<int>(whole);
}

TDateTime ReadDate(std::string_view date) {
    const int year = IntOr(date.substr(0, 4), 1900);
    const std::string_view rest = DropLeading(After(date, 4), '-');
    if (rest.size() == 3 && rest.front() != 'W') {
        return EncodeDateDay(year, IntOr(rest, 1));
    }
    if (!rest.empty() && rest.front() == 'W') {
        const int week = IntOr(rest.substr(1, 2), 1);
        const int day = IntOr(DropLeading(After(rest, 3), '-'), 1);
        return EncodeDateWeek(year, week, day);
    }
    const int month = IntOr(rest.substr(0, 2), 1);
    const int day = IntOr(DropLeading(After(rest, 2), '-'), 1);
    return EncodeDate(year, month, day);
}

TDateTime ReadTime(std::string_view time) {
    const int hour = IntOr(time.substr(0, 2), 0);
    int minute = 0, second = 0, milli = 0;
    std::string_view rest = After(time, 2);
    if (rest.size() >= 2) {
        rest = DropLeading(rest, ':');
        if (!rest.empty() && rest.front() == '.') {
            double f = Fraction(rest);
            minute = WholeUnits(f, 60);
            second = WholeUnits(f, 60);
            milli = WholeUnits(f, 1000);
        } else {
            minute = IntOr(rest.substr(0, 2), 0);
            rest = After(rest, 2);
            if (rest.size() >= 2) {
                rest = DropLeading(rest, ':');
                if (!rest.empty() && rest.front() == '.') {
                    double f = Fraction(rest);
                    second = WholeUnits(f, 60);
                    milli = WholeUnits(f, 1000);
                } else {
                    second = IntOr(rest.substr(0, 2), 0);
                    rest = After(rest, 2);
                    if (rest.size() > 1 && rest.front() == '.') {
                        double f = Fraction(rest);
                        milli = WholeUnits(f, 1000);
                    }
                }
            }
        }
    }
    return EncodeTime(hour, minute, second, milli);
}

}  // namespace

TDateTime ParseISO8601(std::string_view value) {
    if (value.size() < 8) {
        return 0;
    }
    value = TrimWhite(value);
    std::string_view date = value, time;
    std::size_t split = value.find('T');
    if (split == std::string_view::npos) {
        split = value.find(' ');
    }
    if (split != std::string_view::npos) {
        date = value.substr(0, split);
        time = value.substr(split + 1);
    }
    if (date.size() < 4) {
        return 0;
    }
    std::string_view zone;
    if (const auto z = time.find('Z'); z != std::string_view::npos) {
        time = time.substr(0, z);
    } else if (const auto plus = time.find('+'); plus != std::string_view::npos) {
        zone = time.substr(plus);
        time = time.substr(0, plus);
    } else if (const auto minus = time.find('-'); minus != std::string_view::npos) {
        zone = time.substr(minus);
        time = time.substr(0, minus);
    }
    std::string timeText(time);
    if (const auto comma = timeText.find(','); comma != std::string::npos) {
        timeText[comma] = '.';
    }

    TDateTime result = ReadDate(date) + ReadTime(timeText);
    if (zone.size() >= 3) {
        const int hours = IntOr(zone.substr(1, 2), 0);
        const int minutes = IntOr(DropLeading(After(zone, 3), ':'), 0);
        const TDateTime offset = EncodeTime(hours, minutes, 0, 0);
        result += zone.front() == '+' ? -offset : offset;
    }
    return result;
}

std::string FormatGPXTime(TDateTime value) {
    const DateParts p = DecodeDateTime(value);
    std::string text = PadInt(p.Year, 4) + "-" + PadInt(p.Month, 2) + "-" + PadInt(p.Day, 2) + "T" +
                       PadInt(p.Hour, 2) + ":" + PadInt(p.Minute, 2) + ":" + PadInt(p.Second, 2);
    if (p.MilliSecond != 0) {
        text += "." + PadInt(p.MilliSecond, 3);
    }
    return text + "Z";
}

}  // namespace geodata
