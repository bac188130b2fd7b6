#include <gtest/gtest.h>

#include <string>

#include "engine/tiledb/rmaps_sqlite.h"
#include "tiledb_test_support.h"

namespace engine {
namespace {

using tiledbtest::CountCommitted;

const std::string kTile("\x89PNG\r\n\x1a\n-tile-", 14);

std::string Info(const std::filesystem::path& file) {
    TSQLiteDatabase reader(file);
    auto q = reader.Prepare("SELECT minzoom, maxzoom FROM info");
    std::string rows;
    while (q.Step()) {
        rows += "(" + std::to_string(q.ColumnInt(0)) + "," + std::to_string(q.ColumnInt(1)) + ")";
    }
    return rows;
}

TEST(RMapsSQLite, StoresZoomAs17MinusZoomWithImage) {
    testsupport::TempDir dir;
    const auto file = dir / "x" / "Task.sqlitedb";
    {
        TRMapsSQLite writer(file);
        writer.Write(10, 20, 17, 0, kTile);
        writer.Write(11, 21, 18, 0, kTile);
        writer.Write(0, 0, 0, 0, kTile);
        writer.UpdateTileMetaInfo();
    }
    TSQLiteDatabase reader(file);
    auto q = reader.Prepare("SELECT x, y, z, s, image FROM tiles ORDER BY z");
    std::string rows;
    while (q.Step()) {
        rows += std::to_string(q.ColumnInt(0)) + "," + std::to_string(q.ColumnInt(1)) + "," +
                std::to_string(q.ColumnInt(2)) + "," + std::to_string(q.ColumnInt(3)) + ";";
        EXPECT_EQ(q.ColumnBlob(4), kTile);
    }
    EXPECT_EQ(rows, "11,21,-1,0;10,20,0,0;0,0,17,0;");
    EXPECT_EQ(Info(file), "(-1,17)");
    auto locale = reader.Prepare("SELECT group_concat(locale) FROM android_metadata");
    ASSERT_TRUE(locale.Step());
    EXPECT_EQ(locale.ColumnText(0), "zh_CN");
}

TEST(RMapsSQLite, InfoRowGivesTheStoredRange) {
    struct Case {
        int fromZoom, toZoom;
        std::string info;
    };
    for (const Case& c : {Case{10, 15, "(2,7)"}, Case{5, 5, "(12,12)"}, Case{1, 0, "(-1,-1)"}}) {
        testsupport::TempDir dir;
        const auto file = dir / "a.sqlitedb";
        {
            TRMapsSQLite writer(file);
            for (int z = c.fromZoom; z <= c.toZoom; ++z) {
                writer.Write(1, 2, z, 0, kTile);
            }
            writer.UpdateTileMetaInfo();
        }
        EXPECT_EQ(Info(file), c.info) << c.fromZoom << "-" << c.toZoom;
        EXPECT_EQ(CountCommitted(file, "SELECT count(*) FROM tiles"),
                  std::max(0, c.toZoom - c.fromZoom + 1));
    }
}

TEST(RMapsSQLite, BatchesOf1000AndFinishedClosesTheBatch) {
    testsupport::TempDir dir;
    const auto file = dir / "a.sqlitedb";
    TRMapsSQLite writer(file);
    const auto count = [&] { return CountCommitted(file, "SELECT count(*) FROM tiles"); };
    for (int i = 0; i < 999; ++i) {
        writer.Write(i, 0, 12, 0, kTile);
    }
    EXPECT_EQ(count(), 0);
    writer.Write(999, 0, 12, 0, kTile);
    EXPECT_EQ(count(), 1000);
    writer.Write(1000, 0, 12, 0, kTile);  // begins the next batch
    EXPECT_EQ(count(), 1000);
    writer.SetFinished(true);
    writer.Write(1001, 0, 12, 0, kTile);
    EXPECT_EQ(count(), 1002);
}

// A duplicate fails on the primary key; the export goes on with the next tile in the same
// batch and nothing written before is lost.
TEST(RMapsSQLite, DuplicateTileFailsAndTheExportGoesOn) {
    testsupport::TempDir dir;
    const auto file = dir / "a.sqlitedb";
    {
        TRMapsSQLite writer(file);
        writer.Write(1, 1, 5, 0, kTile);
        EXPECT_THROW(writer.Write(1, 1, 5, 0, "other"), SqliteError);
        writer.Write(2, 1, 5, 0, kTile);
        writer.Write(3, 1, 5, 7, kTile);  // another s: the row is stored without image
        writer.UpdateTileMetaInfo();
    }
    EXPECT_EQ(CountCommitted(file, "SELECT count(*) FROM tiles"), 3);
    EXPECT_EQ(CountCommitted(file, "SELECT count(*) FROM tiles WHERE image IS NULL AND x = 3"), 1);
    EXPECT_EQ(CountCommitted(file, "SELECT count(*) FROM tiles WHERE x = 1 AND image = x'" +
                                       std::string("89504E470D0A1A0A2D74696C652D") + "'"),
              1);
}

TEST(RMapsSQLite, ExistingFileIsRebuilt) {
    testsupport::TempDir dir;
    const auto file = dir / "a.sqlitedb";
    for (int run = 0; run < 2; ++run) {
        TRMapsSQLite writer(file);
        writer.Write(run, 0, 3, 0, kTile);
        writer.UpdateTileMetaInfo();
    }
    EXPECT_EQ(CountCommitted(file, "SELECT count(*) FROM tiles"), 1);
    EXPECT_EQ(CountCommitted(file, "SELECT x FROM tiles"), 1);
    EXPECT_EQ(Info(file), "(14,14)");
    EXPECT_EQ(CountCommitted(file, "SELECT count(*) FROM android_metadata"), 1);
}

}  // namespace
}  // namespace engine
