#include "image_merge_controller.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>
#include <filesystem>

#include "app/services/services.h"
#include "app/widgets/failure_message.h"
#include "app/widgets/path_text.h"
#include "app/widgets/typed_number.h"
#include "engine/core/number_format.h"
#include "engine/log/logger.h"
#include "engine/settings/settings.h"
#include "engine/tasks/profiles.h"
#include "geodata/boundary/boundary_store.h"
#include "raster/gdal_tool.h"

namespace rasterui {

namespace {

constexpr const char* kCancelQuestion = "正在拼接地图，要取消吗？";
constexpr const char* kDoneText = "拼接完毕.";
constexpr const char* kFailedText = "拼接失败.";
constexpr const char* kCancelledText = "拼接已取消.";
constexpr const char* kNoTilesText = "没有找到瓦片.";

bool FileExists(const QString& file) {
    return !file.isEmpty() && QFileInfo(file).isFile();
}

bool FolderExists(const QString& folder) {
    return !folder.isEmpty() && QFileInfo(folder).isDir();
}

void AddLog(const char* text, const QString& logFile) {
    if (!logFile.isEmpty()) {
        engine::AppendLog(text, ToPath(logFile));
    }
}

// "0.######": up to six decimals, no trailing zeros, "." always.
QString OffsetText(double value) {
    QString text = QString::fromStdString(engine::FormatFixed(value, 6));
    while (text.contains(u'.') && (text.endsWith(u'0') || text.endsWith(u'.'))) {
        const bool point = text.endsWith(u'.');
        text.chop(1);
        if (point) {
            break;
        }
    }
    return text == QStringLiteral("-0") ? QStringLiteral("0") : text;
}

static_assert(engine::IndexSettingRange(engine::IntSetting::OutImageIndex)->last ==
              kImageTypeCount - 1);
static_assert(engine::IndexSettingRange(engine::IntSetting::CompressTypeIndex)->last ==
              kCompressCount - 1);

}  // namespace

const std::array<const char*, kImageTypeCount>& ImageTypeNames() {
    static constexpr std::array<const char*, kImageTypeCount> kNames{
        "拼接 BMP 大图",     "拼接 JPEG 大图",         "拼接 PNG 大图",
        "拼接 GeoTIFF 大图", "导出 MBTiles SQLite",    "导出 OruxMaps SQLite",
        "导出 RMaps SQLite", "导出 Google Earth 瓦片", "导出 AcrGIS Server 缓存瓦片"};
    return kNames;
}

const std::array<const char*, kCompressCount>& CompressDisplayNames() {
    static constexpr std::array<const char*, kCompressCount> kNames{
        "JPEG", "LZW无损压缩", "PACKBITS", "DEFLATE", "无压缩"};
    return kNames;
}

const std::array<const char*, kCompressCount>& CompressNames() {
    static constexpr std::array<const char*, kCompressCount> kNames{"JPEG", "LZW", "PACKBITS",
                                                                    "DEFLATE", "NONE"};
    return kNames;
}

const std::array<const char*, kQualityPresetCount>& QualityPresetNames() {
    static constexpr std::array<const char*, kQualityPresetCount> kNames{"低", "中", "高", "最佳"};
    return kNames;
}

const std::array<int, kQualityPresetCount>& QualityPresetValues() {
    static constexpr std::array<int, kQualityPresetCount> kValues{30, 50, 80, 100};
    return kValues;
}

QualityChoice ApplyQualityText(const QString& text) {
    QualityChoice choice{text, -1};
    bool ok = false;
    int value = text.toInt(&ok);
    if (!ok) {
        value = 30;
    }
    if (ok && value == 0) {
        value = 30;
        choice.text = QStringLiteral("30");
    } else if (value > 100) {
        value = 100;
        choice.text = QStringLiteral("100");
    }
    const auto& presets = QualityPresetValues();
    for (int i = 0; i < kQualityPresetCount; ++i) {
        if (presets[i] == value) {
            choice.preset = i;
            return choice;
        }
    }
    for (int i = 0; i + 1 < kQualityPresetCount; ++i) {
        if (presets[i] < value && value < presets[i + 1]) {
            choice.preset = i;
            return choice;
        }
    }
    return choice;
}

// Forwards the worker's events, called on its thread, as queued calls to the controller. The
// run number lets the controller drop events of any worker but the current one.
class ImageMergeController::Relay final : public raster::ICombineEvents {
  public:
    Relay(ImageMergeController& controller, int run) : controller_(controller), run_(run) {}

    void Begin(std::int64_t count, const std::filesystem::path& log) override {
        Post([c = &controller_, r = run_, count, l = FromPath(log)] { c->OnBegin(r, count, l); });
    }
    void Progress(std::int64_t counter, bool cancelled) override {
        Post([c = &controller_, r = run_, counter, cancelled] {
            c->OnProgress(r, counter, cancelled);
        });
    }
    void ConvertBegin(const std::filesystem::path& log) override {
        Post([c = &controller_, r = run_, l = FromPath(log)] { c->OnConvertBegin(r, l); });
    }
    void ConvertCompleted(const std::filesystem::path& log, const std::filesystem::path& output,
                          raster::CombineResult result) override {
        Post([c = &controller_, r = run_, l = FromPath(log), o = FromPath(output), result] {
            c->OnConvertCompleted(r, l, o, result);
        });
    }
    // Queued like the others: the worker never waits for a person.
    void ShowInfo(const std::string& message) override {
        Post([c = &controller_, r = run_, m = QString::fromStdString(message)] {
            c->OnShowInfo(r, m);
        });
    }

  private:
    template <typename F>
    void Post(F&& call) {
        QMetaObject::invokeMethod(&controller_, std::forward<F>(call), Qt::QueuedConnection);
    }

    ImageMergeController& controller_;
    int run_;
};

// A worker with what it reads; members are destroyed worker first.
struct ImageMergeController::Run {
    std::unique_ptr<engine::TProfiles> task;
    std::unique_ptr<Relay> relay;
    std::unique_ptr<raster::TCombineTile> worker;
};

ImageMergeController::ImageMergeController(engine::TSettings& settings,
                                           const app::Services& services, QString profilesFolder,
                                           QObject* parent)
    : QObject(parent),
      settings_(settings),
      services_(services),
      profilesFolder_(std::move(profilesFolder)) {}

ImageMergeController::~ImageMergeController() = default;

bool ImageMergeController::CanStart() const {
    return !runAlive_ && !converting_ && FProfiles && FileExists(state_.projectName) &&
           FolderExists(state_.outputDir);
}

bool ImageMergeController::CanOpenOutputDir() const {
    return FolderExists(state_.outputDir);
}

// FormShow
void ImageMergeController::FormShow() {
    if (runAlive_) {
        return;  // the running worker keeps its task and options
    }
    const QString source =
        QString::fromStdString(settings_.GetStrSetting(engine::StrSetting::CombineImageSourceDir));
    if (FileExists(source)) {
        state_.projectName = source;
    }
    const QString outputDir =
        QString::fromStdString(settings_.GetStrSetting(engine::StrSetting::CombineImageOutPutDir));
    if (FolderExists(outputDir)) {
        state_.outputDir = outputDir;
    }
    FProjectName = state_.projectName;
    FProfiles.reset();
    state_.zoomLevels = {};
    LoadTaskFile(FProjectName);

    state_.forceShutDown = settings_.GetBoolSetting(engine::BoolSetting::ForceShutDownWindows);
    state_.imageType = settings_.GetIndexSetting(engine::IntSetting::OutImageIndex);
    state_.offsetMap = settings_.GetBoolSetting(engine::BoolSetting::OffsetMap);
    state_.writeWorldFile = settings_.GetBoolSetting(engine::BoolSetting::IsWriteWorldFile);
    const QualityChoice quality = ApplyQualityText(
        QString::number(settings_.GetIntSetting(engine::IntSetting::ImageQuality)));
    state_.imageQuality = quality.text;
    state_.qualityPreset = quality.preset;
    FIgnoreAutoClose = false;
    state_.compressIndex = settings_.GetIndexSetting(engine::IntSetting::CompressTypeIndex);
    state_.colour = settings_.GetIntSetting(engine::IntSetting::NoDataValue);
    ApplyImageTypeQualityRules();
    state_.rectangle = settings_.GetBoolSetting(engine::BoolSetting::ByRectangle);
    state_.offsetX = OffsetText(settings_.GetFloatSetting(engine::FloatSetting::LongitudeOffset));
    state_.offsetY = OffsetText(settings_.GetFloatSetting(engine::FloatSetting::LatitudeOffset));
    state_.counterText.clear();
    emit changed();
}

// TfrmImageMerge.LoadTaskFile
bool ImageMergeController::LoadTaskFile(const QString& fileName) {
    if (!FileExists(fileName)) {
        return false;
    }
    const std::filesystem::path file = ToPath(fileName);
    auto task = std::make_unique<engine::TProfiles>(file.parent_path());
    // A file that cannot be used leaves no task: a start never runs an earlier one under the
    // new file's name.
    FProfiles.reset();
    state_.zoomLevels = {};
    emit changed();
    const QString name = QFileInfo(fileName).completeBaseName();
    try {
        task->Load(file);
    } catch (const std::exception& e) {
        services_.messages.ShowError(
            app::FailureMessage(QStringLiteral("任务“%1”无法读取。").arg(name), e));
        return false;
    }
    const int layer = task->MapTypeIndex();
    if (layer < 0 || layer >= engine::kMapTypeCount) {
        services_.messages.ShowError(
            QStringLiteral("任务“%1”的地图类型 %2 无效，未加载。").arg(name).arg(layer));
        return false;
    }
    const auto& levels = task->ZoomLevels();
    for (int z = 0; z < engine::kZoomLevelCount; ++z) {
        state_.zoomLevels[z].enabled = levels[z].Checked;
        state_.zoomLevels[z].checked = levels[z].Checked;
    }
    state_.tilePath = QString::fromStdString(task->Directory());
    state_.rectangleEnabled = !geodata::TBoundary::IsRectangle(task->Coordinates());
    state_.writeWorldFileEnabled = true;
    FProfiles = std::move(task);
    emit changed();
    return true;
}

// btnSelectDir3Click
void ImageMergeController::SelectTaskFile() {
    int filterIndex = 1;
    const QString file = services_.fileDialogs.OpenFileName(
        QString(), profilesFolder_, QStringLiteral("任务文件|*.zeb"), filterIndex);
    if (file.isEmpty()) {
        return;
    }
    state_.projectName = file;
    FProjectName = file;
    LoadTaskFile(file);
    emit changed();
}

// btn1Click
void ImageMergeController::SelectTilePath() {
    const QString start = state_.tilePath.isEmpty() ? QDir::currentPath() : state_.tilePath;
    const QString folder = services_.fileDialogs.SelectFolder(QStringLiteral("地图路径"), start);
    if (folder.isEmpty()) {
        return;
    }
    state_.tilePath = folder;
    if (FProfiles) {
        FProfiles->SetDirectory(ToPath(folder).string());
    }
    emit changed();
}

// btnSelectDir4Click
void ImageMergeController::SelectOutputDir() {
    const QString start = state_.outputDir.isEmpty() ? QDir::currentPath() : state_.outputDir;
    const QString folder = services_.fileDialogs.SelectFolder(QStringLiteral("输出目录"), start);
    if (folder.isEmpty()) {
        services_.messages.ShowInfo(QStringLiteral("请选择一个目录。"));
        return;
    }
    state_.outputDir = folder;
    emit changed();
}

void ImageMergeController::SetZoomChecked(int level, bool checked) {
    if (level < 0 || level >= engine::kZoomLevelCount || !state_.zoomLevels[level].enabled) {
        return;
    }
    state_.zoomLevels[level].checked = checked;
    emit changed();
}

void ImageMergeController::ApplyImageTypeQualityRules() {
    state_.compressEnabled = state_.imageType == 3;
    state_.qualityEnabled = state_.imageType >= 1 && state_.imageType <= 3;
}

// cbbImageTypeChange
void ImageMergeController::SetImageType(int index) {
    if (index < 0 || index >= kImageTypeCount) {
        return;
    }
    state_.imageType = index;
    ApplyImageTypeQualityRules();
    state_.writeWorldFileEnabled = index < 4;
    state_.colourEnabled = index < 4;
    emit changed();
}

// cbbLevelsChange
void ImageMergeController::SetQualityPreset(int index) {
    if (index < 0 || index >= kQualityPresetCount) {
        return;
    }
    SetImageQualityText(QString::number(QualityPresetValues()[index]));
}

// edtImageQualityChange
void ImageMergeController::SetImageQualityText(const QString& text) {
    const QualityChoice choice = ApplyQualityText(text);
    state_.imageQuality = choice.text;
    state_.qualityPreset = choice.preset;
    emit changed();
}

void ImageMergeController::SetWriteWorldFile(bool checked) {
    state_.writeWorldFile = checked;
    emit changed();
}

void ImageMergeController::SetColour(engine::TColor colour) {
    state_.colour = colour;
    emit changed();
}

void ImageMergeController::SetRectangle(bool checked) {
    state_.rectangle = checked;
    emit changed();
}

void ImageMergeController::SetForceShutDown(bool checked) {
    state_.forceShutDown = checked;
    emit changed();
}

void ImageMergeController::SetCompressIndex(int index) {
    if (index >= 0 && index < kCompressCount) {
        state_.compressIndex = index;
        emit changed();
    }
}

void ImageMergeController::SetOffsetX(const QString& text) {
    state_.offsetX = text;
}

void ImageMergeController::SetOffsetY(const QString& text) {
    state_.offsetY = text;
}

StartSettings ImageMergeController::CollectStartSettings() const {
    StartSettings s;
    s.isWriteWorldFile = state_.writeWorldFile;
    s.offsetMap = false;  // the offset box is never enabled
    s.noDataValue = state_.colour;
    s.compressTypeIndex = std::clamp(state_.compressIndex, 0, kCompressCount - 1);
    s.compressName = CompressNames()[s.compressTypeIndex];
    bool ok = false;
    const int quality = state_.imageQuality.toInt(&ok);
    s.imageQuality = ok ? quality : 80;
    s.byRectangle = state_.rectangle;
    s.latitudeOffset = app::ReadTypedNumber(state_.offsetY).value_or(1.0);
    s.longitudeOffset = app::ReadTypedNumber(state_.offsetX).value_or(1.0);
    return s;
}

void ImageMergeController::WriteStartSettings(const StartSettings& s) {
    using engine::BoolSetting;
    using engine::FloatSetting;
    using engine::IntSetting;
    settings_.SetBoolSetting(BoolSetting::IsWriteWorldFile, s.isWriteWorldFile);
    settings_.SetBoolSetting(BoolSetting::OffsetMap, s.offsetMap);
    settings_.SetIntSetting(IntSetting::NoDataValue, s.noDataValue);
    settings_.SetIntSetting(IntSetting::CompressTypeIndex, s.compressTypeIndex);
    settings_.SetStrSetting(engine::StrSetting::CompressName, s.compressName);
    settings_.SetIntSetting(IntSetting::ImageQuality, s.imageQuality);
    settings_.SetBoolSetting(BoolSetting::ByRectangle, s.byRectangle);
    settings_.SetFloatSetting(FloatSetting::LatitudeOffset, s.latitudeOffset);
    settings_.SetFloatSetting(FloatSetting::LongitudeOffset, s.longitudeOffset);
}

// actImageCombineExecute
void ImageMergeController::Start() {
    if (!CanStart()) {
        // The folder may have gone since it was chosen (or the automatic stitch found none):
        // say so rather than do nothing.
        if (!runAlive_ && !converting_ && FProfiles && FileExists(state_.projectName)) {
            services_.messages.ShowWarning(
                state_.outputDir.isEmpty()
                    ? QStringLiteral("请选择输出目录。")
                    : QStringLiteral("输出目录不存在：%1").arg(state_.outputDir));
            emit changed();
        }
        return;
    }
    engine::TZoomLevelArray levels{};
    bool any = false;
    for (int z = 0; z < engine::kZoomLevelCount; ++z) {
        levels[z].Checked = state_.zoomLevels[z].enabled && state_.zoomLevels[z].checked;
        any = any || levels[z].Checked;
    }
    FZoomLevels = levels;
    if (!any) {
        services_.messages.ShowInfo(QStringLiteral("未选择地图级别。"));
        return;
    }
    const int kind = state_.imageType;
    if (kind <= 3) {
        raster::TGDALTool::SetCacheMax(engine::MergeCacheSizeBytes());
    }
    FIgnoreAutoClose = false;
    state_.progressVisible = true;
    state_.startVisible = false;
    state_.cancelVisible = true;

    const std::filesystem::path outputDir = ToPath(state_.outputDir);
    try {
        WriteStartSettings(CollectStartSettings());
    } catch (const std::exception& e) {
        engine::AppendLog(std::string("stitch settings: ") + e.what());
    }
    run_.reset();  // the previous worker sent its end event: its thread is ending

    auto run = std::make_unique<Run>();
    run->task = std::make_unique<engine::TProfiles>(*FProfiles);
    run->relay = std::make_unique<Relay>(*this, ++runId_);
    static constexpr engine::TImgType kImageTypes[] = {
        engine::TImgType::itBMP, engine::TImgType::itJPG, engine::TImgType::itPNG,
        engine::TImgType::itTIFF};
    run->worker = std::make_unique<raster::TCombineTile>(
        *run->task, outputDir, run->task->Name(),
        kind <= 3 ? kImageTypes[kind] : engine::TImgType::itTIFF, *run->relay);
    run->worker->SetZoomLevels(FZoomLevels);
    run->worker->SetTileBounds(run->task->TileBounds());
    run->worker->SetImageCombineType(static_cast<raster::TImageCombineType>(kind));
    raster::CombineSettings combine = raster::CombineSettingsFrom(settings_);
    run->worker->SetSettings(std::move(combine));
    run_ = std::move(run);
    FOutFileName.clear();
    runAlive_ = true;
    converting_ = false;
    FIsCombining = true;
    run_->worker->Start();
    emit changed();
}

// actOpenOutPutDirExecute
void ImageMergeController::OpenOutputDir() {
    QString folder = state_.outputDir;
    if (!FOutFileName.isEmpty()) {
        folder = QFileInfo(FOutFileName).absolutePath();
    }
    if (FolderExists(folder)) {
        services_.opener.Open(QUrl::fromLocalFile(folder));
    }
}

bool ImageMergeController::AskCancel() {
    asking_ = true;
    const bool yes = services_.messages.AskYesNo(QString::fromUtf8(kCancelQuestion));
    asking_ = false;
    // The question ran a nested loop: a run that ended meanwhile closed it, and there is
    // nothing left to cancel or to keep the window open for.
    if (!runAlive_) {
        return true;
    }
    if (!yes) {
        return false;
    }
    run_->worker->Cancel();
    return true;
}

// btnCancelClick
void ImageMergeController::Cancel() {
    if (FIsCombining) {
        AskCancel();
    }
}

void ImageMergeController::StopRunAndWait() {
    if (run_ && runAlive_) {
        run_->worker->Cancel();
        run_->worker->WaitFor();
    }
}

// FormCloseQuery
bool ImageMergeController::QueryClose() {
    if (!FIsCombining) {
        return true;
    }
    return AskCancel();
}

// FormClose
void ImageMergeController::FormClose() {
    using engine::StrSetting;
    try {
        settings_.SetStrSetting(StrSetting::CombineImageSourceDir,
                                state_.projectName.toStdString());
        settings_.SetStrSetting(StrSetting::CombineImageOutPutDir, state_.outputDir.toStdString());
        settings_.SetIntSetting(engine::IntSetting::OutImageIndex, state_.imageType);
        settings_.SetBoolSetting(engine::BoolSetting::ForceShutDownWindows, state_.forceShutDown);
        settings_.SetBoolSetting(engine::BoolSetting::OffsetMap, state_.offsetMap);
    } catch (const std::exception& e) {
        engine::AppendLog(std::string("stitch settings: ") + e.what());
    }
}

void ImageMergeController::LeaveRunningState() {
    FIsCombining = false;
    state_.progressVisible = false;
    state_.startVisible = true;
    state_.cancelVisible = false;
}

// WM_COMBINETILEBEGIN
void ImageMergeController::OnBegin(int run, qint64 count, const QString& log) {
    if (run != runId_) {
        return;
    }
    state_.progressVisible = true;
    state_.progressMaximum = count;
    state_.progressPosition = 0;
    state_.startVisible = false;
    state_.cancelVisible = FIsCombining;
    AddLog("开始拼图.", log);
    emit changed();
}

// WM_COMBINETILEPROCESS
void ImageMergeController::OnProgress(int run, qint64 counter, bool cancelled) {
    if (run != runId_) {
        return;
    }
    state_.progressPosition = counter;
    state_.counterText = counter == state_.progressMaximum
                             ? QStringLiteral("请稍侯...")
                             : QStringLiteral("%1/%2").arg(counter).arg(state_.progressMaximum);
    if (cancelled) {
        LeaveRunningState();
    }
    emit changed();
}

// WM_CONVERTIMAGEBEGIN
void ImageMergeController::OnConvertBegin(int run, const QString& log) {
    if (run != runId_) {
        return;
    }
    converting_ = true;
    AddLog("正在转换地图格式，请稍候...", log);
    emit changed();
}

// WM_CONVERTIMAGECOMPLETED: the end of a run, whatever its result.
void ImageMergeController::OnConvertCompleted(int run, const QString& log, const QString& output,
                                              raster::CombineResult result) {
    if (run != runId_) {
        return;
    }
    FOutFileName = output;
    runAlive_ = false;
    converting_ = false;
    if (asking_) {
        services_.messages.CloseQuestion(
            QString::fromUtf8(kCancelQuestion));  // nothing left to ask about
    }
    LeaveRunningState();
    // Only a run the worker reports as completed, with its output present, counts as done; a
    // cancelled or failed one never does, whatever files an earlier run left.
    const bool done = result == raster::CombineResult::Completed && !output.isEmpty() &&
                      QFileInfo::exists(output);
    const char* resultText = done                                         ? kDoneText
                             : result == raster::CombineResult::Cancelled ? kCancelledText
                             : result == raster::CombineResult::NoTiles   ? kNoTilesText
                                                                          : kFailedText;
    AddLog(resultText, log);
    state_.progressPosition = state_.progressMaximum;
    state_.counterText = QString::fromUtf8(resultText);
    emit changed();
    if (!done) {
        return;
    }
    OpenOutputDir();
    if (state_.forceShutDown && !FIgnoreAutoClose) {
        if (!services_.powerOff.AskAndPowerOff(QStringLiteral("自动关机"))) {
            FIgnoreAutoClose = true;
        }
    }
}

void ImageMergeController::OnShowInfo(int run, const QString& message) {
    if (run == runId_) {
        services_.messages.ShowInfo(message);
    }
}

}  // namespace rasterui
