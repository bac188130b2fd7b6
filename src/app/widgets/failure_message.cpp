#include "failure_message.h"

#include "engine/log/logger.h"

namespace app {

QString FailureMessage(const QString& message, std::string_view detail) {
    std::string line = message.toStdString();
    if (!detail.empty()) {
        line += ": ";
        line += detail;
    }
    engine::AppendLog(line);
    return message;
}

QString FailureMessage(const QString& message, const std::exception& error) {
    return FailureMessage(message, std::string_view(error.what()));
}

}  // namespace app
