// How the workers meet the faults of real tile servers: error pages, images under error
// statuses, pages in place of tiles, broken transfers, the layer-11 redirect to a missing tile,
// and stop or pause in the middle of endless retries and slow answers.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "download_fixture.h"
#include "engine/core/body_limits.h"
#include "engine/core/catalogue.h"
#include "engine/download/installed_data.h"
#include "engine/download/tile_path.h"
#include "support/peak_memory.h"

using namespace engine;
using downloadtest::DownloadFixture;
using downloadtest::OneLevel;
using downloadtest::Report;
namespace ta = testsupport::tileanswers;
using std::chrono::milliseconds;
using std::chrono::steady_clock;

namespace {

// Answers served in order; the last one repeats.
testsupport::TileServer::Rule Sequence(std::vector<testsupport::CannedAnswer> answers) {
    auto next = std::make_shared<std::atomic<std::size_t>>(0);
    return [answers = std::move(answers), next](const testsupport::TileRequest&) {
        const std::size_t i = next->fetch_add(1);
        return answers[std::min(i, answers.size() - 1)];
    };
}

struct FaultCase {
    const char* name;
    TMapType layer;
    std::vector<testsupport::CannedAnswer> answers;
    int requests;         // tries made for the one tile (3 allowed)
    Report report;        // size -1: not checked
    TImgType storedAs;    // itError: no tile file at all
    std::string logLine;  // empty: nothing logged
};

}  // namespace

TEST(DownloadFaults, EachAnswerGivesItsTriesReportFileAndLogLine) {
    const int png = static_cast<int>(ta::SmallPng().size());
    const int html = static_cast<int>(ta::HtmlPage().size());
    const TMapType osm = TMapType::mtOsmRoadMap;             // PNG layer
    const TMapType satellite = TMapType::mtGoogleSatellite;  // JPG layer
    const std::vector<FaultCase> cases = {
        {"404 page: one try, missing",
         osm,
         {ta::Html(404)},
         1,
         {false, html, 404},
         TImgType::itError,
         "404 Not Found 服务器不存在请求的瓦片。"},
        {"400 page: one try",
         osm,
         {ta::Html(400)},
         1,
         {false, html, 400},
         TImgType::itError,
         "400 Bad Request 服务器未能理解请求。"},
        {"404 with an image is a tile",
         osm,
         {ta::Png(404)},
         1,
         {true, png, 404},
         TImgType::itPNG,
         ""},
        {"page under 200: every try, image error",
         osm,
         {ta::Html(200)},
         3,
         {false, html, 200},
         TImgType::itError,
         "200 Image error"},
        {"empty 200: every try",
         osm,
         {ta::Html(200)},
         3,
         {false, -1, 200},
         TImgType::itError,
         "200 Image error"},
        {"500 every time",
         osm,
         {ta::ServerError()},
         3,
         {false, -1, 500},
         TImgType::itError,
         "500 Internal Server Result 服务器遇到不可预知的情况 。"},
        {"500 twice, then the tile",
         osm,
         {ta::ServerError(), ta::ServerError(), ta::Png()},
         3,
         {true, png, 200},
         TImgType::itPNG,
         ""},
        {"body cut short is never stored",
         osm,
         {ta::CutMidBody(ta::Png(), 20)},
         3,
         {false, 0, 500},
         TImgType::itError,
         "500 Internal Server Result 服务器遇到不可预知的情况 。"},
        {"dropped, then the tile",
         osm,
         {[] {
              auto a = ta::Png();
              a.fault = testsupport::CannedAnswer::Fault::DropConnection;
              return a;
          }(),
          ta::Png()},
         2,
         {true, png, 200},
         TImgType::itPNG,
         ""},
        {"PNG for a JPG layer keeps .png",
         satellite,
         {ta::Png()},
         1,
         {true, png, 200},
         TImgType::itPNG,
         ""},
        {"503 unknown to nobody",
         osm,
         {ta::Html(503)},
         3,
         {false, html, 503},
         TImgType::itError,
         "503 Service Unavailable 服务器临时过载或当机 。"},
        {"599 unknown code",
         osm,
         {ta::Html(599)},
         3,
         {false, html, 599},
         TImgType::itError,
         "599 599 未知错误。"},
    };
    for (const FaultCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<testsupport::CannedAnswer> answers = c.answers;
        if (std::string(c.name) == "empty 200: every try") {
            answers[0].body.clear();
        }
        DownloadFixture f(Sequence(answers));
        ASSERT_TRUE(f.Run(f.Plan(c.layer, OneLevel(5, 7, 7, 9, 9)), 1));
        EXPECT_EQ(f.server.Total(), c.requests);
        const auto reports = f.Reports();
        ASSERT_EQ(reports.size(), 1u);
        EXPECT_EQ(reports[0].succeed, c.report.succeed);
        EXPECT_EQ(reports[0].code, c.report.code);
        if (c.report.size >= 0) {
            EXPECT_EQ(reports[0].size, c.report.size);
        }
        for (const TImgType type : {TImgType::itPNG, TImgType::itJPG}) {
            const auto tile = BaseTilePath(f.out.path(), c.layer, {7, 9, 5}, type);
            EXPECT_EQ(std::filesystem::exists(tile), type == c.storedAs) << tile;
        }
        const auto column = TileFolderPath(f.out.path(), MapTileFolders[Ord(c.layer)], 5, 7);
        if (std::filesystem::exists(column)) {
            EXPECT_EQ(std::distance(std::filesystem::directory_iterator(column),
                                    std::filesystem::directory_iterator()),
                      c.storedAs == TImgType::itError ? 0 : 1)
                << "no temporary file is left behind";
        }
        const auto log = f.LogLines();
        const bool logged = std::find(log.begin(), log.end(), c.logLine) != log.end();
        if (c.logLine.empty()) {
            EXPECT_EQ(std::count_if(log.begin(), log.end(),
                                    [](const std::string& l) { return l.rfind("200 ", 0) == 0; }),
                      0);
        } else {
            EXPECT_TRUE(logged) << c.logLine;
        }
    }
}

TEST(DownloadFaults, UnwritableOutputFolderCountsEveryTryAndReportsNotSaved) {
    DownloadFixture f;
    // The output folder's place is taken by a plain file, so no tile folder can be made.
    testsupport::WriteFileBytes(f.out / "blocked", "x");
    auto plan = f.Plan(TMapType::mtOsmRoadMap, OneLevel(2, 0, 0, 0, 0));
    plan.Settings.OutPutDirectory = f.out / "blocked";
    ASSERT_TRUE(f.Run(std::move(plan), 1));
    EXPECT_EQ(f.server.Total(), 3);
    ASSERT_EQ(f.Reports().size(), 1u);
    EXPECT_FALSE(f.Reports()[0].succeed);
}

// A tile server that never ends a body: each try fails once the tile limit is passed, memory
// stays near that limit, nothing is stored for the tile, and the next tile comes normally.
TEST(DownloadFaults, EndlessTileBodyFailsEveryTryWithFlatMemoryAndTheNextTileIsStored) {
    auto endless = ta::Png();
    endless.body.clear();
    endless.fault = testsupport::CannedAnswer::Fault::EndlessBody;
    DownloadFixture f([endless](const testsupport::TileRequest& request) {
        return request.target.rfind("/5/7/", 0) == 0 ? endless : ta::Png();
    });
    const std::size_t peakBefore = testsupport::PeakResidentBytes();
    ASSERT_TRUE(f.Run(f.Plan(TMapType::mtOsmRoadMap, OneLevel(5, 7, 8, 9, 9)), 1));
    EXPECT_LT(testsupport::PeakResidentBytes() - peakBefore, 2 * kMaxTileBodyBytes + (8u << 20));
    EXPECT_LT(f.server.Server().EndlessBytesSent(), 3 * (kMaxTileBodyBytes + (16u << 20)));
    EXPECT_EQ(f.server.Count("/5/7/9.png"), 3);
    const int png = static_cast<int>(ta::SmallPng().size());
    EXPECT_EQ(f.Reports(), (std::vector<Report>{{false, 0, 500}, {true, png, 200}}));
    const auto endlessTile =
        BaseTilePath(f.out.path(), TMapType::mtOsmRoadMap, {7, 9, 5}, TImgType::itPNG);
    EXPECT_FALSE(std::filesystem::exists(endlessTile.parent_path()) &&
                 !std::filesystem::is_empty(endlessTile.parent_path()))
        << "nothing stored for the endless tile";
    EXPECT_EQ(testsupport::ReadFileBytes(
                  BaseTilePath(f.out.path(), TMapType::mtOsmRoadMap, {8, 9, 5}, TImgType::itPNG)),
              ta::SmallPng());
    const auto log = f.LogLines();
    EXPECT_EQ(std::count_if(log.begin(), log.end(),
                            [](const std::string& line) {
                                return line.find("larger than") != std::string::npos;
                            }),
              1)
        << "logged once for the tile";
}

TEST(DownloadFaults, SosoRedirectToAMissingTileStoresTheSubstituteWhole) {
    const std::string substitute = testsupport::ReadFileBytes(
        std::filesystem::path(VANTOREL_SOURCE_DIR) / "resources" / "404.png");
    ASSERT_FALSE(substitute.empty()) << "resources/404.png is missing";
    ASSERT_EQ(LoadSubstituteImage(), substitute) << "the installed-data lookup finds another file";
    // A redirect whose body is longer than the substitute: nothing of it may survive.
    auto redirect = ta::Redirect("http://p0.map.gtimg.com/404.png");
    redirect.body.assign(substitute.size() * 3, '<');
    for (const auto& answer : {redirect, ta::Html(404)}) {
        SCOPED_TRACE(answer.status);
        DownloadFixture f([answer](const testsupport::TileRequest&) { return answer; });
        auto plan = f.Plan(TMapType::mtSosoRoadMap, OneLevel(4, 3, 3, 5, 5));
        plan.SubstituteImage = LoadSubstituteImage();
        ASSERT_TRUE(f.Run(std::move(plan), 1));
        EXPECT_EQ(testsupport::ReadFileBytes(BaseTilePath(f.out.path(), TMapType::mtSosoRoadMap,
                                                          {3, 5, 4}, TImgType::itPNG)),
                  substitute);
        EXPECT_EQ(
            f.Reports(),
            (std::vector<Report>{{true, static_cast<int>(substitute.size()), answer.status}}));
    }
    // Other layers never substitute.
    DownloadFixture other([redirect](const testsupport::TileRequest&) { return redirect; });
    auto plan = other.Plan(TMapType::mtOsmRoadMap, OneLevel(4, 3, 3, 5, 5));
    plan.SubstituteImage = substitute;
    ASSERT_TRUE(other.Run(std::move(plan), 1));
    EXPECT_FALSE(other.Reports().at(0).succeed);
}

namespace {

// Waits until `done` or 5 s; true when done.
template <typename Done>
bool Eventually(Done done) {
    const auto until = steady_clock::now() + std::chrono::seconds(5);
    while (!done()) {
        if (steady_clock::now() > until) {
            return false;
        }
        std::this_thread::sleep_for(milliseconds(5));
    }
    return true;
}

}  // namespace

TEST(DownloadFaults, PauseAndTerminateTakeEffectWithinASecondDuringEndlessRetries) {
    struct HaltCase {
        const char* name;
        testsupport::CannedAnswer answer;
        int delaySeconds;
    };
    const std::vector<HaltCase> cases = {
        {"immediate retries of a 500", ta::ServerError(), 0},
        {"a 30 s delay between tries", ta::ServerError(), 30},
        {"an answer that takes a minute", ta::Slow(ta::Png(), std::chrono::seconds(60)), 0},
        {"a body that stalls halfway", ta::StallMidBody(ta::Png(), 30, std::chrono::seconds(60)),
         0},
    };
    for (const HaltCase& c : cases) {
        SCOPED_TRACE(c.name);
        DownloadFixture f([answer = c.answer](const testsupport::TileRequest&) { return answer; });
        auto plan = f.Plan(TMapType::mtOsmRoadMap, OneLevel(3, 0, 1, 0, 1));
        plan.Settings.FailedTryTimes = 0;
        plan.Settings.DownloadDelay = c.delaySeconds;
        f.Start(std::move(plan), 2);
        ASSERT_TRUE(Eventually([&] { return f.server.Total() >= 2; }));
        std::this_thread::sleep_for(milliseconds(100));

        auto begun = steady_clock::now();
        f.pool.Pause();
        std::this_thread::sleep_for(milliseconds(1000));
        const int whilePaused = f.server.Total();
        std::this_thread::sleep_for(milliseconds(600));
        EXPECT_EQ(f.server.Total(), whilePaused) << "no request while paused";
        EXPECT_TRUE(f.Reports().empty()) << "the tiles in hand are kept over a pause";

        // Resume goes on with the same two addresses, then terminate ends it all.
        f.pool.Resume();
        ASSERT_TRUE(Eventually([&] { return f.server.Total() > whilePaused; }));
        begun = steady_clock::now();
        f.pool.Terminate();
        EXPECT_LT(steady_clock::now() - begun, milliseconds(1000));
        const auto reports = f.Reports();
        EXPECT_EQ(reports.size(), 2u) << "each address in hand is reported once";
        for (const auto& report : reports) {
            EXPECT_FALSE(report.succeed);
        }
        for (const auto& [target, count] : f.server.Counts()) {
            EXPECT_TRUE(target == "/3/0/0.png" || target == "/3/1/0.png" || target == "/3/0/1.png")
                << target;
        }
    }
}

TEST(DownloadFaults, PausedWorkerFinishesItsTileAfterResumeAndGoesOnInOrder) {
    DownloadFixture f(
        [](const testsupport::TileRequest&) { return ta::Slow(ta::Png(), milliseconds(300)); });
    f.Start(f.Plan(TMapType::mtOsmRoadMap, OneLevel(6, 1, 1, 0, 3)), 1);
    ASSERT_TRUE(Eventually([&] { return f.Reports().size() == 1; }));
    std::this_thread::sleep_for(milliseconds(100));  // the second tile is in hand
    f.pool.Pause();
    std::this_thread::sleep_for(milliseconds(700));
    EXPECT_EQ(f.Reports().size(), 1u);
    f.pool.Resume();
    ASSERT_TRUE(f.pool.WaitUntilFinished(std::chrono::seconds(10)));
    EXPECT_EQ(f.Reports(), std::vector<Report>(4, Report{true, 69, 200}));
    auto targets = f.server.Targets();
    targets.erase(std::unique(targets.begin(), targets.end()), targets.end());
    EXPECT_EQ(targets,
              (std::vector<std::string>{"/6/1/0.png", "/6/1/1.png", "/6/1/2.png", "/6/1/3.png"}));
}

TEST(DownloadFaults, AnErrorEscapingATileIsLoggedAndTheWorkerGoesOn) {
    // The progress handler of the owner throws: the worker logs it, makes no second report for
    // that address (the overlay pass is given up) and takes the next address.
    DownloadFixture f([](const testsupport::TileRequest& request) {
        return request.target.find("lyrs=h@") != std::string::npos ? ta::Png() : ta::Jpeg();
    });
    std::atomic<int> calls{0};
    f.pool.StartTask(f.Plan(TMapType::mtGoogleHybrid, OneLevel(3, 0, 0, 0, 2)), 1,
                     [&calls](bool, std::int32_t, std::int32_t) {
                         ++calls;
                         throw std::runtime_error("handler failed");
                     });
    ASSERT_TRUE(f.pool.WaitUntilFinished(std::chrono::seconds(10)));
    EXPECT_EQ(calls.load(), 3);
    EXPECT_EQ(f.server.Total(), 3) << "no overlay request after the error";
    const auto log = f.LogLines();
    EXPECT_EQ(std::count(log.begin(), log.end(), "TTileDownloader.GetTile:handler failed"), 3);
}
