#pragma once
// The workers of the running download task. The pool owns them: a new task first ends and
// joins the workers of the previous one, so no worker or report of an older task outlives it.
#include <chrono>
#include <memory>
#include <vector>

#include "engine/download/download_plan.h"
#include "engine/download/tile_downloader.h"

namespace engine {

class TileDownloadPool {
  public:
    static constexpr int kMaxThreads = 80;

    explicit TileDownloadPool(DownloadLogSink log = {});
    // Ends and joins every worker.
    ~TileDownloadPool();
    TileDownloadPool(const TileDownloadPool&) = delete;
    TileDownloadPool& operator=(const TileDownloadPool&) = delete;

    // Ends the previous task's workers, then creates `threadCount` workers (kept within 1 to
    // 80) over a fresh cursor of `plan` and starts them. `urls` is read again for every tile;
    // without one the defaults apply.
    void StartTask(DownloadPlan plan, int threadCount, TDownloadProgressEvent progress,
                   std::shared_ptr<UrlSettingsFeed> urls = nullptr);

    // Pause and resume of every worker (their run switches). A pause takes effect within the
    // wait slice even during delays, retries and slow requests.
    void Pause();
    void Resume();
    // Ends the workers and waits for them; a no-op without a task.
    void Terminate();

    int ThreadCount() const { return static_cast<int>(workers_.size()); }
    // True when every worker has passed the last address (or there is no worker).
    bool AllThreadsFinished() const;
    // Waits until AllThreadsFinished or `timeout`; true when finished.
    bool WaitUntilFinished(std::chrono::milliseconds timeout) const;
    // The running task's cursor; nullptr without a task.
    const TileCursor* Cursor() const;

  private:
    DownloadLogSink log_;
    std::shared_ptr<DownloadTask> task_;
    std::vector<std::unique_ptr<TTileDownloader>> workers_;
};

}  // namespace engine
