#pragma once
// A minimal worksheet writer: BIFF records for text, number, integer and blank cells between a
// BOF record with the CODEPAGE record that names GBK (936) and an EOF record. Texts are stored
// in GBK. The saved file holds that worksheet in a workbook stream (BIFF5), behind the records
// every reader needs before a sheet (the code page, fonts, the cell formats the cells point at
// and the sheet's place), inside the compound document an .xls file is.
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <variant>

#include "engine/core/core_types.h"

namespace geodata {

// A date-time cell value (days since 30 December 1899), written as text.
struct XlsDateTime {
    engine::TDateTime value = 0;
};

// The kinds of value a cell can be given. Integers of 8 (unsigned), 16 and 32 bits become
// integer cells; 32- and 64-bit floats number cells; texts and date-times text cells; anything
// else (nothing, a Boolean, a 64-bit integer) a blank cell.
using XlsValue = std::variant<std::monostate, bool, std::uint8_t, std::int16_t, std::int32_t,
                              std::int64_t, float, double, XlsDateTime, std::string>;

class TXlsWriter {
  public:
    // A record's data holds at most 8224 bytes (readers refuse longer ones); a text cell's own
    // fields take 8 of them.
    static constexpr std::size_t kMaxLabelBytes = 8216;
    static constexpr std::uint16_t kGbkCodePage = 936;

    TXlsWriter();

    // Starts a new worksheet: empties the stream and writes BOF and CODEPAGE.
    void NewXls();
    void SetCells(std::uint8_t col, std::uint16_t row, const XlsValue& value);
    // Appends EOF and writes the workbook to the file (atomically). False, and no file, when
    // the name is blank; a file that cannot be written throws std::runtime_error.
    bool SaveToXls(const std::filesystem::path& fileName);

    // The worksheet's records so far.
    const std::string& Stream() const { return stream_; }
    // The workbook stream of the worksheet: the workbook records, then the worksheet with its
    // DIMENSIONS record after BOF and CODEPAGE. Call once the worksheet has its EOF.
    std::string WorkbookStream() const;

    void WriteBOF();
    void WriteCodePage();
    void WriteEOF();
    // UTF-8 text, stored in GBK; a text longer than a cell holds is cut at a character.
    void WriteLabel(std::uint8_t col, std::uint16_t row, std::string_view utf8);
    void WriteNumber(std::uint8_t col, std::uint16_t row, double value);
    void WriteRK(std::uint8_t col, std::uint16_t row, std::int32_t value);
    void WriteBlank(std::uint8_t col, std::uint16_t row);

  private:
    void Put16(std::uint16_t value);
    void Put32(std::uint32_t value);
    void Cell(std::uint8_t col, std::uint16_t row);

    std::string stream_;
    // The rows and columns the cells span (DIMENSIONS); none while there is no cell.
    bool hasCells_ = false;
    std::uint16_t firstRow_ = 0;
    std::uint16_t lastRow_ = 0;
    std::uint8_t firstCol_ = 0;
    std::uint8_t lastCol_ = 0;
};

// Date and time text of a cell: "yyyy/m/d h:mm:ss", the date alone at midnight.
std::string XlsDateTimeText(engine::TDateTime value);

}  // namespace geodata
