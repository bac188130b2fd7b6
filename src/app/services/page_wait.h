#pragma once
// The steps that go on once the page has answered: a layer switch, a task load. While one
// waits, the controls it could disturb are off: the controllers ask Busy() and refuse their
// actions, the window follows busyChanged. Nothing waits in a nested event loop.
#include <QObject>
#include <QString>
#include <functional>

namespace app {

class IMapPage;

class PageWait : public QObject {
    Q_OBJECT

  public:
    explicit PageWait(IMapPage& page, QObject* parent = nullptr);

    // Sends `code` to the page; `then` runs with its answer (empty when none came in time).
    // Busy from here until `then` has run and sent nothing further, so a step that goes on
    // with another call stays busy throughout.
    void Run(const QString& code, std::function<void(const QString&)> then = {});
    bool Busy() const { return pending_ > 0; }

  signals:
    void busyChanged(bool busy);

  private:
    void Answered();

    IMapPage& page_;
    int pending_ = 0;
};

}  // namespace app
