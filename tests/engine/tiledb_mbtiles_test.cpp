#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <clocale>
#include <string>

#include "engine/tiledb/mbtiles.h"
#include "tiledb_test_support.h"

namespace engine {
namespace {

using tiledbtest::CountCommitted;
using tiledbtest::MakeTile;

class MBTilesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        png_ = MakeTile(dir_ / "red.png", "PNG", 255, 0, 0);
        jpeg_ = MakeTile(dir_ / "blue.jpg", "JPEG", 0, 0, 255);
        ASSERT_FALSE(png_.empty());
        ASSERT_FALSE(jpeg_.empty());
    }

    std::filesystem::path db() const { return dir_ / "out" / "sub" / "Task.mbtiles"; }

    std::string Metadata(const std::string& name) const {
        TSQLiteDatabase reader(db());
        auto q = reader.Prepare("SELECT value FROM metadata WHERE name = ?");
        q.BindText(1, name);
        return q.Step() ? q.ColumnText(0) : "<none>";
    }

    testsupport::TempDir dir_;
    std::string png_;
    std::string jpeg_;
};

// The north-east quarter of the world at zoom 1 and 2: the bounds and the levels that GDAL
// reads back, and the stored bytes of every tile unchanged.
TEST_F(MBTilesTest, GdalReadsBoundsZoomsAndTiles) {
    {
        TMBTiles writer(db());
        writer.Write(1, 0, 1, png_);
        for (int y = 0; y <= 1; ++y) {
            for (int x = 2; x <= 3; ++x) {
                writer.SetFinished(x == 3 && y == 1);
                writer.Write(x, y, 2, png_);
            }
        }
        writer.finishAtlasCreation({{85.0511287798, 180.0}, {0.0, 0.0}});
    }
    const auto info = testsupport::RunChild({"gdalinfo", "-json", db().string()});
    ASSERT_EQ(info.exitCode, 0) << "gdalinfo (package gdal-bin) is needed: " << info.errors;
    const auto json = nlohmann::json::parse(info.output);
    EXPECT_EQ(json["driverShortName"], "MBTiles");
    EXPECT_EQ(json["size"], nlohmann::json::array({512, 512}));
    EXPECT_EQ(json["metadata"][""]["ZOOM_LEVEL"], "2");
    EXPECT_EQ(json["metadata"][""]["bounds"], "0.0000,0.0000,180.0000,85.0511");
    EXPECT_EQ(json["metadata"][""]["format"], "png");
    EXPECT_EQ(json["bands"][0]["overviews"].size(), 1u);  // zoom 1 below zoom 2
    const auto& gt = json["geoTransform"];
    EXPECT_NEAR(gt[0].get<double>(), 0.0, 1e-6);
    EXPECT_NEAR(gt[3].get<double>(), 20037508.34, 50.0);

    const auto pixel =
        testsupport::RunChild({"gdallocationinfo", "-valonly", db().string(), "10", "10"});
    EXPECT_EQ(pixel.output, "255\n0\n0\n255\n");  // red, opaque

    TSQLiteDatabase reader(db());
    auto q = reader.Prepare(
        "SELECT tile_data FROM tiles WHERE zoom_level = 2 AND tile_column = 3 AND tile_row = 2");
    ASSERT_TRUE(q.Step());
    EXPECT_EQ(q.ColumnBlob(0), png_);
}

TEST_F(MBTilesTest, RowsAreCountedFromTheSouth) {
    {
        TMBTiles writer(db());
        writer.Write(0, 0, 0, png_);
        writer.Write(3, 1, 2, png_);
        writer.Write(5, 0, 18, png_);
        writer.finishAtlasCreation({});
    }
    EXPECT_EQ(CountCommitted(db(), "SELECT tile_row FROM tiles WHERE zoom_level = 0"), 0);
    EXPECT_EQ(CountCommitted(db(), "SELECT tile_row FROM tiles WHERE zoom_level = 2"), 2);
    EXPECT_EQ(CountCommitted(db(), "SELECT tile_row FROM tiles WHERE zoom_level = 18"), 262143);
}

// JPEG layers are announced as "jpg", so that readers decode them; GDAL reads the blue back.
TEST_F(MBTilesTest, FormatFollowsTheTiles) {
    {
        TMBTiles writer(db());
        writer.Write(0, 0, 0, jpeg_);
        writer.finishAtlasCreation({{85, 180}, {-85, -180}});
    }
    EXPECT_EQ(Metadata("format"), "jpg");
    const auto pixel =
        testsupport::RunChild({"gdallocationinfo", "-valonly", db().string(), "128", "128"});
    ASSERT_EQ(pixel.exitCode, 0) << pixel.errors;
    const auto first = pixel.output.find('\n');
    ASSERT_NE(first, std::string::npos);
    EXPECT_LT(std::stoi(pixel.output.substr(0, first)), 10) << pixel.output;  // red channel
    {
        TMBTiles writer(db());
        writer.Write(0, 0, 0, png_);
        writer.finishAtlasCreation({});
    }
    EXPECT_EQ(Metadata("format"), "png");
}

TEST_F(MBTilesTest, MetadataRowsInOrder) {
    {
        TMBTiles writer(db());
        writer.Write(0, 0, 0, png_);
        writer.finishAtlasCreation({{39.912345678, 116.5}, {-39.98765, -116.44444}});
    }
    TSQLiteDatabase reader(db());
    auto q = reader.Prepare("SELECT name, value FROM metadata ORDER BY rowid");
    std::string names;
    while (q.Step()) {
        names +=
            q.ColumnText(0) + "=" + (q.ColumnText(0) == "description" ? "" : q.ColumnText(1)) + ";";
    }
    EXPECT_EQ(names,
              "bounds=-116.4444,-39.9877,116.5000,39.9123;name=test;type=baselayer;version=1.1;"
              "description=;format=png;");
    const auto description = Metadata("description");
    EXPECT_EQ(description.rfind("created on", 0), 0u) << description;
    EXPECT_TRUE(description.ends_with(" By vantorel")) << description;
}

TEST(MBTilesDescription, DateWithTimeExceptAtMidnight) {
    std::tm t{};
    t.tm_year = 2026 - 1900;
    t.tm_mon = 2;
    t.tm_mday = 7;
    t.tm_hour = 9;
    t.tm_min = 5;
    t.tm_sec = 3;
    EXPECT_EQ(TMBTiles::Description(t), "created on2026/3/7 9:05:03 By vantorel");
    t.tm_hour = t.tm_min = t.tm_sec = 0;
    EXPECT_EQ(TMBTiles::Description(t), "created on2026/3/7 By vantorel");
}

// Batches of 2000 rows: nothing is visible to another reader before a commit.
TEST_F(MBTilesTest, CommitsInBatchesAndWhenFinished) {
    TMBTiles writer(db());
    const auto count = [&] { return CountCommitted(db(), "SELECT count(*) FROM tiles"); };
    for (int i = 0; i < 1999; ++i) {
        writer.Write(i, 0, 12, png_);
    }
    EXPECT_EQ(count(), 0);
    writer.Write(1999, 0, 12, png_);
    EXPECT_EQ(count(), 2000);
    writer.SetFinished(true);
    writer.Write(2000, 0, 12, png_);
    EXPECT_EQ(count(), 2001);
    writer.SetFinished(false);
    writer.Write(2001, 0, 12, png_);
    EXPECT_EQ(count(), 2001);
    writer.finishAtlasCreation({});
    EXPECT_EQ(count(), 2002);
    EXPECT_EQ(CountCommitted(db(), "SELECT count(*) FROM metadata"), 6);
}

TEST_F(MBTilesTest, RewrittenTileReplacesAndSecondFinishFails) {
    TMBTiles writer(db());
    writer.Write(1, 1, 1, jpeg_);
    writer.Write(1, 1, 1, png_);
    writer.finishAtlasCreation({});
    EXPECT_THROW(writer.finishAtlasCreation({}), SqliteError);
    EXPECT_EQ(CountCommitted(db(), "SELECT count(*) FROM tiles"), 1);
    TSQLiteDatabase reader(db());
    auto q = reader.Prepare("SELECT tile_data FROM tiles");
    ASSERT_TRUE(q.Step());
    EXPECT_EQ(q.ColumnBlob(0), png_);
}

TEST_F(MBTilesTest, ExistingFileGetsNewTablesAndKeepsOthers) {
    {
        TMBTiles writer(db());
        writer.Write(0, 0, 0, png_);
        writer.finishAtlasCreation({});
        TSQLiteDatabase(db()).Execute("CREATE TABLE notes (t text)");
    }
    {
        TMBTiles writer(db());
        writer.Write(1, 0, 1, png_);
        writer.finishAtlasCreation({});
    }
    EXPECT_EQ(CountCommitted(db(), "SELECT count(*) FROM tiles"), 1);
    EXPECT_EQ(CountCommitted(db(), "SELECT zoom_level FROM tiles"), 1);
    EXPECT_EQ(CountCommitted(db(), "SELECT count(*) FROM metadata"), 6);
    EXPECT_TRUE(TSQLiteDatabase(db()).TableExists("notes"));
}

TEST_F(MBTilesTest, PendingTilesSurviveTheWriterWithoutFinish) {
    {
        TMBTiles writer(db());
        writer.Write(0, 0, 0, png_);
    }
    EXPECT_EQ(CountCommitted(db(), "SELECT count(*) FROM tiles"), 1);
}

}  // namespace
}  // namespace engine
