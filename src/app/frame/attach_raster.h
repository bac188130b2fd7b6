#pragma once
// Wires the raster tools to the tools menu ("地图拼接...", "地图裁剪..."), fills the download
// control's stitch hand-over and adds the tools' close guard and close step.
#include <QString>
#include <filesystem>
#include <functional>

class QAction;

namespace app {

struct FrameContext;

struct RasterWidgets {
    QAction* actImageCombiner;
    QAction* actGDALWarp;
};

// `currentTaskFile` gives the file of the main window's current task (it may throw when the
// task's name cannot name a file); the stitch dialog's task-file choice starts in
// `profilesFolder`.
void AttachRaster(const RasterWidgets& widgets, const std::filesystem::path& profilesFolder,
                  std::function<std::filesystem::path()> currentTaskFile,
                  const FrameContext& frame);

}  // namespace app
