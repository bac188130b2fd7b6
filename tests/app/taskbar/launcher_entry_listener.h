#pragma once
// Collects the launcher-entry signals the helper process hears, one text line each.
#include <QDBusMessage>
#include <QObject>
#include <QStringList>

namespace testmainwindow {

class LauncherEntryListener : public QObject {
    Q_OBJECT

  public:
    QStringList lines;

  public slots:
    void onUpdate(const QDBusMessage& message);
};

}  // namespace testmainwindow
