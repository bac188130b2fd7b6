#pragma once
// Wires the raster tools to the tools menu ("地图拼接...", "地图裁剪..."), fills the download
// control's stitch hand-over and adds the tools' close guard and close step.
#include <QString>
#include <filesystem>
#include <functional>

#include "mainwindow/download/stitch_hand_over.h"

class QAction;

namespace mainwindow {

struct FrameContext;

// The hand-over the download control is built with; the raster tools fill it when they are
// attached. Until then a hand-over does nothing.
class StitchHandOverSlot final : public IStitchHandOver {
  public:
    using Target = std::function<void(const QString& taskFile, bool autoStart)>;
    void SetTarget(Target target) { target_ = std::move(target); }
    void ShowImageCombiner(const QString& taskFile, bool autoStart) override {
        if (target_) {
            target_(taskFile, autoStart);
        }
    }

  private:
    Target target_;
};

struct RasterWidgets {
    QAction* actImageCombiner;
    QAction* actGDALWarp;
};

// `currentTaskFile` gives the file of the main window's current task (it may throw when the
// task's name cannot name a file); the stitch dialog's task-file choice starts in
// `profilesFolder`.
void AttachRaster(const RasterWidgets& widgets, StitchHandOverSlot& stitch,
                  const std::filesystem::path& profilesFolder,
                  std::function<std::filesystem::path()> currentTaskFile,
                  const FrameContext& frame);

}  // namespace mainwindow
