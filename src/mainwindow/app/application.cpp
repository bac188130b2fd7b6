#include "mainwindow/app/application.h"

#include <exception>

#include "mainwindow/app/exception_log.h"

namespace mainwindow {

bool TApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        Log(QString::fromUtf8(error.what()));
    } catch (...) {
        Log(QStringLiteral("unknown exception"));
    }
    return false;
}

}  // namespace mainwindow
