#pragma once
// Runs a program with an argument vector (no shell) and collects its standard output, for tests
// that check files with command-line tools such as gdalinfo.
#include <string>
#include <vector>

namespace testsupport {

struct ChildResult {
    int exitCode = -1;   // -1 when the program could not be started or did not exit normally
    std::string output;  // standard output
    std::string errors;  // standard error
};

// argv[0] is looked up on PATH.
ChildResult RunChild(const std::vector<std::string>& argv);

// True when the program can be found on PATH.
bool HaveProgram(const std::string& name);

// The Debian python3, which sees the packaged modules (a python3 earlier on PATH may not).
std::string SystemPython();

}  // namespace testsupport
