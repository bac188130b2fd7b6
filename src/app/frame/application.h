#pragma once
// The application object: an exception that escapes an event handler is written to the
// exception log and the event loop goes on (ApplicationEvents1Exception).
#include <QApplication>
#include <functional>

namespace app {

// Runs one event delivery; an exception it throws is logged, and the event counts as not
// handled.
bool DeliverLogged(const std::function<bool()>& deliver);

// Qt's warnings, critical and fatal messages go to the exception log as well as to standard
// error, so that a user's log shows them. Returns the handler it replaced.
QtMessageHandler InstallQtMessageLog();

class LoggingApplication : public QApplication {
    Q_OBJECT

  public:
    LoggingApplication(int& argc, char** argv) : QApplication(argc, argv) {}
    bool notify(QObject* receiver, QEvent* event) override;
};

}  // namespace app
