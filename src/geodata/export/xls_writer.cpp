#include "geodata/export/xls_writer.h"

#include <bit>
#include <chrono>
#include <cmath>
#include <cstring>
#include <stdexcept>

#include "engine/core/atomic_file.h"
#include "engine/core/number_format.h"
#include "geodata/export/gbk.h"

namespace geodata {
namespace {

template <class... Ts>
struct Overloaded : Ts... {
    using Ts::operator()...;
};
template <class... Ts>
Overloaded(Ts...) -> Overloaded<Ts...>;

// Longest prefix of a GBK text that fits in `limit` bytes without splitting a character.
std::size_t GbkPrefixLength(std::string_view gbk, std::size_t limit) {
    std::size_t i = 0;
    while (i < gbk.size()) {
        const std::size_t width = static_cast<unsigned char>(gbk[i]) >= 0x81 ? 2 : 1;
        if (i + width > limit) {
            break;
        }
        i += width;
    }
    return std::min(i, gbk.size());
}

bool IsBlank(const std::string& text) {
    return text.find_first_not_of(' ') == std::string::npos;
}

}  // namespace

TXlsWriter::TXlsWriter() {
    NewXls();
}

void TXlsWriter::NewXls() {
    stream_.clear();
    WriteBOF();
    WriteCodePage();
}

void TXlsWriter::SetCells(std::uint8_t col, std::uint16_t row, const XlsValue& value) {
    std::visit(Overloaded{
                   [&](std::uint8_t v) { WriteRK(col, row, v); },
                   [&](std::int16_t v) { WriteRK(col, row, v); },
                   [&](std::int32_t v) { WriteRK(col, row, v); },
                   [&](float v) { WriteNumber(col, row, v); },
                   [&](double v) { WriteNumber(col, row, v); },
                   [&](const XlsDateTime& v) { WriteLabel(col, row, XlsDateTimeText(v.value)); },
                   [&](const std::string& v) { WriteLabel(col, row, v); },
                   [&](const auto&) { WriteBlank(col, row); },
               },
               value);
}

bool TXlsWriter::SaveToXls(const std::filesystem::path& fileName) {
    if (IsBlank(fileName.string())) {
        return false;
    }
    WriteEOF();
    std::string error;
    if (!engine::WriteFileAtomic(fileName, stream_, &error)) {
        throw std::runtime_error(error);
    }
    return true;
}

void TXlsWriter::Put16(std::uint16_t value) {
    stream_ += static_cast<char>(value & 0xFF);
    stream_ += static_cast<char>(value >> 8);
}

void TXlsWriter::Put32(std::uint32_t value) {
    Put16(static_cast<std::uint16_t>(value & 0xFFFF));
    Put16(static_cast<std::uint16_t>(value >> 16));
}

void TXlsWriter::WriteBOF() {
    for (const std::uint16_t word : {0x0809, 8, 0, 0x0010, 0, 0}) {
        Put16(word);
    }
}

void TXlsWriter::WriteCodePage() {
    // Without it readers guess the text cells' encoding and show GBK text as mojibake.
    Put16(0x0042);
    Put16(2);
    Put16(kGbkCodePage);
}

void TXlsWriter::WriteEOF() {
    Put16(0x000A);
    Put16(0);
}

void TXlsWriter::WriteLabel(std::uint8_t col, std::uint16_t row, std::string_view utf8) {
    std::string text = Utf8ToGbk(utf8);
    text.resize(GbkPrefixLength(text, kMaxLabelBytes));
    const auto n = static_cast<std::uint16_t>(text.size());
    Put16(0x0204);
    Put16(static_cast<std::uint16_t>(n + 8));
    Put16(row);
    Put16(col);
    Put16(0);
    Put16(n);
    stream_ += text;
}

void TXlsWriter::WriteNumber(std::uint8_t col, std::uint16_t row, double value) {
    Put16(0x0203);
    Put16(14);
    Put16(row);
    Put16(col);
    Put16(0);
    const auto bits = std::bit_cast<std::uint64_t>(value);
    Put32(static_cast<std::uint32_t>(bits & 0xFFFFFFFFu));
    Put32(static_cast<std::uint32_t>(bits >> 32));
}

void TXlsWriter::WriteRK(std::uint8_t col, std::uint16_t row, std::int32_t value) {
    Put16(0x027E);
    Put16(10);
    Put16(row);
    Put16(col);
    Put16(0);
    // Bit 1: an integer in the upper 30 bits; bit 0 clear: not divided by 100.
    Put32((static_cast<std::uint32_t>(value) << 2) | 2u);
}

void TXlsWriter::WriteBlank(std::uint8_t col, std::uint16_t row) {
    Put16(0x0201);
    Put16(6);
    Put16(row);
    Put16(col);
    Put16(23);
}

std::string XlsDateTimeText(engine::TDateTime value) {
    using namespace std::chrono;
    const double dayNumber = std::floor(value);
    const sys_days day = sys_days(year{1899} / December / 30) + days(static_cast<long>(dayNumber));
    const year_month_day date(day);
    auto ms = static_cast<long long>(std::llround((value - dayNumber) * 86400000.0));
    ms = std::min(ms, 86399999LL);
    const long long seconds = ms / 1000;
    std::string text = engine::FormatInt(static_cast<int>(date.year())) + "/" +
                       engine::FormatInt(static_cast<unsigned>(date.month())) + "/" +
                       engine::FormatInt(static_cast<unsigned>(date.day()));
    if (seconds != 0) {
        auto two = [](long long v) { return (v < 10 ? "0" : "") + engine::FormatInt(v); };
        text += " " + engine::FormatInt(seconds / 3600) + ":" + two(seconds / 60 % 60) + ":" +
                two(seconds % 60);
    }
    return text;
}

}  // namespace geodata
