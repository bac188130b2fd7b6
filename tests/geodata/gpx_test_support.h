#pragma once
// Shared helpers of the GPX, KML and NMEA tests: fixture paths, the independent programs that
// read back what the writers produce (GPSBabel, Python's namespace-aware XML parser) and a
// child process for inputs that could end the process reading them.
#include <filesystem>
#include <functional>
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

// Parses an XML file with Python's ElementTree, which checks namespaces (an undeclared prefix
// is an error), and gives the text content of the elements each path finds below the root
// ("{uri}name/{uri}name", ElementTree's path syntax). A file it refuses fails the running test
// and gives nothing.
std::vector<std::vector<std::string>> XmlTexts(const std::filesystem::path& file,
                                               const std::vector<std::string>& paths);

// How a child process that ran one piece of work ended.
struct ChildEnd {
    bool exited = false;  // ended by itself (not by a signal)
    int code = -1;        // its exit code when it exited
    int signal = 0;       // the signal that ended it otherwise
    std::string report;   // what the work returned (or the exception it raised)
};
// Runs `work` in a forked copy of this process: a crash ends the child, not the test. The
// child exits with 0 after the work returns, with 1 when it raises.
ChildEnd RunInChild(const std::function<std::string()>& work);

}  // namespace geodata::testing
