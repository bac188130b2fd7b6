#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>
#include <csignal>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "combine_test_support.h"
#include "engine/core/number_format.h"
#include "engine/core/tile_math.h"

namespace raster {
namespace {

using engine::TImgType;
using engine::TMapType;
using test::GdalInfo;
using test::RecordingEvents;

std::string ReadText(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::size_t CountOf(const std::string& text, const std::string& part) {
    std::size_t n = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++n;
    }
    return n;
}

class CombineExportTest : public ::testing::Test {
  protected:
    testsupport::TempDir dir;
    std::filesystem::path tiles = dir / "tiles";
    std::filesystem::path out = dir / "out";
};

TEST_F(CombineExportTest, MBTilesHoldTheSourceTilesWithBoundsAndLevelsThatGdalReads) {
    // Columns 10 to 12, rows 20 to 21 at level 6; the same area at level 7 is 6 by 4 tiles.
    const std::string area = test::AreaText({{10.2, 20.3}, {12.8, 21.7}}, 6);
    test::MakeTiles(tiles, TMapType::mtGoogleRoadMap, 6, 10, 12, 20, 21);
    test::MakeTiles(tiles, TMapType::mtGoogleRoadMap, 7, 20, 25, 40, 43);
    const auto task = test::MakeTask(dir.path(), tiles, TMapType::mtGoogleRoadMap, area);
    RecordingEvents events;
    test::RunWorker(task, out, TImageCombineType::icMBTiles, test::Levels({6, 7}), events);

    const auto db = out / "Task_MBTiles" / "Task.mbtiles";
    ASSERT_EQ(events.endResult, CombineResult::Completed);
    EXPECT_EQ(events.endOutput, db);
    const auto info = GdalInfo(db);
    EXPECT_EQ(info["driverShortName"], "MBTiles");
    // The last level's snapped extent, at its resolution, with one overview for level 6.
    double west = 0, north = 0, east = 0, south = 0;
    engine::TileXYToLatLng(20, 40, 7, west, north);
    engine::TileXYToLatLng(26, 44, 7, east, south);
    const std::string bounds = engine::FormatFixed(west, 4) + "," + engine::FormatFixed(south, 4) +
                               "," + engine::FormatFixed(east, 4) + "," +
                               engine::FormatFixed(north, 4);
    EXPECT_EQ(info["metadata"][""]["bounds"], bounds);
    EXPECT_EQ(info["metadata"][""]["format"], "png");
    EXPECT_EQ(info["size"], nlohmann::json::array({6 * 256, 4 * 256}));
    EXPECT_EQ(info["bands"][0]["overviews"].size(), 1u);

    sqlite3* handle = nullptr;
    ASSERT_EQ(sqlite3_open_v2(db.c_str(), &handle, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
    sqlite3_stmt* count = nullptr;
    sqlite3_prepare_v2(handle, "SELECT count(*) FROM tiles", -1, &count, nullptr);
    ASSERT_EQ(sqlite3_step(count), SQLITE_ROW);
    EXPECT_EQ(sqlite3_column_int(count, 0), 6 + 24);
    sqlite3_finalize(count);
    // Tile (11, 21) of level 6 is stored with its row counted from the south: 63 - 21.
    sqlite3_stmt* blob = nullptr;
    sqlite3_prepare_v2(handle,
                       "SELECT tile_data FROM tiles WHERE zoom_level=6 AND tile_column=11 AND "
                       "tile_row=42",
                       -1, &blob, nullptr);
    ASSERT_EQ(sqlite3_step(blob), SQLITE_ROW);
    const std::string stored(static_cast<const char*>(sqlite3_column_blob(blob, 0)),
                             static_cast<std::size_t>(sqlite3_column_bytes(blob, 0)));
    sqlite3_finalize(blob);
    sqlite3_close(handle);
    EXPECT_EQ(stored, ReadText(engine::BaseTilePath(tiles, TMapType::mtGoogleRoadMap, {11, 21, 6},
                                                    TImgType::itPNG)));
}

// North of about 85° there are no tiles: the bounds end at the grid's edge, where the tiles do.
TEST_F(CombineExportTest, MBTilesOfAnAreaPastThePoleAreBoundedByTheTilesThatExist) {
    test::MakeTiles(tiles, TMapType::mtGoogleRoadMap, 6, 33, 35, 0, 7);
    const auto task = test::MakeTask(dir.path(), tiles, TMapType::mtGoogleRoadMap, "10,80,20,89");
    RecordingEvents events;
    test::RunWorker(task, out, TImageCombineType::icMBTiles, test::Levels({6}), events);
    ASSERT_EQ(events.endResult, CombineResult::Completed);
    const auto info = GdalInfo(out / "Task_MBTiles" / "Task.mbtiles");
    double west = 0, north = 0, east = 0, south = 0;
    engine::TileXYToLatLng(33, 0, 6, west, north);
    engine::TileXYToLatLng(36, 8, 6, east, south);
    EXPECT_EQ(info["metadata"][""]["bounds"],
              engine::FormatFixed(west, 4) + "," + engine::FormatFixed(south, 4) + "," +
                  engine::FormatFixed(east, 4) + "," + engine::FormatFixed(north, 4));
    EXPECT_EQ(info["size"], nlohmann::json::array({3 * 256, 8 * 256}));
}

// A triangle over a 4 by 4 range: the database holds exactly the tiles the triangle touches.
TEST_F(CombineExportTest, PolygonAreaStoresOnlyTheTilesItMeets) {
    test::MakeTiles(tiles, TMapType::mtGoogleRoadMap, 6, 10, 13, 20, 23);
    const std::vector<std::pair<double, double>> triangle = {
        {10.5, 20.5}, {13.7, 20.5}, {10.5, 23.2}};
    const auto task =
        test::MakeTask(dir.path(), tiles, TMapType::mtGoogleRoadMap, test::AreaText(triangle, 6));
    RecordingEvents events;
    CombineSettings settings;
    settings.byRectangle = false;
    test::RunWorker(task, out, TImageCombineType::icMBTiles, test::Levels({6}), events, settings);
    ASSERT_EQ(events.endResult, CombineResult::Completed);

    sqlite3* handle = nullptr;
    const auto db = out / "Task_MBTiles" / "Task.mbtiles";
    ASSERT_EQ(sqlite3_open_v2(db.c_str(), &handle, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
    sqlite3_stmt* rows = nullptr;
    ASSERT_EQ(
        sqlite3_prepare_v2(handle, "SELECT tile_column, tile_row FROM tiles", -1, &rows, nullptr),
        SQLITE_OK);
    std::vector<std::pair<int, int>> stored;
    while (sqlite3_step(rows) == SQLITE_ROW) {
        // Rows are counted from the south in the database: 63 - y.
        stored.emplace_back(sqlite3_column_int(rows, 0), 63 - sqlite3_column_int(rows, 1));
    }
    sqlite3_finalize(rows);
    sqlite3_close(handle);
    std::vector<std::pair<int, int>> expected;
    for (int row = 0; row < 4; ++row) {
        for (int col = 0; col < 4; ++col) {
            // The tile's corner nearest to the right angle lies inside the hypotenuse.
            const double x = std::max(10.0 + col, 10.5);
            const double y = std::max(20.0 + row, 20.5);
            if (x <= 13.7 - (y - 20.5) * 3.2 / 2.7) {
                expected.emplace_back(10 + col, 20 + row);
            }
        }
    }
    std::sort(stored.begin(), stored.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(expected.size(), 11u);
    EXPECT_EQ(stored, expected);
}

TEST_F(CombineExportTest, KmlGroundOverlaysLinkCopiedTilesAtTheirEdges) {
    // A 3 by 2 range at level 12, one tile missing.
    const std::string area = test::AreaText({{100.2, 200.3}, {102.8, 201.7}}, 12);
    test::MakeTiles(tiles, TMapType::mtGoogleRoadMap, 12, 100, 102, 200, 201);
    std::filesystem::remove(
        engine::BaseTilePath(tiles, TMapType::mtGoogleRoadMap, {102, 201, 12}, TImgType::itPNG));
    const auto task = test::MakeTask(dir.path(), tiles, TMapType::mtGoogleRoadMap, area);
    RecordingEvents events;
    test::RunWorker(task, out, TImageCombineType::icGoogleEarth, test::Levels({12}), events);

    const auto kml = out / "Task_L12" / "Task12.kml";
    EXPECT_EQ(events.endOutput, kml);
    EXPECT_EQ(events.endLog, out / "Task" / ".log");
    const auto lines = events.Lines();
    EXPECT_EQ(lines.front(), "begin 6 log");
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "progress 6"), 1);
    const std::string text = ReadText(kml);
    EXPECT_EQ(text.rfind("\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n", 0), 0u);
    EXPECT_NE(text.find("        <name>Task_L12</name>\r\n"), std::string::npos);
    EXPECT_EQ(CountOf(text, "<GroundOverlay>"), 5u);
    EXPECT_NE(text.find("<href>12/101/200.png</href>"), std::string::npos);
    EXPECT_EQ(text.find("12/102/201.png"), std::string::npos);
    double west = 0, north = 0, east = 0, south = 0;
    engine::TileXYToLatLng(101, 200, 12, west, north);
    engine::TileXYToLatLng(102, 201, 12, east, south);
    const std::string box = "                <north>" + engine::FormatFloat(north) +
                            "</north>\r\n                <south>" + engine::FormatFloat(south) +
                            "</south>\r\n                <east>" + engine::FormatFloat(east) +
                            "</east>\r\n                <west>" + engine::FormatFloat(west) +
                            "</west>\r\n";
    EXPECT_NE(text.find(box), std::string::npos) << text.substr(0, 800);
    EXPECT_TRUE(text.ends_with("    </Folder>\r\n</kml>\r\n"));
    EXPECT_EQ(ReadText(out / "Task_L12" / "12" / "101" / "200.png"),
              ReadText(engine::BaseTilePath(tiles, TMapType::mtGoogleRoadMap, {101, 200, 12},
                                            TImgType::itPNG)));
}

TEST_F(CombineExportTest, ArcGISCacheNamesLevelRowAndColumnInHexWithItsConfiguration) {
    const std::string area = test::AreaText({{20.2, 10.3}, {20.8, 11.7}}, 5);
    test::MakeTiles(tiles, TMapType::mtGoogleSatellite, 5, 20, 20, 10, 11);
    const auto task = test::MakeTask(dir.path(), tiles, TMapType::mtGoogleSatellite, area);
    RecordingEvents events;
    test::RunWorker(task, out, TImageCombineType::icArcGIS, test::Levels({5}), events);

    const auto cache = out / "Task_ArcGIS瓦片";
    EXPECT_EQ(events.endOutput, cache / "conf.xml");
    EXPECT_EQ(events.endResult, CombineResult::Completed);
    EXPECT_TRUE(std::filesystem::exists(cache / "conf.cdi"));
    EXPECT_NE(ReadText(cache / "conf.xml").find("<LevelID>5</LevelID>"), std::string::npos);
    EXPECT_EQ(test::FilesIn(cache / "_alllayers" / "L05"),
              (std::vector<std::string>{"R0000000A", "R0000000B"}));
    EXPECT_EQ(ReadText(cache / "_alllayers" / "L05" / "R0000000A" / "C00000014.jpg"),
              ReadText(engine::BaseTilePath(tiles, TMapType::mtGoogleSatellite, {20, 10, 5},
                                            TImgType::itJPG)));
}

// Tiles numbered on the Baidu grid (every Baidu layer, the 3D one too) or on the geographic
// grid would land in the wrong place under Web Mercator metadata, so those exports are refused
// before anything is written.
TEST_F(CombineExportTest, ExportsOfTilesOffTheWebMercatorGridAreRefused) {
    const std::string area = test::AreaText({{20.2, 10.3}, {20.8, 11.7}}, 5);
    for (auto kind :
         {TImageCombineType::icMBTiles, TImageCombineType::icOruxMaps, TImageCombineType::icRMaps,
          TImageCombineType::icGoogleEarth, TImageCombineType::icArcGIS}) {
        for (const TMapType layer :
             {TMapType::mtBaiduSatellite, TMapType::mtBaidu3D, TMapType::mtTDTRoadMap}) {
            SCOPED_TRACE(engine::Ord(layer));
            // Tiles where a Web Mercator reading of the area would look for them.
            test::MakeTiles(tiles, layer, 5, 20, 20, 10, 11);
            auto task = test::MakeTask(dir.path(), tiles, layer, area);
            task.SetTiandituIndex(layer == TMapType::mtTDTRoadMap ? 3 : 0);
            RecordingEvents events;
            test::RunWorker(task, out, kind, test::Levels({5}), events);
            const auto lines = events.Lines();
            ASSERT_EQ(lines.size(), 2u) << static_cast<int>(kind);
            EXPECT_EQ(lines[0], std::string("info ") + kExportGridMessage);
            EXPECT_EQ(lines[1], "end failed");
            EXPECT_FALSE(std::filesystem::exists(out));
        }
    }
}

// A run that looks for tiles and finds none (another tile folder, tiles stored under other
// numbers) says so and does not end as completed; one tile found is enough for a result.
TEST_F(CombineExportTest, ARunThatFindsNoneOfItsTilesSaysSo) {
    const std::string area = test::AreaText({{10.2, 20.3}, {12.8, 21.7}}, 6);
    const std::string message = NoTilesMessage(engine::LayerFolderPath(
        tiles, engine::MapTileFolders[engine::Ord(TMapType::mtGoogleRoadMap)]));
    // Tiles of another level only.
    test::MakeTiles(tiles, TMapType::mtGoogleRoadMap, 7, 20, 20, 40, 40);
    const auto task = test::MakeTask(dir.path(), tiles, TMapType::mtGoogleRoadMap, area);
    for (const bool oneTile : {false, true}) {
        if (oneTile) {
            test::MakeTiles(tiles, TMapType::mtGoogleRoadMap, 6, 11, 11, 21, 21);
        }
        for (auto kind :
             {TImageCombineType::icGeoTIF, TImageCombineType::icPNG, TImageCombineType::icMBTiles,
              TImageCombineType::icOruxMaps, TImageCombineType::icRMaps,
              TImageCombineType::icGoogleEarth, TImageCombineType::icArcGIS}) {
            SCOPED_TRACE(std::to_string(static_cast<int>(kind)) + (oneTile ? " one tile" : ""));
            RecordingEvents events;
            test::RunWorker(task, out, kind, test::Levels({6}), events);
            const auto lines = events.Lines();
            const bool told =
                std::find(lines.begin(), lines.end(), "info " + message) != lines.end();
            EXPECT_EQ(told, !oneTile);
            EXPECT_EQ(events.endResult,
                      oneTile ? CombineResult::Completed : CombineResult::NoTiles);
            EXPECT_EQ(events.ends, 1);
            std::filesystem::remove_all(out);
        }
    }
}

TEST_F(CombineExportTest, CancelledDatabaseExportStillClosesWithItsMetadata) {
    const std::string area = test::AreaText({{10.2, 20.3}, {12.8, 21.7}}, 6);
    test::MakeTiles(tiles, TMapType::mtGoogleRoadMap, 6, 10, 12, 20, 21);
    const auto task = test::MakeTask(dir.path(), tiles, TMapType::mtGoogleRoadMap, area);
    RecordingEvents events;
    events.cancelOn = "progress 4";
    test::RunWorker(task, out, TImageCombineType::icMBTiles, test::Levels({6}), events);
    EXPECT_EQ(events.Lines().back(), "end cancelled");
    const auto info = GdalInfo(out / "Task_MBTiles" / "Task.mbtiles");
    EXPECT_EQ(info["metadata"][""]["format"], "png");
}

TEST_F(CombineExportTest, DatabaseReplacesAnEarlierFileWholeAndLeavesNothingBeside) {
    const std::string area = test::AreaText({{10.2, 20.3}, {12.8, 21.7}}, 6);
    test::MakeTiles(tiles, TMapType::mtGoogleRoadMap, 6, 10, 12, 20, 21);
    const auto task = test::MakeTask(dir.path(), tiles, TMapType::mtGoogleRoadMap, area);
    const auto folder = out / "Task_MBTiles";
    std::filesystem::create_directories(folder);
    // Not a database: the export must neither open it nor leave it half-replaced.
    {
        std::ofstream old(folder / "Task.mbtiles", std::ios::binary);
        old << "an earlier export";
    }
    RecordingEvents events;
    test::RunWorker(task, out, TImageCombineType::icMBTiles, test::Levels({6}), events);
    ASSERT_EQ(events.endResult, CombineResult::Completed);
    EXPECT_EQ(GdalInfo(folder / "Task.mbtiles")["driverShortName"], "MBTiles");
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    EXPECT_EQ(names, std::vector<std::string>{"Task.mbtiles"});
}

// Stands for a crash: the process dies in the middle of writing the database.
class DyingEvents : public RecordingEvents {
  public:
    void Progress(std::int64_t counter, bool cancelled) override {
        if (counter >= 4) {
            std::raise(SIGKILL);
        }
        RecordingEvents::Progress(counter, cancelled);
    }
};

// Rows of the tile table; -1 when the file is no database with one.
int TileRows(const std::filesystem::path& db) {
    sqlite3* handle = nullptr;
    int rows = -1;
    if (sqlite3_open_v2(db.c_str(), &handle, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* count = nullptr;
        if (sqlite3_prepare_v2(handle, "SELECT count(*) FROM tiles", -1, &count, nullptr) ==
                SQLITE_OK &&
            sqlite3_step(count) == SQLITE_ROW) {
            rows = sqlite3_column_int(count, 0);
        }
        sqlite3_finalize(count);
    }
    sqlite3_close(handle);
    return rows;
}

// Names in a folder that a writer's temporary file would carry.
std::vector<std::string> TemporaryNames(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (name.find(".tmp-") != std::string::npos) {
            names.push_back(name);
        }
    }
    return names;
}

// A writer killed in the middle of its output leaves the earlier file (or, for a stitched
// image, which the stitch removes first, none) under the final name, never a part of the new
// one. Its temporary file stays beside it, until the next export to that name removes it.
TEST_F(CombineExportTest, KilledExportLeavesTheEarlierFileAndTheNextOneRemovesItsLeftovers) {
    struct Case {
        TImageCombineType kind;
        std::filesystem::path output;  // under `out`
        const char* driver;            // what GDAL takes a new image for; empty: a database
    };
    const Case cases[] = {
        {TImageCombineType::icMBTiles, "Task_MBTiles/Task.mbtiles", ""},
        {TImageCombineType::icOruxMaps, "Task_OruxMaps/OruxMapsImages.db", ""},
        {TImageCombineType::icRMaps, "Task_RMaps/Task.sqlitedb", ""},
        {TImageCombineType::icGeoTIF, "Task_L6/Task.tif", "GTiff"},
        {TImageCombineType::icPNG, "Task_L6/Task.png", "PNG"},
    };
    const std::string area = test::AreaText({{10.2, 20.3}, {12.8, 21.7}}, 6);
    test::MakeTiles(tiles, TMapType::mtGoogleRoadMap, 6, 10, 12, 20, 21);
    const auto task = test::MakeTask(dir.path(), tiles, TMapType::mtGoogleRoadMap, area);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.output.string());
        const auto file = out / c.output;
        std::filesystem::create_directories(file.parent_path());
        {
            std::ofstream old(file, std::ios::binary);
            old << "an earlier export";
        }
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            DyingEvents events;
            test::RunWorker(task, out, c.kind, test::Levels({6}), events);
            _exit(0);  // not reached when the export writes tiles
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the export finished before it could be killed";
        if (std::filesystem::exists(file)) {
            EXPECT_EQ(ReadText(file), "an earlier export")
                << "the earlier file was replaced by a half-written one";
        } else {
            EXPECT_NE(*c.driver, '\0') << "only a stitch removes the earlier file first";
        }
        ASSERT_EQ(TemporaryNames(file.parent_path()).size(), 1u) << "the killed writer's file";

        RecordingEvents events;
        test::RunWorker(task, out, c.kind, test::Levels({6}), events);
        ASSERT_EQ(events.endResult, CombineResult::Completed);
        if (*c.driver == '\0') {
            EXPECT_EQ(TileRows(file), 6);
        } else {
            EXPECT_EQ(GdalInfo(file)["driverShortName"], c.driver);
        }
        EXPECT_EQ(TemporaryNames(file.parent_path()), std::vector<std::string>{});
    }
}

}  // namespace
}  // namespace raster
