#pragma once
// The start-up tile-version update. The two provider pages are fetched on a thread that nobody
// waits for, so that a slow site never holds up closing the window; what they give is stored
// on the owner's thread (the settings are not written from two threads at once), and `stored`
// runs after it, so that a running download takes the new versions. Once this object has gone,
// a late result is dropped.
#include <QObject>
#include <functional>
#include <memory>

#include "engine/download/tile_version_probe.h"

namespace engine {
class TSettings;
}

namespace app {

class TileVersionUpdate {
  public:
    // `fetch` defaults to the probe of both provider pages.
    using Fetch = std::function<engine::TileVersions()>;

    // `context` is the object whose thread stores the result; it and `settings` outlive this.
    TileVersionUpdate(QObject& context, engine::TSettings& settings, std::function<void()> stored,
                      Fetch fetch = {});
    ~TileVersionUpdate();
    TileVersionUpdate(const TileVersionUpdate&) = delete;
    TileVersionUpdate& operator=(const TileVersionUpdate&) = delete;

    void Start();

  private:
    struct Link;  // shared with the thread; cut when this object goes
    std::shared_ptr<Link> link_;
    Fetch fetch_;
};

}  // namespace app
