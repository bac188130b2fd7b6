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

// Processes events until `done` holds or the time is up; returns whether it held.
inline bool WaitUntil(const std::function<bool()>& done, int timeoutMs = 20000) {
    QEventLoop loop;
    QTimer poll;
    QTimer limit;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
    poll.start(5);
    limit.setSingleShot(true);
    limit.start(timeoutMs);
    if (!done())
        loop.exec();
    return done();
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
