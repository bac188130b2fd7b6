#include "shutdown_countdown.h"

#include <QLabel>
#include <QTimer>

#include "app/widgets/custom_dialogs.h"
#include "force_power_off.h"

namespace app {

QString ShutdownCountdownText(int seconds) {
    return QString::number(seconds) + QStringLiteral(" 秒后，将自动关闭计算机，点“否”取消关机？");
}

bool ShowShutdownCountdown(const QString& caption, int seconds, int tickMs, QWidget* parent) {
    auto form = CreateMsgForm(ShutdownCountdownText(seconds), TMsgDlgKind::mkWarning,
                              {TMsgButtonKind::mbkYes, TMsgButtonKind::mbkNo}, false, parent);
    form->setWindowTitle(caption);
    // Owned by the form, so it dies with it.
    auto* timer = new QTimer(form.get());
    timer->setInterval(tickMs);
    int left = seconds;
    TMsgForm* raw = form.get();
    QObject::connect(timer, &QTimer::timeout, raw, [raw, timer, &left] {
        --left;
        raw->DlgMessage()->setText(ShutdownCountdownText(left));
        if (left <= 0) {
            timer->stop();
            raw->SetModalResult(mrYes);
        }
    });
    timer->start();
    const int result = form->exec();
    timer->stop();
    return result == mrYes;
}

bool PowerOffAfterCountdown(IPowerOff& powerOff, const QString& caption, int seconds, int tickMs,
                            QWidget* parent) {
    // The end of the countdown only answers Yes; the one power-off request is made here.
    if (!ShowShutdownCountdown(caption, seconds, tickMs, parent)) {
        return false;
    }
    powerOff.ForcePowerOff();
    return true;
}

}  // namespace app
