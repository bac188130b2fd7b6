#include "raster_tools.h"

#include <QWidget>

#include "app/clip/frm_gdal_warp.h"
#include "app/stitch/frm_image_merge.h"
#include "app/stitch/image_merge_controller.h"
#include "app/widgets/path_text.h"
#include "engine/download/installed_data.h"
#include "engine/log/logger.h"
#include "engine/settings/settings.h"

namespace rasterui {

RasterTools::RasterTools(QWidget& mainWindow, engine::TSettings& settings,
                         const app::Services& services, QString profilesFolder, ClipTools clipTools)
    : QObject(&mainWindow),
      settings_(settings),
      clipTools_(std::move(clipTools)),
      imageMerge_([&mainWindow, &settings, &services, folder = std::move(profilesFolder)] {
          auto* dialog = new TfrmImageMerge(settings, services, folder, &mainWindow);
          dialog->setWindowFlag(Qt::Tool);
          return dialog;
      }),
      gdalWarp_([this, &mainWindow, &settings, &services] {
          auto* dialog = new TfrmGDALWarp(settings, services, clipTools_, &mainWindow);
          dialog->setWindowFlag(Qt::Tool);
          return dialog;
      }) {
    // The tools bring their own data; a copy installed with the program takes precedence.
    if (clipTools_.gdalData.isEmpty()) {
        const auto data = engine::InstalledDataFile("gdal");
        if (!data.empty()) {
            clipTools_.gdalData = FromPath(data);
        }
    }
}

void RasterTools::ShowImageCombiner(const QString& taskFile, bool autoStart) {
    try {
        settings_.SetStrSetting(engine::StrSetting::CombineImageSourceDir, taskFile.toStdString());
    } catch (const std::exception& e) {
        engine::AppendLog(std::string("stitch hand-over: ") + e.what());
    }
    // A run keeps its task and options: the dialog is only shown.
    if (TfrmImageMerge* running = imageMerge_.Made(); running && running->Controller().RunAlive()) {
        app::ShowAndRaise(*running);
        return;
    }
    TfrmImageMerge* dialog = imageMerge_.Get();
    dialog->ShowAndReload();
    if (autoStart) {
        dialog->ClickStart();
    }
}

void RasterTools::ShowGDALWarp() {
    gdalWarp_.Show();
}

TfrmImageMerge* RasterTools::ImageMerge() const {
    return imageMerge_.Made();
}

TfrmGDALWarp* RasterTools::GDALWarp() const {
    return gdalWarp_.Made();
}

bool RasterTools::CloseGuard() {
    TfrmImageMerge* dialog = imageMerge_.Made();
    return !dialog || dialog->Controller().QueryClose();
}

void RasterTools::CloseStep() {
    if (TfrmImageMerge* dialog = imageMerge_.Made()) {
        dialog->Controller().StopRunAndWait();
    }
    if (TfrmGDALWarp* dialog = gdalWarp_.Made()) {
        dialog->Controller().FormClose();
    }
}

}  // namespace rasterui
