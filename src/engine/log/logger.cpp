#include "engine/log/logger.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <iostream>
#include <mutex>
#include <set>
#include <system_error>

#include "engine/core/atomic_file.h"

namespace engine {
namespace {

struct LocalTime {
    std::tm tm{};
    int milliseconds = 0;
};

LocalTime ToLocal(LogClock::time_point now) {
    const auto sinceEpoch =
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch());
    auto millis = sinceEpoch.count() % 1000;
    auto seconds = sinceEpoch.count() / 1000;
    if (millis < 0) {
        millis += 1000;
        --seconds;
    }
    LocalTime local;
    const std::time_t t = static_cast<std::time_t>(seconds);
    ::localtime_r(&t, &local.tm);
    local.milliseconds = static_cast<int>(millis);
    return local;
}

// Guards the log folder setting.
std::mutex& FolderLock() {
    static std::mutex lock;
    return lock;
}

std::filesystem::path& FolderSetting() {
    static std::filesystem::path folder;
    return folder;
}

// The process-wide log lock: serialises the open-append-close of every line, so lines of
// different threads never mix, and the once-only failure reports.
std::mutex& LogLock() {
    static std::mutex lock;
    return lock;
}

// Files whose failure has been reported already; guarded by LogLock.
std::set<std::filesystem::path>& ReportedFailures() {
    static std::set<std::filesystem::path> files;
    return files;
}

void ReportFailureLocked(const std::filesystem::path& file, const std::string& reason) {
    if (ReportedFailures().size() < 64 && ReportedFailures().insert(file).second) {
        std::cerr << "vantorel: cannot write log file " << file.string() << ": " << reason
                  << std::endl;
    }
}

}  // namespace

std::filesystem::path DefaultLogFolderFor(const XdgBaseDirs& dirs) {
    return dirs.stateHome / "Vantorel" / "log";
}

void SetLogFolder(std::filesystem::path folder) {
    std::lock_guard guard(FolderLock());
    FolderSetting() = std::move(folder);
}

std::filesystem::path LogFolder() {
    {
        std::lock_guard guard(FolderLock());
        if (!FolderSetting().empty()) {
            return FolderSetting();
        }
    }
    return DefaultLogFolderFor(XdgBaseDirsFromEnvironment());
}

std::string LogDateStamp(LogClock::time_point now) {
    const auto local = ToLocal(now);
    char text[32];
    std::snprintf(text, sizeof text, "%04d%02d%02d", local.tm.tm_year + 1900, local.tm.tm_mon + 1,
                  local.tm.tm_mday);
    return text;
}

std::string LogDateStamp() {
    return LogDateStamp(LogClock::now());
}

std::string LogTimeStamp(LogClock::time_point now) {
    const auto local = ToLocal(now);
    char text[64];
    std::snprintf(text, sizeof text, "%04d.%02d.%02d %02d:%02d:%02d.%03d", local.tm.tm_year + 1900,
                  local.tm.tm_mon + 1, local.tm.tm_mday, local.tm.tm_hour, local.tm.tm_min,
                  local.tm.tm_sec, local.milliseconds);
    return text;
}

std::string LogTimeStamp() {
    return LogTimeStamp(LogClock::now());
}

std::string FormatLogLine(std::string_view message, LogClock::time_point now) {
    std::string line = "[" + LogTimeStamp(now) + "] ";
    line += message;
    line += "\r\n";
    return line;
}

std::filesystem::path DefaultLogFileName(LogClock::time_point now) {
    const auto folder = LogFolder();
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    return folder / (LogDateStamp(now) + ".log");
}

std::filesystem::path DefaultLogFileName() {
    return DefaultLogFileName(LogClock::now());
}

std::filesystem::path TaskLogFileName(std::string_view taskName) {
    return LogFolder() / (std::string(taskName) + ".log");
}

bool AppendLogLine(const std::filesystem::path& file, std::string_view line) {
    try {
        std::error_code ec;
        if (file.has_parent_path() && !std::filesystem::is_directory(file.parent_path(), ec)) {
            std::filesystem::create_directories(file.parent_path(), ec);
        }
        std::lock_guard guard(LogLock());
        const int fd = ::open(file.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
        if (fd < 0) {
            ReportFailureLocked(file, std::strerror(errno));
            return false;
        }
        const bool written = WriteAll(fd, line);
        const int writeErrno = errno;
        const bool closed = ::close(fd) == 0;
        if (!written || !closed) {
            ReportFailureLocked(file, std::strerror(written ? errno : writeErrno));
            return false;
        }
        return true;
    } catch (const std::exception&) {
        // Out of memory or a path that cannot be formed: a log line is never worth a crash.
        return false;
    }
}

bool AppendLog(std::string_view message, const std::filesystem::path& fileName) {
    if (message.empty()) {
        return true;
    }
    try {
        const std::filesystem::path file = fileName.empty() ? DefaultLogFileName() : fileName;
        return AppendLogLine(file, FormatLogLine(message, LogClock::now()));
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace engine
