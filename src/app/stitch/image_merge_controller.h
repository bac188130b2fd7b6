#pragma once
// The logic of the stitch dialog without a widget: what each control shows and whether it is
// enabled, the handlers of its controls, and one stitching worker whose events arrive as
// queued calls on this object's thread. The dialog copies State() onto its widgets whenever
// changed() is emitted and forwards the user's edits to the setters.
#include <QObject>
#include <QString>
#include <array>
#include <memory>
#include <optional>
#include <string>

#include "engine/core/core_types.h"
#include "engine/core/utilities.h"
#include "raster/combine/combine_tile.h"

namespace engine {
class TSettings;
class TProfiles;
}  // namespace engine

namespace app {
struct Services;
}

namespace rasterui {

inline constexpr int kImageTypeCount = 9;
inline constexpr int kCompressCount = 5;
inline constexpr int kQualityPresetCount = 4;

// Texts of the dialog's lists, in list order.
const std::array<const char*, kImageTypeCount>& ImageTypeNames();
const std::array<const char*, kCompressCount>& CompressDisplayNames();
const std::array<const char*, kCompressCount>& CompressNames();  // stored in CompressName
const std::array<const char*, kQualityPresetCount>& QualityPresetNames();
const std::array<int, kQualityPresetCount>& QualityPresetValues();

// The quality edit's rule: the text the edit ends with and the preset selected (-1: none).
struct QualityChoice {
    QString text;
    int preset = -1;
};
QualityChoice ApplyQualityText(const QString& text);

struct ZoomItemState {
    bool enabled = false;
    bool checked = false;
};

// Everything the dialog shows.
struct ImageMergeState {
    QString projectName;  // edtProjectName
    QString tilePath;     // edtTilePath
    std::array<ZoomItemState, engine::kZoomLevelCount> zoomLevels{};
    QString outputDir;  // edtCombineImageOutPutDir
    int imageType = 3;  // cbbImageType
    bool writeWorldFile = true;
    bool writeWorldFileEnabled = true;
    engine::TColor colour = 0xFFFFFF;
    bool colourEnabled = true;
    bool rectangle = true;
    bool rectangleEnabled = false;
    bool forceShutDown = false;
    int compressIndex = 1;
    bool compressEnabled = true;
    bool offsetMap = false;  // chkOffsetMap, never enabled
    QString offsetX = QStringLiteral("0");
    QString offsetY = QStringLiteral("0");
    QString imageQuality = QStringLiteral("80");
    bool qualityEnabled = true;  // edtImageQuality and cbbLevels
    int qualityPreset = 2;       // cbbLevels, -1: none
    bool progressVisible = false;
    qint64 progressMaximum = 0;
    qint64 progressPosition = 0;
    QString counterText = QStringLiteral("[0/0]");  // txtProcess
    bool startVisible = true;
    bool cancelVisible = false;
};

// The values a start writes into the settings, in the order it writes them.
struct StartSettings {
    bool isWriteWorldFile = true;
    bool offsetMap = false;
    engine::TColor noDataValue = 0;
    int compressTypeIndex = 0;
    std::string compressName;
    int imageQuality = 80;
    bool byRectangle = true;
    double latitudeOffset = 1.0;
    double longitudeOffset = 1.0;
};

class ImageMergeController : public QObject {
    Q_OBJECT

  public:
    // `profilesFolder` is where the task-file dialog starts.
    ImageMergeController(engine::TSettings& settings, const app::Services& services,
                         QString profilesFolder, QObject* parent = nullptr);
    // Asks a running worker to stop and waits for it.
    ~ImageMergeController() override;

    const ImageMergeState& State() const { return state_; }
    const engine::TZoomLevelArray& ChosenZoomLevels() const { return FZoomLevels; }
    const QString& OutFileName() const { return FOutFileName; }

    // A run is alive from its start until its end event (cancelled or not).
    bool RunAlive() const { return runAlive_; }
    // FIsCombining: the run has not reported its cancellation or end yet.
    bool IsCombining() const { return FIsCombining; }

    // actImageCombine's enabled state: task file and output folder exist, no run alive, and
    // no conversion holds the start back.
    bool CanStart() const;
    // actOpenOutPutDir's enabled state.
    bool CanOpenOutputDir() const;

    // FormShow: loads the task named by the settings and the options; does nothing while a
    // run is alive.
    void FormShow();
    // LoadTaskFile: false when the file does not exist or cannot be read.
    bool LoadTaskFile(const QString& fileName);

    void SelectTaskFile();   // btnSelectDir3Click
    void SelectTilePath();   // btn1Click
    void SelectOutputDir();  // btnSelectDir4Click

    void SetZoomChecked(int level, bool checked);   // chkZoomLevels
    void SetImageType(int index);                   // cbbImageTypeChange
    void SetQualityPreset(int index);               // cbbLevelsChange
    void SetImageQualityText(const QString& text);  // edtImageQualityChange
    void SetWriteWorldFile(bool checked);
    void SetColour(engine::TColor colour);
    void SetRectangle(bool checked);
    void SetForceShutDown(bool checked);
    void SetCompressIndex(int index);
    void SetOffsetX(const QString& text);
    void SetOffsetY(const QString& text);

    // The settings a start would write now.
    StartSettings CollectStartSettings() const;
    void Start();          // actImageCombineExecute
    void OpenOutputDir();  // actOpenOutPutDirExecute
    void Cancel();         // btnCancelClick
    // FormCloseQuery: true when the dialog may close (no run, or the run was asked to stop).
    bool QueryClose();
    // Before the process ends: a running worker stops and removes its unfinished output. The
    // only place where this thread waits for a worker.
    void StopRunAndWait();
    // FormClose: the dialog's choices back into the settings.
    void FormClose();

  signals:
    void changed();

  private:
    struct Run;
    class Relay;

    // The worker's events, on this object's thread; `run` names the worker that sent them.
    void OnBegin(int run, qint64 count, const QString& log);
    void OnProgress(int run, qint64 counter, bool cancelled);
    void OnConvertBegin(int run, const QString& log);
    void OnConvertCompleted(int run, const QString& log, const QString& output,
                            raster::CombineResult result);
    void OnShowInfo(int run, const QString& message);

    void ApplyImageTypeQualityRules();
    void LeaveRunningState();
    void WriteStartSettings(const StartSettings& s);
    bool AskCancel();

    engine::TSettings& settings_;
    const app::Services& services_;
    QString profilesFolder_;
    ImageMergeState state_;

    std::unique_ptr<engine::TProfiles> FProfiles;  // the loaded task
    QString FProjectName;
    engine::TZoomLevelArray FZoomLevels{};
    QString FOutFileName;
    bool FIgnoreAutoClose = false;
    bool FIsCombining = false;
    bool runAlive_ = false;
    bool asking_ = false;  // the cancel question is open
    bool converting_ = false;
    int runId_ = 0;
    std::unique_ptr<Run> run_;  // the current or last worker with what it reads
};

}  // namespace rasterui
