#pragma once
// The exception log: errors that reach the event loop, one time-stamped line each, in
// $XDG_STATE_HOME/Vantorel/LOG/vantorel.log, written through the engine's log writer: never
// throws, a failure is reported on standard error once.
#include <QString>
#include <filesystem>

namespace app {

// The log file under the current environment's state folder.
std::filesystem::path ExceptionLogFile();

// Appends "yyyy-MM-dd hh:mm:ss.zzz; message" (line breaks in the message become blanks).
void Log(const QString& message);
void LogTo(const std::filesystem::path& file, const QString& message);

}  // namespace app
