#include "task_controller.h"

#include <QDir>
#include <QPointer>
#include <QUrl>
#include <exception>
#include <filesystem>

#include "app/layers/same_area.h"
#include "app/page/page_scripts.h"
#include "app/services/exception_log.h"
#include "app/services/page_wait.h"
#include "app/services/services.h"
#include "app/widgets/failure_message.h"
#include "engine/core/catalogue.h"
#include "engine/core/text_helpers.h"
#include "engine/download/tile_path.h"
#include "engine/settings/settings.h"
#include "engine/tasks/profiles.h"
#include "geodata/boundary/boundary_store.h"
#include "geodata/polyline/polyline_codec.h"

namespace app {

namespace {

QString Str(const std::string& text) {
    return QString::fromStdString(text);
}

// Task names are compared as the task store resolves them: only A to Z fold.
bool SameText(const QString& a, const QString& b) {
    return engine::SameText(a.toStdString(), b.toStdString());
}

// The task's area and the window's are one when they are the same shape: the page reports a
// shown area back in its own rounding, from another vertex or the other way round.
bool SameTaskArea(const std::string& stored, const std::string& current) {
    if (stored.empty() || current.empty()) {
        return stored.empty() && current.empty();
    }
    return SameArea(geodata::TBoundary::StrToArray(stored),
                    geodata::TBoundary::StrToArray(current));
}

}  // namespace

TaskController::TaskController(engine::TSettings& settings, Services& services,
                               std::unique_ptr<engine::TProfiles> profiles, Hooks hooks,
                               QObject* parent)
    : QObject(parent),
      settings_(settings),
      services_(services),
      profiles_(std::move(profiles)),
      hooks_(std::move(hooks)) {}

TaskController::~TaskController() = default;

void TaskController::RefreshNames() {
    std::vector<std::string> names;
    profiles_->GetNames(names);
    names_.clear();
    for (const std::string& name : names) {
        names_ << Str(name);
    }
    emit namesChanged(names_);
}

bool TaskController::ProfileNameExists(const QString& name) const {
    for (const QString& row : names_) {
        if (SameText(row, name)) {
            return true;
        }
    }
    return false;
}

// A name that differs from a stored task's only in letter case names that task.
QString TaskController::ResolvedName(const QString& name) const {
    std::vector<std::string> stored;
    profiles_->GetNames(stored);
    for (const std::string& candidate : stored) {
        if (SameText(Str(candidate), name)) {
            return Str(candidate);
        }
    }
    return name;
}

bool TaskController::CanSave() const {
    return !text_.isEmpty() && !TaskActive() && !services_.pageWait.Busy();
}

bool TaskController::CanLoadOrDelete() const {
    return row_ >= 0 && !TaskActive() && !services_.pageWait.Busy();
}

// actProfileSaveExecute
std::optional<TaskController::Saved> TaskController::Save() {
    if (text_.isEmpty()) {
        services_.messages.ShowInfo(QStringLiteral("请填写任务名称。"));
        emit focusProfileRequested();
        return std::nullopt;
    }
    // A task being loaded is not saved half-switched.
    if (TaskActive() || services_.pageWait.Busy()) {
        return std::nullopt;
    }
    const std::string refusal = engine::CheckTaskName(text_.toStdString());
    if (!refusal.empty()) {
        services_.messages.ShowInfo(Str(refusal));
        emit focusProfileRequested();
        return std::nullopt;
    }
    const QString name = ResolvedName(text_);
    const QString coordinates = hooks_.coordinates ? hooks_.coordinates() : QString();
    const bool sameTask = SameTaskArea(profiles_->Coordinates(), coordinates.toStdString()) &&
                          SameText(Str(profiles_->Name()), name);
    if (!sameTask && ProfileNameExists(name)) {
        if (!services_.messages.AskYesNo(
                QStringLiteral("任务名“%1”已经存在,要替换它吗?").arg(name))) {
            return std::nullopt;
        }
        // The question ran a nested loop: a task may have started meanwhile.
        if (TaskActive()) {
            return std::nullopt;
        }
    }
    if (!sameTask) {
        // Another task: nothing of the previous one's rectangles or view carries over.
        profiles_->SetTileBounds(engine::TTileBounds{});
        profiles_->SetBookmark(std::string());
    }
    profiles_->SetMapTypeIndex(static_cast<int>(services_.page.MapType()));
    profiles_->SetDirectory(settings_.GetStrSetting(engine::StrSetting::OutPutDirectory));
    profiles_->SetCoordinates(coordinates.toStdString());
    profiles_->SetZoomLevels(hooks_.zoomLevels ? hooks_.zoomLevels() : engine::TZoomLevelArray{});
    profiles_->SetName(name.toStdString());
    profiles_->SetFileName({});
    profiles_->SetTileSize(hooks_.tileSize ? hooks_.tileSize() : 256);
    profiles_->SetNoLabel(settings_.GetBoolSetting(engine::BoolSetting::DownloadNoLabel));
    profiles_->SetTiandituIndex(settings_.GetIndexSetting(engine::IntSetting::TiandituIndex));
    Saved saved;
    try {
        profiles_->Save();
        saved = {Str(profiles_->FileName().string()), name};
    } catch (const std::exception& error) {
        services_.messages.ShowError(
            FailureMessage(QStringLiteral("任务“%1”未能保存。").arg(name), error));
        return std::nullopt;
    }
    RefreshNames();
    text_ = name;
    row_ = static_cast<int>(names_.indexOf(name));
    emit profileTextChanged(text_, row_);
    emit stateChanged();
    return saved;
}

void TaskController::SaveTileBounds(const engine::TTileBounds& bounds) {
    profiles_->SetTileBounds(bounds);
    try {
        profiles_->Save();
    } catch (const std::exception& error) {
        Log(QStringLiteral("task: ") + Str(error.what()));
    }
}

// actProfileLoadExecute
void TaskController::Load() {
    if (text_.isEmpty() || TaskActive() || services_.pageWait.Busy()) {
        return;
    }
    const QString name = ResolvedName(text_);
    auto loaded = std::make_unique<engine::TProfiles>(profiles_->Path());
    try {
        loaded->SetName(name.toStdString());
        if (!std::filesystem::exists(loaded->FileName())) {
            return;
        }
        loaded->Load();
    } catch (const std::exception& error) {
        services_.messages.ShowError(
            FailureMessage(QStringLiteral("任务“%1”无法读取。").arg(name), error));
        return;
    }
    const int layer = loaded->MapTypeIndex();
    if (layer < 0 || layer >= engine::kMapTypeCount) {
        services_.messages.ShowError(
            QStringLiteral("任务“%1”的地图类型 %2 无效，未加载。").arg(name).arg(layer));
        return;
    }
    profiles_ = std::move(loaded);
    // The window takes the whole task at once; the page is then told in order, each call
    // waiting for the page's answer (and the callbacks it makes), with the controls that
    // could disturb the load off until the last one.
    const QString coordinates = Str(profiles_->Coordinates());
    if (hooks_.setArea) {
        hooks_.setArea(coordinates);
    }
    if (hooks_.setZoomLevels) {
        hooks_.setZoomLevels(profiles_->ZoomLevels());
    }
    emit coordinatesTextShown(coordinates);
    if (!coordinates.isEmpty()) {
        emit areaLoaded(coordinates);
    }
    emit stateChanged();

    const QPointer<TaskController> self(this);
    const auto switchLayer = [self, mapType = static_cast<engine::TMapType>(layer)] {
        if (!self) {
            return;
        }
        if (self->hooks_.switchLayer) {
            self->hooks_.switchLayer(mapType);
        }
        // Counted for the task's layer and the levels it offers.
        if (self->hooks_.calculateStart) {
            self->hooks_.calculateStart();
        }
        emit self->stateChanged();
    };
    const QString boundary = coordinates.isEmpty() ? QString() : BoundaryScript(coordinates);
    const auto showArea = [self, boundary, switchLayer](const QString& = {}) {
        if (!self || boundary.isEmpty()) {
            switchLayer();
            return;
        }
        self->services_.pageWait.Run(boundary, [switchLayer](const QString&) { switchLayer(); });
    };
    if (profiles_->Bookmark().empty()) {
        showArea();
    } else {
        services_.pageWait.Run(pagescript::SetCenterAndZoom(Str(profiles_->Bookmark())), showArea);
    }
}

void TaskController::ShowArea() {
    const QString coordinates = hooks_.coordinates ? hooks_.coordinates() : QString();
    if (!coordinates.isEmpty()) {
        if (const QString script = BoundaryScript(coordinates); !script.isEmpty()) {
            emit areaRedrawn(coordinates);
            services_.page.RunScript(script);
        }
    }
}

// Both page families take the area as an encoded line: given the coordinate text itself,
// the page would decode it into a wrong outline and report that back as the area. Empty
// for a text that cannot be encoded.
QString TaskController::BoundaryScript(const QString& coordinates) {
    try {
        const geodata::TGPolyLine polyline(1e-5);
        return pagescript::ShowBoundary(
            Str(geodata::PlainEncodedText(polyline.EncodePointsEx(coordinates.toStdString()))));
    } catch (const std::exception& error) {
        Log(QStringLiteral("area not shown: %1").arg(Str(error.what())));
        return QString();
    }
}

// actProfileDeleteExecute
void TaskController::Delete() {
    if (TaskActive() || services_.pageWait.Busy()) {
        return;
    }
    const QString name = ResolvedName(text_);
    if (!services_.messages.AskWarningYesNo(
            QStringLiteral(
                "您是否要删除下载任务“%1”?\r\r删除后,与之对应的地图瓦件将无法做拼接合并等处理。")
                .arg(name),
            QStringLiteral("删除任务"))) {
        return;
    }
    if (TaskActive()) {
        return;
    }
    // The current task is the one deleted only when it bears the name; otherwise it stays as
    // it is, so a later save under the deleted name is a new task and one over another
    // task's name asks first.
    try {
        if (SameText(Str(profiles_->Name()), name)) {
            profiles_->Delete();
        } else {
            engine::TProfiles doomed(profiles_->Path());
            doomed.SetName(name.toStdString());
            doomed.Delete();
        }
    } catch (const std::exception& error) {
        services_.messages.ShowError(
            FailureMessage(QStringLiteral("任务“%1”未能删除。").arg(name), error));
        return;
    }
    for (qsizetype i = names_.size() - 1; i >= 0; --i) {
        if (SameText(names_.at(i), name)) {
            names_.removeAt(i);
        }
    }
    text_.clear();
    row_ = -1;
    emit namesChanged(names_);
    emit profileTextChanged(text_, row_);
    emit stateChanged();
}

// actChangeTilesDirExecute
void TaskController::ChangeTilesDir() {
    QString start = Str(settings_.GetStrSetting(engine::StrSetting::OutPutDirectory));
    if (start.isEmpty()) {
        start = QDir::currentPath();
    }
    const QString folder =
        services_.fileDialogs.SelectFolder(QStringLiteral("请选择地图存储目录"), start);
    if (folder.isEmpty()) {
        return;
    }
    settings_.SetStrSetting(engine::StrSetting::OutPutDirectory, folder.toStdString());
    emit tileDirChanged(folder);
    services_.page.LoadMaps();
}

QString TaskController::OutPutDirFor(engine::TMapType mapType, bool createMissing) {
    const std::string_view folderText = engine::MapTileFolders[static_cast<int>(mapType)];
    if (!profiles_->Directory().empty()) {
        const std::filesystem::path own =
            engine::LayerFolderPath(profiles_->Directory(), folderText);
        std::error_code error;
        if (std::filesystem::is_directory(own, error)) {
            return Str(own.string());
        }
    }
    const std::filesystem::path fallback = engine::LayerFolderPath(
        settings_.GetStrSetting(engine::StrSetting::OutPutDirectory), folderText);
    if (createMissing) {
        std::error_code error;
        std::filesystem::create_directories(fallback, error);
    }
    return Str(fallback.string());
}

// actOpenOutPutDirExecute
void TaskController::OpenOutPutDir() {
    services_.opener.Open(QUrl::fromLocalFile(OutPutDirFor(services_.page.MapType(), true)));
}

}  // namespace app
