#pragma once
// Wires the download control to the download panel, the level list, the tile-count label,
// the status bar's progress bar and panels 0 and 1.
class QAction;
class QLabel;
class QListWidget;
class QToolButton;
class QWidget;

namespace app {

class DownloadController;
class TProgressBar;
struct FrameContext;

struct DownloadWidgets {
    QAction* actDownLoadStart;
    QAction* actDownLoadPause;
    QAction* actDownLoadStop;
    QAction* actDownloadSettings;
    QToolButton* btnDownload;
    QWidget* pnlDownLoad;
    QListWidget* chkZoomLevels;
    QLabel* lblTileCount;
    TProgressBar* progressBar;
    QLabel* statePanel;     // status panel 0
    QLabel* progressPanel;  // status panel 1
};

void AttachDownload(const DownloadWidgets& widgets, DownloadController& download,
                    const FrameContext& frame);

}  // namespace app
