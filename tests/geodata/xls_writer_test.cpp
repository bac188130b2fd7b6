#include "geodata/export/xls_writer.h"

#include <algorithm>
#include <cmath>
#include <string>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "engine/core/number_format.h"
#include "support/child_process.h"
#include "support/temp_dir.h"
#include "xls_readers.h"

namespace geodata {
namespace {

// BOF (12 bytes) and CODEPAGE (6 bytes) begin every worksheet.
constexpr std::size_t kHeaderSize = 18;

std::string Bytes(std::initializer_list<int> values) {
    std::string bytes;
    for (const int v : values) {
        bytes += static_cast<char>(v);
    }
    return bytes;
}

// Reads a worksheet back with xlrd, which takes the text encoding from the file itself: rows of
// [cell type, value].
nlohmann::json ReadWithXlrd(const std::filesystem::path& file) {
    const char* script =
        "import sys, json, xlrd\n"
        "book = xlrd.open_workbook(sys.argv[1])\n"
        "sh = book.sheet_by_index(0)\n"
        "print(json.dumps({'encoding': book.encoding, 'rows': [[[sh.cell_type(r, c), "
        "sh.cell_value(r, c)] for c in range(sh.ncols)] for r in range(sh.nrows)]}))\n";
    const auto result =
        testsupport::RunChild({testsupport::SystemPython(), "-c", script, file.string()});
    if (result.exitCode != 0) {
        ADD_FAILURE() << "reading the worksheet needs python3 with xlrd (Debian package "
                         "python3-xlrd): "
                      << result.output;
        return nlohmann::json::object();
    }
    return nlohmann::json::parse(result.output);
}

TEST(XlsWriter, CellRecordsByKindOfValue) {
    struct Case {
        const char* what;
        XlsValue value;
        std::string record;
    };
    const std::vector<Case> cases = {
        {"32-bit integer", std::int32_t{5}, Bytes({0x7E, 2, 10, 0, 3, 0, 1, 0, 0, 0, 22, 0, 0, 0})},
        {"negative 16-bit", std::int16_t{-1},
         Bytes({0x7E, 2, 10, 0, 3, 0, 1, 0, 0, 0, 0xFE, 0xFF, 0xFF, 0xFF})},
        {"byte", std::uint8_t{200}, Bytes({0x7E, 2, 10, 0, 3, 0, 1, 0, 0, 0, 0x22, 3, 0, 0})},
        {"double", 1.5, Bytes({3, 2, 14, 0, 3, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xF8, 0x3F})},
        {"float", 1.5f, Bytes({3, 2, 14, 0, 3, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xF8, 0x3F})},
        {"Boolean", true, Bytes({1, 2, 6, 0, 3, 0, 1, 0, 23, 0})},
        {"64-bit integer", std::int64_t{5}, Bytes({1, 2, 6, 0, 3, 0, 1, 0, 23, 0})},
        {"nothing", std::monostate{}, Bytes({1, 2, 6, 0, 3, 0, 1, 0, 23, 0})},
        {"text in GBK", std::string("名称a"),
         Bytes({4, 2, 13, 0, 3, 0, 1, 0, 0, 0, 5, 0, 0xC3, 0xFB, 0xB3, 0xC6, 'a'})},
        {"date-time", XlsDateTime{45366.5},
         Bytes({4, 2, 26, 0, 3, 0, 1, 0, 0, 0, 18, 0}) + "2024/3/15 12:00:00"},
        {"a character GBK lacks", std::string("a😀b"),
         Bytes({4, 2, 11, 0, 3, 0, 1, 0, 0, 0, 3, 0, 'a', '?', 'b'})},
    };
    for (const auto& c : cases) {
        TXlsWriter writer;
        writer.SetCells(1, 3, c.value);
        EXPECT_EQ(writer.Stream().substr(kHeaderSize), c.record) << c.what;
    }
    TXlsWriter literal;
    literal.SetCells(0, 0, "abc");
    EXPECT_EQ(literal.Stream()[kHeaderSize], 0x04) << "a string literal must be a text cell";
}

// The named stream of a compound document, as xlrd's own reader of the container finds it.
std::string CompoundStream(const std::filesystem::path& file, const char* name) {
    const char* script =
        "import sys, xlrd.compdoc\n"
        "doc = xlrd.compdoc.CompDoc(open(sys.argv[1], 'rb').read(), logfile=sys.stderr)\n"
        "sys.stdout.write(doc.get_named_stream(sys.argv[2]).hex())\n";
    const auto result =
        testsupport::RunChild({testsupport::SystemPython(), "-c", script, file.string(), name});
    EXPECT_EQ(result.exitCode, 0) << result.output << result.errors;
    EXPECT_EQ(result.errors, "") << "the container is read without complaint";
    std::string bytes;
    for (std::size_t i = 0; i + 1 < result.output.size(); i += 2) {
        bytes += static_cast<char>(std::stoi(result.output.substr(i, 2), nullptr, 16));
    }
    return bytes;
}

TEST(XlsWriter, SaveWritesTheWorksheetIntoAWorkbookAndRefusesBlankNames) {
    testsupport::TempDir dir;
    TXlsWriter writer;
    writer.SetCells(2, 5, std::int32_t{1});
    writer.SetCells(0, 1, std::string("名"));
    EXPECT_FALSE(writer.SaveToXls("   "));
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));

    ASSERT_TRUE(writer.SaveToXls(dir / "a.xls"));
    const std::string file = testsupport::ReadFileBytes(dir / "a.xls");
    EXPECT_EQ(file.substr(0, 8), "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1") << "a compound document";
    const std::string book = CompoundStream(dir / "a.xls", "Book");
    ASSERT_GE(book.size(), 4096u) << "no stream of the small-stream table";
    EXPECT_EQ(book, writer.WorkbookStream() +
                        std::string(book.size() - writer.WorkbookStream().size(), '\0'));
    // The workbook (BIFF5) comes first; the worksheet keeps its BOF, CODEPAGE, cells and EOF,
    // with the cells' span after CODEPAGE.
    EXPECT_EQ(book.substr(0, 12), Bytes({9, 8, 8, 0, 0, 5, 5, 0, 0, 0, 0, 0}));
    const std::string sheet =
        Bytes({9, 8, 8, 0, 0, 0, 0x10, 0, 0, 0, 0, 0}) + Bytes({0x42, 0, 2, 0, 0xA8, 3}) +
        Bytes({0, 0, 10, 0, 1, 0, 6, 0, 0, 0, 3, 0, 0, 0}) +
        Bytes({0x7E, 2, 10, 0, 5, 0, 2, 0, 0, 0, 6, 0, 0, 0}) +
        Bytes({4, 2, 10, 0, 1, 0, 0, 0, 0, 0, 2, 0, 0xC3, 0xFB}) + Bytes({10, 0, 0, 0});
    const std::size_t at = book.find(sheet);
    ASSERT_NE(at, std::string::npos);
    EXPECT_EQ(book.find_first_not_of('\0', at + sheet.size()), std::string::npos);
    // The workbook's entry of the sheet (BOUNDSHEET) names where the sheet's BOF is.
    const std::size_t entry = book.find(Bytes({0x85, 0, 13, 0}));
    ASSERT_NE(entry, std::string::npos);
    const auto offset = static_cast<std::size_t>(static_cast<unsigned char>(book[entry + 4])) |
                        static_cast<std::size_t>(static_cast<unsigned char>(book[entry + 5])) << 8;
    EXPECT_EQ(offset, at);
    EXPECT_THROW(writer.SaveToXls(dir / "a.xls" / "below a file.xls"), std::runtime_error);
}

// A worksheet larger than the 109 table sectors the container's header lists (about 7 MB)
// continues the list in sectors of its own, and still reads back whole; a text longer than a
// record holds is cut at a character.
TEST(XlsWriter, AWorksheetOfManyMegabytesReadsBackWhole) {
    testsupport::TempDir dir;
    TXlsWriter writer;
    const std::string longText(8000, 'x');
    constexpr std::uint16_t kRows = 300;
    for (std::uint16_t row = 0; row < kRows; ++row) {
        for (std::uint8_t col = 0; col < 4; ++col) {
            writer.SetCells(col, row, std::to_string(row) + "行" + longText);
        }
    }
    std::string tooLong;
    for (int i = 0; i < 5000; ++i) {
        tooLong += "名";
    }
    writer.SetCells(4, 0, "a" + tooLong);
    ASSERT_TRUE(writer.SaveToXls(dir / "big.xls"));
    ASSERT_GT(std::filesystem::file_size(dir / "big.xls"), 9'000'000u);
    const std::string book = CompoundStream(dir / "big.xls", "Book");
    EXPECT_EQ(book, writer.WorkbookStream());
    const auto rows = xlstest::Readers()[2].read(dir / "big.xls", dir.path());  // GDAL's reader
    ASSERT_EQ(rows.size(), kRows);
    EXPECT_EQ(rows.back()[3], std::to_string(kRows - 1) + "行" + longText);
    // "a" and 4107 whole characters of two bytes fill the 8216 bytes a text cell holds.
    EXPECT_EQ(rows[0][4], "a" + tooLong.substr(0, 4107 * 3));
}

TEST(XlsWriter, SpreadsheetReaderSeesTextNumbersAndBlanks) {
    testsupport::TempDir dir;
    TXlsWriter writer;
    writer.SetCells(0, 0, std::string("编号"));
    writer.SetCells(1, 0, std::string("经度(GPS坐标)"));
    writer.SetCells(0, 1, std::int32_t{-7});
    writer.SetCells(1, 1, 116.403874);
    writer.SetCells(2, 1, false);
    ASSERT_TRUE(writer.SaveToXls(dir / "sheet.xls"));

    const auto book = ReadWithXlrd(dir / "sheet.xls");
    EXPECT_EQ(book.value("encoding", ""), "cp936") << book.dump();
    const auto rows = book.value("rows", nlohmann::json::array());
    ASSERT_EQ(rows.size(), 2u) << book.dump();
    EXPECT_EQ(rows[0][0], nlohmann::json::parse(R"([1, "编号"])"));
    EXPECT_EQ(rows[0][1], nlohmann::json::parse(R"x([1, "经度(GPS坐标)"])x"));
    EXPECT_EQ(rows[1][0], nlohmann::json::parse("[2, -7.0]"));
    EXPECT_EQ(rows[1][1], nlohmann::json::parse("[2, 116.403874]"));
    EXPECT_EQ(rows[1].size(), 2u) << "a blank cell holds no value: " << rows.dump();
}

// A number as a reader writes it: spreadsheet programs follow the locale's decimal comma.
double Number(std::string text) {
    std::replace(text.begin(), text.end(), ',', '.');
    return engine::ParseFloat(text).value_or(std::nan(""));
}

// Text, numbers and blanks as every reader shows them.
TEST(XlsWriter, EveryReaderReadsTextNumbersAndBlanks) {
    testsupport::TempDir dir;
    TXlsWriter writer;
    writer.SetCells(0, 0, std::string("名称"));
    writer.SetCells(1, 0, std::string("地址"));
    writer.SetCells(2, 0, std::string("数"));
    writer.SetCells(0, 1, std::string("天安门广场"));
    writer.SetCells(1, 1, std::string("北京市东城区长安街"));
    writer.SetCells(2, 1, std::int32_t{-7});
    writer.SetCells(0, 2, std::string("空"));
    writer.SetCells(1, 2, false);
    writer.SetCells(2, 2, 2.5);
    ASSERT_TRUE(writer.SaveToXls(dir / "sheet.xls"));
    for (const auto& reader : xlstest::Readers()) {
        SCOPED_TRACE(reader.name);
        const auto work = dir / reader.name;
        std::filesystem::create_directories(work);
        const xlstest::Rows rows = reader.read(dir / "sheet.xls", work);
        ASSERT_EQ(rows.size(), 3u);
        EXPECT_EQ(rows[0], (std::vector<std::string>{"名称", "地址", "数"}));
        EXPECT_EQ(rows[1][0], "天安门广场");
        EXPECT_EQ(rows[1][1], "北京市东城区长安街");
        EXPECT_EQ(Number(rows[1][2]), -7);
        EXPECT_EQ(rows[2][0], "空");
        EXPECT_EQ(rows[2][1], "") << "a blank cell holds no value";
        EXPECT_EQ(Number(rows[2][2]), 2.5);
    }
}

TEST(XlsWriter, SpreadsheetApplicationReadsTheChineseText) {
    testsupport::TempDir dir;
    TXlsWriter writer;
    writer.SetCells(0, 0, std::string("名称"));
    writer.SetCells(1, 0, std::string("地址"));
    writer.SetCells(0, 1, std::string("天安门广场"));
    writer.SetCells(1, 1, std::string("北京市东城区长安街"));
    ASSERT_TRUE(writer.SaveToXls(dir / "sheet.xls"));

    // A private profile, so the run neither needs nor touches the user's.
    const auto result = testsupport::RunChild(
        {"soffice", "-env:UserInstallation=file://" + (dir / "profile").string(), "--headless",
         "--convert-to", "csv:Text - txt - csv (StarCalc):44,34,76", "--outdir",
         dir.path().string(), (dir / "sheet.xls").string()});
    ASSERT_EQ(result.exitCode, 0) << "LibreOffice (Debian package libreoffice-calc-nogui): "
                                  << result.output << result.errors;
    EXPECT_EQ(testsupport::ReadFileBytes(dir / "sheet.csv"),
              "名称,地址\n天安门广场,北京市东城区长安街\n");
}

}  // namespace
}  // namespace geodata
