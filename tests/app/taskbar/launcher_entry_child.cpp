#include "launcher_entry_child.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QElapsedTimer>
#include <QObject>
#include <QVariantMap>
#include <cstdio>
#include <cstring>

#include "app/taskbar/launcher_entry.h"
#include "app/taskbar/taskbar_progress.h"
#include "engine/core/number_format.h"
#include "launcher_entry_listener.h"

namespace testmainwindow {

namespace {

int RunSignals() {
    auto backend = app::CreateTaskbarBackend();
    if (!dynamic_cast<app::LauncherEntryBackend*>(backend.get())) {
        std::puts("no session bus");
        return 3;
    }
    QDBusConnection listenerBus =
        QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("listener"));
    LauncherEntryListener listener;
    if (!listenerBus.connect(QString(), QString(), QLatin1String(app::kLauncherEntryInterface),
                             QStringLiteral("Update"), &listener, SLOT(onUpdate(QDBusMessage)))) {
        std::puts("cannot listen");
        return 4;
    }
    // A round trip after the match rule, so that it is in place before the first signal.
    listenerBus.interface()->isServiceRegistered(QStringLiteral("org.freedesktop.DBus"));

    {
        app::TfspTaskbarMgr taskbar(std::move(backend));
        taskbar.SetActive(true);
        taskbar.SetProgressState(app::TfspTaskProgressState::fstpsNormal);
        taskbar.SetProgressValueMax(200);
        taskbar.SetProgressValue(50);
        taskbar.SetProgressState(app::TfspTaskProgressState::fstpsError);
        taskbar.SetProgressState(app::TfspTaskProgressState::fstpsNoProgress);
    }
    QElapsedTimer clock;
    clock.start();
    while (listener.lines.size() < 6 && clock.elapsed() < 10000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    for (const QString& line : listener.lines) {
        std::puts(line.toUtf8().constData());
    }
    return 0;
}

}  // namespace

int RunLauncherEntryChild(const char* mode) {
    if (std::strcmp(mode, "signals") == 0) {
        return RunSignals();
    }
    if (std::strcmp(mode, "backend") == 0) {
        auto backend = app::CreateTaskbarBackend();
        const bool launcher = dynamic_cast<app::LauncherEntryBackend*>(backend.get()) != nullptr;
        const bool null = dynamic_cast<app::NullTaskbarBackend*>(backend.get()) != nullptr;
        std::puts(launcher ? "launcher" : null ? "null" : "other");
        return 0;
    }
    std::puts("unknown mode");
    return 2;
}

}  // namespace testmainwindow
