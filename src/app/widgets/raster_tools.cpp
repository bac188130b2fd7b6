#include "raster_tools.h"

#include <QWidget>

#include "app/clip/frm_gdal_warp.h"
#include "app/stitch/frm_image_merge.h"
#include "app/stitch/image_merge_controller.h"
#include "engine/download/installed_data.h"
#include "engine/log/logger.h"
#include "engine/settings/settings.h"
#include "path_text.h"

namespace rasterui {

RasterTools::RasterTools(QWidget& mainWindow, engine::TSettings& settings,
                         const app::Services& services, QString profilesFolder, ClipTools clipTools)
    : QObject(&mainWindow),
      mainWindow_(mainWindow),
      settings_(settings),
      services_(services),
      profilesFolder_(std::move(profilesFolder)),
      clipTools_(std::move(clipTools)) {
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
    if (imageMerge_ && imageMerge_->Controller().RunAlive()) {
        imageMerge_->show();
        imageMerge_->raise();
        imageMerge_->activateWindow();
        return;
    }
    if (!imageMerge_) {
        imageMerge_ = new TfrmImageMerge(settings_, services_, profilesFolder_, &mainWindow_);
        imageMerge_->setWindowFlag(Qt::Tool);
    }
    imageMerge_->ShowAndReload();
    if (autoStart) {
        imageMerge_->ClickStart();
    }
}

void RasterTools::ShowGDALWarp() {
    if (!gdalWarp_) {
        gdalWarp_ = new TfrmGDALWarp(settings_, services_, clipTools_, &mainWindow_);
        gdalWarp_->setWindowFlag(Qt::Tool);
    }
    gdalWarp_->show();
    gdalWarp_->raise();
    gdalWarp_->activateWindow();
}

TfrmImageMerge* RasterTools::ImageMerge() const {
    return imageMerge_;
}

TfrmGDALWarp* RasterTools::GDALWarp() const {
    return gdalWarp_;
}

bool RasterTools::CloseGuard() {
    return !imageMerge_ || imageMerge_->Controller().QueryClose();
}

void RasterTools::CloseStep() {
    if (imageMerge_) {
        imageMerge_->Controller().StopRunAndWait();
    }
    if (gdalWarp_) {
        gdalWarp_->Controller().FormClose();
    }
}

}  // namespace rasterui
