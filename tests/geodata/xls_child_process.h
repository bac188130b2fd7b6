#pragma once
// Runs a helper program (ogrinfo, python3 with xlrd, unzip) for the geodata tests, with an
// argument vector and no shell, and collects what it prints.
#include <string>
#include <vector>

namespace geodatatest {

struct ChildResult {
    int exitCode = -1;   // -1 when the program could not be started or did not exit normally
    std::string output;  // standard output followed by standard error
};

ChildResult RunChild(const std::vector<std::string>& argv);

// The Debian python3 that sees the packaged xlrd (a python3 earlier on PATH may not).
std::string SystemPython();

}  // namespace geodatatest
