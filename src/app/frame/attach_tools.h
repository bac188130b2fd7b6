#pragma once
// Wires the tool menu's coordinate window ("坐标转换...") and historic-map window ("历史地图"):
// each is made on first use as a tool window of the main window, kept, and shown modeless.
class QAction;

namespace app {

struct FrameContext;

struct ToolWidgets {
    QAction* actTransformCoord;
    QAction* actIPLocation;
};

void AttachTools(const ToolWidgets& widgets, const FrameContext& frame);

}  // namespace app
