#include "mainwindow/app/attach_raster.h"

#include <QAction>
#include <QPointer>
#include <QWidget>

#include "mainwindow/app/attach_context.h"
#include "mainwindow/app/close_controller.h"
#include "mainwindow/app/stitch_relay.h"
#include "raster/ui/raster_tools.h"

namespace mainwindow {

void AttachRaster(const RasterWidgets& w, const std::filesystem::path& profilesFolder,
                  std::function<std::filesystem::path()> currentTaskFile,
                  const FrameContext& frame) {
    auto* tools = new rasterui::RasterTools(frame.window, frame.settings, frame.services,
                                            QString::fromStdString(profilesFolder.string()));
    // The tools are a child of the window, which outlives the download control's relay.
    frame.stitch.SetTarget(tools);
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

    const QPointer<rasterui::RasterTools> guarded(tools);
    frame.close.AddCloseGuard([guarded] { return !guarded || guarded->CloseGuard(); });
    frame.close.AddCloseStep([guarded] {
        if (guarded) {
            guarded->CloseStep();
        }
    });
}

}  // namespace mainwindow
