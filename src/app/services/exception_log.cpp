#include "exception_log.h"

#include <QDateTime>

#include "engine/log/logger.h"
#include "engine/settings/settings_paths.h"

namespace app {

std::filesystem::path ExceptionLogFile() {
    return engine::XdgBaseDirsFromEnvironment().stateHome / "Vantorel" / "LOG" / "vantorel.log";
}

void Log(const QString& message) {
    LogTo(ExceptionLogFile(), message);
}

void LogTo(const std::filesystem::path& file, const QString& message) {
    try {
        QString text = message;
        text.replace(QLatin1Char('\r'), QLatin1Char(' '))
            .replace(QLatin1Char('\n'), QLatin1Char(' '));
        const QByteArray line =
            (QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz; ")) +
             text + QStringLiteral("\r\n"))
                .toUtf8();
        engine::AppendLogLine(file, std::string_view(line.constData(), std::size_t(line.size())));
    } catch (...) {
        // Formatting failed (out of memory): a log line is never worth a crash.
    }
}

}  // namespace app
