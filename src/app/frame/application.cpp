#include "application.h"

#include <exception>

#include "app/services/exception_log.h"

namespace app {

bool DeliverLogged(const std::function<bool()>& deliver) {
    try {
        return deliver();
    } catch (const std::exception& error) {
        Log(QString::fromUtf8(error.what()));
    } catch (...) {
        Log(QStringLiteral("unknown exception"));
    }
    return false;
}

namespace {

QtMessageHandler& PreviousHandler() {
    static QtMessageHandler previous = nullptr;
    return previous;
}

void LogQtMessage(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtWarningMsg || type == QtCriticalMsg || type == QtFatalMsg) {
        const char* category = context.category ? context.category : "default";
        Log(QStringLiteral("Qt %1: %2").arg(QString::fromUtf8(category), message));
    }
    if (QtMessageHandler previous = PreviousHandler()) {
        previous(type, context, message);
    }
}

}  // namespace

QtMessageHandler InstallQtMessageLog() {
    QtMessageHandler previous = qInstallMessageHandler(LogQtMessage);
    PreviousHandler() = previous;
    return previous;
}

bool LoggingApplication::notify(QObject* receiver, QEvent* event) {
    return DeliverLogged([&] { return QApplication::notify(receiver, event); });
}

}  // namespace app
