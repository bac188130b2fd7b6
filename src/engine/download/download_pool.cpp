#include "engine/download/download_pool.h"

#include <algorithm>

namespace engine {

TileDownloadPool::TileDownloadPool(DownloadLogSink log) : log_(std::move(log)) {}

TileDownloadPool::~TileDownloadPool() {
    Terminate();
}

void TileDownloadPool::StartTask(DownloadPlan plan, int threadCount,
                                 TDownloadProgressEvent progress,
                                 std::shared_ptr<UrlSettingsFeed> urls) {
    Terminate();
    task_ = std::make_shared<DownloadTask>(std::move(plan), std::move(urls), log_);
    const int count = std::clamp(threadCount, 1, kMaxThreads);
    workers_.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        auto worker = std::make_unique<TTileDownloader>(task_);
        worker->SetOnDownloadProgress(progress);
        worker->SetTag(i);
        workers_.push_back(std::move(worker));
    }
    for (auto& worker : workers_) {
        worker->Start();
    }
}

void TileDownloadPool::Pause() {
    for (auto& worker : workers_) {
        worker->Stop();
    }
}

void TileDownloadPool::Resume() {
    for (auto& worker : workers_) {
        worker->Start();
    }
}

void TileDownloadPool::Terminate() {
    // Every worker is told first, so that they all wind down at once, then each is joined.
    for (auto& worker : workers_) {
        worker->Terminate();
    }
    workers_.clear();
    task_.reset();
}

bool TileDownloadPool::AllThreadsFinished() const {
    return std::all_of(workers_.begin(), workers_.end(),
                       [](const auto& worker) { return worker->TaskFinished(); });
}

bool TileDownloadPool::WaitUntilFinished(std::chrono::milliseconds timeout) const {
    if (!task_) {
        return true;
    }
    return task_->WaitForFinishedWorkers(static_cast<int>(workers_.size()), timeout);
}

const TileCursor* TileDownloadPool::Cursor() const {
    return task_ ? &task_->Cursor() : nullptr;
}

}  // namespace engine
