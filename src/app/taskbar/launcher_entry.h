#pragma once
// Taskbar progress on Linux desktops: the launcher-entry signal
// com.canonical.Unity.LauncherEntry.Update(s app_uri, a{sv} properties) on the session bus,
// which docks and panels read for the entry of the program's desktop file.
#include <QDBusConnection>
#include <QString>
#include <QVariantMap>
#include <memory>

#include "taskbar_progress.h"

namespace app {

inline constexpr char kLauncherEntryInterface[] = "com.canonical.Unity.LauncherEntry";
inline constexpr char kLauncherEntryPath[] = "/org/vantorel/Vantorel/LauncherEntry";
inline constexpr char kLauncherEntryAppUri[] = "application://vantorel.desktop";

// Every signal carries the whole picture: "progress" (0 to 1), "progress-visible" and
// "urgent" (the error state).
class LauncherEntryBackend final : public ITaskbarBackend {
  public:
    LauncherEntryBackend(QDBusConnection connection, QString appUri);
    void SetProgressState(int flag) override;
    void SetProgressValue(std::int64_t value, std::int64_t maximum) override;

    // The properties the next signal would carry.
    QVariantMap Properties() const;

  private:
    void Send();

    QDBusConnection connection_;
    QString appUri_;
    int flag_ = 0;
    double progress_ = 0;
};

// The launcher entry when the session bus answers, else the null backend.
std::unique_ptr<ITaskbarBackend> CreateTaskbarBackend();

}  // namespace app
