#pragma once
// The tool windows of the main window: each is made on its first use, kept for the life of
// the program and shown again (with the state it had) on later uses.
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <map>

namespace app {

class ToolWindows {
  public:
    using Factory = std::function<QObject*()>;
    using Shower = std::function<void(QObject*)>;

    // A tool named `id`: `make` creates its window (owned by a Qt parent), `show` shows it.
    void Register(const QString& id, Factory make, Shower show);
    bool Has(const QString& id) const { return tools_.count(id) != 0; }
    // Makes the window on the first call, then shows it; false for an unknown tool.
    bool Show(const QString& id);
    // The window, once made.
    QObject* Window(const QString& id) const;

  private:
    struct Tool {
        Factory make;
        Shower show;
        QPointer<QObject> window;
    };
    std::map<QString, Tool> tools_;
};

}  // namespace app
