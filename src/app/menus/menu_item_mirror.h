#pragma once
// A menu item that stands for an action of another name or caption (mniCoordGrid for
// actCoordGrid, "中国全图" for actFullView): it runs the action and follows its enabled,
// checked and visible state.
class QAction;

namespace app {

void MirrorMenuItem(QAction* item, QAction* action);

}  // namespace app
