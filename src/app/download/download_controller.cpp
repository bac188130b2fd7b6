#include "download_controller.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <limits>
#include <utility>

#include "app/services/page_wait.h"
#include "app/services/services.h"
#include "app/stitch/stitch_hand_over.h"
#include "app/taskbar/taskbar_progress.h"
#include "download_task_store.h"
#include "download_texts.h"
#include "engine/download/download_pool.h"
#include "engine/download/download_settings.h"
#include "engine/download/installed_data.h"
#include "engine/log/logger.h"
#include "engine/net/user_agents.h"
#include "engine/settings/settings.h"
#include "engine/tasks/profiles.h"
#include "task_counters.h"
#include "tile_bounds.h"

namespace app {

using engine::TDownloadStatus;

namespace {

constexpr std::int64_t kIdleEndMs = 30LL * 60 * 1000;

int ClampToInt(std::int64_t value) {
    return static_cast<int>(std::clamp<std::int64_t>(value, 0, std::numeric_limits<int>::max()));
}

std::int32_t ClampSpeed(std::int64_t value) {
    return static_cast<std::int32_t>(
        std::clamp<std::int64_t>(value, 0, std::numeric_limits<std::int32_t>::max()));
}

}  // namespace

DownloadController::DownloadController(engine::TSettings& settings, Services& services,
                                       TfspTaskbarMgr& taskbar, IDownloadTaskStore& taskStore,
                                       IStitchHandOver& stitch, QObject* parent)
    : QObject(parent),
      settings_(settings),
      services_(services),
      taskbar_(taskbar),
      taskStore_(taskStore),
      stitch_(stitch),
      pool_(std::make_unique<engine::TileDownloadPool>(engine::LoggerSink())) {
    timer_.setParent(this);
    timer_.setObjectName(QStringLiteral("tmrCheckTask"));
    timer_.setInterval(kTimerIntervalMs);
    connect(&timer_, &QTimer::timeout, this, &DownloadController::Tick);
}

DownloadController::~DownloadController() {
    // The workers report into this object; they end before it goes.
    pool_.reset();
}

void DownloadController::SetArea(std::vector<engine::TGLatLng> latLngs, QString coordinates,
                                 int coordCount) {
    latLngs_ = std::move(latLngs);
    coordinates_ = std::move(coordinates);
    coordCount_ = coordCount;
    emit areaChanged();
}

void DownloadController::SetZoomLevelSource(std::function<ZoomChecks()> source) {
    zoomSource_ = std::move(source);
}

bool DownloadController::HasSelectedZoomLevel() const {
    return std::any_of(zoomLevels_.begin(), zoomLevels_.end(),
                       [](const engine::TZoomLevelItem& item) { return item.Checked; });
}

// CalculateStart
void DownloadController::CalculateStart() {
    if (status_ == TDownloadStatus::dsDownloading) {
        recountPending_ = true;
        return;
    }
    recountPending_ = false;
    if (coordCount_ == 0)
        return;
    const ZoomChecks checks = zoomSource_ ? zoomSource_() : ZoomChecks{};
    for (int i = 0; i < engine::kZoomLevelCount; ++i)
        zoomLevels_[i].Checked = checks[i];
    settings_.SetStrSetting(engine::StrSetting::SelectedZoomLevels,
                            engine::TProfiles::ZoomLevelArrayToStr(zoomLevels_));
    emit zoomLevelsChanged(zoomLevels_);
    if (!HasSelectedZoomLevel()) {
        SetTileCountText(QString());
        return;
    }
    engine::TTileBounds bounds;
    std::int64_t count = 0;
    if (!CalculateSelectedBounds(bounds, count)) {
        SetTileCountText(QString());
        services_.messages.ShowError(ProjectionFailedMessage());
        return;
    }
    tileBounds_ = std::move(bounds);
    tileCount_ = count;
    // A paused task keeps its own total and plan; the recount only changes the label.
    if (status_ == TDownloadStatus::dsStopped)
        info_.Total = count;

    std::int64_t cols = 0;
    std::int64_t rows = 0;
    for (const auto& bound : tileBounds_) {
        if (bound.Checked) {
            cols = std::int64_t{bound.MaxCol} - bound.MinCol + 1;
            rows = std::int64_t{bound.MaxRow} - bound.MinRow + 1;
        }
    }
    const engine::TMapType layer = services_.page.MapType();
    // The tiles the download fetches, on the Baidu layers too.
    SetTileCountText(app::TileCountText(
        cols, rows, count,
        GetTileSize(layer, settings_.GetBoolSetting(engine::BoolSetting::BigFontMode)),
        settings_.GetIntSetting(engine::IntSetting::PrintDPI)));
}

// actDownLoadStartExecute
void DownloadController::Start() {
    if (services_.pageWait.Busy()) {
        return;
    }
    if (coordCount_ == 0) {
        services_.messages.ShowInfo(NoAreaMessage());
        return;
    }
    if (!HasSelectedZoomLevel()) {
        services_.messages.ShowInfo(NoZoomLevelMessage());
        return;
    }
    const std::optional<TaskSaved> saved = taskStore_.SaveTask();
    if (!saved)
        return;
    // The save may have asked a question; only a stopped task starts.
    if (status_ != TDownloadStatus::dsStopped)
        return;

    engine::TTileBounds bounds;
    std::int64_t count = 0;
    if (!CalculateSelectedBounds(bounds, count)) {
        services_.messages.ShowError(ProjectionFailedMessage());
        return;
    }
    const engine::TMapType layer = services_.page.MapType();
    taskFile_ = saved->fileName;
    SetStatus(TDownloadStatus::dsDownloading);
    threadCount_ = std::clamp(settings_.GetIntSetting(engine::IntSetting::MaxThread), 1,
                              engine::TileDownloadPool::kMaxThreads);
    tileBounds_ = bounds;
    tileCount_ = count;
    const bool capped = count > maxTaskTiles_;
    downloadTileCount_ = capped ? maxTaskTiles_ : count;
    // The counters are new before anything can report, also before the cap message's nested
    // loop could run a late event of the previous task.
    if (counters_)
        counters_->Close();
    counters_ = std::make_shared<TaskCounters>(downloadTileCount_);
    info_.Total = downloadTileCount_;
    info_.PreviousSucceed = info_.PreviousFileSize = info_.PreviousElapsedMs = info_.ElapsedMs = 0;
    eventsSeen_ = 0;
    ResetSpeeds();
    if (capped)
        services_.messages.ShowInfo(CapMessage(count, maxTaskTiles_));

    // InitProgress
    taskbar_.SetProgressValueMax(ClampToInt(downloadTileCount_));
    taskbar_.SetProgressValue(0);
    SetProgress(0, ClampToInt(downloadTileCount_));
    SetProgressVisible(true);

    settings_.SetIntSetting(engine::IntSetting::MapTypeIndex, engine::Ord(layer));
    settings_.SetStrSetting(engine::StrSetting::LogFileName,
                            engine::TaskLogFileName(saved->name.toStdString()).string());
    settings_.SetStrSetting(engine::StrSetting::UserAgent, engine::kTileUserAgent);

    activityMs_ = NowMs();
    stopwatchBankedMs_ = 0;
    stopwatchSinceMs_ = NowMs();

    if (downloadTileCount_ > 0) {
        engine::DownloadPlan plan;
        plan.Bounds = bounds;
        plan.Settings = engine::DownloadSettingsFrom(settings_);
        plan.SubstituteImage = engine::LoadSubstituteImage();
        plan.MaxTiles = capped ? maxTaskTiles_ : -1;
        urls_ = std::make_shared<engine::UrlSettingsFeed>(engine::UrlSettingsFrom(settings_));
        const std::shared_ptr<TaskCounters> counters = counters_;
        // OnDownloadProgress, on the workers' threads.
        auto progress = [this, counters](bool succeed, std::int32_t size, std::int32_t code) {
            bool isLast = false;
            if (!counters->Add(succeed, size, code, isLast))
                return;
            if (counters->FirstTimerRequest()) {
                QMetaObject::invokeMethod(
                    this, [this, counters] { StartTimerFor(counters); }, Qt::QueuedConnection);
            }
            // The last tile ends the task now rather than at the next tick.
            if (isLast) {
                QMetaObject::invokeMethod(
                    this, [this, counters] { TickFor(counters); }, Qt::QueuedConnection);
            }
        };
        pool_->StartTask(std::move(plan), threadCount_, std::move(progress), urls_);
    }
    taskStore_.SaveTileBounds(bounds);

    if (downloadTileCount_ > 0)
        taskbar_.SetProgressState(TfspTaskProgressState::fstpsNormal);
    else
        DownloadFinished(false);
    emit statusBarLayoutRequested();
}

void DownloadController::UrlSettingsChanged() {
    if (!urls_)
        return;
    engine::UrlSettings next = engine::UrlSettingsFrom(settings_);
    // The task's tile rectangles and names were made on the grid and tile form these two
    // chose at its start; a tile of the other grid or form would land in the wrong place.
    const engine::UrlSettings started = urls_->Get();
    next.TiandituIndex = started.TiandituIndex;
    next.BigFontMode = started.BigFontMode;
    urls_->Set(std::move(next));
}

void DownloadController::StartTimerFor(const std::shared_ptr<TaskCounters>& counters) {
    if (counters != counters_ || status_ != TDownloadStatus::dsDownloading || timer_.isActive())
        return;
    activityMs_ = NowMs();
    timer_.start();
}

void DownloadController::TickFor(const std::shared_ptr<TaskCounters>& counters) {
    if (counters == counters_ && status_ == TDownloadStatus::dsDownloading)
        Tick();
}

// actDownLoadPauseExecute
void DownloadController::PauseOrResume() {
    if (status_ == TDownloadStatus::dsDownloading) {
        if (!services_.messages.AskYesNo(PauseQuestion()))
            return;
        // The question ran a nested loop: the task may have ended meanwhile.
        if (status_ != TDownloadStatus::dsDownloading)
            return;
        SetStatus(TDownloadStatus::dsPaused);
        taskbar_.SetProgressState(TfspTaskProgressState::fstpsNoProgress);
        timer_.stop();
        pool_->Pause();
        info_.ElapsedMs = StopwatchMs();
        stopwatchBankedMs_ = info_.ElapsedMs;
        stopwatchSinceMs_ = -1;
        UpdateDownloadStatusText();
    } else if (status_ == TDownloadStatus::dsPaused) {
        SetStatus(TDownloadStatus::dsDownloading);
        taskbar_.SetProgressState(TfspTaskProgressState::fstpsNormal);
        activityMs_ = NowMs();
        timer_.start();
        pool_->Resume();
        stopwatchSinceMs_ = NowMs();
        UpdateDownloadStatusText();
    }
}

// actDownLoadStopExecute
void DownloadController::Stop() {
    if (!CanStop())
        return;
    if (!services_.messages.AskYesNo(StopQuestion()))
        return;
    if (!TaskActive())
        return;
    SetStatus(TDownloadStatus::dsStopped);
    EndTask();
    DownloadFinished(true);
}

// Whatever ends a task stops its workers first and drops their later reports.
void DownloadController::EndTask() {
    if (counters_)
        counters_->Close();
    pool_->Pause();
}

// The rectangles and count of the selected levels over the area, on the shown layer's grid.
bool DownloadController::CalculateSelectedBounds(engine::TTileBounds& bounds,
                                                 std::int64_t& count) const {
    return CalculateTileBounds(zoomLevels_, latLngs_, services_.page.MapType(),
                               settings_.GetIndexSetting(engine::IntSetting::TiandituIndex), bounds,
                               count);
}

// tmrCheckTaskTimer
void DownloadController::Tick() {
    if (!counters_)
        return;
    info_.ElapsedMs = StopwatchMs();
    if (status_ == TDownloadStatus::dsDownloading) {
        const CounterTotals now = counters_->Totals();
        const std::int64_t events = now.Succeed + now.Failed;
        if (events != eventsSeen_) {
            eventsSeen_ = events;
            activityMs_ = NowMs();
        }
        const int position = ClampToInt(events);
        SetProgress(position, progressMaximum_);
        taskbar_.SetProgressValue(position);
        const bool idle = NowMs() - activityMs_ >= kIdleEndMs;
        const bool reached = position >= progressMaximum_;
        if (idle || reached || pool_->AllThreadsFinished()) {
            EndTask();
            SetStatus(TDownloadStatus::dsStopped);
        }
    }
    const CounterTotals totals = counters_->Totals();
    const std::int64_t succeed = totals.Succeed;
    const std::int64_t fileSize = totals.FileSize;
    std::int64_t bytes = 0;
    std::int64_t tiles = 0;
    if (status_ == TDownloadStatus::dsStopped) {
        bytes = fileSize;
        tiles = succeed;
    } else {
        bytes = fileSize - info_.PreviousFileSize;
        tiles = succeed - info_.PreviousSucceed;
    }
    if (bytes > 0) {
        tiles = std::max<std::int64_t>(tiles, 1);
        if (status_ != TDownloadStatus::dsStopped && info_.ElapsedMs > info_.PreviousElapsedMs) {
            // The last interval is half a second: its amount scaled to one second, so the
            // running speed says per second what it shows (and matches the task's average).
            const std::int64_t ms = info_.ElapsedMs - info_.PreviousElapsedMs;
            info_.Speed1 = ClampSpeed(bytes * 1000 / ms);
            info_.Speed2 = ClampSpeed(tiles * 1000 / ms);
        } else {
            // The whole task's average (or an interval the clock did not see pass), in whole
            // seconds, at least one.
            const std::int64_t wholeSeconds =
                status_ == TDownloadStatus::dsStopped ? info_.ElapsedMs / 1000 : 0;
            const std::int64_t seconds = std::max<std::int64_t>(wholeSeconds, 1);
            info_.Speed1 = ClampSpeed(bytes / seconds);
            info_.Speed2 = ClampSpeed(tiles / seconds);
        }
    } else {
        ResetSpeeds();  // nothing came in: the speed is 0, not the last one
    }
    UpdateDownloadStatusText();
    info_.PreviousElapsedMs = info_.ElapsedMs;
    info_.PreviousFileSize = fileSize;
    info_.PreviousSucceed = succeed;
    if (status_ == TDownloadStatus::dsStopped)
        DownloadFinished(false);
}

// DownloadFinished, then the recount that waited for the task's end (after the summary,
// which reports the task's own counts).
void DownloadController::DownloadFinished(bool stoppedByUser) {
    FinishTask(stoppedByUser);
    if (recountPending_ && status_ == TDownloadStatus::dsStopped)
        CalculateStart();
}

void DownloadController::FinishTask(bool stoppedByUser) {
    EndTask();
    SetStatus(TDownloadStatus::dsStopped);
    taskbar_.SetProgressState(TfspTaskProgressState::fstpsNoProgress);
    timer_.stop();
    if (stopwatchSinceMs_ >= 0) {
        info_.ElapsedMs = StopwatchMs();
        stopwatchBankedMs_ = info_.ElapsedMs;
        stopwatchSinceMs_ = -1;
    }
    SetProgressVisible(false);
    UpdateDownloadStatusText();
    if (downloadTileCount_ == 0 || stoppedByUser) {
        emit finished(stoppedByUser);
        return;
    }
    // The task saved at the start, whatever the task store holds by now.
    const QString taskFile = taskFile_;
    if (settings_.GetBoolSetting(engine::BoolSetting::AutoCombineImage)) {
        // The stitching asks the power-off question itself once it is done.
        stitch_.ShowImageCombiner(taskFile, true);
        emit finished(false);
        return;
    }
    if (settings_.GetBoolSetting(engine::BoolSetting::ForceShutDownWindows))
        services_.powerOff.AskAndPowerOff(PowerOffCaption());
    const engine::TDownloadInfo figures = Counters();
    emit finished(false);
    if (services_.messages.AskYesNo(SummaryText(figures)))
        stitch_.ShowImageCombiner(taskFile, true);
}

// Not while a step waits for the page: a task load has not switched to its layer yet.
bool DownloadController::CanStart() const {
    return status_ == TDownloadStatus::dsStopped && !coordinates_.isEmpty() &&
           !services_.pageWait.Busy();
}

bool DownloadController::CanPauseOrResume() const {
    return TaskActive();
}

bool DownloadController::CanStop() const {
    return TaskActive();
}

bool DownloadController::TaskActive() const {
    return status_ == TDownloadStatus::dsDownloading || status_ == TDownloadStatus::dsPaused;
}

QString DownloadController::PauseCaption() const {
    return status_ == TDownloadStatus::dsPaused ? QStringLiteral("继续") : QStringLiteral("暂停");
}

// The counters of the current (or last) task, read at one moment.
engine::TDownloadInfo DownloadController::Counters() const {
    engine::TDownloadInfo snapshot = info_;
    if (counters_) {
        const CounterTotals totals = counters_->Totals();
        snapshot.Succeed = totals.Succeed;
        snapshot.Failed = totals.Failed;
        snapshot.Failed_404 = totals.Failed_404;
        snapshot.FileSize = totals.FileSize;
    }
    return snapshot;
}

void DownloadController::SetStatus(TDownloadStatus status) {
    if (status == status_)
        return;
    status_ = status;
    emit stateChanged();
}

void DownloadController::SetTileCountText(const QString& text) {
    tileCountText_ = text;
    emit tileCountTextChanged(text);
}

// UpdateDownloadStatusText
void DownloadController::UpdateDownloadStatusText() {
    const engine::TDownloadInfo c = Counters();
    statusText_ = StatusPanelText(status_);
    progressText_ = ProgressPanelText(StopwatchMs(), c.Succeed, c.Failed, c.Total, c.FileSize,
                                      c.Speed1, c.Speed2);
    emit statusTextsChanged(statusText_, progressText_);
}

void DownloadController::SetProgress(int value, int maximum) {
    if (value == progressValue_ && maximum == progressMaximum_)
        return;
    progressValue_ = value;
    progressMaximum_ = maximum;
    emit progressChanged(value, maximum);
}

void DownloadController::SetProgressVisible(bool visible) {
    if (visible == progressVisible_)
        return;
    progressVisible_ = visible;
    emit progressVisibleChanged(visible);
}

void DownloadController::ResetSpeeds() {
    info_.Speed1 = 0;
    info_.Speed2 = 0;
}

std::int64_t DownloadController::NowMs() const {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               services_.clock.Now().time_since_epoch())
        .count();
}

std::int64_t DownloadController::StopwatchMs() const {
    if (stopwatchSinceMs_ < 0)
        return stopwatchBankedMs_;
    return stopwatchBankedMs_ + std::max<std::int64_t>(0, NowMs() - stopwatchSinceMs_);
}

}  // namespace app
