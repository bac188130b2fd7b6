#pragma once
// A download controller over the real worker pool against the loopback tile server, with real
// tiles written into a temporary folder, the services faked, the taskbar recorded, and the
// task save and the stitch hand-over standing in for their owners.
#include <QCoreApplication>
#include <QThread>
#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/download/download_controller.h"
#include "app/download/download_task_store.h"
#include "app/stitch/stitch_hand_over.h"
#include "app/support/fake_services.h"
#include "app/taskbar/taskbar_progress.h"
#include "engine/core/tile_math.h"
#include "engine/log/logger.h"
#include "engine/settings/settings.h"
#include "support/settings_paths_in.h"
#include "support/temp_dir.h"
#include "support/tile_server.h"

namespace downloadui {

using engine::TDownloadStatus;
using engine::TMapType;

// The task actions' side: every save succeeds under the current name unless told to refuse.
class FakeTaskStore final : public app::IDownloadTaskStore {
  public:
    std::filesystem::path folder;
    QString name = QStringLiteral("北京 test");
    bool refuse = false;
    int saves = 0;
    std::vector<engine::TTileBounds> savedBounds;

    std::optional<app::TaskSaved> SaveTask() override {
        ++saves;
        if (refuse)
            return std::nullopt;
        return app::TaskSaved{FileOf(name), name};
    }
    void SaveTileBounds(const engine::TTileBounds& bounds) override {
        savedBounds.push_back(bounds);
    }
    QString FileOf(const QString& taskName) const {
        return QString::fromStdString((folder / (taskName.toStdString() + ".zeb")).string());
    }
};

class FakeStitch final : public app::IStitchHandOver {
  public:
    struct Call {
        QString taskFile;
        bool autoStart = false;
    };
    std::vector<Call> calls;
    void ShowImageCombiner(const QString& taskFile, bool autoStart) override {
        calls.push_back({taskFile, autoStart});
    }
};

class RecordingTaskbar final : public app::ITaskbarBackend {
  public:
    explicit RecordingTaskbar(std::vector<int>& states) : states_(states) {}
    void SetProgressState(int flag) override { states_.push_back(flag); }
    void SetProgressValue(std::int64_t, std::int64_t) override {}

  private:
    std::vector<int>& states_;
};

// Tile address from a routed OSM target "/z/x/y.png"; nothing for anything else.
inline std::optional<engine::TTile> TileOf(const std::string& target) {
    int z = 0, x = 0, y = 0;
    if (std::sscanf(target.c_str(), "/%d/%d/%d.png", &z, &x, &y) != 3)
        return std::nullopt;
    return engine::TTile{x, y, static_cast<std::int8_t>(z)};
}

inline std::size_t CountFiles(const std::filesystem::path& folder) {
    std::size_t count = 0;
    if (!std::filesystem::exists(folder))
        return 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
        count += entry.is_regular_file() ? 1 : 0;
    return count;
}

// Runs the event loop until `done` or the time-out; returns `done()`.
template <typename Predicate>
bool WaitUntil(Predicate done, std::chrono::milliseconds timeout = std::chrono::seconds(20)) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(2);
    }
    return true;
}

// Runs the event loop for `duration`.
inline void Spin(std::chrono::milliseconds duration) {
    WaitUntil([] { return false; }, duration);
}

inline engine::SettingsPaths PathsIn(const testsupport::TempDir& dir) {
    return testsupport::SettingsPathsIn(dir);
}

class Harness {
  public:
    explicit Harness(testsupport::TileServer::Rule rule = {})
        : server(std::move(rule)), route(server), settings(PathsIn(dir)) {
        engine::SetLogFolder(dir / "log");
        store.folder = dir / "tasks";
        settings.SetStrSetting(engine::StrSetting::OutPutDirectory, tiles().string());
        settings.SetIntSetting(engine::IntSetting::MaxThread, 4);
        settings.SetIntSetting(engine::IntSetting::FailedTryTimes, 2);
        settings.SetIntSetting(engine::IntSetting::DownloadDelay, 0);
        fakes.page.mapType = TMapType::mtOsmRoadMap;
        taskbar.SetActive(true);
        controller = std::make_unique<app::DownloadController>(settings, fakes.services, taskbar,
                                                               store, stitch);
        controller->SetZoomLevelSource([this] { return checks; });
    }
    ~Harness() {
        controller.reset();
        engine::SetLogFolder({});
    }

    std::filesystem::path tiles() const { return dir / "tiles"; }

    // A rectangle by two corners, as the page hands an area over; recounts.
    void SetBox(double lat1, double lng1, double lat2, double lng2) {
        std::vector<engine::TGLatLng> points{
            {lat1, lng1}, {lat1, lng2}, {lat2, lng2}, {lat2, lng1}};
        SetArea(points);
    }
    void SetArea(const std::vector<engine::TGLatLng>& points) {
        QString text;
        for (const auto& p : points)
            text += (text.isEmpty() ? QString() : QStringLiteral(",")) +
                    QString::number(p.lng, 'f', 6) + QStringLiteral(",") +
                    QString::number(p.lat, 'f', 6);
        controller->SetArea(points, text, static_cast<int>(points.size()));
        controller->CalculateStart();
    }
    void SetLevels(std::initializer_list<int> levels) {
        checks.fill(false);
        for (int level : levels)
            checks[level] = true;
        controller->CalculateStart();
    }
    bool RunToEnd(std::chrono::milliseconds timeout = std::chrono::seconds(30)) {
        return WaitUntil([this] { return controller->Status() == TDownloadStatus::dsStopped; },
                         timeout);
    }
    // Questions asked so far, in order.
    QStringList Questions() const {
        QStringList asked;
        for (const auto& m : fakes.messages.shown)
            if (m.kind == QLatin1String("ask"))
                asked << m.text;
        return asked;
    }

    testsupport::TempDir dir;
    testsupport::TileServer server;
    testsupport::ScopedRoute route;
    engine::TSettings settings;
    testmainwindow::FakeServices fakes;
    std::vector<int> taskbarStates;
    app::TfspTaskbarMgr taskbar{std::make_unique<RecordingTaskbar>(taskbarStates)};
    FakeTaskStore store;
    FakeStitch stitch;
    app::ZoomChecks checks{};
    std::unique_ptr<app::DownloadController> controller;
};

}  // namespace downloadui
