#include "attach_tasks.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QTimer>
#include <QToolButton>
#include <QWebEnginePage>

#include "app/page/page_host.h"
#include "app/services/page_wait.h"
#include "app/services/services.h"
#include "app/tasks/task_controller.h"
#include "attach_context.h"

namespace app {

namespace {
constexpr int kAreaRedrawDelayMs = 800;
}  // namespace

void AttachTasks(const TaskWidgets& w, TaskController& tasks, const FrameContext& frame) {
    QComboBox* combo = w.cbbProfile;
    const auto refresh = [w, &tasks] {
        w.actProfileSave->setEnabled(tasks.CanSave());
        w.actProfileLoad->setEnabled(tasks.CanLoadOrDelete());
        w.actProfileDelete->setEnabled(tasks.CanLoadOrDelete());
    };
    // The typed name selects the row it equals (ignoring case), as the list box does.
    QObject::connect(combo, &QComboBox::editTextChanged, &tasks,
                     [combo, &tasks, refresh](const QString& text) {
                         tasks.SetProfileText(text);
                         tasks.SetSelectedRow(combo->findText(text, Qt::MatchFixedString));
                         refresh();
                     });
    QObject::connect(&tasks, &TaskController::namesChanged, combo,
                     [combo](const QStringList& names) {
                         const QSignalBlocker quiet(combo);
                         const QString text = combo->currentText();
                         combo->clear();
                         combo->addItems(names);
                         combo->setCurrentIndex(-1);
                         combo->setEditText(text);
                     });
    QObject::connect(&tasks, &TaskController::profileTextChanged, combo,
                     [combo](const QString& text, int row) {
                         combo->setCurrentIndex(row);
                         combo->setEditText(text);
                     });
    QObject::connect(&tasks, &TaskController::focusProfileRequested, combo,
                     [combo] { combo->setFocus(); });
    QObject::connect(&tasks, &TaskController::tileDirChanged, w.edtTileOutPutDir,
                     &QLineEdit::setText);
    QObject::connect(&tasks, &TaskController::stateChanged, combo, refresh);
    QObject::connect(&frame.services.pageWait, &PageWait::busyChanged, combo, refresh);

    QObject::connect(w.actProfileSave, &QAction::triggered, &tasks, [&tasks] { tasks.Save(); });
    QObject::connect(w.actProfileLoad, &QAction::triggered, &tasks, &TaskController::Load);
    QObject::connect(w.actProfileDelete, &QAction::triggered, &tasks, &TaskController::Delete);
    QObject::connect(w.actChangeTilesDir, &QAction::triggered, &tasks,
                     &TaskController::ChangeTilesDir);
    QObject::connect(w.actOpenOutPutDir, &QAction::triggered, &tasks,
                     &TaskController::OpenOutPutDir);
    QObject::connect(w.btnChangeTilesDir, &QToolButton::clicked, w.actChangeTilesDir,
                     &QAction::trigger);
    QObject::connect(w.btnOpenMapsDir, &QToolButton::clicked, w.actOpenOutPutDir,
                     &QAction::trigger);
    // A page loaded afresh (the other page family after a layer switch or a task load) shows
    // no area: the download area is drawn on it again once its scripts are up, as the markers
    // are.
    if (QWebEnginePage* page = frame.crm.Page()) {
        auto* redraw = new QTimer(combo);
        redraw->setSingleShot(true);
        redraw->setInterval(kAreaRedrawDelayMs);
        QObject::connect(redraw, &QTimer::timeout, &tasks, &TaskController::ShowArea);
        QObject::connect(page, &QWebEnginePage::loadFinished, redraw, [redraw](bool ok) {
            if (ok)
                redraw->start();
        });
    }
    refresh();
}

}  // namespace app
