#include "gpx_test_support.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <sstream>

#include <nlohmann/json.hpp>

#include "support/child_process.h"

extern char** environ;

namespace geodata::testing {

std::filesystem::path Fixture(const std::string& name) {
    return std::filesystem::path(VANTOREL_SOURCE_DIR) / "tests/geodata/fixtures" / name;
}

std::string RunGpsbabel(const std::vector<std::string>& arguments) {
    int fds[2];
    if (pipe(fds) != 0) {
        ADD_FAILURE() << "pipe failed";
        return {};
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    std::vector<std::string> args{"gpsbabel"};
    args.insert(args.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (auto& a : args) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, "gpsbabel", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    if (spawned != 0) {
        close(fds[0]);
        ADD_FAILURE() << "gpsbabel is needed for this test (Debian package gpsbabel, listed in "
                         "scripts/packages.txt) but could not be started";
        return {};
    }
    std::string output;
    char buffer[4096];
    ssize_t n = 0;
    while ((n = read(fds[0], buffer, sizeof buffer)) > 0) {
        output.append(buffer, static_cast<std::size_t>(n));
    }
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        ADD_FAILURE() << "gpsbabel failed on its input; output so far:\n" << output;
    }
    return output;
}

std::string CsvRow::Get(const std::string& name) const {
    for (std::size_t i = 0; i < names.size() && i < values.size(); ++i) {
        if (names[i] == name) {
            return values[i];
        }
    }
    return {};
}

namespace {
std::vector<std::string> SplitCsv(const std::string& line) {
    std::vector<std::string> fields;
    std::string field;
    bool quoted = false;
    for (char c : line) {
        if (c == '"') {
            quoted = !quoted;
        } else if (c == ',' && !quoted) {
            fields.push_back(field);
            field.clear();
        } else if (c != '\r') {
            field += c;
        }
    }
    fields.push_back(field);
    return fields;
}
}  // namespace

std::vector<CsvRow> ParseUnicsv(const std::string& text) {
    std::istringstream in(text);
    std::string line;
    std::vector<CsvRow> rows;
    std::vector<std::string> names;
    while (std::getline(in, line)) {
        if (line.empty()) {
            continue;
        }
        if (names.empty()) {
            names = SplitCsv(line);
            continue;
        }
        rows.push_back({names, SplitCsv(line)});
    }
    return rows;
}

namespace {
// Prints {"found": [[texts of path 1], ...]} or {"error": "..."}. The process ends without
// tearing the tree down: freeing a very deep tree is the one step that recurses.
constexpr const char* kXmlTextsScript = R"(
import json, os, sys
import xml.etree.ElementTree as ET
try:
    root = ET.parse(sys.argv[1]).getroot()
    found = [["".join(e.itertext()) for e in root.iterfind(p)] for p in sys.argv[2:]]
    result = {"found": found}
except ET.ParseError as e:
    result = {"error": str(e)}
sys.stdout.write(json.dumps(result, ensure_ascii=False))
sys.stdout.flush()
os._exit(0)
)";
}  // namespace

std::vector<std::vector<std::string>> XmlTexts(const std::filesystem::path& file,
                                               const std::vector<std::string>& paths) {
    std::vector<std::string> argv{testsupport::SystemPython(), "-c", kXmlTextsScript,
                                  file.string()};
    argv.insert(argv.end(), paths.begin(), paths.end());
    const testsupport::ChildResult run = testsupport::RunChild(argv);
    if (run.exitCode != 0) {
        ADD_FAILURE() << "python3 could not check " << file << ": " << run.errors;
        return {};
    }
    const auto answer = nlohmann::json::parse(run.output, nullptr, false);
    if (answer.is_discarded() || !answer.contains("found")) {
        ADD_FAILURE() << "an independent XML parser refuses " << file << ": " << run.output;
        return {};
    }
    return answer["found"].get<std::vector<std::vector<std::string>>>();
}

ChildEnd RunInChild(const std::function<std::string()>& work) {
    ChildEnd end;
    int fds[2];
    if (pipe(fds) != 0) {
        ADD_FAILURE() << "pipe failed";
        return end;
    }
    const pid_t pid = fork();
    if (pid < 0) {
        ADD_FAILURE() << "fork failed";
        close(fds[0]);
        close(fds[1]);
        return end;
    }
    if (pid == 0) {
        close(fds[0]);
        int code = 0;
        std::string report;
        try {
            report = work();
        } catch (const std::exception& e) {
            report = e.what();
            code = 1;
        }
        for (std::size_t sent = 0; sent < report.size();) {
            const ssize_t n = write(fds[1], report.data() + sent, report.size() - sent);
            if (n <= 0) {
                break;
            }
            sent += static_cast<std::size_t>(n);
        }
        _exit(code);
    }
    close(fds[1]);
    char buffer[4096];
    ssize_t n = 0;
    while ((n = read(fds[0], buffer, sizeof buffer)) > 0) {
        end.report.append(buffer, static_cast<std::size_t>(n));
    }
    close(fds[0]);
    int status = 0;
    if (waitpid(pid, &status, 0) == pid) {
        end.exited = WIFEXITED(status);
        end.code = end.exited ? WEXITSTATUS(status) : -1;
        end.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    }
    return end;
}

}  // namespace geodata::testing
