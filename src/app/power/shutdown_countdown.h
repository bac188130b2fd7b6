#pragma once
// The 30-second question before an automatic power-off, after a download or a stitch.
#include <QString>

class QWidget;

namespace app {

class IPowerOff;

// "%d 秒后，将自动关闭计算机，点“否”取消关机？" with the seconds left.
QString ShutdownCountdownText(int seconds);

// A warning Yes/No dialog whose text counts the seconds down, one per tick; at zero it
// closes as answered Yes. True when it closed with Yes.
bool ShowShutdownCountdown(const QString& caption, int seconds, int tickMs = 1000,
                           QWidget* parent = nullptr);

// Asks with the countdown and powers off exactly once when the answer is Yes or the
// countdown runs out. Returns whether power-off was asked for.
bool PowerOffAfterCountdown(IPowerOff& powerOff, const QString& caption, int seconds = 30,
                            int tickMs = 1000, QWidget* parent = nullptr);

}  // namespace app
