#pragma once
// Drives modal dialogs in tests: the action runs once the dialog's own event loop is up.
#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <functional>

namespace testmainwindow {

// Runs `action` on the active modal widget as soon as the next modal loop starts; the
// action must close the dialog (or a later close does).
inline void WhenModal(std::function<void(QWidget&)> action) {
    auto* poll = new QTimer;
    poll->setInterval(5);
    QObject::connect(poll, &QTimer::timeout, [poll, action] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            poll->stop();
            poll->deleteLater();
            action(*modal);
        }
    });
    poll->start();
}

// The widget that would receive a key: the dialog's focused child, else the dialog.
inline QWidget& KeyTarget(QWidget& dialog) {
    QWidget* focus = dialog.focusWidget();
    return focus ? *focus : dialog;
}

}  // namespace testmainwindow
