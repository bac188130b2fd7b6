#include "tool_windows.h"

namespace app {

void ToolWindows::Register(const QString& id, Factory make, Shower show) {
    tools_[id] = Tool{std::move(make), std::move(show), nullptr};
}

bool ToolWindows::Show(const QString& id) {
    const auto found = tools_.find(id);
    if (found == tools_.end()) {
        return false;
    }
    Tool& tool = found->second;
    if (!tool.window) {
        tool.window = tool.make();
    }
    if (tool.window && tool.show) {
        tool.show(tool.window);
    }
    return tool.window != nullptr;
}

QObject* ToolWindows::Window(const QString& id) const {
    const auto found = tools_.find(id);
    return found == tools_.end() ? nullptr : found->second.window.data();
}

}  // namespace app
