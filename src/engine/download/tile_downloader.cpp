#include "engine/download/tile_downloader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <exception>
#include <limits>
#include <system_error>

#include "engine/core/atomic_file.h"
#include "engine/core/catalogue.h"
#include "engine/core/number_format.h"
#include "engine/core/tile_math.h"
#include "engine/download/http_status_text.h"
#include "engine/download/tile_file.h"
#include "engine/download/tile_path.h"

namespace engine {
namespace {

HttpClientConfig ClientConfigFor(const DownloadSettings& settings) {
    ProxyConfig proxy;
    if (settings.ProxyType != 0 && !settings.ProxyHost.empty() && !settings.ProxyPort.empty()) {
        proxy.host = settings.ProxyHost;
        proxy.port = settings.ProxyPort;
        proxy.user = settings.ProxyUser;
        proxy.pass = settings.ProxyPass;
    }
    return WorkerClientConfig(settings.UserAgent, proxy);
}

TMapType ValidMapType(int index) {
    return index >= 0 && index < kMapTypeCount ? MapTypeOf(index) : TMapType::mtGoogleRoadMap;
}

}  // namespace

DownloadTask::DownloadTask(DownloadPlan plan, std::shared_ptr<UrlSettingsFeed> urls,
                           DownloadLogSink log)
    : plan_(std::move(plan)),
      cursor_(plan_.Bounds, plan_.MaxTiles),
      urls_(urls ? std::move(urls) : std::make_shared<UrlSettingsFeed>()),
      log_(std::move(log)) {}

void DownloadTask::Log(const std::string& message) const {
    if (!log_) {
        return;
    }
    try {
        log_(message, plan_.Settings.LogFileName);
    } catch (...) {
        // A log that cannot be written must not end a worker.
    }
}

void DownloadTask::WorkerFinished() {
    {
        std::lock_guard lock(mutex_);
        ++finishedWorkers_;
    }
    finished_.notify_all();
}

int DownloadTask::FinishedWorkers() const {
    std::lock_guard lock(mutex_);
    return finishedWorkers_;
}

bool DownloadTask::WaitForFinishedWorkers(int count, std::chrono::milliseconds timeout) const {
    std::unique_lock lock(mutex_);
    return finished_.wait_for(lock, timeout, [&] { return finishedWorkers_ >= count; });
}

TTileDownloader::TTileDownloader(std::shared_ptr<DownloadTask> task)
    : task_(std::move(task)),
      FHttp(ClientConfigFor(task_->Plan().Settings)),
      builder_(ValidMapType(task_->Plan().Settings.MapTypeIndex)),
      FMapType(ValidMapType(task_->Plan().Settings.MapTypeIndex)),
      FOutPutDirectory(task_->Plan().Settings.OutPutDirectory),
      FFailedTryTimes(task_->Plan().Settings.FailedTryTimes),
      FDownloadDelay(task_->Plan().Settings.DownloadDelay),
      FLogFile(task_->Plan().Settings.LogFileName),
      FForceOverWrite(task_->Plan().Settings.OverWriteDownload),
      F404Image(task_->Plan().SubstituteImage) {
    // Pause and terminate cut a request short, so neither waits for a slow server.
    FHttp.SetAbortCheck([this] { return ShouldHalt(); });
}

TTileDownloader::~TTileDownloader() {
    Terminate();
    WaitFor();
}

void TTileDownloader::Start() {
    {
        std::lock_guard lock(mutex_);
        run_ = true;
        running_.store(true, std::memory_order_release);
    }
    signal_.notify_all();
    if (!started_ && !Terminated()) {
        started_ = true;
        thread_ = std::thread([this] { Execute(); });
    }
}

void TTileDownloader::Stop() {
    {
        std::lock_guard lock(mutex_);
        run_ = false;
        running_.store(false, std::memory_order_release);
    }
    signal_.notify_all();
}

bool TTileDownloader::Active() const {
    std::lock_guard lock(mutex_);
    return run_;
}

void TTileDownloader::Terminate() {
    {
        std::lock_guard lock(mutex_);
        terminated_.store(true, std::memory_order_release);
    }
    signal_.notify_all();
}

void TTileDownloader::WaitFor() {
    if (thread_.joinable()) {
        thread_.join();
    }
}

bool TTileDownloader::ShouldHalt() const {
    return !running_.load(std::memory_order_relaxed) || terminated_.load(std::memory_order_relaxed);
}

bool TTileDownloader::WaitForSignal() {
    std::unique_lock lock(mutex_);
    signal_.wait_for(lock, FWaitTime, [this] { return run_ || Terminated(); });
    return run_ && !Terminated();
}

bool TTileDownloader::SleepWhileRunning(std::chrono::milliseconds duration) {
    std::unique_lock lock(mutex_);
    return !signal_.wait_for(lock, duration, [this] { return !run_ || Terminated(); });
}

bool TTileDownloader::WaitForResume() {
    while (!Terminated()) {
        if (WaitForSignal()) {
            return true;
        }
    }
    return false;
}

void TTileDownloader::Execute() {
    while (!Terminated()) {
        if (WaitForSignal()) {
            TTile tile;
            if (GetNextTile(tile)) {
                std::filesystem::path fileName;
                GetTile(tile, fileName);
            }
        }
        if (TaskFinished() && Active()) {
            Stop();
        }
    }
}

bool TTileDownloader::GetNextTile(TTile& tile) {
    if (task_->Cursor().GetNextTile(tile)) {
        return true;
    }
    if (!taskFinished_.exchange(true, std::memory_order_acq_rel)) {
        task_->WorkerFinished();
    }
    return false;
}

TileUrls TTileDownloader::BuildUrls(const TTile& tile) {
    const std::uint64_t generation = task_->Urls().Generation();
    if (generation != urlGeneration_) {
        urlSettings_ = task_->Urls().Get();
        urlGeneration_ = generation;
    }
    return builder_.BuildTileUrl(tile, urlSettings_);
}

void TTileDownloader::Report(bool succeed, std::int64_t size, int resultCode) {
    if (!onProgress_) {
        return;
    }
    const auto clamped = static_cast<std::int32_t>(
        std::min<std::int64_t>(size, std::numeric_limits<std::int32_t>::max()));
    onProgress_(succeed, clamped, resultCode);
}

bool TTileDownloader::FindExisting(const std::filesystem::path& path, std::int64_t& size) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return false;
    }
    size = static_cast<std::int64_t>(info.st_size);
    return true;
}

bool TTileDownloader::WriteTile(const std::filesystem::path& path, const std::string& body) {
    return StoreTileFile(path, body);
}

TTileDownloader::Fetch TTileDownloader::HttpGetImage(const std::string& url, std::string& response,
                                                     bool& imageNotFound, int& resultCode) {
    HttpResponse answer = FHttp.Get(url);
    if (answer.aborted) {
        return Fetch::Halted;
    }
    if (!answer.transferred) {
        // No answer, a time-out or a body cut short: the status of a missing answer. The reason
        // is logged once per tile, so endless retries against a dead server cannot flood the log.
        if (!transportErrorLogged_) {
            transportErrorLogged_ = true;
            task_->Log(answer.error.empty() ? std::string("no HTTP answer") : answer.error);
        }
        resultCode = 500;
        return Fetch::Answered;
    }
    if (!answer.body.empty()) {
        response = std::move(answer.body);
    }
    resultCode = answer.status;
    if (resultCode == 400 || resultCode == 404) {
        imageNotFound = true;
    }
    return Fetch::Answered;
}

bool TTileDownloader::GetTile(const TTile& tile, std::filesystem::path& fileName) {
    bool saved = false;
    bool reported = false;
    int status = 200;
    try {
        TImgType type = DefaultImgType(FMapType);
        TileUrls urls = BuildUrls(tile);
        for (int pass = 0; pass < 2; ++pass) {
            const std::string_view folder =
                pass == 0 ? MapTileFolders[Ord(FMapType)] : MapOverlayFolders[Ord(FMapType)];
            std::string url = pass == 0 ? urls.Base : urls.Overlay;
            if (url.empty() && pass == 1) {
                // No overlay for this layer or zoom: the base tile is the last one, and there
                // is nothing on disk to look for.
                break;
            }
            // The folder is resolved once per pass; only the file name changes with the type.
            const std::filesystem::path tileFolder =
                TileFolderPath(FOutPutDirectory, folder, tile.z, tile.x);
            const auto pathFor = [&](TImgType t) {
                std::string name = FormatInt(tile.y);
                name += ImgFileExt(t);
                return tileFolder / name;
            };
            saved = false;
            status = 200;
            fileName = pathFor(type);

            if (!FForceOverWrite) {
                std::int64_t size = 0;
                bool found = FindExisting(fileName, size);
                // An overlay may have been stored under either extension (its type is only known
                // from its body), so both are looked for before it is fetched again.
                if (!found && pass == 1) {
                    for (const TImgType other : {TImgType::itPNG, TImgType::itJPG}) {
                        if (other != type && FindExisting(pathFor(other), size)) {
                            fileName = pathFor(other);
                            found = true;
                            break;
                        }
                    }
                }
                if (found) {
                    saved = true;
                    if (pass == 0) {
                        reported = true;
                        Report(true, size, 200);
                    }
                    continue;
                }
            }

            if (url.empty()) {
                // No base URL for this address: it still counts as one failed tile.
                reported = true;
                Report(false, 0, status);
                break;
            }

            int tries = 0;
            transportErrorLogged_ = false;
            bool imageNotFound = false;
            bool gaveUp = false;
            bool resumed = false;
            while (!saved && (FFailedTryTimes == 0 || tries < FFailedTryTimes) && !imageNotFound) {
                if (tries > 0 && FDownloadDelay > 0 && !resumed) {
                    if (!SleepWhileRunning(std::chrono::seconds(FDownloadDelay)) &&
                        !WaitForResume()) {
                        gaveUp = true;
                        break;
                    }
                    // A new random server for the next try.
                    urls = BuildUrls(tile);
                    const std::string& fresh = pass == 0 ? urls.Base : urls.Overlay;
                    if (!fresh.empty()) {
                        url = fresh;
                    }
                }
                resumed = false;
                status = 200;
                FImageStream.clear();
                if (HttpGetImage(url, FImageStream, imageNotFound, status) == Fetch::Halted) {
                    // Paused or terminated mid-request: the try does not count; the same
                    // address is taken up again after Start.
                    if (!WaitForResume()) {
                        gaveUp = true;
                        break;
                    }
                    imageNotFound = false;
                    resumed = true;
                    continue;
                }
                if (FMapType == TMapType::mtSosoRoadMap && (status == 302 || imageNotFound) &&
                    !F404Image.empty()) {
                    // The whole body becomes the substitute tile, never a mix of both.
                    FImageStream = F404Image;
                }
                type = DetectImgType(FImageStream);
                if (type != TImgType::itError) {
                    fileName = pathFor(type);
                    saved = WriteTile(fileName, FImageStream);
                }
                ++tries;
            }

            if (pass == 0) {
                reported = true;
                Report(saved, static_cast<std::int64_t>(FImageStream.size()), status);
                if (!saved && !gaveUp) {
                    task_->Log(status == 200 ? std::string("200 Image error")
                                             : FormatInt(status) + " " + HttpStatusText(status));
                }
            }
            if (gaveUp) {
                break;
            }
        }
    } catch (const std::exception& error) {
        task_->Log(std::string("TTileDownloader.GetTile:") + error.what());
        if (!reported) {
            Report(false, 0, status);
        }
        return false;
    } catch (...) {
        task_->Log("TTileDownloader.GetTile:");
        if (!reported) {
            Report(false, 0, status);
        }
        return false;
    }
    return saved;
}

}  // namespace engine
