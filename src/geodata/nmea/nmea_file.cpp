#include "geodata/nmea/nmea_file.h"

#include <chrono>
#include <cmath>
#include <optional>

#include "engine/core/atomic_file.h"
#include "engine/core/number_format.h"
#include "engine/core/utilities.h"
#include "geodata/gpx/text_utils.h"

namespace geodata {
namespace {

std::string_view BeforeChecksum(std::string_view sentence) {
    sentence = TrimWhite(sentence);
    return sentence.substr(0, sentence.find('*'));
}

// The fields of a sentence: the text before the checksum, split at ","; field 0 is the
// address. A field that the sentence lacks reads as empty.
class Fields {
  public:
    explicit Fields(std::string_view sentence)
        : fields_(engine::Split(BeforeChecksum(sentence), ',')) {}
    std::string_view operator[](std::size_t i) const {
        return i < fields_.size() ? TrimWhite(fields_[i]) : std::string_view();
    }

  private:
    std::vector<std::string_view> fields_;
};

std::optional<double> Number(std::string_view text) {
    return engine::ParseFloat(text);
}

// Time of day of an hhmmss[.fff] field; nothing when it cannot be read.
std::optional<TDateTime> TimeOfDay(std::string_view field) {
    const std::size_t dot = field.find('.');
    const std::string_view digits = field.substr(0, dot);
    std::string fraction =
        dot == std::string_view::npos ? std::string("000") : std::string(field.substr(dot + 1, 3));
    fraction.resize(3, '0');
    if (digits.size() != 6 || !engine::IsAllDigits(digits) || !engine::IsAllDigits(fraction)) {
        return std::nullopt;
    }
    const auto two = [&](std::size_t at) {
        return (digits[at] - '0') * 10 + (digits[at + 1] - '0');
    };
    try {
        return EncodeTime(two(0), two(2), two(4), std::stoi(fraction));
    } catch (const EConvertError&) {
        return std::nullopt;
    }
}

// ddmm.mmmm (or dddmm.mmmm): the two digits before the "." start the minutes.
double DegreesMinutes(std::string_view field) {
    std::size_t dot = field.find('.');
    if (dot == std::string_view::npos) {
        dot = field.size();  // whole minutes without a fraction
    }
    const std::size_t split = dot >= 2 ? dot - 2 : 0;
    const double degrees = engine::ParseInt32(field.substr(0, split)).value_or(0);
    const double minutes = Number(field.substr(split)).value_or(0);
    return degrees + minutes / 60.0;
}

int CurrentYear() {
    const auto today = std::chrono::floor<std::chrono::days>(std::chrono::system_clock::now());
    return static_cast<int>(std::chrono::year_month_day(today).year());
}

// Latitude and longitude from fields lat, N/S, lon, E/W starting at `at`. False when the
// N/S field is empty (no position: nothing set); a missing E/W letter is a read error that
// marks the point with kSatNoFix.
enum class PositionRead { kNone, kError, kDone };
PositionRead ReadPosition(const Fields& f, std::size_t at, TGPXwpt& point) {
    const double lat = DegreesMinutes(f[at]);
    if (f[at + 1].empty()) {
        return PositionRead::kNone;
    }
    point.Latitude = f[at + 1].front() == 'N' ? lat : -lat;
    const double lon = DegreesMinutes(f[at + 2]);
    if (f[at + 3].empty()) {
        point.sat = kSatNoFix;
        return PositionRead::kError;
    }
    point.Longitude = f[at + 3].front() == 'E' ? lon : -lon;
    return PositionRead::kDone;
}

}  // namespace

int ExpandTwoDigitYear(int twoDigitYear, int currentYear) {
    const int threshold = currentYear - 50;
    int year = threshold / 100 * 100 + twoDigitYear;
    if (year < threshold) {
        year += 100;
    }
    return year;
}

bool TNMEAFile::CheckPass(std::string_view sentence) {
    const std::string_view s = TrimWhite(sentence);
    if (s.size() < 7 || s.front() != '$' || s[6] != ',' || s[s.size() - 3] != '*') {
        return false;
    }
    const std::size_t star = s.find('*');
    int checksum = -1;
    const std::string_view digits = s.substr(star + 1);
    if (digits.size() == 2) {
        const auto hex = [](char c) {
            if (c >= '0' && c <= '9')
                return c - '0';
            if (c >= 'a' && c <= 'f')
                return c - 'a' + 10;
            if (c >= 'A' && c <= 'F')
                return c - 'A' + 10;
            return -1;
        };
        const int high = hex(digits[0]), low = hex(digits[1]);
        checksum = high < 0 || low < 0 ? -1 : high * 16 + low;
    }
    const std::string_view body = s.substr(1, star - 1);
    if (body.find('$') != std::string_view::npos || body.size() < 2) {
        return false;
    }
    unsigned x = 0;
    for (char c : body) {
        x ^= static_cast<unsigned char>(c);
    }
    return static_cast<int>(x) == checksum;
}

void TNMEAFile::GPGGAToGPXwpt(std::string_view sentence, TGPXwpt& point) {
    const Fields f(sentence);
    point.DateTime = TimeOfDay(f[1]).value_or(0);
    if (ReadPosition(f, 2, point) != PositionRead::kDone) {
        return;
    }
    switch (engine::ParseInt32(f[6]).value_or(0)) {
        case 0:
            point.fix = "none";
            break;
        case 1:
            point.fix = "2d";
            break;
        case 2:
            point.fix = "dgps";
            break;
        case 3:
            point.fix = "pps";
            break;
        default:
            point.fix.clear();
    }
    point.sat = static_cast<std::uint8_t>(engine::ParseInt32(f[7]).value_or(255));
    point.hdop = Number(f[8]).value_or(-1);
    point.Altitude = Number(f[9]).value_or(0);
    if (point.Altitude != 0 && point.fix == "2d") {
        point.fix = "3d";
    }
    point.geoidheight = Number(f[11]).value_or(0);
    point.ageofdgpsdata = Number(f[13]).value_or(-1);
    point.dgpsid = engine::ParseInt32(f[14]).value_or(-1);
}

void TNMEAFile::GPRMCToGPXwpt(std::string_view sentence, TGPXwpt& point) {
    AddLogLine(std::string(sentence));
    const Fields f(sentence);
    const std::optional<TDateTime> time = TimeOfDay(f[1]);
    if (ReadPosition(f, 3, point) != PositionRead::kDone) {
        return;
    }
    point.DateTime = 0;
    const std::string_view date = f[9];
    if (time && date.size() == 6 && engine::IsAllDigits(date)) {
        const auto two = [&](std::size_t at) {
            return (date[at] - '0') * 10 + (date[at + 1] - '0');
        };
        try {
            point.DateTime =
                EncodeDate(ExpandTwoDigitYear(two(4), CurrentYear()), two(2), two(0)) + *time;
        } catch (const EConvertError&) {
            point.DateTime = 0;
        }
    }
    const double variation = Number(f[10]).value_or(0);
    point.magvar = !f[11].empty() && f[11].front() == 'W' ? -variation : variation;
}

void TNMEAFile::ImportNMEA(const std::filesystem::path& fileName) {
    AddLogLine("Import " + fileName.string());
    std::string bytes;
    if (!engine::ReadFileBytes(fileName, bytes)) {
        throw EFileError("cannot read " + fileName.string());
    }
    if (GPXd == nullptr) {
        throw EFileError("no document to read into");
    }
    auto track = std::make_unique<TGPXtrk>();
    track->src = "NMEA Log";
    track->Add(std::make_unique<TGPXtrkseg>());
    TGPXtrkseg& segment = track->trkseg(0);
    GPXd->trk.Add(std::move(track));

    auto current = std::make_unique<TGPXwpt>();
    current->sat = kSatNoFix;
    TDateTime rmcTime = 0;
    int lines = 0, crcErrors = 0, ggaLines = 0, rmcLines = 0;
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find('\n', start);
        if (end == std::string::npos) {
            end = bytes.size();
        }
        const std::string_view line(bytes.data() + start, end - start);
        start = end + 1;
        ++lines;
        if (!CheckPass(line)) {
            ++crcErrors;
            continue;
        }
        if (line.find("$GPGGA") != std::string_view::npos ||
            line.find("$GNGGA") != std::string_view::npos) {
            GPGGAToGPXwpt(line, *current);
            current->DateTime = std::floor(rmcTime) + current->DateTime;
            ++ggaLines;
        }
        if (line.find("$GPRMC") != std::string_view::npos ||
            line.find("$GNRMC") != std::string_view::npos) {
            GPRMCToGPXwpt(line, *current);
            ++rmcLines;
            rmcTime = current->DateTime;
        }
        if (rmcTime != 0 && current->sat != kSatNoFix) {
            segment.Add(std::move(current));
            current = std::make_unique<TGPXwpt>();
            current->sat = kSatNoFix;
        }
    }
    segment.filled = !segment.Empty();
    GPXd->trk.filled = !segment.Empty();

    using engine::FormatInt;
    AddLogLine(FormatInt(lines) + " lines");
    AddLogLine(FormatInt(crcErrors) + " CRC error" + (crcErrors >= 2 ? "s" : ""));
    AddLogLine(FormatInt(ggaLines) + " GGA lines");
    AddLogLine(FormatInt(rmcLines) + " RMC lines");
    AddLogLine(FormatInt(segment.Count()) + " points imported");
}

}  // namespace geodata
