#pragma once
// Wires the task actions to the task panel, the storage panel and the file menu's
// "打开地图路径".
class QAction;
class QComboBox;
class QLineEdit;
class QToolButton;

namespace app {

class TaskController;
struct FrameContext;

struct TaskWidgets {
    QComboBox* cbbProfile;
    QLineEdit* edtTileOutPutDir;
    QToolButton* btnChangeTilesDir;
    QToolButton* btnOpenMapsDir;
    QAction* actProfileSave;
    QAction* actProfileLoad;
    QAction* actProfileDelete;
    QAction* actChangeTilesDir;
    QAction* actOpenOutPutDir;
};

void AttachTasks(const TaskWidgets& widgets, TaskController& tasks, const FrameContext& frame);

}  // namespace app
