#pragma once
// The download worker: one thread with its own HTTP client (kept-alive connection) that takes
// tile addresses from its task's cursor, fetches the base tile and, for layers with labels, the
// overlay tile, detects the image type, stores the tiles in the tile folder tree and reports
// the base tile of every address once through the progress callback.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "engine/core/core_types.h"
#include "engine/download/download_plan.h"
#include "engine/download/tile_cursor.h"
#include "engine/download/url_builder.h"
#include "engine/net/http_client.h"

namespace engine {

// What the workers of one task share: its plan, its cursor, the URL settings and the log.
class DownloadTask {
  public:
    DownloadTask(DownloadPlan plan, std::shared_ptr<UrlSettingsFeed> urls, DownloadLogSink log);

    const DownloadPlan& Plan() const { return plan_; }
    TileCursor& Cursor() { return cursor_; }
    const UrlSettingsFeed& Urls() const { return *urls_; }
    // Appends a line to the task's log; a failing sink never reaches the worker.
    void Log(const std::string& message) const;

    // Workers count themselves out here when the cursor has passed the last level.
    void WorkerFinished();
    int FinishedWorkers() const;
    // Blocks until `count` workers have finished or `timeout` passed; true when they have.
    bool WaitForFinishedWorkers(int count, std::chrono::milliseconds timeout) const;

  private:
    DownloadPlan plan_;
    TileCursor cursor_;
    std::shared_ptr<UrlSettingsFeed> urls_;
    DownloadLogSink log_;
    mutable std::mutex mutex_;
    mutable std::condition_variable finished_;
    int finishedWorkers_ = 0;
};

class TTileDownloader {
  public:
    // Created paused: the thread starts at the first Start. The settings are those of the plan,
    // copied now; the URL settings are read again for every tile.
    explicit TTileDownloader(std::shared_ptr<DownloadTask> task);
    // Terminates the worker and waits for its thread; an abort ends a request in hand promptly.
    ~TTileDownloader();
    TTileDownloader(const TTileDownloader&) = delete;
    TTileDownloader& operator=(const TTileDownloader&) = delete;

    // Sets the run switch and, the first time, starts the thread.
    void Start();
    // Clears the run switch. A request in hand is cut off and its address is kept; the worker
    // waits and goes on with that same address after the next Start.
    void Stop();
    bool Active() const;
    // Ends the worker: an address in hand is given up (reported as not saved). Returns at once.
    void Terminate();
    bool Terminated() const { return terminated_.load(std::memory_order_acquire); }
    // Waits for the thread to end (after Terminate).
    void WaitFor();

    bool TaskFinished() const { return taskFinished_.load(std::memory_order_acquire); }
    int Tag() const { return tag_; }
    void SetTag(int tag) { tag_ = tag; }
    // Set before Start; called on the worker's thread.
    void SetOnDownloadProgress(TDownloadProgressEvent handler) { onProgress_ = std::move(handler); }

    // One cursor step; true when it gave an address.
    bool GetNextTile(TTile& tile);
    // Fetches and stores one address in both passes; true when the last pass saved its tile,
    // whose path is left in `fileName`.
    bool GetTile(const TTile& tile, std::filesystem::path& fileName);

  private:
    enum class Fetch { Answered, Halted };

    void Execute();
    // Waits up to the wait slice for the run switch; true when it is set and not terminated.
    bool WaitForSignal();
    // Sleeps `duration` unless the worker is paused or terminated first; true when it slept.
    bool SleepWhileRunning(std::chrono::milliseconds duration);
    // After a pause cut a try short: waits for Start (true) or Terminate (false).
    bool WaitForResume();
    bool ShouldHalt() const;

    Fetch HttpGetImage(const std::string& url, std::string& response, bool& imageNotFound,
                       int& resultCode);
    bool FindExisting(const std::filesystem::path& path, std::int64_t& size);
    bool WriteTile(const std::filesystem::path& path, const std::string& body);
    TileUrls BuildUrls(const TTile& tile);
    void Report(bool succeed, std::int64_t size, int resultCode);

    std::shared_ptr<DownloadTask> task_;
    HttpClient FHttp;
    TileUrlBuilder builder_;

    // The settings copied at creation.
    TMapType FMapType;
    std::filesystem::path FOutPutDirectory;
    std::int32_t FFailedTryTimes;
    std::int32_t FDownloadDelay;
    std::string FLogFile;
    bool FForceOverWrite;
    const std::string& F404Image;

    UrlSettings urlSettings_;
    std::uint64_t urlGeneration_ = 0;
    std::string FImageStream;
    bool transportErrorLogged_ = false;  // for the tile in hand

    const std::chrono::milliseconds FWaitTime{500};
    mutable std::mutex mutex_;
    std::condition_variable signal_;
    bool run_ = false;  // the run switch, under mutex_
    std::atomic<bool> running_{false};
    std::atomic<bool> terminated_{false};
    std::atomic<bool> taskFinished_{false};
    std::thread thread_;
    bool started_ = false;
    int tag_ = 0;
    TDownloadProgressEvent onProgress_;
};

}  // namespace engine
