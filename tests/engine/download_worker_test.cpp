// The worker pool's main road: the order and uniqueness of addresses, the tile folder tree,
// tiles already on disk, the overlay pass and the separation of tasks.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "download_fixture.h"
#include "engine/core/catalogue.h"
#include "engine/download/tile_cursor.h"
#include "engine/download/tile_path.h"

using namespace engine;
using downloadtest::DownloadFixture;
using downloadtest::OneLevel;
using downloadtest::Report;
namespace ta = testsupport::tileanswers;

namespace {

std::string OsmTarget(int z, int x, int y) {
    return "/" + std::to_string(z) + "/" + std::to_string(x) + "/" + std::to_string(y) + ".png";
}

std::vector<TTile> Drain(TileCursor& cursor) {
    std::vector<TTile> tiles;
    TTile tile;
    while (cursor.GetNextTile(tile)) {
        tiles.push_back(tile);
    }
    return tiles;
}

}  // namespace

TEST(TileCursor, WalksLevelsUpwardRowsAcrossColumnBandsAndSkipsUncheckedLevels) {
    TTileBounds bounds;
    bounds[2] = OneLevel(2, 1, 2, 0, 0)[2];
    bounds[5].Checked = false;  // a rectangle that is not selected is never walked
    bounds[5].MinCol = 0;
    bounds[5].MaxCol = 9;
    bounds[7] = OneLevel(7, 10, 12, 20, 21)[7];
    TileCursor cursor(bounds);
    const std::vector<TTile> expected = {{1, 0, 2},   {2, 0, 2},   {10, 20, 7}, {11, 20, 7},
                                         {12, 20, 7}, {10, 21, 7}, {11, 21, 7}, {12, 21, 7}};
    EXPECT_EQ(Drain(cursor), expected);
    TTile tile;
    EXPECT_FALSE(cursor.GetNextTile(tile)) << "a finished cursor stays finished";
}

TEST(TileCursor, AWideLevelIsWalkedBandByBandEachAddressOnce) {
    // A band and a half of columns over three rows: the first band row by row, then the rest.
    constexpr std::int32_t kBand = static_cast<std::int32_t>(TileCursor::kColumnBand);
    constexpr std::int32_t kMinCol = 5, kColumns = kBand + kBand / 2, kMinRow = 7, kRows = 3;
    TileCursor cursor(OneLevel(9, kMinCol, kMinCol + kColumns - 1, kMinRow, kMinRow + kRows - 1));
    const std::vector<TTile> tiles = Drain(cursor);
    std::vector<TTile> expected;
    for (const auto& [first, last] : {std::pair{0, kBand - 1}, std::pair{kBand, kColumns - 1}}) {
        for (std::int32_t y = kMinRow; y < kMinRow + kRows; ++y) {
            for (std::int32_t x = kMinCol + first; x <= kMinCol + last; ++x) {
                expected.push_back({x, y, 9});
            }
        }
    }
    EXPECT_EQ(tiles, expected);
}

TEST(TileCursor, EmptySelectionFinishesAtOnceAndTheCapStopsHandingOut) {
    TileCursor none(TTileBounds{});
    EXPECT_TRUE(Drain(none).empty());

    TileCursor capped(OneLevel(3, 0, 7, 0, 7), 5);
    EXPECT_EQ(Drain(capped).size(), 5u);
}

// Ranges whose rows or columns run through -1: Baidu numbers west of 0 and south of the equator,
// grid ranges past the poles or the date line, a band of columns that starts at -1, and the
// lowest and highest levels. Each is drained by the cursor alone and by the pool against the
// loopback server: every address exactly once, as many as the rectangles hold, and the end.
TEST(TileCursor, EveryAddressOfSignedRangesIsGivenOnceByTheCursorAndThePool) {
    struct Level {
        int z, minCol, maxCol, minRow, maxRow;
    };
    struct Case {
        const char* name;
        TMapType layer;
        std::vector<Level> levels;
    };
    const Case cases[] = {
        {"-2 to 1 both ways", TMapType::mtOsmRoadMap, {{5, -2, 1, -2, 1}}},
        {"-33 to 40: the second band starts at -1", TMapType::mtOsmRoadMap, {{8, -33, 40, 3, 4}}},
        {"a single column at -1", TMapType::mtOsmRoadMap, {{3, -1, -1, -1, 1}}},
        {"Baidu west of 0 and south of the equator",
         TMapType::mtBaiduRoadMap,
         {{6, -3, 2, -2, 1}, {7, -6, -1, -4, -1}}},
        {"levels 0 and 21, an empty rectangle between",
         TMapType::mtOsmRoadMap,
         {{0, 0, 0, 0, 0}, {10, 5, 4, 0, 3}, {21, 2097150, 2097151, 0, 1}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TTileBounds bounds;
        std::set<std::tuple<int, int, int>> expected;
        for (const Level& l : c.levels) {
            bounds[l.z] = OneLevel(l.z, l.minCol, l.maxCol, l.minRow, l.maxRow)[l.z];
            for (int x = l.minCol; x <= l.maxCol; ++x)
                for (int y = l.minRow; y <= l.maxRow; ++y)
                    expected.insert({l.z, x, y});
        }

        // One address more than the rectangles hold is allowed, so a cursor that gives an
        // address twice shows it instead of running on.
        const auto cap = static_cast<std::int64_t>(expected.size()) + 1;
        TileCursor cursor(bounds, cap);
        const std::vector<TTile> tiles = Drain(cursor);
        std::set<std::tuple<int, int, int>> given;
        for (const TTile& t : tiles)
            given.insert({t.z, t.x, t.y});
        EXPECT_EQ(tiles.size(), expected.size()) << "an address given twice";
        EXPECT_EQ(given, expected);
        EXPECT_EQ(cursor.Z(), kZoomLevelCount) << "the cursor reached the end";

        DownloadFixture f;
        auto plan = f.Plan(c.layer, bounds);
        plan.MaxTiles = cap;
        ASSERT_TRUE(f.Run(std::move(plan), 8));
        EXPECT_EQ(f.server.Total(), static_cast<int>(expected.size()));
        for (const auto& [target, count] : f.server.Counts())
            EXPECT_EQ(count, 1) << target;
        EXPECT_EQ(f.Reports().size(), expected.size());
        for (const auto& [z, x, y] : expected) {
            const TTile tile{x, y, static_cast<std::int8_t>(z)};
            EXPECT_TRUE(
                std::filesystem::exists(BaseTilePath(f.out.path(), c.layer, tile, TImgType::itPNG)))
                << z << "/" << x << "/" << y;
        }
    }
}

TEST(TileDownloadPool, OneWorkerFetchesInCursorOrderIntoTheFolderTree) {
    DownloadFixture f;
    ASSERT_TRUE(f.Run(f.Plan(TMapType::mtOsmRoadMap, OneLevel(3, 4, 6, 1, 2)), 1));
    const std::vector<std::string> expected = {OsmTarget(3, 4, 1), OsmTarget(3, 5, 1),
                                               OsmTarget(3, 6, 1), OsmTarget(3, 4, 2),
                                               OsmTarget(3, 5, 2), OsmTarget(3, 6, 2)};
    EXPECT_EQ(f.server.Targets(), expected);
    EXPECT_EQ(f.Reports(), std::vector<Report>(6, Report{true, 69, 200}));
    const auto tile = f.out.path() / "OSM" / "roadmap" / "3" / "6" / "2.png";
    EXPECT_EQ(BaseTilePath(f.out.path(), TMapType::mtOsmRoadMap, {6, 2, 3}, TImgType::itPNG), tile);
    EXPECT_EQ(testsupport::ReadFileBytes(tile), ta::SmallPng());
    EXPECT_TRUE(f.pool.AllThreadsFinished());
}

TEST(TileDownloadPool, ManyWorkersFetchEveryAddressExactlyOnce) {
    DownloadFixture f;
    constexpr int kSide = 30;
    ASSERT_TRUE(f.Run(
        f.Plan(TMapType::mtOsmRoadMap, OneLevel(10, 100, 100 + kSide - 1, 200, 200 + kSide - 1)),
        20));
    const auto counts = f.server.Counts();
    EXPECT_EQ(counts.size(), static_cast<std::size_t>(kSide * kSide));
    for (const auto& [target, count] : counts) {
        EXPECT_EQ(count, 1) << target;
    }
    EXPECT_EQ(f.Reports().size(), static_cast<std::size_t>(kSide * kSide));
    EXPECT_TRUE(
        std::filesystem::exists(f.out.path() / "OSM" / "roadmap" / "10" / "129" / "229.png"));
    EXPECT_GT(f.server.Server().ConnectionCount(), 1u);
    EXPECT_LE(f.server.Server().ConnectionCount(), 20u) << "each worker keeps its connection";
}

TEST(TileDownloadPool, NoCheckedLevelFinishesEveryWorkerWithoutARequest) {
    DownloadFixture f;
    ASSERT_TRUE(f.Run(f.Plan(TMapType::mtOsmRoadMap, TTileBounds{}), 4));
    EXPECT_TRUE(f.pool.AllThreadsFinished());
    EXPECT_EQ(f.server.Total(), 0);
    EXPECT_TRUE(f.Reports().empty());
}

TEST(TileDownloadPool, TileOnDiskIsReportedWithoutARequestUnlessStoredUnderTheOtherExtension) {
    DownloadFixture f;
    // Layer 4 stores JPG tiles by default.
    const auto layer = TMapType::mtGoogleSatellite;
    testsupport::WriteFileBytes(BaseTilePath(f.out.path(), layer, {0, 0, 1}, TImgType::itJPG),
                                std::string(1234, 'j'));
    testsupport::WriteFileBytes(BaseTilePath(f.out.path(), layer, {1, 0, 1}, TImgType::itPNG),
                                std::string(77, 'p'));
    // A left-over temporary file of an interrupted write is no tile.
    testsupport::WriteFileBytes(
        BaseTilePath(f.out.path(), layer, {1, 1, 1}, TImgType::itJPG).string() + ".tmp-x1y2z3",
        "\xFF\xD8partial");
    f.server.SetRule([](const testsupport::TileRequest&) { return ta::Jpeg(); });
    ASSERT_TRUE(f.Run(f.Plan(layer, OneLevel(1, 0, 1, 0, 0)), 1));
    ASSERT_TRUE(f.Run(f.Plan(layer, OneLevel(1, 1, 1, 1, 1)), 1));
    const auto reports = f.Reports();
    ASSERT_EQ(reports.size(), 3u);
    EXPECT_EQ(reports[0], (Report{true, 1234, 200}));
    EXPECT_EQ(reports[1], (Report{true, static_cast<int>(ta::JpegBody().size()), 200}));
    EXPECT_EQ(reports[2], (Report{true, static_cast<int>(ta::JpegBody().size()), 200}));
    EXPECT_EQ(f.server.Total(), 2) << "only the tile under .png and the temp-only tile are fetched";

    // With overwrite on, the tile on disk is fetched again.
    f.server.ClearCounts();
    auto plan = f.Plan(layer, OneLevel(1, 0, 0, 0, 0));
    plan.Settings.OverWriteDownload = true;
    ASSERT_TRUE(f.Run(std::move(plan), 1));
    EXPECT_EQ(f.server.Total(), 1);
    EXPECT_EQ(
        testsupport::ReadFileBytes(BaseTilePath(f.out.path(), layer, {0, 0, 1}, TImgType::itJPG)),
        ta::JpegBody());
}

// Layer 6: a JPG satellite base and a PNG label overlay on another host.
testsupport::TileServer::Rule HybridRule() {
    return [](const testsupport::TileRequest& request) {
        return request.target.find("lyrs=h@") != std::string::npos ? ta::Png() : ta::Jpeg();
    };
}

TEST(TileDownloadPool, HybridLayerStoresBaseAndOverlayWithOneReport) {
    DownloadFixture f(HybridRule());
    const auto layer = TMapType::mtGoogleHybrid;
    ASSERT_TRUE(f.Run(f.Plan(layer, OneLevel(2, 1, 1, 3, 3)), 1));
    EXPECT_EQ(f.server.Total(), 2);
    EXPECT_EQ(f.Reports(),
              (std::vector<Report>{{true, static_cast<int>(ta::JpegBody().size()), 200}}));
    EXPECT_EQ(
        testsupport::ReadFileBytes(BaseTilePath(f.out.path(), layer, {1, 3, 2}, TImgType::itJPG)),
        ta::JpegBody());
    EXPECT_EQ(testsupport::ReadFileBytes(
                  OverlayTilePath(f.out.path(), layer, {1, 3, 2}, TImgType::itPNG)),
              ta::SmallPng());

    // Both on disk (the overlay under .png though the base is .jpg): one report, no request.
    f.server.ClearCounts();
    ASSERT_TRUE(f.Run(f.Plan(layer, OneLevel(2, 1, 1, 3, 3)), 1));
    EXPECT_EQ(f.server.Total(), 0);
    EXPECT_EQ(f.Reports().size(), 2u);
    EXPECT_EQ(f.Reports().back(), (Report{true, static_cast<int>(ta::JpegBody().size()), 200}));
}

TEST(TileDownloadPool, NoLabelSettingMakesNoOverlayRequest) {
    DownloadFixture f(HybridRule());
    UrlSettings urls;
    urls.DownloadNoLabel = true;
    ASSERT_TRUE(f.Run(f.Plan(TMapType::mtGoogleHybrid, OneLevel(2, 0, 1, 0, 0)), 2,
                      std::make_shared<UrlSettingsFeed>(urls)));
    EXPECT_EQ(f.server.Total(), 2);
    for (const auto& target : f.server.Targets()) {
        EXPECT_EQ(target.find("lyrs=h@"), std::string::npos) << target;
    }
    EXPECT_EQ(f.Reports().size(), 2u);
    EXPECT_FALSE(std::filesystem::exists(
        LayerFolderPath(f.out.path(), MapOverlayFolders[Ord(TMapType::mtGoogleHybrid)])));
}

TEST(TileDownloadPool, ANewTaskEndsTheOldWorkersBeforeItsOwnStart) {
    DownloadFixture f([](const testsupport::TileRequest& request) {
        // The first task's tiles are slow, so its workers are busy when the second starts.
        return request.target.rfind("/9/", 0) == 0 ? ta::Slow(ta::Png(), std::chrono::seconds(5))
                                                   : ta::Png();
    });
    f.Start(f.Plan(TMapType::mtOsmRoadMap, OneLevel(9, 0, 9, 0, 9)), 4);
    while (f.server.Total() < 4) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    const auto begun = std::chrono::steady_clock::now();
    ASSERT_TRUE(f.Run(f.Plan(TMapType::mtOsmRoadMap, OneLevel(4, 0, 3, 0, 3)), 3));
    EXPECT_LT(std::chrono::steady_clock::now() - begun, std::chrono::seconds(2));
    // The four tiles in hand of the first task were given up and reported as not saved before
    // the second task started; the second task's sixteen all arrived exactly once.
    const auto reports = f.Reports();
    ASSERT_EQ(reports.size(), 20u);
    EXPECT_EQ(std::count_if(reports.begin(), reports.begin() + 4,
                            [](const Report& r) { return !r.succeed; }),
              4);
    EXPECT_TRUE(
        std::all_of(reports.begin() + 4, reports.end(), [](const Report& r) { return r.succeed; }));
    int second = 0;
    for (const auto& [target, count] : f.server.Counts()) {
        if (target.rfind("/4/", 0) == 0) {
            EXPECT_EQ(count, 1) << target;
            ++second;
        }
    }
    EXPECT_EQ(second, 16);
    EXPECT_EQ(f.server.Total(), 20) << "no worker of the first task took another address";
}
