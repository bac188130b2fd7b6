#include "attach_tools.h"

#include <QAction>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>

#include "app/tools/ip_location_form.h"
#include "app/tools/transform_coord_form.h"
#include "attach_context.h"
#include "services.h"

namespace app {
namespace {

// Keeps the two windows once made; they live as long as the main window.
class ToolWindows : public QObject {
  public:
    explicit ToolWindows(const FrameContext& frame)
        : QObject(&frame.window),
          window_(frame.window),
          services_(frame.services),
          settings_(frame.settings) {}

    void ShowTransformCoord() {
        if (!transformCoord_) {
            transformCoord_ =
                new geodataui::TfrmTransformCoord(services_.page, services_.messages, &window_);
            if (const QScreen* screen = window_.screen()) {
                const QRect area = screen->availableGeometry();
                transformCoord_->move(area.center() - transformCoord_->rect().center());
            }
        }
        Raise(transformCoord_);
    }

    void ShowIPLocation() {
        if (!ipLocation_) {
            ipLocation_ = new geodataui::TfrmIPLocation(services_.page, services_.messages,
                                                        settings_, &window_);
        }
        Raise(ipLocation_);
    }

  private:
    static void Raise(QWidget* window) {
        window->show();
        window->raise();
        window->activateWindow();
    }

    QWidget& window_;
    Services& services_;
    engine::TSettings& settings_;
    QPointer<geodataui::TfrmTransformCoord> transformCoord_;
    QPointer<geodataui::TfrmIPLocation> ipLocation_;
};

}  // namespace

void AttachTools(const ToolWidgets& w, const FrameContext& frame) {
    auto* tools = new ToolWindows(frame);
    QObject::connect(w.actTransformCoord, &QAction::triggered, tools,
                     [tools] { tools->ShowTransformCoord(); });
    QObject::connect(w.actIPLocation, &QAction::triggered, tools,
                     [tools] { tools->ShowIPLocation(); });
    w.actTransformCoord->setEnabled(true);
    w.actIPLocation->setEnabled(true);
}

}  // namespace app
