#include "launcher_entry.h"

#include <QDBusMessage>
#include <algorithm>

namespace app {

LauncherEntryBackend::LauncherEntryBackend(QDBusConnection connection, QString appUri)
    : connection_(std::move(connection)), appUri_(std::move(appUri)) {}

void LauncherEntryBackend::SetProgressState(int flag) {
    flag_ = flag;
    Send();
}

void LauncherEntryBackend::SetProgressValue(std::int64_t value, std::int64_t maximum) {
    // A maximum of 0 shows an empty bar rather than dividing by it.
    progress_ = maximum > 0 ? std::clamp(static_cast<double>(value) / maximum, 0.0, 1.0) : 0.0;
    Send();
}

QVariantMap LauncherEntryBackend::Properties() const {
    QVariantMap properties;
    properties.insert(QStringLiteral("progress"), progress_);
    properties.insert(QStringLiteral("progress-visible"), flag_ != 0);
    properties.insert(QStringLiteral("urgent"),
                      flag_ == ProgressStateToFlag(TfspTaskProgressState::fstpsError));
    return properties;
}

void LauncherEntryBackend::Send() {
    QDBusMessage signal = QDBusMessage::createSignal(QLatin1String(kLauncherEntryPath),
                                                     QLatin1String(kLauncherEntryInterface),
                                                     QStringLiteral("Update"));
    signal << appUri_ << Properties();
    connection_.send(signal);  // nobody listening is not an error
}

std::unique_ptr<ITaskbarBackend> CreateTaskbarBackend() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        return std::make_unique<NullTaskbarBackend>();
    }
    return std::make_unique<LauncherEntryBackend>(bus, QLatin1String(kLauncherEntryAppUri));
}

}  // namespace app
