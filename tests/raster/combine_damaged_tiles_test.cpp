// A tile tree holding damaged and hostile tiles of every kind among good ones: the stitch and
// the exports complete, every damaged tile has its log line, and every good tile is drawn
// with its labels at its own place.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstdio>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "combine_test_support.h"
#include "engine/log/logger.h"
#include "fuzz/damaged_tiles.h"

namespace raster {
namespace {

using engine::TMapType;
using test::ColourOf;
using test::ReadPixel;
using test::RecordingEvents;
using test::Rgb;

constexpr int kZ = 6;
constexpr auto kLayer = TMapType::mtGoogleHybrid;  // JPEG base, PNG labels

bool Near(const Rgb& a, const Rgb& b, int tolerance = 6) {
    for (int i = 0; i < 3; ++i) {
        if (std::abs(a[i] - b[i]) > tolerance) {
            return false;
        }
    }
    return true;
}

std::string Text(const Rgb& c) {
    return std::to_string(c[0]) + "," + std::to_string(c[1]) + "," + std::to_string(c[2]);
}

class CombineDamagedTilesTest : public ::testing::Test {
  protected:
    // Columns 10 to 14, rows 20 to 22: every position has a base and a label tile (opaque red
    // on the left half, clear on the right); some of them are damaged.
    void SetUp() override {
        engine::SetLogFolder(dir / "log");
        for (int y = 20; y <= 22; ++y) {
            for (int x = 10; x <= 14; ++x) {
                const Rgb c = ColourOf(x, y);
                Put(Base(x, y), damaged::Jpeg(256, static_cast<std::uint8_t>(c[0]),
                                              static_cast<std::uint8_t>(c[1]),
                                              static_cast<std::uint8_t>(c[2])));
                engine::RgbaImage label(256, 256);
                for (int row = 0; row < 256; ++row) {
                    for (int col = 0; col < 128; ++col) {
                        label.At(col, row)[0] = 255;
                        label.At(col, row)[3] = 255;
                    }
                }
                Put(Label(x, y), engine::EncodePng(label).value());
            }
        }
        test::MakeImage(dir / "secret.png", "PNG", 256, 256, 3, [](int, int) {
            return std::vector{255, 0, 255};
        });
        const std::string good = damaged::Jpeg(256, 1, 2, 3);
        // Read first on the one decoding thread, so the good tiles after it show its effect.
        Damage(Base(10, 20), damaged::BogusDqt(good), Drawn::Background);
        Damage(Label(11, 20), damaged::BogusDqt(good), Drawn::BaseOnly);
        Damage(Base(12, 20), damaged::Cut(damaged::NoisyJpeg(128)), Drawn::Background);
        Damage(Base(13, 20), damaged::Cut(damaged::NoisyJpeg(256)), Drawn::Background);
        Damage(Base(14, 20), damaged::BrokenScan(damaged::NoisyJpeg(256)), Drawn::Background);
        Damage(Base(10, 21), damaged::RasterDescriptionOf(dir / "secret.png", 256),
               Drawn::Background);
        Damage(Base(11, 21), damaged::ClaimedJpegSize(good, 65000, 65000), Drawn::Background);
        Damage(Base(12, 21), damaged::kHtml, Drawn::Background);
        Damage(Label(13, 21), damaged::Cut(damaged::Png(256, 0, 0, 0)), Drawn::BaseOnly);
        Damage(Base(10, 22), damaged::ClaimedGifSize(65000, 65000), Drawn::Background);
        Damage(Label(11, 22), damaged::ClaimedPngSize(damaged::Png(256, 0, 0, 0), 60000, 60000),
               Drawn::BaseOnly);
        // A sound tile of half the size is scaled into its own place, and noted.
        const Rgb c = ColourOf(12, 22);
        Damage(Base(12, 22),
               damaged::Jpeg(128, static_cast<std::uint8_t>(c[0]), static_cast<std::uint8_t>(c[1]),
                             static_cast<std::uint8_t>(c[2])),
               Drawn::Whole);
    }
    void TearDown() override { engine::SetLogFolder({}); }

    enum class Drawn { Whole, BaseOnly, Background };

    std::filesystem::path Base(int x, int y) {
        return engine::BaseTilePath(tiles, kLayer, {x, y, kZ}, engine::TImgType::itJPG);
    }
    std::filesystem::path Label(int x, int y) {
        return engine::OverlayTilePath(tiles, kLayer, {x, y, kZ}, engine::TImgType::itPNG);
    }
    void Put(const std::filesystem::path& file, const std::string& bytes) {
        testsupport::WriteFileBytes(file, bytes);
    }
    void Damage(const std::filesystem::path& file, const std::string& bytes, Drawn drawn) {
        Put(file, bytes);
        noted.push_back(file);
        const auto name = file.filename().string();
        const int x = std::stoi(file.parent_path().filename().string());
        const int y = std::stoi(name.substr(0, name.find('.')));
        drawnAs[{x, y}] = drawn;
    }
    // Every line of a log that names `file`.
    static int LinesNaming(const std::string& log, const std::filesystem::path& file) {
        std::istringstream in(log);
        std::string line;
        int count = 0;
        while (std::getline(in, line)) {
            count += line.find(file.string()) != std::string::npos ? 1 : 0;
        }
        return count;
    }

    testsupport::TempDir dir;
    std::filesystem::path tiles = dir / "tiles";
    std::filesystem::path out = dir / "out";
    std::string area = test::AreaText({{10.2, 20.3}, {14.8, 22.7}}, kZ);
    std::vector<std::filesystem::path> noted;  // damaged or odd-sized files
    std::map<std::pair<int, int>, Drawn> drawnAs;
};

TEST_F(CombineDamagedTilesTest, StitchLogsEveryDamagedTileAndDrawsEveryGoodOneInItsPlace) {
    ASSERT_EQ(Base(10, 20).parent_path().filename(), "10");  // the layout Damage() reads
    const auto task = test::MakeTask(dir.path(), tiles, kLayer, area);
    for (int threads : {1, 3}) {
        RecordingEvents events;
        CombineSettings settings;
        settings.noDataValue = 0xFFFFFF;
        settings.threads = threads;
        test::RunWorker(task, out, TImageCombineType::icGeoTIF, test::Levels({kZ}), events,
                        settings);
        ASSERT_EQ(events.endResult, CombineResult::Completed) << threads;
        const auto image = out / "Task_L6" / "Task.tif";
        const std::string log = testsupport::ReadFileBytes(out / "Task_L6" / "Task.log");
        for (const auto& file : noted) {
            EXPECT_EQ(LinesNaming(log, file), 1) << file << "\n" << log;
        }
        for (int y = 20; y <= 22; ++y) {
            for (int x = 10; x <= 14; ++x) {
                const auto it = drawnAs.find({x, y});
                const Drawn drawn = it == drawnAs.end() ? Drawn::Whole : it->second;
                const int px = (x - 10) * 256;
                const int py = (y - 20) * 256;
                const Rgb labelColour = drawn == Drawn::Whole      ? Rgb{255, 0, 0}
                                        : drawn == Drawn::BaseOnly ? ColourOf(x, y)
                                                                   : Rgb{255, 255, 255};
                const Rgb baseColour =
                    drawn == Drawn::Background ? Rgb{255, 255, 255} : ColourOf(x, y);
                // Both halves, near the top and the bottom: a tile of another size drawn at
                // its column times its own width would cover a quarter of a neighbour.
                for (int dy : {40, 200}) {
                    const Rgb left = ReadPixel(image, px + 40, py + dy);
                    const Rgb right = ReadPixel(image, px + 200, py + dy);
                    const std::string where = std::to_string(x) + "," + std::to_string(y) + " +" +
                                              std::to_string(dy) + " threads " +
                                              std::to_string(threads);
                    EXPECT_TRUE(Near(left, labelColour)) << where << ": " << Text(left);
                    EXPECT_TRUE(Near(right, baseColour)) << where << ": " << Text(right);
                }
            }
        }
        std::filesystem::remove_all(out);
    }
}

// Exports copy tiles as stored; where they draw labels they decode, and each damaged input
// gets its line in the daily log while every good tile keeps its labels at its own place. A
// base tile that does not decode goes out as it is stored, never decoded by other means.
TEST_F(CombineDamagedTilesTest, ExportsThatDrawLabelsLogEveryDamagedTile) {
    const auto task = test::MakeTask(dir.path(), tiles, kLayer, area);
    const auto cacheTile = [this](int x, int y) {
        char name[64];
        std::snprintf(name, sizeof name, "R%08X/C%08X.jpg", y, x);
        return testsupport::ReadFileBytes(out / "Task_ArcGIS瓦片" / "_alllayers" / "L06" / name);
    };
    const auto databaseTile = [this](int x, int y) {
        sqlite3* db = nullptr;
        std::string bytes;
        const auto file = out / "Task_MBTiles" / "Task.mbtiles";
        if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
            sqlite3_stmt* query = nullptr;
            sqlite3_prepare_v2(db,
                               "SELECT tile_data FROM tiles WHERE zoom_level=6 AND tile_column=? "
                               "AND tile_row=?",
                               -1, &query, nullptr);
            sqlite3_bind_int(query, 1, x);
            sqlite3_bind_int(query, 2, (1 << kZ) - 1 - y);  // rows counted from the south
            if (sqlite3_step(query) == SQLITE_ROW) {
                bytes.assign(static_cast<const char*>(sqlite3_column_blob(query, 0)),
                             static_cast<std::size_t>(sqlite3_column_bytes(query, 0)));
            }
            sqlite3_finalize(query);
        }
        sqlite3_close(db);
        return bytes;
    };
    for (auto kind : {TImageCombineType::icMBTiles, TImageCombineType::icArcGIS}) {
        std::filesystem::remove_all(dir / "log");
        RecordingEvents events;
        CombineSettings settings;
        settings.threads = 2;
        test::RunWorker(task, out, kind, test::Levels({kZ}), events, settings);
        ASSERT_EQ(events.endResult, CombineResult::Completed);
        const std::string log = testsupport::ReadFileBytes(engine::DefaultLogFileName());
        for (const auto& file : noted) {
            // The exports read base tiles only where a label tile exists to merge.
            EXPECT_EQ(LinesNaming(log, Base(std::stoi(file.parent_path().filename().string()),
                                            std::stoi(file.stem().string()))),
                      1)
                << static_cast<int>(kind) << " " << file << "\n"
                << log;
        }
        for (int y = 20; y <= 22; ++y) {
            for (int x = 10; x <= 14; ++x) {
                const std::string where = std::to_string(static_cast<int>(kind)) + " at " +
                                          std::to_string(x) + "," + std::to_string(y);
                const std::string stored =
                    kind == TImageCombineType::icArcGIS ? cacheTile(x, y) : databaseTile(x, y);
                const auto it = drawnAs.find({x, y});
                const Drawn drawn = it == drawnAs.end() ? Drawn::Whole : it->second;
                if (drawn == Drawn::Background) {
                    EXPECT_EQ(stored, testsupport::ReadFileBytes(Base(x, y))) << where;
                    continue;
                }
                const auto image = engine::DecodeImage(stored);
                ASSERT_TRUE(image.has_value()) << where;
                ASSERT_EQ(image->width, 256) << where;
                const std::uint8_t* left = image->At(40, 128);
                const std::uint8_t* right = image->At(200, 128);
                const Rgb labelColour = drawn == Drawn::Whole ? Rgb{255, 0, 0} : ColourOf(x, y);
                EXPECT_TRUE(Near({left[0], left[1], left[2]}, labelColour)) << where;
                EXPECT_TRUE(Near({right[0], right[1], right[2]}, ColourOf(x, y))) << where;
            }
        }
    }
}

// The KML export copies tiles and decodes none: it completes over the same tree with every tile
// as stored.
TEST_F(CombineDamagedTilesTest, KmlExportCopiesEveryTileAsStored) {
    const auto task = test::MakeTask(dir.path(), tiles, kLayer, area);
    RecordingEvents events;
    test::RunWorker(task, out, TImageCombineType::icGoogleEarth, test::Levels({kZ}), events);
    ASSERT_EQ(events.endResult, CombineResult::Completed);
    for (int y = 20; y <= 22; ++y) {
        for (int x = 10; x <= 14; ++x) {
            const auto copy =
                out / "Task_L6" / "6" / std::to_string(x) / (std::to_string(y) + ".jpg");
            EXPECT_EQ(testsupport::ReadFileBytes(copy), testsupport::ReadFileBytes(Base(x, y)))
                << x << "," << y;
        }
    }
}

}  // namespace
}  // namespace raster
