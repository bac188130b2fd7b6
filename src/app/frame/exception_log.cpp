#include "exception_log.h"

#include <QDateTime>
#include <QFile>
#include <atomic>
#include <cstdio>
#include <mutex>
#include <system_error>

#include "engine/settings/settings_paths.h"

namespace app {

namespace {

std::mutex& LogMutex() {
    static std::mutex mutex;
    return mutex;
}

void ReportFailureOnce(const std::filesystem::path& file) {
    static std::atomic<bool> reported{false};
    if (!reported.exchange(true)) {
        std::fprintf(stderr, "vantorel: cannot write the exception log %s\n", file.c_str());
    }
}

}  // namespace

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
             text + QLatin1Char('\n'))
                .toUtf8();
        const std::lock_guard<std::mutex> lock(LogMutex());
        std::error_code ignored;
        std::filesystem::create_directories(file.parent_path(), ignored);
        QFile out(QString::fromStdString(file.string()));
        if (!out.open(QIODevice::WriteOnly | QIODevice::Append) || out.write(line) != line.size()) {
            ReportFailureOnce(file);
        }
    } catch (...) {
        ReportFailureOnce(file);
    }
}

}  // namespace app
