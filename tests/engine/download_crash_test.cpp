// A download process killed while a tile body is arriving leaves nothing that a later run
// takes for a tile: the rerun fetches the tile again and stores it whole.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "download_fixture.h"
#include "engine/download/download_pool.h"
#include "engine/download/tile_path.h"

using namespace engine;
using downloadtest::DownloadFixture;
using downloadtest::OneLevel;
using downloadtest::Report;
namespace ta = testsupport::tileanswers;

namespace {

constexpr TMapType kLayer = TMapType::mtOsmRoadMap;
const TTile kTile{12, 34, 6};

DownloadPlan PlanFor(const std::filesystem::path& out) {
    DownloadPlan plan;
    plan.Bounds = OneLevel(kTile.z, kTile.x, kTile.x, kTile.y, kTile.y);
    plan.Settings.OutPutDirectory = out;
    plan.Settings.MapTypeIndex = Ord(kLayer);
    plan.Settings.FailedTryTimes = 3;
    plan.Settings.DownloadDelay = 0;
    return plan;
}

// A large tile, so that the cut falls well inside its body.
std::string LargePng() {
    std::string body = ta::SmallPng();
    body.append(200000, '\x07');
    return body;
}

// The child downloads into `out` from the server whose port arrives through `portPipe`, and
// never ends by itself.
[[noreturn]] void RunChild(int portPipe, const std::filesystem::path& out) {
    int port = 0;
    if (::read(portPipe, &port, sizeof(port)) != static_cast<ssize_t>(sizeof(port))) {
        ::_exit(3);
    }
    const std::string route = "http://127.0.0.1:" + std::to_string(port);
    ::setenv("VANTOREL_ROUTE", route.c_str(), 1);
    TileDownloadPool pool;
    pool.StartTask(PlanFor(out), 1, {});
    for (;;) {
        ::pause();
    }
}

}  // namespace

TEST(DownloadCrash, WorkerKilledMidBodyLeavesNoTileAndARerunFetchesIt) {
    testsupport::TempDir out;
    int pipeEnds[2];
    ASSERT_EQ(::pipe(pipeEnds), 0);
    // Forked before this process starts any thread of its own (the server comes after).
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(pipeEnds[1]);
        RunChild(pipeEnds[0], out.path());
    }
    ::close(pipeEnds[0]);

    const std::string body = LargePng();
    {
        auto answer = ta::Png();
        answer.body = body;
        testsupport::TileServer stalling([answer](const testsupport::TileRequest&) {
            return ta::StallMidBody(answer, 100000, std::chrono::seconds(30));
        });
        const int port = stalling.Server().port();
        ASSERT_EQ(::write(pipeEnds[1], &port, sizeof(port)), static_cast<ssize_t>(sizeof(port)));
        ::close(pipeEnds[1]);
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (stalling.Total() == 0 && std::chrono::steady_clock::now() < until) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        ASSERT_EQ(stalling.Total(), 1) << "the child never asked for its tile";
        std::this_thread::sleep_for(std::chrono::milliseconds(300));  // half the body is there
        ASSERT_EQ(::kill(child, SIGKILL), 0);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status));
    }

    const auto tile = BaseTilePath(out.path(), kLayer, kTile, TImgType::itPNG);
    EXPECT_FALSE(std::filesystem::exists(tile));
    if (std::filesystem::exists(tile.parent_path())) {
        for (const auto& entry : std::filesystem::directory_iterator(tile.parent_path())) {
            EXPECT_NE(entry.path().filename(), tile.filename());
        }
    }

    DownloadFixture rerun([body](const testsupport::TileRequest&) {
        auto answer = ta::Png();
        answer.body = body;
        return answer;
    });
    ASSERT_TRUE(rerun.Run(PlanFor(out.path()), 1));
    EXPECT_EQ(rerun.server.Total(), 1) << "the rerun fetches the tile again";
    EXPECT_EQ(rerun.Reports(),
              (std::vector<Report>{{true, static_cast<std::int32_t>(body.size()), 200}}));
    EXPECT_EQ(testsupport::ReadFileBytes(tile), body);
}
