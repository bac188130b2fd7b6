#pragma once
// The spreadsheet readers an exported .xls must open, each run on the file as a user would run
// it: xlrd (python3-xlrd), LibreOffice (soffice), GDAL's XLS driver (ogr2ogr) and Gnumeric
// (ssconvert). Each gives the sheet's rows as the texts of their cells; a reader that fails
// adds a test failure naming its package and gives no rows.
#include <filesystem>
#include <string>
#include <vector>

namespace xlstest {

using Rows = std::vector<std::vector<std::string>>;

struct Reader {
    const char* name;
    Rows (*read)(const std::filesystem::path& file, const std::filesystem::path& work);
};

// Every reader; `work` is a folder of the test for the readers' own files.
const std::vector<Reader>& Readers();

// A CSV text (quotes doubled inside quoted fields) as rows; empty lines are dropped.
Rows ParseCsv(const std::string& text);

}  // namespace xlstest
