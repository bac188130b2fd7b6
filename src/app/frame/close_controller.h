#pragma once
// The window's close: the question while a download runs (FormCloseQuery), then the close
// steps and the end of the process (FormClose). Features with work of their own add a guard
// (asked before closing; false keeps the window open) or a step (run before the end).
#include <QString>
#include <functional>
#include <vector>

#include "engine/core/core_types.h"

namespace engine {
class TSettings;
}

namespace app {

struct Services;

class CloseController {
  public:
    struct Hooks {
        std::function<engine::TDownloadStatus()> downloadStatus;
        std::function<engine::TZoomLevelArray()> zoomLevels;  // FZoomLevels
        std::function<engine::TMapType()> mapType;            // the shown layer
        std::function<void()> deletePageFiles;                // DeleteMapAPIFile(true)
        // The page engine lets go of its cache folder (CefCachePath), so that it can be
        // emptied before the process ends.
        std::function<void()> releasePageCache;
    };

    CloseController(engine::TSettings& settings, Services& services, Hooks hooks);

    void AddCloseGuard(std::function<bool()> guard) { guards_.push_back(std::move(guard)); }
    void AddCloseStep(std::function<void()> step) { steps_.push_back(std::move(step)); }

    // FormCloseQuery: true when the window may close.
    bool CloseQuery();
    // FormClose: stores the selection and layer, removes the page files, empties both cache
    // folders when asked to (the page engine's after it has let go of it), runs the
    // features' steps and ends the process with 0. A failing step is logged and the next
    // one runs.
    void Close();

  private:
    engine::TSettings& settings_;
    Services& services_;
    Hooks hooks_;
    std::vector<std::function<bool()>> guards_;
    std::vector<std::function<void()>> steps_;
};

}  // namespace app
