#pragma once
// The two raster tool windows of the main window: created on first use as tool windows over
// the main window, kept for the life of the program, shown modeless. The stitch dialog also
// takes over a finished download's task.
#include <QObject>
#include <QString>

#include "app/clip/gdal_warp_controller.h"
#include "app/stitch/stitch_hand_over.h"
#include "app/widgets/tool_window.h"

class QWidget;

namespace engine {
class TSettings;
}

namespace app {
struct Services;
}

namespace rasterui {

class TfrmImageMerge;
class TfrmGDALWarp;

class RasterTools final : public QObject, public app::IStitchHandOver {
    Q_OBJECT

  public:
    // A child of `mainWindow`.
    RasterTools(QWidget& mainWindow, engine::TSettings& settings, const app::Services& services,
                QString profilesFolder, ClipTools clipTools = {});

    // ShowImageCombiner: the stitch dialog on `taskFile`, started at once when `autoStart`.
    // While a stitch runs the dialog is only shown; it keeps its task and its run.
    void ShowImageCombiner(const QString& taskFile, bool autoStart) override;
    // The clip dialog.
    void ShowGDALWarp();

    // The main window's close guard: false when a running stitch is to go on (the user
    // answered No to "正在拼接地图，要取消吗？").
    bool CloseGuard();
    // The main window's close step, before the process ends: a running stitch stops, a
    // running clip's own tools are ended, and their temporary files are removed.
    void CloseStep();

    // The dialogs, null until first shown.
    TfrmImageMerge* ImageMerge() const;
    TfrmGDALWarp* GDALWarp() const;

  private:
    engine::TSettings& settings_;
    ClipTools clipTools_;
    app::ToolWindow<TfrmImageMerge> imageMerge_;
    app::ToolWindow<TfrmGDALWarp> gdalWarp_;
};

}  // namespace rasterui
