#include "attach_download.h"

#include <QAction>
#include <QLabel>
#include <QListWidget>
#include <QToolButton>
#include <memory>

#include "app/download/download_controller.h"
#include "app/services/page_wait.h"
#include "app/services/services.h"
#include "app/widgets/progress_bar_ex.h"
#include "app/widgets/status_panel.h"
#include "attach_context.h"

namespace app {

void AttachDownload(const DownloadWidgets& w, DownloadController& download,
                    const FrameContext& frame) {
    QListWidget* list = w.chkZoomLevels;
    download.SetZoomLevelSource([list] {
        ZoomChecks checks{};
        for (int level = 0; level < list->count() && level < engine::kZoomLevelCount; ++level) {
            const QListWidgetItem* item = list->item(level);
            checks[level] =
                item->checkState() == Qt::Checked && (item->flags() & Qt::ItemIsEnabled);
        }
        return checks;
    });
    // chkZoomLevelsClickCheck
    QObject::connect(list, &QListWidget::itemChanged, &download,
                     &DownloadController::CalculateStart);

    QObject::connect(w.actDownLoadStart, &QAction::triggered, &download,
                     &DownloadController::Start);
    QObject::connect(w.actDownLoadPause, &QAction::triggered, &download,
                     &DownloadController::PauseOrResume);
    QObject::connect(w.actDownLoadStop, &QAction::triggered, &download, &DownloadController::Stop);

    // The download settings stay as their own feature set them, and off while a task runs.
    auto settingsWereEnabled = std::make_shared<bool>(w.actDownloadSettings->isEnabled());
    const auto refresh = [w, &download, settingsWereEnabled] {
        w.actDownLoadStart->setEnabled(download.CanStart());
        w.actDownLoadPause->setEnabled(download.CanPauseOrResume());
        w.actDownLoadPause->setText(download.PauseCaption());
        w.actDownLoadStop->setEnabled(download.CanStop());
        const bool active = download.TaskActive();
        w.btnDownload->setVisible(!active);
        if (active && w.actDownloadSettings->isEnabled()) {
            *settingsWereEnabled = true;
            w.actDownloadSettings->setEnabled(false);
        } else if (!active && *settingsWereEnabled) {
            w.actDownloadSettings->setEnabled(true);
        }
        w.pnlDownLoad->update();
    };
    QObject::connect(&download, &DownloadController::stateChanged, w.pnlDownLoad, refresh);
    // No start while a step waits for the page.
    QObject::connect(&frame.services.pageWait, &PageWait::busyChanged, w.pnlDownLoad, refresh);
    // CanStart also follows the area.
    QObject::connect(&download, &DownloadController::tileCountTextChanged, w.pnlDownLoad, refresh);
    QObject::connect(&download, &DownloadController::tileCountTextChanged, w.lblTileCount,
                     &QLabel::setText);
    QObject::connect(&download, &DownloadController::progressChanged, w.progressBar,
                     [bar = w.progressBar](int value, int maximum) {
                         bar->setRange(0, maximum);
                         bar->setValue(value);
                     });
    QObject::connect(&download, &DownloadController::progressVisibleChanged, w.progressBar,
                     &QWidget::setVisible);
    QObject::connect(&download, &DownloadController::statusTextsChanged, w.statePanel,
                     [state = w.statePanel, progress = w.progressPanel](
                         const QString& statusText, const QString& progressText) {
                         state->setText(statusText);
                         SetStatusPanelText(*progress, progressText);
                     });
    QObject::connect(&download, &DownloadController::areaChanged, w.pnlDownLoad, refresh);
    w.statePanel->setText(download.StatusText());
    refresh();
}

}  // namespace app
