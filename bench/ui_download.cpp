// The download controller with its Qt event loop running, against whatever VANTOREL_ROUTE
// points at, beside the bare worker pool over the same tiles; and the recount of a large
// outline. Prints one line:
//   ui_download: tiles/s=R engine_tiles/s=E ratio=R/E loop_p99_ms=L recount_ms=C
//   ui_download --zooms A-B --bbox LAT1,LNG1,LAT2,LNG2 --threads N --out DIR [--layer N]
//               [--rounds N]
// Without --bbox only the recount is measured.
#include <sys/resource.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QStringList>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <iostream>
#include <numbers>
#include <optional>
#include <string>
#include <vector>

#include "app/download/download_controller.h"
#include "app/download/download_task_store.h"
#include "app/frame/real_services.h"
#include "app/services/page_wait.h"
#include "app/services/services.h"
#include "app/stitch/stitch_hand_over.h"
#include "app/taskbar/taskbar_progress.h"
#include "engine/core/number_format.h"
#include "engine/core/tile_math.h"
#include "engine/download/download_pool.h"
#include "engine/download/download_settings.h"
#include "engine/download/installed_data.h"
#include "engine/log/logger.h"
#include "engine/settings/settings.h"

using namespace std::chrono;

namespace {

constexpr const char* kUserAgent =
    "Mozilla/5.0 (Windows NT 6.1; WOW64) AppleWebKit/537.22 (KHTML, like Gecko) "
    "Chrome/25.0.1364.152 Safari/537.22";

struct Options {
    int layer = 41;
    int zoomFrom = 10;
    int zoomTo = 17;
    double lat1 = 0, lng1 = 0, lat2 = 0, lng2 = 0;
    bool hasBox = false;
    int threads = 80;
    int rounds = 3;
    std::string only;  // "engine" or "ui": one measurement, for the parent process
    std::filesystem::path out = "ui-download-bench";
};

[[noreturn]] void Usage() {
    std::cerr << "usage: ui_download [--zooms A-B --bbox LAT1,LNG1,LAT2,LNG2] [--threads N] "
                 "[--layer N] [--rounds N] --out DIR\n";
    std::exit(2);
}

double Number(const std::string& text) {
    const auto value = engine::ParseFloat(text);
    if (!value)
        Usage();
    return *value;
}

Options Parse(int argc, char** argv) {
    Options o;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string arg = argv[i];
        const std::string value = argv[i + 1];
        if (arg == "--zooms") {
            const auto dash = value.find('-');
            o.zoomFrom = static_cast<int>(Number(value.substr(0, dash)));
            o.zoomTo = dash == std::string::npos ? o.zoomFrom
                                                 : static_cast<int>(Number(value.substr(dash + 1)));
        } else if (arg == "--bbox") {
            double v[4];
            std::size_t start = 0;
            for (double& part : v) {
                const auto comma = value.find(',', start);
                part = Number(value.substr(start, comma - start));
                start = comma == std::string::npos ? value.size() : comma + 1;
            }
            o.lat1 = v[0];
            o.lng1 = v[1];
            o.lat2 = v[2];
            o.lng2 = v[3];
            o.hasBox = true;
        } else if (arg == "--threads") {
            o.threads = static_cast<int>(Number(value));
        } else if (arg == "--only") {
            o.only = value;
        } else if (arg == "--rounds") {
            o.rounds = std::max(1, static_cast<int>(Number(value)));
        } else if (arg == "--layer") {
            o.layer = static_cast<int>(Number(value));
        } else if (arg == "--out") {
            o.out = value;
        } else {
            Usage();
        }
    }
    if (o.zoomFrom < 0 || o.zoomTo >= engine::kZoomLevelCount || o.zoomFrom > o.zoomTo)
        Usage();
    return o;
}

class QuietMessages final : public app::IMessages {
  public:
    void ShowPlain(const QString& msg) override { Print(msg); }
    void ShowInfo(const QString& msg, const QString&) override { Print(msg); }
    void ShowError(const QString& msg, const QString&) override { Print(msg); }
    void ShowWarning(const QString& msg, const QString&) override { Print(msg); }
    bool AskYesNo(const QString&, const QString&) override { return false; }
    bool AskWarningYesNo(const QString&, const QString&) override { return false; }
    void CloseQuestion(const QString&) override {}

  private:
    static void Print(const QString& msg) { std::cerr << msg.toStdString() << "\n"; }
};

class NoFileDialogs final : public app::IFileDialogs {
  public:
    QString OpenFileName(const QString&, const QString&, const QString&, int&) override {
        return {};
    }
    QString SaveFileName(const QString&, const QString&, const QString&, const QString&,
                         int&) override {
        return {};
    }
    QString SelectFolder(const QString&, const QString&) override { return {}; }
};

class NoOpener final : public app::IDesktopOpener {
  public:
    bool Open(const QUrl&) override { return false; }
};

class NoExit final : public app::IProcessExit {
  public:
    void Exit(int) override {}
};

class NoPowerOff final : public app::IPowerOffQuestion {
  public:
    bool AskAndPowerOff(const QString&) override { return false; }
};

class FixedPage final : public app::IMapPage {
  public:
    explicit FixedPage(engine::TMapType type) : type_(type) {}
    void ExecJavaScript(const QString&, std::function<void(const QString&)> then) override {
        QTimer::singleShot(0, [then = std::move(then)] {
            if (then)
                then(QString());
        });
    }
    void RunScript(const QString&) override {}
    engine::TMapType MapType() const override { return type_; }
    void SetMapType(engine::TMapType type) override { type_ = type; }
    bool IsBaiduMap() const override { return engine::Ord(type_) >= 45; }
    void LoadMaps() override {}

  private:
    engine::TMapType type_;
};

std::vector<engine::TGLatLng> Box(const Options& o) {
    return {{o.lat1, o.lng1}, {o.lat1, o.lng2}, {o.lat2, o.lng2}, {o.lat2, o.lng1}};
}

// A wavy ring of `n` vertices around Beijing, as a district outline comes from the page.
std::vector<engine::TGLatLng> Outline(int n) {
    std::vector<engine::TGLatLng> points;
    points.reserve(n);
    for (int i = 0; i < n; ++i) {
        const double a = 2 * std::numbers::pi * i / n;
        const double r = 0.8 + 0.1 * std::sin(37 * a);
        points.push_back({39.9 + r * std::sin(a), 116.4 + 1.2 * r * std::cos(a)});
    }
    return points;
}

double Percentile(std::vector<double> values, double p) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const auto index = static_cast<std::size_t>(std::ceil(p * values.size())) - 1;
    return values[std::min(index, values.size() - 1)];
}

// The bare pool over the same rectangles: tiles per second until every worker has finished.
// The bare pool over the same rectangles and with the plan the controller builds: tiles per
// second until every worker has passed the last address.
double EngineRate(const Options& o, const engine::TTileBounds& bounds, engine::TSettings& settings,
                  std::int64_t count) {
    engine::DownloadPlan plan;
    plan.Bounds = bounds;
    plan.Settings = engine::DownloadSettingsFrom(settings);
    plan.Settings.OutPutDirectory = o.out / "engine";
    plan.Settings.MapTypeIndex = o.layer;
    plan.Settings.LogFileName = engine::TaskLogFileName("bench").string();
    plan.Settings.UserAgent = kUserAgent;
    plan.SubstituteImage = engine::LoadSubstituteImage();
    std::atomic<std::int64_t> saved{0}, failed{0};
    engine::TileDownloadPool pool(engine::LoggerSink());
    const auto begun = steady_clock::now();
    pool.StartTask(
        std::move(plan), o.threads,
        [&](bool succeed, std::int32_t, std::int32_t) { (succeed ? saved : failed).fetch_add(1); },
        std::make_shared<engine::UrlSettingsFeed>(engine::UrlSettingsFrom(settings)));
    while (!pool.WaitUntilFinished(hours(1))) {
    }
    const double seconds = duration<double>(steady_clock::now() - begun).count();
    pool.Terminate();
    if (saved.load() != count || failed.load() != 0) {
        std::cerr << "engine: " << saved.load() << " saved, " << failed.load() << " failed of "
                  << count << "\n";
        return 0;
    }
    return count / seconds;
}

// One measurement in a fresh process, as every round of the parent runs it: later runs in one
// process are slower whichever goes first (allocator and file-system state), so each figure
// comes from a process of its own. Prints "rate lateness_p99 cpu_us_per_tile".
struct Measurement {
    double rate = 0;
    double p99 = 0;
    double cpuPerTileUs = 0;
};

// CPU time of this process so far, in seconds.
double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

std::optional<Measurement> RunChild(const char* self, const Options& o, const std::string& only,
                                    int round, int argc, char** argv) {
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    const auto out = o.out / (only + std::to_string(round));
    args << QStringLiteral("--only") << QString::fromStdString(only) << QStringLiteral("--out")
         << QString::fromStdString(out.string());
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QString::fromLocal8Bit(self), args);
    child.waitForFinished(-1);
    std::filesystem::remove_all(out);
    const QStringList parts = QString::fromUtf8(child.readAllStandardOutput()).split(' ');
    if (child.exitCode() != 0 || parts.size() < 3)
        return std::nullopt;
    return Measurement{parts[0].toDouble(), parts[1].toDouble(), parts[2].toDouble()};
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const Options o = Parse(argc, argv);
    std::filesystem::create_directories(o.out);
    engine::SetLogFolder(o.out / "log");

    if (o.hasBox && o.only.empty()) {
        // The parent: rounds of the pool alone and of the controller, alternating which goes
        // first; the best of each counts, so a burst of other load on the machine does not.
        Measurement engineBest, uiBest;
        double worstP99 = 0;
        for (int round = 0; round < o.rounds; ++round) {
            for (int k = 0; k < 2; ++k) {
                const bool engineTurn = (k == 0) == (round % 2 == 0);
                const auto m =
                    RunChild(argv[0], o, engineTurn ? "engine" : "ui", round, argc, argv);
                if (!m) {
                    std::cerr << "ui_download: a measurement failed\n";
                    return 1;
                }
                std::cerr << (engineTurn ? "engine" : "ui") << " round " << round + 1 << ": "
                          << engine::FormatFixed(m->rate, 0) << " tiles/s, "
                          << engine::FormatFixed(m->cpuPerTileUs, 1) << " us CPU a tile\n";
                Measurement& best = engineTurn ? engineBest : uiBest;
                best.rate = std::max(best.rate, m->rate);
                if (!engineTurn)
                    worstP99 = std::max(worstP99, m->p99);
            }
        }
        std::cout << "ui_download: tiles/s=" << engine::FormatFixed(uiBest.rate, 0)
                  << " engine_tiles/s=" << engine::FormatFixed(engineBest.rate, 0)
                  << " ratio=" << engine::FormatFixed(uiBest.rate / engineBest.rate, 2)
                  << " loop_p99_ms=" << engine::FormatFixed(worstP99, 1) << std::flush;
    }

    engine::SettingsPaths paths;
    paths.configFile = o.out / "config/settings.ini";
    paths.defaultOutputDir = o.out / "MapDownload";
    paths.cacheDir = o.out / "cache";
    paths.cefCacheDir = o.out / "cef";
    engine::TSettings settings(paths);
    settings.SetStrSetting(engine::StrSetting::OutPutDirectory, (o.out / "ui").string());
    settings.SetIntSetting(engine::IntSetting::MaxThread, o.threads);
    settings.SetIntSetting(engine::IntSetting::FailedTryTimes, 3);
    settings.SetIntSetting(engine::IntSetting::DownloadDelay, 0);

    QuietMessages messages;
    NoFileDialogs fileDialogs;
    NoOpener opener;
    app::SystemClock clock;
    NoExit processExit;
    NoPowerOff powerOff;
    FixedPage page(engine::MapTypeOf(o.layer));
    app::PageWait pageWait(page);
    app::Services services{messages,    fileDialogs, opener, clock,
                           processExit, powerOff,    page,   pageWait};
    app::TfspTaskbarMgr taskbar(nullptr);
    app::FunctionTaskStore store(
        [&] {
            return std::optional<app::TaskSaved>(app::TaskSaved{
                QString::fromStdString((o.out / "bench.zeb").string()), QStringLiteral("bench")});
        },
        {});
    app::NullStitchHandOver stitch;
    app::DownloadController controller(settings, services, taskbar, store, stitch);
    app::ZoomChecks checks{};
    controller.SetZoomLevelSource([&] { return checks; });

    if (o.only.empty()) {
        // Recount: a 20,000-vertex outline over all 22 levels, the median of 9 runs.
        checks.fill(true);
        const auto outline = Outline(20000);
        std::vector<double> recounts;
        for (int run = 0; run < 9; ++run) {
            controller.SetArea(outline, QStringLiteral("outline"),
                               static_cast<int>(outline.size()));
            QElapsedTimer timer;
            timer.start();
            controller.CalculateStart();
            recounts.push_back(timer.nsecsElapsed() / 1e6);
        }
        std::cout << (o.hasBox ? " " : "ui_download: ")
                  << "recount_ms=" << engine::FormatFixed(Percentile(recounts, 0.5), 2)
                  << std::endl;
        return 0;
    }

    checks.fill(false);
    for (int z = o.zoomFrom; z <= o.zoomTo; ++z)
        checks[z] = true;
    const auto box = Box(o);
    controller.SetArea(box, QStringLiteral("box"), static_cast<int>(box.size()));
    controller.CalculateStart();
    const std::int64_t count = controller.TileCount();
    const double cpuBefore = CpuSeconds();
    if (o.only == "engine") {
        const double rate = EngineRate(o, controller.TileBounds(), settings, count);
        if (rate <= 0)
            return 1;
        std::cout << engine::FormatFixed(rate, 1) << " 0 "
                  << engine::FormatFixed((CpuSeconds() - cpuBefore) * 1e6 / count, 1) << std::endl;
        return 0;
    }

    // The event loop's delay: a 10 ms timer that notes how late each of its ticks comes.
    std::vector<double> lateness;
    QElapsedTimer sinceTick;
    QTimer probe;
    probe.setTimerType(Qt::PreciseTimer);
    probe.setInterval(10);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        lateness.push_back(std::max(0.0, sinceTick.nsecsElapsed() / 1e6 - 10.0));
        sinceTick.restart();
    });
    QObject::connect(&controller, &app::DownloadController::finished, &app, [&] { app.quit(); });
    QElapsedTimer run;
    QTimer::singleShot(0, [&] {
        run.start();
        sinceTick.start();
        probe.start();
        controller.Start();
    });
    app.exec();
    const double seconds = run.nsecsElapsed() / 1e9;
    const double cpuPerTile = (CpuSeconds() - cpuBefore) * 1e6 / count;
    const auto counters = controller.Counters();
    const std::int64_t tiles = counters.Succeed + counters.Failed;
    if (tiles != count || counters.Failed != 0) {
        std::cerr << "ui: " << counters.Succeed << " saved, " << counters.Failed << " failed of "
                  << count << "\n";
        return 1;
    }
    std::cout << engine::FormatFixed(tiles / seconds, 1) << " "
              << engine::FormatFixed(Percentile(lateness, 0.99), 2) << " "
              << engine::FormatFixed(cpuPerTile, 1) << std::endl;
    return 0;
}
