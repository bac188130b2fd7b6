#include "mainwindow/app/attach_raster.h"

#include <QAction>
#include <QPointer>
#include <QWidget>

#include "mainwindow/app/attach_context.h"
#include "mainwindow/app/close_controller.h"
#include "raster/ui/raster_tools.h"

namespace mainwindow {

void AttachRaster(const RasterWidgets& w, StitchHandOverSlot& stitch,
                  const std::filesystem::path& profilesFolder,
                  std::function<std::filesystem::path()> currentTaskFile,
                  const FrameContext& frame) {
    auto* tools = new rasterui::RasterTools(frame.window, frame.settings, frame.services,
                                            QString::fromStdString(profilesFolder.string()));
    const QPointer<rasterui::RasterTools> guarded(tools);
    stitch.SetTarget([guarded](const QString& taskFile, bool autoStart) {
        if (guarded) {
            guarded->ShowImageCombiner(taskFile, autoStart);
        }
    });

    w.actImageCombiner->setEnabled(true);
    w.actGDALWarp->setEnabled(true);
    QObject::connect(w.actImageCombiner, &QAction::triggered, tools,
                     [tools, currentTaskFile = std::move(currentTaskFile)] {
                         QString file;
                         try {
                             file = QString::fromStdString(currentTaskFile().string());
                         } catch (const std::exception&) {
                             // No usable current task: the dialog keeps the one it had.
                         }
                         tools->ShowImageCombiner(file, false);
                     });
    QObject::connect(w.actGDALWarp, &QAction::triggered, tools, [tools] { tools->ShowGDALWarp(); });

    frame.close.AddCloseGuard([guarded] { return !guarded || guarded->CloseGuard(); });
    frame.close.AddCloseStep([guarded] {
        if (guarded) {
            guarded->CloseStep();
        }
    });
}

}  // namespace mainwindow
