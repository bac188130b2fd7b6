#include "application.h"

#include <exception>

#include "exception_log.h"

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

bool LoggingApplication::notify(QObject* receiver, QEvent* event) {
    return DeliverLogged([&] { return QApplication::notify(receiver, event); });
}

}  // namespace app
