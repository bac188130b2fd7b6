#include "force_power_off.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <cstdio>

namespace app {

void LogindPowerOff::ForcePowerOff() {
    if (qEnvironmentVariable("VANTOREL_NO_POWEROFF") == QLatin1String("1")) {
        std::fputs("power-off refused: VANTOREL_NO_POWEROFF=1\n", stderr);
        return;
    }
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected()) {
        return;  // failures are silent: the computer keeps running and the caller goes on
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
        QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("PowerOff"));
    call << false;  // not interactive: no authorisation prompt
    bus.send(call);
}

}  // namespace app
