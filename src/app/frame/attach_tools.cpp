#include "attach_tools.h"

#include <QAction>
#include <QGuiApplication>
#include <QScreen>

#include "app/services/services.h"
#include "app/tools/ip_location_form.h"
#include "app/tools/transform_coord_form.h"
#include "app/widgets/tool_window.h"
#include "attach_context.h"

namespace app {
namespace {

// The two windows once made; they live as long as the main window.
struct Tools : QObject {
    explicit Tools(const FrameContext& frame)
        : QObject(&frame.window),
          transformCoord([&window = frame.window, &services = frame.services] {
              auto* form =
                  new geodataui::TfrmTransformCoord(services.page, services.messages, &window);
              if (const QScreen* screen = window.screen()) {
                  const QRect area = screen->availableGeometry();
                  form->move(area.center() - form->rect().center());
              }
              return form;
          }),
          ipLocation(
              [&window = frame.window, &services = frame.services, &settings = frame.settings] {
                  return new geodataui::TfrmIPLocation(services.page, services.messages, settings,
                                                       &window);
              }) {}

    ToolWindow<geodataui::TfrmTransformCoord> transformCoord;
    ToolWindow<geodataui::TfrmIPLocation> ipLocation;
};

}  // namespace

void AttachTools(const ToolWidgets& w, const FrameContext& frame) {
    auto* tools = new Tools(frame);
    QObject::connect(w.actTransformCoord, &QAction::triggered, tools,
                     [tools] { tools->transformCoord.Show(); });
    QObject::connect(w.actIPLocation, &QAction::triggered, tools,
                     [tools] { tools->ipLocation.Show(); });
    w.actTransformCoord->setEnabled(true);
    w.actIPLocation->setEnabled(true);
}

}  // namespace app
