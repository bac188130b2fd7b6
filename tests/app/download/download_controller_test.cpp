// The download controller over the real worker pool against the loopback tile server: the
// count and label, the start and its refusals, pause, resume and stop with their questions,
// the summary texts, the cap, the idle end, the speeds, the power-off question and the
// hand-over to stitching.
#include <QSignalSpy>
#include <atomic>
#include <cmath>
#include <set>
#include <tuple>

#include <gtest/gtest.h>

#include "app/download/download_texts.h"
#include "app/support/qt_print.h"
#include "download_harness.h"
#include "engine/core/baidu_projection.h"
#include "engine/core/utilities.h"
#include "engine/download/tile_path.h"

namespace downloadui {
namespace {

namespace ta = testsupport::tileanswers;
using namespace std::chrono_literals;

// A small area in Beijing; levels 10 to 12 give a handful of tiles.
constexpr double kLat1 = 39.90, kLng1 = 116.30, kLat2 = 40.00, kLng2 = 116.45;
constexpr std::int64_t kPngSize = 69;

QString Size(std::int64_t bytes) {
    return QString::fromStdString(engine::FormatByteSize(bytes));
}

// What the summary says after a task whose clock did not move.
QString Average(std::int64_t bytes, std::int64_t tiles) {
    return QStringLiteral("\r\n\r\n平均下载速度 ") + Size(bytes) + QStringLiteral("/s，") +
           QString::number(bytes > 0 ? tiles : 0) +
           QStringLiteral(" 张/s \r\n\r\n现在是否需要拼接或者导出地图？");
}

QString SizeLine(std::int64_t bytes) {
    return QStringLiteral("文件大小为 ") + Size(bytes) + QStringLiteral("，下载共耗时 00:00 。");
}

std::vector<engine::TTile> TilesOf(const engine::TTileBounds& bounds) {
    std::vector<engine::TTile> tiles;
    for (const auto& b : bounds) {
        if (!b.Checked)
            continue;
        for (int x = b.MinCol; x <= b.MaxCol; ++x)
            for (int y = b.MinRow; y <= b.MaxRow; ++y)
                tiles.push_back({x, y, static_cast<std::int8_t>(b.zoom)});
    }
    return tiles;
}

TEST(DownloadController, LevelsTenToTwelveGiveTheTileMathsRectanglesAndLabel) {
    Harness h;
    h.SetBox(kLat1, kLng1, kLat2, kLng2);
    h.SetLevels({10, 11, 12});
    std::int64_t expected = 0;
    for (int z = 0; z < engine::kZoomLevelCount; ++z) {
        const auto& b = h.controller->TileBounds()[z];
        ASSERT_EQ(b.Checked, z >= 10 && z <= 12) << "level " << z;
        if (!b.Checked)
            continue;
        std::int32_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;
        engine::LatLngToTileXY(z, kLat1, kLng1, x1, y1);
        engine::LatLngToTileXY(z, kLat2, kLng2, x2, y2);
        EXPECT_EQ(b.MinCol, std::min(x1, x2));
        EXPECT_EQ(b.MaxCol, std::max(x1, x2));
        EXPECT_EQ(b.MinRow, std::min(y1, y2));
        EXPECT_EQ(b.MaxRow, std::max(y1, y2));
        expected += std::int64_t{b.MaxCol - b.MinCol + 1} * (b.MaxRow - b.MinRow + 1);
    }
    EXPECT_EQ(h.controller->TileCount(), expected);
    EXPECT_EQ(h.controller->Counters().Total, expected);
    const auto& top = h.controller->TileBounds()[12];
    EXPECT_EQ(h.controller->TileCountText(),
              app::TileCountText(top.MaxCol - top.MinCol + 1, top.MaxRow - top.MinRow + 1, expected,
                                 256, 300));
    EXPECT_EQ(h.settings.GetStrSetting(engine::StrSetting::SelectedZoomLevels), "10,11,12");

    // Unticking every level clears the label and the stored selection.
    h.SetLevels({});
    EXPECT_EQ(h.controller->TileCountText(), QString());
    EXPECT_EQ(h.settings.GetStrSetting(engine::StrSetting::SelectedZoomLevels), "");
}

// The count follows the grid the tile addresses are made for: a TianDiTu source stored out of
// its list is the national service on the Web Mercator grid, a provincial one is geographic.
TEST(DownloadController, ATiandituSourceOutsideItsListCountsOnTheNationalGrid) {
    for (const auto& [stored, mercator] : {std::pair{11, true}, {-4, true}, {3, false}}) {
        SCOPED_TRACE(stored);
        Harness h;
        h.settings.SetIntSetting(engine::IntSetting::TiandituIndex, stored);
        h.fakes.page.mapType = TMapType::mtTDTRoadMap;
        h.SetBox(kLat1, kLng1, kLat2, kLng2);
        h.SetLevels({12});
        std::int32_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;
        engine::LatLngToTileXY(12, kLat1, kLng1, x1, y1);
        engine::LatLngToTileXY(12, kLat2, kLng2, x2, y2);
        const auto& b = h.controller->TileBounds()[12];
        EXPECT_EQ(b.MinRow == std::min(y1, y2) && b.MaxRow == std::max(y1, y2), mercator);
    }
}

TEST(DownloadController, AStartWithoutAreaLevelOrSavedTaskDoesNothing) {
    struct Case {
        const char* name;
        bool area;
        bool levels;
        bool saveRefused;
        const char* message;  // nullptr: none (the save speaks for itself)
        int saves;
    } const cases[] = {
        {"no area", false, true, false, "您未选择要下载的区域。", 0},
        {"no level", true, false, false, "您未选择地图级别。", 0},
        {"the save refused", true, true, true, nullptr, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Harness h;
        h.store.refuse = c.saveRefused;
        if (c.levels)
            h.SetLevels({10});
        if (c.area)
            h.SetBox(kLat1, kLng1, kLat2, kLng2);
        QSignalSpy states(h.controller.get(), &app::DownloadController::stateChanged);
        h.controller->Start();
        EXPECT_EQ(h.controller->Status(), TDownloadStatus::dsStopped);
        EXPECT_EQ(states.count(), 0);
        EXPECT_EQ(h.store.saves, c.saves);
        EXPECT_TRUE(h.store.savedBounds.empty());
        EXPECT_EQ(h.fakes.messages.Texts(),
                  c.message ? QStringList{QString::fromUtf8(c.message)} : QStringList{});
        Spin(200ms);
        EXPECT_EQ(h.server.Total(), 0);
    }
}

TEST(DownloadController, AStoredWorkerCountOutsideOneToEightyIsKeptInside) {
    for (const auto& [stored, used] : {std::pair{0, 1}, {-3, 1}, {1, 1}, {80, 80}, {200, 80}}) {
        SCOPED_TRACE(stored);
        Harness h([](const testsupport::TileRequest&) { return ta::Slow(ta::Png(), 5s); });
        h.settings.SetIntSetting(engine::IntSetting::MaxThread, stored);
        h.SetBox(kLat1, kLng1, kLat2, kLng2);
        h.SetLevels({10, 11, 12});
        h.controller->Start();
        EXPECT_EQ(h.controller->ThreadCount(), used);
        h.fakes.messages.answers = {true};
        h.controller->Stop();
        EXPECT_EQ(h.controller->Status(), TDownloadStatus::dsStopped);
    }
}

TEST(DownloadController, ATaskRunsToItsSummaryAndHandsItsOwnTaskFileOver) {
    Harness h;
    h.SetBox(kLat1, kLng1, kLat2, kLng2);
    h.SetLevels({10, 11, 12});
    const std::int64_t count = h.controller->TileCount();
    const QString taskFile = h.store.FileOf(h.store.name);
    h.fakes.messages.answers = {true};  // the summary's question: stitch now

    EXPECT_TRUE(h.controller->CanStart());
    h.controller->Start();
    EXPECT_EQ(h.controller->Status(), TDownloadStatus::dsDownloading);
    EXPECT_FALSE(h.controller->CanStart());
    EXPECT_TRUE(h.controller->TaskActive());
    EXPECT_TRUE(h.controller->ProgressVisible());
    EXPECT_EQ(h.controller->ProgressMaximum(), count);
    EXPECT_EQ(h.taskbar.ProgressValueMax(), count);
    EXPECT_EQ(h.controller->ThreadCount(), 4);
    EXPECT_EQ(h.settings.GetIntSetting(engine::IntSetting::MapTypeIndex), 41);
    EXPECT_EQ(h.settings.GetStrSetting(engine::StrSetting::LogFileName),
              (h.dir / "log" / "北京 test.log").string());
    EXPECT_EQ(h.settings.GetStrSetting(engine::StrSetting::UserAgent),
              "Mozilla/5.0 (Windows NT 6.1; WOW64) AppleWebKit/537.22 (KHTML, like Gecko) "
              "Chrome/25.0.1364.152 Safari/537.22");
    ASSERT_EQ(h.store.savedBounds.size(), 1u);
    EXPECT_EQ(TilesOf(h.store.savedBounds[0]).size(), static_cast<std::size_t>(count));
    // The task store moves on; the finish still hands over the task that was started.
    h.store.name = QStringLiteral("another");

    ASSERT_TRUE(h.RunToEnd());
    EXPECT_EQ(CountFiles(h.tiles()), static_cast<std::size_t>(count));
    const std::int64_t bytes = count * kPngSize;
    EXPECT_EQ(h.Questions(), QStringList{QStringLiteral("已成功下载 ") + QString::number(count) +
                                         QStringLiteral(" 张瓦片。\r\n\r\n") + SizeLine(bytes) +
                                         Average(bytes, count)});
    ASSERT_EQ(h.stitch.calls.size(), 1u);
    EXPECT_EQ(h.stitch.calls[0].taskFile, taskFile);
    EXPECT_TRUE(h.stitch.calls[0].autoStart);
    EXPECT_FALSE(h.controller->ProgressVisible());
    EXPECT_EQ(h.controller->StatusText(), QStringLiteral("完毕"));
    EXPECT_EQ(h.controller->ProgressText(),
              QStringLiteral("00:00|(") + QString::number(count) + QStringLiteral("+0)/") +
                  QString::number(count) + QStringLiteral("|") + Size(bytes) + QStringLiteral("|") +
                  Size(bytes) + QStringLiteral("/s,") + QString::number(count) +
                  QStringLiteral(" 张/s"));
    EXPECT_EQ(h.taskbar.ProgressValue(), count);
    EXPECT_EQ(h.taskbarStates.front(), 2);
    EXPECT_EQ(h.taskbarStates.back(), 0);
    EXPECT_TRUE(h.controller->CanStart());

    // A second start counts its own tiles only (they are on disk now).
    h.fakes.messages.shown.clear();
    h.controller->Start();
    EXPECT_EQ(h.controller->Counters().Speed1, 0) << "the last task's speed is not carried over";
    EXPECT_EQ(h.controller->Counters().Speed2, 0);
    ASSERT_TRUE(h.RunToEnd());
    EXPECT_EQ(h.controller->Counters().Succeed, count);
    EXPECT_EQ(h.controller->Counters().Failed, 0);
}

TEST(DownloadController, SummaryTextsForFailedAndMissingTiles) {
    // Which tiles fail is decided by their column and row.
    struct Case {
        const char* name;
        std::function<testsupport::CannedAnswer(const engine::TTile&)> answer;
        std::function<QString(std::int64_t ok, std::int64_t failed, std::int64_t missing)> text;
    };
    const auto odd = [](const engine::TTile& t) { return (t.x + t.y) % 2 != 0; };
    const Case cases[] = {
        {"some failed",
         [&](const engine::TTile& t) { return odd(t) ? ta::ServerError() : ta::Png(); },
         [](std::int64_t ok, std::int64_t failed, std::int64_t) {
             return QStringLiteral("已成功下载 ") + QString::number(ok) +
                    QStringLiteral(" 张瓦片，还有 ") + QString::number(failed) +
                    QStringLiteral(" 张需要下载，请重新下载一次。\r\n") + SizeLine(ok * kPngSize) +
                    Average(ok * kPngSize, ok);
         }},
        {"some missing on the server",
         [&](const engine::TTile& t) { return odd(t) ? ta::Html(404) : ta::Png(); },
         [](std::int64_t ok, std::int64_t, std::int64_t missing) {
             return QStringLiteral("已成功下载 ") + QString::number(ok) +
                    QStringLiteral(" 张切片，其中 ") + QString::number(missing) +
                    QStringLiteral(" 张瓦片服务器上不存在。\r\n") + SizeLine(ok * kPngSize) +
                    Average(ok * kPngSize, ok);
         }},
        {"some missing, some failed",
         [&](const engine::TTile& t) {
             if (!odd(t))
                 return ta::Png();
             return t.x % 2 == 0 ? ta::Html(404) : ta::ServerError();
         },
         [](std::int64_t ok, std::int64_t failed, std::int64_t missing) {
             return QStringLiteral("已成功下载 ") + QString::number(ok) +
                    QStringLiteral(" 张切片，其中 ") + QString::number(missing) +
                    QStringLiteral(" 张瓦片服务器上不存在。\r\n") + SizeLine(ok * kPngSize) +
                    QStringLiteral("还有 ") + QString::number(failed - missing) +
                    QStringLiteral(" 张需要下载，请重新下载一次。") + Average(ok * kPngSize, ok);
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Harness h([&](const testsupport::TileRequest& request) {
            const auto tile = TileOf(request.target);
            return tile ? c.answer(*tile) : ta::Html(404);
        });
        h.SetBox(kLat1, kLng1, kLat2, kLng2);
        h.SetLevels({10, 11, 12});
        std::int64_t ok = 0, failed = 0, missing = 0;
        for (const auto& tile : TilesOf(h.controller->TileBounds())) {
            const int status = c.answer(tile).status;
            ok += status == 200;
            failed += status != 200;
            missing += status == 404;
        }
        ASSERT_GT(failed, 0);
        h.controller->Start();
        ASSERT_TRUE(h.RunToEnd());
        const auto counters = h.controller->Counters();
        EXPECT_EQ(counters.Succeed, ok);
        EXPECT_EQ(counters.Failed, failed);
        EXPECT_EQ(counters.Failed_404, missing);
        EXPECT_EQ(h.Questions(), QStringList{c.text(ok, failed, missing)});
        EXPECT_TRUE(h.stitch.calls.empty()) << "the summary was answered No";
    }
}

// Tiles are answered slowly, so that a task is still running while the test acts on it.
testsupport::TileServer::Rule SlowTiles(std::chrono::milliseconds delay) {
    return [delay](const testsupport::TileRequest&) { return ta::Slow(ta::Png(), delay); };
}

TEST(DownloadController, PauseResumeAndStopAskFirstAndHaltTheWorkers) {
    Harness h(SlowTiles(120ms));
    h.settings.SetIntSetting(engine::IntSetting::MaxThread, 2);
    h.SetBox(kLat1, kLng1, kLat2, kLng2);
    h.SetLevels({10, 11, 12, 13, 14});
    QSignalSpy finished(h.controller.get(), &app::DownloadController::finished);
    h.controller->Start();
    ASSERT_TRUE(WaitUntil([&] { return h.controller->Counters().Succeed >= 2; }));

    h.fakes.messages.answers = {false};
    h.controller->PauseOrResume();
    EXPECT_EQ(h.controller->Status(), TDownloadStatus::dsDownloading);
    EXPECT_EQ(h.Questions(), QStringList{QStringLiteral("您要暂停下载？")});

    h.fakes.messages.answers = {true};
    h.controller->PauseOrResume();
    EXPECT_EQ(h.controller->Status(), TDownloadStatus::dsPaused);
    EXPECT_EQ(h.controller->PauseCaption(), QStringLiteral("继续"));
    EXPECT_FALSE(h.controller->TimerActive());
    EXPECT_EQ(h.taskbar.ProgressState(), app::TfspTaskProgressState::fstpsNoProgress);
    EXPECT_EQ(h.controller->StatusText(), QStringLiteral("暂停"));
    Spin(400ms);  // a request in hand is cut off within the workers' wait slice
    const int requestsWhilePaused = h.server.Total();
    const std::size_t filesWhilePaused = CountFiles(h.tiles());
    Spin(800ms);
    EXPECT_EQ(h.server.Total(), requestsWhilePaused);
    EXPECT_EQ(CountFiles(h.tiles()), filesWhilePaused);

    // Resuming does not ask.
    h.controller->PauseOrResume();
    EXPECT_EQ(h.controller->Status(), TDownloadStatus::dsDownloading);
    EXPECT_EQ(h.controller->PauseCaption(), QStringLiteral("暂停"));
    EXPECT_TRUE(h.controller->TimerActive());
    EXPECT_EQ(h.taskbar.ProgressState(), app::TfspTaskProgressState::fstpsNormal);
    EXPECT_EQ(h.Questions().size(), 2);
    ASSERT_TRUE(WaitUntil([&] { return h.server.Total() > requestsWhilePaused; }));

    h.fakes.messages.answers = {false};
    h.controller->Stop();
    EXPECT_EQ(h.controller->Status(), TDownloadStatus::dsDownloading);
    EXPECT_EQ(h.Questions().back(), QStringLiteral("您要停止下载？"));

    h.fakes.messages.answers = {true};
    h.controller->Stop();
    EXPECT_EQ(h.controller->Status(), TDownloadStatus::dsStopped);
    EXPECT_TRUE(h.controller->CanStart());
    ASSERT_EQ(finished.count(), 1);
    EXPECT_TRUE(finished[0][0].toBool());
    Spin(400ms);
    const int requestsAfterStop = h.server.Total();
    Spin(800ms);
    EXPECT_EQ(h.server.Total(), requestsAfterStop);
    // A stopped task shows neither the power-off question nor the summary.
    EXPECT_EQ(h.Questions().size(), 4);
    EXPECT_TRUE(h.fakes.powerOff.captions.isEmpty());
    EXPECT_TRUE(h.stitch.calls.empty());
}

TEST(DownloadController, PausedAndResumedTasksLoseAndRepeatNoCount) {
    Harness h(SlowTiles(40ms));
    h.SetBox(kLat1, kLng1, kLat2, kLng2);
    h.SetLevels({10, 11, 12, 13, 14});
    const std::int64_t count = h.controller->TileCount();
    h.controller->Start();
    for (int round = 0; round < 3; ++round) {
        const std::int64_t before = h.controller->Counters().Succeed;
        ASSERT_TRUE(WaitUntil([&] { return h.controller->Counters().Succeed >= before + 3; }));
        h.fakes.messages.answers = {true};
        h.controller->PauseOrResume();
        ASSERT_EQ(h.controller->Status(), TDownloadStatus::dsPaused);
        Spin(300ms);
        // Whatever arrived while paused has been counted: the counters match the disk.
        EXPECT_EQ(h.controller->Counters().Succeed,
                  static_cast<std::int64_t>(CountFiles(h.tiles())));
        h.controller->PauseOrResume();
    }
    ASSERT_TRUE(h.RunToEnd());
    EXPECT_EQ(h.controller->Counters().Succeed, count);
    EXPECT_EQ(h.controller->Counters().Failed, 0);
    EXPECT_EQ(CountFiles(h.tiles()), static_cast<std::size_t>(count));
    ASSERT_FALSE(h.Questions().isEmpty());
    EXPECT_TRUE(h.Questions().back().startsWith(QStringLiteral("已成功下载 ") +
                                                QString::number(count) +
                                                QStringLiteral(" 张瓦片。\r\n\r\n")));
}

TEST(DownloadController, AnAnswerAfterTheTaskEndedChangesNothing) {
    // While the question is open, the nested loop runs the task to its end (and its summary).
    for (const bool stop : {false, true}) {
        SCOPED_TRACE(stop ? "stop" : "pause");
        Harness h;
        h.SetBox(kLat1, kLng1, kLat2, kLng2);
        h.SetLevels({10, 11, 12});
        QSignalSpy finished(h.controller.get(), &app::DownloadController::finished);
        bool nested = false;
        h.fakes.messages.duringMessage = [&] {
            if (nested)
                return;
            nested = true;
            h.RunToEnd();
        };
        // The summary inside is answered first (No), then the outer question (Yes).
        h.fakes.messages.answers = {false, true};
        h.controller->Start();
        if (stop)
            h.controller->Stop();
        else
            h.controller->PauseOrResume();
        EXPECT_EQ(h.controller->Status(), TDownloadStatus::dsStopped);
        ASSERT_EQ(finished.count(), 1);
        EXPECT_FALSE(finished[0][0].toBool()) << "the task ended by itself, not by the stop";
        EXPECT_EQ(h.Questions().size(), 2);
        EXPECT_TRUE(h.stitch.calls.empty());
    }
}

TEST(DownloadController, RecountWhilePausedChangesOnlyTheLabel) {
    Harness h(SlowTiles(40ms));
    h.SetBox(kLat1, kLng1, kLat2, kLng2);
    h.SetLevels({10, 11, 12, 13});
    const std::int64_t count = h.controller->TileCount();
    h.controller->Start();
    ASSERT_TRUE(WaitUntil([&] { return h.controller->Counters().Succeed >= 2; }));
    h.fakes.messages.answers = {true};
    h.controller->PauseOrResume();
    ASSERT_EQ(h.controller->Status(), TDownloadStatus::dsPaused);
    const QString label = h.controller->TileCountText();
    h.SetLevels({10});
    EXPECT_NE(h.controller->TileCountText(), label);
    EXPECT_EQ(h.controller->Counters().Total, count);
    EXPECT_EQ(h.controller->DownloadTileCount(), count);
    h.controller->PauseOrResume();
    ASSERT_TRUE(h.RunToEnd());
    EXPECT_EQ(h.controller->Counters().Succeed, count);
    EXPECT_EQ(CountFiles(h.tiles()), static_cast<std::size_t>(count));
}

TEST(DownloadController, LevelsTickedWhileDownloadingAreCountedOnceTheTaskEnds) {
    for (const bool stop : {false, true}) {
        SCOPED_TRACE(stop ? "stopped" : "ran to its end");
        Harness h(SlowTiles(stop ? 200ms : 5ms));
        h.SetBox(kLat1, kLng1, kLat2, kLng2);
        h.SetLevels({10, 11});
        const std::int64_t started = h.controller->TileCount();
        const QString startedLabel = h.controller->TileCountText();
        h.controller->Start();
        ASSERT_EQ(h.controller->Status(), TDownloadStatus::dsDownloading);
        // The running task keeps its levels, count and label.
        h.SetLevels({10, 11, 12});
        EXPECT_EQ(h.controller->TileCount(), started);
        EXPECT_EQ(h.controller->TileCountText(), startedLabel);
        EXPECT_EQ(h.settings.GetStrSetting(engine::StrSetting::SelectedZoomLevels), "10,11");

        if (stop) {
            h.fakes.messages.answers = {true};
            h.controller->Stop();
        }
        ASSERT_TRUE(h.RunToEnd());
        if (!stop) {
            // The summary reports the task that ran.
            ASSERT_EQ(h.Questions().size(), 1);
            EXPECT_TRUE(h.Questions()[0].startsWith(QStringLiteral("已成功下载 ") +
                                                    QString::number(started) + " "));
        }
        // Then the label, the stored selection and the next start follow the list.
        EXPECT_GT(h.controller->TileCount(), started);
        EXPECT_NE(h.controller->TileCountText(), startedLabel);
        EXPECT_EQ(h.settings.GetStrSetting(engine::StrSetting::SelectedZoomLevels), "10,11,12");
        EXPECT_TRUE(h.controller->TileBounds()[12].Checked);
    }
}

TEST(DownloadController, ACountAboveTheCapIsReportedTrueAndFetchedOnlyUpToTheCap) {
    {
        SCOPED_TRACE("the program's cap, with the whole world at level 21");
        Harness h(SlowTiles(5s));
        h.settings.SetIntSetting(engine::IntSetting::MaxThread, 1);
        h.SetBox(84.9, -179.9, -84.9, 179.9);
        h.SetLevels({21});
        const std::int64_t count = h.controller->TileCount();
        ASSERT_GT(count, 4'000'000'000'000LL);
        h.controller->Start();
        EXPECT_EQ(h.fakes.messages.Texts(), QStringList{app::CapMessage(count, 2147483647)});
        EXPECT_TRUE(h.fakes.messages.Texts()[0].startsWith(QStringLiteral("一共 ") +
                                                           QString::number(count)));
        EXPECT_EQ(h.controller->DownloadTileCount(), 2147483647);
        EXPECT_EQ(h.controller->Counters().Total, 2147483647);
        EXPECT_EQ(h.controller->ProgressMaximum(), 2147483647);
        EXPECT_EQ(h.taskbar.ProgressValueMax(), 2147483647);
        h.fakes.messages.answers = {true};
        h.controller->Stop();
        EXPECT_EQ(h.controller->Status(), TDownloadStatus::dsStopped);
    }
    {
        SCOPED_TRACE("a lowered cap, run to its end");
        Harness h;
        h.SetBox(kLat1, kLng1, kLat2, kLng2);
        h.SetLevels({10, 11, 12});
        const std::int64_t count = h.controller->TileCount();
        ASSERT_GT(count, 5);
        h.controller->SetMaxTaskTiles(5);
        h.controller->Start();
        ASSERT_TRUE(h.RunToEnd());
        EXPECT_EQ(h.fakes.messages.shown.front().text, app::CapMessage(count, 5));
        EXPECT_EQ(h.server.Total(), 5);
        EXPECT_EQ(CountFiles(h.tiles()), 5u);
        EXPECT_EQ(h.controller->Counters().Succeed, 5);
        EXPECT_EQ(h.Questions(), QStringList{QStringLiteral("已成功下载 5 张瓦片。\r\n\r\n") +
                                             SizeLine(5 * kPngSize) + Average(5 * kPngSize, 5)});
    }
}

// The centre of Baidu tile (x, y) at level z, in the map's own degrees.
engine::TGLatLng BaiduTileCentre(int x, int y, int z) {
    const double metresPerTile = 256.0 * std::ldexp(1.0, 18 - z);
    return *engine::BaiduMercatorToLatLng((x + 0.5) * metresPerTile, (y + 0.5) * metresPerTile);
}

TEST(DownloadController, BaiduLabelShowsTheTilesTheTaskCounts) {
    Harness h(SlowTiles(5s));
    h.fakes.page.mapType = TMapType::mtBaiduRoadMap;
    // Two vertices in the middle of Baidu tiles 40 columns and 25 rows apart at level 10.
    h.SetArea({BaiduTileCentre(180, 60, 10), BaiduTileCentre(219, 84, 10)});
    h.SetLevels({10});
    ASSERT_EQ(h.controller->TileCount(), 1000);
    EXPECT_EQ(h.controller->TileCountText(),
              QStringLiteral("40 列 x 25 行 = 1000 瓦片 \r\n宽 86 cm x 高 54 cm (dpi:300)"));
    h.controller->Start();
    EXPECT_EQ(h.controller->Counters().Total, 1000);
    EXPECT_EQ(h.controller->ProgressMaximum(), 1000);
    h.fakes.messages.answers = {true};
    h.controller->Stop();
}

// Levels 17 and 18 of a 3D-layer area over Beijing: the label counts the five tiles the
// download then fetches and stores under their Baidu numbers.
TEST(DownloadController, Baidu3DLabelCountsTheTilesTheDownloadFetches) {
    Harness h;
    h.fakes.page.mapType = TMapType::mtBaidu3D;
    constexpr int x = 50616, y = 18848;  // level 18, even: one tile at level 17
    h.SetArea({BaiduTileCentre(x, y, 18), BaiduTileCentre(x + 1, y + 1, 18)});
    h.SetLevels({17, 18});
    ASSERT_EQ(h.controller->TileCount(), 5);
    EXPECT_TRUE(h.controller->TileCountText().startsWith(QStringLiteral("2 列 x 2 行 = 5 瓦片 ")))
        << h.controller->TileCountText().toStdString();
    h.controller->Start();
    ASSERT_TRUE(h.RunToEnd());
    EXPECT_EQ(h.server.Total(), 5);
    EXPECT_EQ(CountFiles(h.tiles()), 5u);
    for (const auto& [tx, ty, z] : {std::tuple{x / 2, y / 2, 17}, std::tuple{x + 1, y + 1, 18}}) {
        EXPECT_TRUE(std::filesystem::exists(
            engine::BaseTilePath(h.tiles(), TMapType::mtBaidu3D,
                                 {tx, ty, static_cast<std::int8_t>(z)}, engine::TImgType::itPNG)))
            << tx << "," << ty << "," << z;
    }
}

TEST(DownloadController, ABaiduAreaThatCannotBeProjectedIsNotCounted) {
    Harness h;
    h.fakes.page.mapType = TMapType::mtBaiduSatellite;
    h.SetLevels({10});
    h.SetArea({{39.9, 116.3}, {std::nan(""), 116.4}});
    EXPECT_EQ(h.controller->TileCountText(), QString());
    ASSERT_EQ(h.fakes.messages.shown.size(), 1u);
    EXPECT_EQ(h.fakes.messages.shown[0].kind, QStringLiteral("error"));
    h.controller->Start();
    EXPECT_EQ(h.controller->Status(), TDownloadStatus::dsStopped);
    Spin(200ms);
    EXPECT_EQ(h.server.Total(), 0);
}

// The first `fast` requests are answered at once, the others after `delay`.
testsupport::TileServer::Rule FastThenSlow(int fast, std::chrono::milliseconds delay) {
    auto served = std::make_shared<std::atomic<int>>(0);
    return [served, fast, delay](const testsupport::TileRequest&) {
        return served->fetch_add(1) < fast ? ta::Png() : ta::Slow(ta::Png(), delay);
    };
}

// Starts two workers on a server that answers two tiles at once and then stalls; true once
// both tiles are in and the timer runs.
bool StartWithTwoTilesIn(Harness& h) {
    h.settings.SetIntSetting(engine::IntSetting::MaxThread, 2);
    h.SetBox(kLat1, kLng1, kLat2, kLng2);
    h.SetLevels({10, 11, 12});
    h.controller->Start();
    return WaitUntil(
        [&] { return h.controller->Counters().Succeed == 2 && h.controller->TimerActive(); });
}

TEST(DownloadController, AnIntervalWithoutBytesShowsSpeedZero) {
    Harness h(FastThenSlow(2, 10s));
    ASSERT_TRUE(StartWithTwoTilesIn(h));
    h.controller->Tick();  // takes in the two tiles
    EXPECT_EQ(h.controller->Counters().Speed1, 2 * kPngSize);
    EXPECT_EQ(h.controller->Counters().Speed2, 2);
    h.controller->Tick();  // nothing new
    EXPECT_EQ(h.controller->Counters().Speed1, 0);
    EXPECT_EQ(h.controller->Counters().Speed2, 0);
    EXPECT_TRUE(h.controller->ProgressText().endsWith(QStringLiteral("|0B/s,0 张/s")))
        << h.controller->ProgressText().toStdString();
    h.fakes.messages.answers = {true};
    h.controller->Stop();
}

TEST(DownloadController, TheRunningSpeedIsPerSecondWhateverTheTicksInterval) {
    // Two tiles come in during the interval.
    struct Case {
        std::chrono::milliseconds interval;
        std::int32_t bytesPerSecond, tilesPerSecond;
    };
    const Case cases[] = {
        {500ms, 4 * kPngSize, 4},
        {250ms, 8 * kPngSize, 8},
        {2000ms, kPngSize, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.interval.count());
        Harness h(FastThenSlow(2, 10s));
        ASSERT_TRUE(StartWithTwoTilesIn(h));
        h.fakes.clock.now += c.interval;
        h.controller->Tick();
        EXPECT_EQ(h.controller->Counters().Speed1, c.bytesPerSecond);
        EXPECT_EQ(h.controller->Counters().Speed2, c.tilesPerSecond);
        h.fakes.messages.answers = {true};
        h.controller->Stop();
    }
}

TEST(DownloadController, ThirtyIdleMinutesEndTheTaskAndStopItsWorkers) {
    Harness h(FastThenSlow(2, 1500ms));
    h.settings.SetIntSetting(engine::IntSetting::MaxThread, 2);
    h.SetBox(kLat1, kLng1, kLat2, kLng2);
    h.SetLevels({10, 11, 12});
    const std::int64_t count = h.controller->TileCount();
    h.controller->Start();
    ASSERT_TRUE(WaitUntil(
        [&] { return h.controller->Counters().Succeed == 2 && h.controller->TimerActive(); }));
    h.controller->Tick();
    // A long pause does not count as idle time: resuming is activity.
    h.fakes.messages.answers = {true};
    h.controller->PauseOrResume();
    h.fakes.clock.Advance(45min);
    h.controller->PauseOrResume();
    h.controller->Tick();
    EXPECT_EQ(h.controller->Status(), TDownloadStatus::dsDownloading);

    h.fakes.clock.Advance(29min);
    h.controller->Tick();
    EXPECT_EQ(h.controller->Status(), TDownloadStatus::dsDownloading);
    h.fakes.clock.Advance(1min);
    h.controller->Tick();
    EXPECT_EQ(h.controller->Status(), TDownloadStatus::dsStopped);
    // The tiles never fetched are still to download; the task does not read as complete.
    EXPECT_EQ(
        h.Questions().back(),
        QStringLiteral("已成功下载 2 张瓦片，还有 ") + QString::number(count - 2) +
            QStringLiteral(" 张需要下载，请重新下载一次。\r\n") +
            QStringLiteral("文件大小为 138B，下载共耗时 ") +
            QString::fromStdString(engine::FormatElapsedTime(h.controller->Counters().ElapsedMs)) +
            QStringLiteral(" 。") + QStringLiteral("\r\n\r\n平均下载速度 0B/s，0 张/s ") +
            QStringLiteral("\r\n\r\n现在是否需要拼接或者导出地图？"));
    // The slow answers in hand would have landed by now had the workers run on. A request a
    // worker sent just before the pause may still reach the server (and is cut off), so the
    // count is taken once those have arrived.
    Spin(500ms);
    const int requests = h.server.Total();
    Spin(2500ms);
    EXPECT_EQ(CountFiles(h.tiles()), 2u);
    EXPECT_EQ(h.server.Total(), requests);
    EXPECT_EQ(h.controller->Counters().Succeed, 2);
}

TEST(DownloadController, AutomaticStitchingTakesTheTaskWithoutSummaryOrPowerOffQuestion) {
    Harness h;
    h.settings.SetBoolSetting(engine::BoolSetting::AutoCombineImage, true);
    h.settings.SetBoolSetting(engine::BoolSetting::ForceShutDownWindows, true);
    h.SetBox(kLat1, kLng1, kLat2, kLng2);
    h.SetLevels({10, 11});
    h.controller->Start();
    ASSERT_TRUE(h.RunToEnd());
    ASSERT_EQ(h.stitch.calls.size(), 1u);
    EXPECT_EQ(h.stitch.calls[0].taskFile, h.store.FileOf(h.store.name));
    EXPECT_TRUE(h.stitch.calls[0].autoStart);
    EXPECT_TRUE(h.Questions().isEmpty());
    // The stitching asks the power-off question once it is done, not the download.
    EXPECT_TRUE(h.fakes.powerOff.captions.isEmpty());
}

TEST(DownloadController, PowerOffQuestionComesBeforeTheSummary) {
    for (const bool powerOff : {false, true}) {
        SCOPED_TRACE(powerOff ? "answered Yes" : "answered No");
        Harness h;
        h.settings.SetBoolSetting(engine::BoolSetting::ForceShutDownWindows, true);
        h.fakes.powerOff.answer = powerOff;
        int powerOffQuestionsBeforeSummary = -1;
        h.fakes.messages.duringMessage = [&] {
            powerOffQuestionsBeforeSummary = h.fakes.powerOff.captions.size();
        };
        h.SetBox(kLat1, kLng1, kLat2, kLng2);
        h.SetLevels({10, 11});
        h.controller->Start();
        ASSERT_TRUE(h.RunToEnd());
        EXPECT_EQ(h.fakes.powerOff.captions, QStringList{QStringLiteral("自动关机")});
        EXPECT_EQ(h.fakes.powerOff.poweredOff, powerOff ? 1 : 0);
        ASSERT_EQ(h.Questions().size(), 1);
        EXPECT_EQ(powerOffQuestionsBeforeSummary, 1);
    }
}

}  // namespace
}  // namespace downloadui
