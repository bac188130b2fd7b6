#pragma once
// What a download start needs of the task actions: the save that runs before every start, and
// the second save that records the task's tile rectangles once they are computed.
#include <QString>
#include <functional>
#include <optional>
#include <utility>

#include "engine/core/core_types.h"

namespace app {

struct TaskSaved {
    QString fileName;  // full path of the task file just written
    QString name;      // the task's name (names its log file)
};

class IDownloadTaskStore {
  public:
    virtual ~IDownloadTaskStore() = default;
    // actProfileSaveExecute. Nothing when the task was not stored: an empty name (the save has
    // said so and focused the name box) or a declined replace. A download never starts then.
    virtual std::optional<TaskSaved> SaveTask() = 0;
    // Copies the rectangles into the current task and writes its file again.
    virtual void SaveTileBounds(const engine::TTileBounds& bounds) = 0;
};

// For wiring with two functions; an unset function saves nothing.
class FunctionTaskStore final : public IDownloadTaskStore {
  public:
    using SaveFn = std::function<std::optional<TaskSaved>()>;
    using BoundsFn = std::function<void(const engine::TTileBounds&)>;

    FunctionTaskStore(SaveFn save, BoundsFn bounds)
        : save_(std::move(save)), bounds_(std::move(bounds)) {}
    std::optional<TaskSaved> SaveTask() override { return save_ ? save_() : std::nullopt; }
    void SaveTileBounds(const engine::TTileBounds& bounds) override {
        if (bounds_)
            bounds_(bounds);
    }

  private:
    SaveFn save_;
    BoundsFn bounds_;
};

}  // namespace app
