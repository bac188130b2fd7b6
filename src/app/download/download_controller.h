#pragma once
// The download control of the main window without a widget: the area and level selection
// turned into tile rectangles and a count, the start, pause, resume and stop of a task over
// the worker pool, the counters the workers feed, the 500 ms task timer with its speeds and
// status texts, and the finish with the power-off question, the summary and the hand-over to
// stitching. The window copies the state onto its widgets from the signals and getters.
#include <QObject>
#include <QString>
#include <QTimer>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "engine/core/core_types.h"

namespace engine {
class TSettings;
class TileDownloadPool;
class UrlSettingsFeed;
}  // namespace engine

namespace app {

struct Services;
class TfspTaskbarMgr;
class IDownloadTaskStore;
class IStitchHandOver;
class TaskCounters;

// Which of the 22 level items are ticked and enabled, as the window's level list shows them.
using ZoomChecks = std::array<bool, engine::kZoomLevelCount>;

class DownloadController : public QObject {
    Q_OBJECT

  public:
    // The largest number of tiles one task fetches.
    static constexpr std::int64_t kMaxTaskTiles = 2147483647;
    static constexpr int kTimerIntervalMs = 500;

    // Everything passed by reference is owned by the window and outlives the controller.
    DownloadController(engine::TSettings& settings, Services& services, TfspTaskbarMgr& taskbar,
                       IDownloadTaskStore& taskStore, IStitchHandOver& stitch,
                       QObject* parent = nullptr);
    // Ends and joins the workers of the last task.
    ~DownloadController() override;

    // Inputs. The area: FLatLngArray, FCoordinates, FCoordCount (set by map events, task
    // loading and the place tree; none of them recounts by itself: call CalculateStart).
    void SetArea(std::vector<engine::TGLatLng> latLngs, QString coordinates, int coordCount);
    const std::vector<engine::TGLatLng>& LatLngs() const { return latLngs_; }
    const QString& Coordinates() const { return coordinates_; }
    int CoordCount() const { return coordCount_; }
    // Where CalculateStart reads the level list (the window's chkZoomLevels); none: no level.
    void SetZoomLevelSource(std::function<ZoomChecks()> source);

    // Actions.
    void CalculateStart();  // recount after a change of area, levels or layer
    void Start();           // actDownLoadStartExecute
    void PauseOrResume();   // actDownLoadPauseExecute
    void Stop();            // actDownLoadStopExecute
    void Tick();            // tmrCheckTaskTimer (the controller's own timer calls it)
    // The settings the tile URLs are built from may have changed (the settings dialog, a
    // tile-version update): the workers of the running or paused task take the stored values
    // from their next tile on, but for the TianDiTu grid and the big-font form, which the
    // task's rectangles depend on. The other download settings stay as the task started.
    void UrlSettingsChanged();

    // Action states.
    bool CanStart() const;          // actDownLoadStartUpdate
    bool CanPauseOrResume() const;  // actDownLoadPauseUpdate
    bool CanStop() const;           // actDownLoadStopUpdate
    QString PauseCaption() const;   // "暂停", or "继续" while paused
    // Downloading or paused: the download settings, task save, load and delete are disabled.
    bool TaskActive() const;

    // State.
    engine::TDownloadStatus Status() const { return status_; }
    engine::TDownloadInfo Counters() const;
    bool HasSelectedZoomLevel() const;
    const engine::TZoomLevelArray& ZoomLevels() const { return zoomLevels_; }
    // The rectangles and count of the last recount (or start).
    const engine::TTileBounds& TileBounds() const { return tileBounds_; }
    std::int64_t TileCount() const { return tileCount_; }
    // The running (or last) task's count after the cap (DownloadTileCount).
    std::int64_t DownloadTileCount() const { return downloadTileCount_; }
    int ThreadCount() const { return threadCount_; }
    bool TimerActive() const { return timer_.isActive(); }
    // The task file the current (or last) task was saved to.
    const QString& TaskFile() const { return taskFile_; }

    // The status-bar progress bar and the status panels.
    bool ProgressVisible() const { return progressVisible_; }
    int ProgressValue() const { return progressValue_; }
    int ProgressMaximum() const { return progressMaximum_; }
    const QString& TileCountText() const { return tileCountText_; }  // lblTileCount
    const QString& StatusText() const { return statusText_; }        // status panel 0
    const QString& ProgressText() const { return progressText_; }    // status panel 1

    // The cap is a constant of the program; tests lower it to see a capped task end.
    void SetMaxTaskTiles(std::int64_t maxTiles) { maxTaskTiles_ = maxTiles; }

  signals:
    // The state moved: download button, pause caption, settings button, task actions.
    void stateChanged();
    void progressChanged(int value, int maximum);
    void progressVisibleChanged(bool visible);
    void tileCountTextChanged(const QString& text);
    // The area changed: the start follows whether there is one.
    void areaChanged();
    // A recount took the selection from the level list: ticked and enabled levels only, so a
    // level the layer does not offer leaves the selection (FZoomLevels) a task is saved with.
    void zoomLevelsChanged(const engine::TZoomLevelArray& levels);
    void statusTextsChanged(const QString& statusText, const QString& progressText);
    // LayoutStatusBar after a start.
    void statusBarLayoutRequested();
    // The task has ended and the window shows it stopped; emitted before the summary
    // question, if one follows. `stoppedByUser` for the stop action.
    void finished(bool stoppedByUser);

  private:
    void DownloadFinished(bool stoppedByUser);
    void FinishTask(bool stoppedByUser);
    void EndTask();
    void SetStatus(engine::TDownloadStatus status);
    void SetTileCountText(const QString& text);
    void UpdateDownloadStatusText();
    void SetProgress(int value, int maximum);
    void SetProgressVisible(bool visible);
    void ResetSpeeds();
    std::int64_t StopwatchMs() const;
    void StartTimerFor(const std::shared_ptr<TaskCounters>& counters);
    void TickFor(const std::shared_ptr<TaskCounters>& counters);
    std::int64_t NowMs() const;
    bool CalculateSelectedBounds(engine::TTileBounds& bounds, std::int64_t& count) const;

    engine::TSettings& settings_;
    Services& services_;
    TfspTaskbarMgr& taskbar_;
    IDownloadTaskStore& taskStore_;
    IStitchHandOver& stitch_;

    std::vector<engine::TGLatLng> latLngs_;
    QString coordinates_;
    int coordCount_ = 0;
    std::function<ZoomChecks()> zoomSource_;
    // A recount was asked for while a task downloaded (a level ticked, a layer switched): it
    // runs once the task has ended, so the label and the next start follow the list.
    bool recountPending_ = false;

    engine::TDownloadStatus status_ = engine::TDownloadStatus::dsStopped;
    engine::TZoomLevelArray zoomLevels_{};
    engine::TTileBounds tileBounds_{};
    std::int64_t tileCount_ = 0;
    std::int64_t downloadTileCount_ = 0;
    std::int64_t maxTaskTiles_ = kMaxTaskTiles;
    int threadCount_ = 0;
    QString taskFile_;

    // Counters of the running task; a new task gets new ones, so reports of an older task
    // can never reach it.
    std::shared_ptr<TaskCounters> counters_;
    // The URL settings the workers of the current (or last) task read.
    std::shared_ptr<engine::UrlSettingsFeed> urls_;
    // FDownloadInfo: the task's total, the figures of the previous tick, the running time
    // and the speeds (the tile and byte counts live in `counters_`).
    engine::TDownloadInfo info_;
    std::int64_t eventsSeen_ = 0;
    std::int64_t activityMs_ = 0;  // Activity, on the clock's time line

    // FStopWatch over the injected clock: the time run before the last halt, and when it ran
    // on (negative: halted).
    std::int64_t stopwatchBankedMs_ = 0;
    std::int64_t stopwatchSinceMs_ = -1;

    bool progressVisible_ = false;
    int progressValue_ = 0;
    int progressMaximum_ = 0;
    QString tileCountText_;
    QString statusText_ = QStringLiteral("就绪..");
    QString progressText_;

    QTimer timer_;  // tmrCheckTask
    std::unique_ptr<engine::TileDownloadPool> pool_;
};

}  // namespace app
