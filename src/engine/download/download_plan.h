#pragma once
// What one download task needs, fixed when it starts: the tile rectangles, the layer, the
// folders and the per-task settings the workers copy at creation. Every task gets its own plan
// and cursor, so a worker of an older task can never take an address of a newer one.
#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <mutex>
#include <string>

#include "engine/core/core_types.h"
#include "engine/download/url_builder.h"

namespace engine {

// The worker's progress callback, run on the worker's thread once for the base tile of every
// address: saved (or already on disk), bytes of the body or of the file on disk, last status.
using TDownloadProgressEvent =
    std::function<void(bool Succeed, std::int32_t Size, std::int32_t ResultCode)>;

// Appends one line to a log file (an empty file name selects the daily log). It must not
// throw; the workers guard against it anyway.
using DownloadLogSink = std::function<void(const std::string& message, const std::string& file)>;

// The settings a worker copies when it is created; later changes do not reach it.
struct DownloadSettings {
    std::filesystem::path OutPutDirectory;
    int MapTypeIndex = 3;
    int FailedTryTimes = 10;  // tries per tile; 0: no limit
    bool OverWriteDownload = false;
    std::string LogFileName;  // empty: the daily log
    int DownloadDelay = 3;    // seconds before each try after the first
    std::string UserAgent;
    int ProxyType = 0;  // 0: no proxy
    std::string ProxyHost;
    std::string ProxyPort;
    std::string ProxyUser;
    std::string ProxyPass;
};

// The URL settings are read again for every tile (a version probe may change them while a task
// runs). The owner publishes new values here; workers copy them only when the generation moved,
// so the per-tile cost is one atomic load.
class UrlSettingsFeed {
  public:
    explicit UrlSettingsFeed(UrlSettings initial = {}) : settings_(std::move(initial)) {}

    void Set(UrlSettings settings) {
        std::lock_guard lock(mutex_);
        settings_ = std::move(settings);
        generation_.fetch_add(1, std::memory_order_release);
    }
    std::uint64_t Generation() const { return generation_.load(std::memory_order_acquire); }
    UrlSettings Get() const {
        std::lock_guard lock(mutex_);
        return settings_;
    }

  private:
    mutable std::mutex mutex_;
    UrlSettings settings_;
    std::atomic<std::uint64_t> generation_{1};
};

struct DownloadPlan {
    TTileBounds Bounds;  // the task's tile rectangles (DownloadTileBounds)
    DownloadSettings Settings;
    // Bytes of the layer-11 substitute tile; empty disables the substitution.
    std::string SubstituteImage;
    // At most this many addresses are handed out (the task's capped total); negative: all.
    std::int64_t MaxTiles = -1;
};

}  // namespace engine
