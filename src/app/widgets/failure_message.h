#pragma once
// The one place where a failure becomes what the user reads. The window shows the program's
// own Chinese message, which names the file or the step; the library's text (English, from the
// system or a library) goes with it to the program's log, never to a message box.
#include <QString>
#include <exception>
#include <string_view>

namespace app {

// Logs "message: detail" and returns `message`.
QString FailureMessage(const QString& message, std::string_view detail);
QString FailureMessage(const QString& message, const std::exception& error);

}  // namespace app
