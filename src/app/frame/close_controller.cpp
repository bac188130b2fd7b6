#include "close_controller.h"

#include <exception>
#include <filesystem>

#include "app/services/exception_log.h"
#include "app/services/services.h"
#include "engine/core/utilities.h"
#include "engine/settings/settings.h"
#include "engine/tasks/profiles.h"

namespace app {

namespace {

void Guarded(const std::function<void()>& step) {
    if (!step) {
        return;
    }
    try {
        step();
    } catch (const std::exception& error) {
        Log(QStringLiteral("close: ") + QString::fromUtf8(error.what()));
    } catch (...) {
        Log(QStringLiteral("close: unknown error"));
    }
}

}  // namespace

CloseController::CloseController(engine::TSettings& settings, Services& services, Hooks hooks)
    : settings_(settings), services_(services), hooks_(std::move(hooks)) {}

bool CloseController::CloseQuery() {
    if (hooks_.downloadStatus &&
        hooks_.downloadStatus() == engine::TDownloadStatus::dsDownloading) {
        if (!services_.messages.AskYesNo(QStringLiteral("正在下载地图，您确定要关闭吗？"))) {
            return false;
        }
    }
    // Copies: a guard's question runs a nested loop in which another feature may attach.
    const auto guards = guards_;
    for (const auto& guard : guards) {
        if (guard && !guard()) {
            return false;
        }
    }
    return true;
}

void CloseController::Close() {
    Guarded([this] {
        if (hooks_.zoomLevels) {
            settings_.SetStrSetting(engine::StrSetting::SelectedZoomLevels,
                                    engine::TProfiles::ZoomLevelArrayToStr(hooks_.zoomLevels()));
        }
        if (hooks_.mapType) {
            settings_.SetIntSetting(engine::IntSetting::MapTypeIndex,
                                    static_cast<int>(hooks_.mapType()));
        }
    });
    Guarded(hooks_.deletePageFiles);
    if (settings_.GetBoolSetting(engine::BoolSetting::DeleteCacheIfQuit)) {
        Guarded(hooks_.releasePageCache);
        for (const auto folder :
             {engine::StrSetting::CachePath, engine::StrSetting::CefCachePath}) {
            Guarded([this, folder] {
                const std::filesystem::path path = settings_.GetStrSetting(folder);
                std::error_code missing;
                if (std::filesystem::exists(path, missing) && !engine::WipeDirectory(path, 0)) {
                    Log(QStringLiteral("close: cache folder not emptied: ") +
                        QString::fromStdString(path.string()));
                }
            });
        }
    }
    const auto steps = steps_;
    for (const auto& step : steps) {
        Guarded(step);
    }
    services_.processExit.Exit(0);
}

}  // namespace app
