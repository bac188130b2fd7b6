#include "geodata/export/xls_writer.h"

#include <bit>
#include <chrono>
#include <cmath>
#include <cstring>
#include <stdexcept>

#include "engine/core/atomic_file.h"
#include "engine/core/number_format.h"
#include "geodata/export/compound_file.h"
#include "geodata/text/encoding.h"

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

// BOF and CODEPAGE open every worksheet.
constexpr std::size_t kSheetHeaderSize = 18;
// Cells name XF 0, blank cells XF 23: the workbook lists that many, as a spreadsheet program
// writes them (15 style formats, then cell formats), all in the one font.
constexpr int kXfCount = 24;
constexpr int kStyleXfCount = 15;
constexpr int kFontCount = 4;

class Records {
  public:
    void Put8(std::uint8_t value) { out_ += static_cast<char>(value); }
    void Put16(std::uint16_t value) {
        Put8(static_cast<std::uint8_t>(value & 0xFF));
        Put8(static_cast<std::uint8_t>(value >> 8));
    }
    void Put32(std::uint32_t value) {
        Put16(static_cast<std::uint16_t>(value & 0xFFFF));
        Put16(static_cast<std::uint16_t>(value >> 16));
    }
    void Bytes(std::string_view bytes) { out_ += bytes; }
    void Begin(std::uint16_t type) {
        Put16(type);
        lengthAt_ = out_.size();
        Put16(0);
    }
    void End() {
        const std::size_t length = out_.size() - lengthAt_ - 2;
        out_[lengthAt_] = static_cast<char>(length & 0xFF);
        out_[lengthAt_ + 1] = static_cast<char>(length >> 8);
    }
    std::string& Text() { return out_; }

  private:
    std::string out_;
    std::size_t lengthAt_ = 0;
};

// The workbook records before the sheet: BOF of the workbook (BIFF5), CODEPAGE, FONT, XF, the
// Normal style and the sheet's entry (BOUNDSHEET) with the place of its BOF; then EOF.
std::string WorkbookGlobals(std::uint32_t sheetOffset) {
    Records r;
    r.Begin(0x0809);
    for (const std::uint16_t word : {0x0500, 0x0005, 0, 0}) {
        r.Put16(word);
    }
    r.End();
    r.Begin(0x0042);
    r.Put16(TXlsWriter::kGbkCodePage);
    r.End();
    const std::string fontName = Utf8ToGbk("宋体");
    for (int i = 0; i < kFontCount; ++i) {
        r.Begin(0x0031);
        r.Put16(200);     // 10 points, in twentieths
        r.Put16(0);       // plain
        r.Put16(0x7FFF);  // the window's text colour
        r.Put16(400);     // normal weight
        r.Put16(0);       // no super- or subscript
        r.Put8(0);        // not underlined
        r.Put8(0);        // any family
        r.Put8(0x86);     // GB 2312 characters
        r.Put8(0);
        r.Put8(static_cast<std::uint8_t>(fontName.size()));
        r.Bytes(fontName);
        r.End();
    }
    for (int i = 0; i < kXfCount; ++i) {
        const bool style = i < kStyleXfCount;
        r.Begin(0x00E0);
        r.Put16(0);                        // font
        r.Put16(0);                        // number format: General
        r.Put16(style ? 0xFFF5 : 0x0001);  // locked; a style (no parent) or a cell of style 0
        r.Put8(0x20);                      // aligned at the bottom
        r.Put8(style ? 0x00 : 0xF8);       // a cell format sets all its attributes
        r.Put32(0x000020C0);               // no fill, the window's colours
        r.Put32(0);                        // no borders
        r.End();
    }
    r.Begin(0x0293);
    r.Put16(0x8000);  // built-in style of XF 0
    r.Put8(0);        // Normal
    r.Put8(0xFF);
    r.End();
    const std::string sheetName = "Sheet1";
    r.Begin(0x0085);
    r.Put32(sheetOffset);
    r.Put8(0);  // visible
    r.Put8(0);  // a worksheet
    r.Put8(static_cast<std::uint8_t>(sheetName.size()));
    r.Bytes(sheetName);
    r.End();
    r.Begin(0x000A);
    r.End();
    return r.Text();
}

}  // namespace

TXlsWriter::TXlsWriter() {
    NewXls();
}

void TXlsWriter::NewXls() {
    stream_.clear();
    hasCells_ = false;
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
    if (!engine::WriteFileAtomic(fileName, BuildCompoundFile(u"Book", WorkbookStream()), &error)) {
        throw std::runtime_error(error);
    }
    return true;
}

std::string TXlsWriter::WorkbookStream() const {
    // The globals' size does not depend on the offset they carry.
    const auto offset = static_cast<std::uint32_t>(WorkbookGlobals(0).size());
    Records dimensions;
    dimensions.Begin(0x0000);
    dimensions.Put16(hasCells_ ? firstRow_ : 0);
    dimensions.Put16(hasCells_ ? static_cast<std::uint16_t>(lastRow_ + 1) : 0);
    dimensions.Put16(hasCells_ ? firstCol_ : 0);
    dimensions.Put16(hasCells_ ? static_cast<std::uint16_t>(lastCol_ + 1) : 0);
    dimensions.Put16(0);
    dimensions.End();
    return WorkbookGlobals(offset) + stream_.substr(0, kSheetHeaderSize) + dimensions.Text() +
           stream_.substr(kSheetHeaderSize);
}

void TXlsWriter::Cell(std::uint8_t col, std::uint16_t row) {
    if (!hasCells_) {
        firstRow_ = lastRow_ = row;
        firstCol_ = lastCol_ = col;
        hasCells_ = true;
        return;
    }
    firstRow_ = std::min(firstRow_, row);
    lastRow_ = std::max(lastRow_, row);
    firstCol_ = std::min(firstCol_, col);
    lastCol_ = std::max(lastCol_, col);
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
    Cell(col, row);
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
    Cell(col, row);
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
    Cell(col, row);
    Put16(0x027E);
    Put16(10);
    Put16(row);
    Put16(col);
    Put16(0);
    // Bit 1: an integer in the upper 30 bits; bit 0 clear: not divided by 100.
    Put32((static_cast<std::uint32_t>(value) << 2) | 2u);
}

void TXlsWriter::WriteBlank(std::uint8_t col, std::uint16_t row) {
    Cell(col, row);
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
