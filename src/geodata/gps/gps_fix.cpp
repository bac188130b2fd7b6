#include "geodata/gps/gps_fix.h"

#include <vector>

#include "engine/core/number_format.h"
#include "engine/core/text_helpers.h"
#include "engine/core/utilities.h"

namespace geodata {
namespace {

// hhmmss[.fff] as a fraction of a day; 0 when it cannot be read. Only the first three digits
// of the fraction count.
double ReadTimeOfDay(std::string_view afterAddress, std::string_view timeField) {
    std::string_view digits;
    std::string fraction;
    const auto dot = afterAddress.find('.');
    if (dot != std::string_view::npos && dot + 1 > 7) {
        digits = timeField;
        fraction = "000";
    } else if (dot != std::string_view::npos) {
        digits = afterAddress.substr(0, dot);
        auto rest = afterAddress.substr(dot + 1);
        rest = rest.substr(0, rest.find(','));
        fraction = std::string(rest.substr(0, 3));
        fraction.resize(3, '0');
    } else {
        return 0;
    }
    if (digits.size() != 6 || !engine::IsAllDigits(digits) || !engine::IsAllDigits(fraction)) {
        return 0;
    }
    const int h = (digits[0] - '0') * 10 + (digits[1] - '0');
    const int m = (digits[2] - '0') * 10 + (digits[3] - '0');
    const int s = (digits[4] - '0') * 10 + (digits[5] - '0');
    const int ms = std::stoi(fraction);
    if (h > 23 || m > 59 || s > 59) {
        return 0;
    }
    return ((h * 3600.0 + m * 60.0 + s) * 1000.0 + ms) / 86400000.0;
}

// ddmm.mmmm or dddmm.mmmm: the two digits before the "." start the minutes.
double ReadDegreesMinutes(std::string_view field) {
    auto dot = field.find('.');
    if (dot == std::string_view::npos) {
        dot = field.size();
    }
    const std::size_t split = dot >= 2 ? dot - 2 : 0;
    const auto degrees = engine::ParseInt(field.substr(0, split)).value_or(0);
    const double minutes = engine::ParseFloat(field.substr(split)).value_or(0);
    return static_cast<double>(degrees) + minutes / 60.0;
}

}  // namespace

void ReadGgaSentence(std::string_view sentence, GpsFix& fix) {
    sentence = engine::TrimWhite(sentence);
    std::string_view body = sentence.substr(0, sentence.find('*'));
    const std::vector<std::string_view> fields = engine::Split(body, ',');
    auto field = [&](std::size_t i) { return i < fields.size() ? fields[i] : std::string_view(); };

    const auto firstComma = sentence.find(',');
    const std::string_view afterAddress =
        firstComma == std::string_view::npos ? std::string_view() : sentence.substr(firstComma + 1);
    fix.DateTime = ReadTimeOfDay(afterAddress, field(1));

    const double latitude = ReadDegreesMinutes(field(2));
    if (field(3).empty()) {
        return;  // no position in this sentence
    }
    fix.Latitude = field(3).front() == 'N' ? latitude : -latitude;
    const double longitude = ReadDegreesMinutes(field(4));
    if (field(5).empty()) {
        fix.sat = kSatNoFix;
        return;
    }
    fix.Longitude = field(5).front() == 'E' ? longitude : -longitude;

    switch (engine::ParseInt(field(6)).value_or(0)) {
        case 0:
            fix.fix = "none";
            break;
        case 1:
            fix.fix = "2d";
            break;
        case 2:
            fix.fix = "dgps";
            break;
        case 3:
            fix.fix = "pps";
            break;
        default:
            fix.fix.clear();
            break;
    }
    const auto sat = engine::ParseInt(field(7));
    fix.sat = sat ? static_cast<std::uint8_t>(*sat) : 255;
    fix.hdop = engine::ParseFloat(field(8)).value_or(-1);
    fix.Altitude = engine::ParseFloat(field(9)).value_or(0);
    if (fix.Altitude != 0 && fix.fix == "2d") {
        fix.fix = "3d";
    }
    fix.geoidheight = engine::ParseFloat(field(11)).value_or(0);
    fix.ageofdgpsdata = engine::ParseFloat(field(13)).value_or(-1);
    const auto station = engine::ParseInt(field(14));
    fix.dgpsid = station ? static_cast<std::int32_t>(*station) : -1;
}

}  // namespace geodata
