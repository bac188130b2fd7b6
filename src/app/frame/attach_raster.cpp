#include "attach_raster.h"

#include <QAction>
#include <QPointer>
#include <QWidget>

#include "app/frame/raster_tools.h"
#include "app/stitch/stitch_relay.h"
#include "attach_context.h"
#include "close_controller.h"

namespace app {

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

}  // namespace app
