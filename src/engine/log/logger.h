#pragma once
// Time-stamped text lines appended to log files: the daily log in the log folder, or a file the
// caller names (the running task's log, the stitcher's log beside its output). Any thread may
// log; every line is written whole with its own open, append and close, under one process-wide
// lock. Writing a log line never throws: a failure is reported on standard error, once per file.
#include <chrono>
#include <filesystem>
#include <string>
#include <string_view>

#include "engine/settings/settings_paths.h"

namespace engine {

using LogClock = std::chrono::system_clock;

// $XDG_STATE_HOME/Vantorel/log.
std::filesystem::path DefaultLogFolderFor(const XdgBaseDirs& dirs);

// The folder of the daily log, set by the application at start-up; until then the folder above
// under the environment's XDG folders.
void SetLogFolder(std::filesystem::path folder);
std::filesystem::path LogFolder();

// Appends "[time stamp] message" and CR LF to `fileName`, or to the daily log when it is empty,
// creating the file's folder when missing. An empty message writes nothing. Returns whether the
// line was written.
bool AppendLog(std::string_view message, const std::filesystem::path& fileName = {});
// Appends one whole, already formatted line to `file` in the same way (the one writer of every
// log of the process, the exception log's included).
bool AppendLogLine(const std::filesystem::path& file, std::string_view line);

// The daily log "yyyymmdd.log" in the log folder, whose folder is created when missing.
std::filesystem::path DefaultLogFileName();
std::filesystem::path DefaultLogFileName(LogClock::time_point now);
// The log of a download task: the task name and ".log" in the log folder.
std::filesystem::path TaskLogFileName(std::string_view taskName);

// Local date "yyyymmdd" and local time stamp "yyyy.mm.dd hh:nn:ss.zzz".
std::string LogDateStamp();
std::string LogDateStamp(LogClock::time_point now);
std::string LogTimeStamp();
std::string LogTimeStamp(LogClock::time_point now);
// One whole line as it goes into the file.
std::string FormatLogLine(std::string_view message, LogClock::time_point now);

}  // namespace engine
