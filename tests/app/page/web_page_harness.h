#pragma once
// A real browser page for tests: an off-the-record profile, console errors collected (an
// uncaught script error is one), helpers to load a file and to run a script for its value.
#include <QEventLoop>
#include <QSignalSpy>
#include <QTimer>
#include <QUrl>
#include <QVariant>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <functional>

namespace testmainwindow {

class RecordingPage : public QWebEnginePage {
  public:
    using QWebEnginePage::QWebEnginePage;
    QStringList errors;

  protected:
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message,
                                  int line, const QString& source) override {
        if (level == ErrorMessageLevel) {
            errors << source + u':' + QString::number(line) + u' ' + message;
        }
    }
};

// Processes events until `done` holds or the time is up; returns whether it held at its last
// check. `done` may itself run nested event loops (a script run): the next check is armed
// only after the previous one returned, so checks never pile up inside each other.
inline bool WaitUntil(const std::function<bool()>& done, int timeoutMs = 20000) {
    bool held = done();
    if (held)
        return true;
    QEventLoop loop;
    QTimer poll;
    QTimer limit;
    poll.setSingleShot(true);
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        held = done();
        if (held)
            loop.quit();
        else if (limit.isActive())
            poll.start(5);
    });
    QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
    limit.setSingleShot(true);
    limit.start(timeoutMs);
    poll.start(5);
    loop.exec();
    return held;
}

inline bool LoadAndWait(QWebEnginePage& page, const QUrl& url) {
    QSignalSpy finished(&page, &QWebEnginePage::loadFinished);
    page.load(url);
    if (!finished.wait(60000))
        return false;
    return finished.at(0).at(0).toBool();
}

// The script's value; an invalid QVariant when it does not answer in time.
inline QVariant RunScript(QWebEnginePage& page, const QString& script) {
    QVariant result;
    bool answered = false;
    page.runJavaScript(script, [&](const QVariant& value) {
        result = value;
        answered = true;
    });
    WaitUntil([&] { return answered; });
    return result;
}

}  // namespace testmainwindow
