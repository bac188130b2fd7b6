#pragma once
// Shared helpers of the GPX, KML and NMEA tests: fixture paths and the independent GPSBabel
// program that reads back what the writers produce.
#include <filesystem>
#include <string>
#include <vector>

namespace geodata::testing {

std::filesystem::path Fixture(const std::string& name);

// Runs gpsbabel with the arguments and returns its standard output; fails the running test
// with a clear message when the program is missing or ends with an error.
std::string RunGpsbabel(const std::vector<std::string>& arguments);

// The rows of a unicsv text as maps from column name to value.
struct CsvRow {
    std::vector<std::string> names, values;
    std::string Get(const std::string& name) const;
};
std::vector<CsvRow> ParseUnicsv(const std::string& text);

}  // namespace geodata::testing
