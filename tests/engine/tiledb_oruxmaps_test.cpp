#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/core/tile_math.h"
#include "engine/tiledb/oruxmaps_sqlite.h"
#include "tiledb_test_support.h"

namespace engine {
namespace {

using tiledbtest::CountCommitted;

const std::string kTile("\xFF\xD8\xFF\xE0-jpeg-tile", 15);
const std::string kNs = "http://oruxtracker.com/app/res/calibration";

// The bounds the exporter passes for a level: the outer edges of its tile range.
TGLatLngBounds SnappedBounds(const TTileBound& r, int z) {
    TGLatLngBounds b;
    TileXYToLatLng(std::int64_t{r.MaxCol} + 1, r.MinRow, z, b.NorthEast.lng, b.NorthEast.lat);
    TileXYToLatLng(r.MinCol, std::int64_t{r.MaxRow} + 1, z, b.SouthWest.lng, b.SouthWest.lat);
    return b;
}

TTileBound Range(int minCol, int maxCol, int minRow, int maxRow) {
    TTileBound r;
    r.MinCol = minCol;
    r.MaxCol = maxCol;
    r.MinRow = minRow;
    r.MaxRow = maxRow;
    return r;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
        lines.push_back(text.substr(start, end - start));
    }
    EXPECT_EQ(start, text.size()) << "text after the last CR LF";
    return lines;
}

TEST(OruxMapsSqlite, CalibrationFileLayout) {
    testsupport::TempDir dir;
    const auto db = dir / "Task_OruxMaps" / "OruxMapsImages.db";
    {
        TOruxMapsSqlite writer(db, "Task");
        writer.AddConfigLevel(SnappedBounds(Range(1, 1, 0, 0), 1), 1, 256);
        writer.AddConfigLevel(SnappedBounds(Range(6740, 6745, 3100, 3102), 13), 13, 256);
        writer.Write(0, 0, 1, kTile);
        writer.finishAtlasCreation({});
    }
    const auto file = dir / "Task_OruxMaps" / "Task.otrk2.xml";
    const std::string text = testsupport::ReadFileBytes(file);
    ASSERT_EQ(text.substr(0, 3), "\xEF\xBB\xBF");
    const auto lines = Lines(text.substr(3));
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], "<?xml version=\"1.0\" encoding=\"UTF-8\"?><OruxTracker xmlns=\"" + kNs +
                            "\" versionCode=\"3.0\"><MapCalibration layers=\"true\" "
                            "layerLevel=\"0\"><MapName><![CDATA[Task]]></MapName>");
    EXPECT_EQ(lines[1],
              "<OruxTracker xmlns=\"" + kNs +
                  "\" versionCode=\"2.1\"><MapCalibration layers=\"false\" layerLevel=\"1\">"
                  "<MapName><![CDATA[Task1]]></MapName><MapChunks xMax=\"1\" yMax=\"1\" "
                  "datum=\"WGS84\" projection=\"Mercator\" img_height=\"256\" "
                  "img_width=\"256\"/><MapDimensions height=\"256\" width=\"256\" />"
                  "<MapBounds minLat=\"0.000000000000\" maxLat=\"85.051128779807\" "
                  "minLon=\"0.000000000000\" maxLon=\"180.000000000000\"/><CalibrationPoints>"
                  "<CalibrationPoint corner=\"TL\" lon=\"0.000000\" lat=\"85.051129\"/>"
                  "<CalibrationPoint corner=\"BR\" lon=\"180.000000\" lat=\"0.000000\"/>"
                  "<CalibrationPoint corner=\"TR\" lon=\"180.000000\" lat=\"85.051129\"/>"
                  "<CalibrationPoint corner=\"BL\" lon=\"0.000000\" lat=\"0.000000\"/>"
                  "</CalibrationPoints></MapCalibration></OruxTracker>");
    EXPECT_NE(lines[2].find("<MapName><![CDATA[Task13]]></MapName><MapChunks xMax=\"6\" "
                            "yMax=\"3\" datum=\"WGS84\" projection=\"Mercator\" "
                            "img_height=\"256\" img_width=\"256\"/><MapDimensions "
                            "height=\"768\" width=\"1536\" />"),
              std::string::npos)
        << lines[2];
    EXPECT_EQ(lines[3], "</MapCalibration></OruxTracker>");
    EXPECT_EQ(text.find(','), std::string::npos);  // "." whatever the locale
}

// The exporter passes the outer edges of each level's range; the block describes exactly that
// range, also where the edges fall on the grid's limits or deep levels.
TEST(OruxMapsSqlite, RangeIsRecoveredFromSnappedBounds) {
    struct Case {
        int z;
        TTileBound range;
    };
    const std::vector<Case> cases = {
        {0, Range(0, 0, 0, 0)},
        {2, Range(0, 3, 0, 3)},
        {5, Range(30, 31, 0, 1)},
        {12, Range(3372, 3375, 1550, 1553)},
        {18, Range(215890, 215890, 99283, 99290)},
        {21, Range(1727100, 1727102, 794300, 794301)},
    };
    testsupport::TempDir dir;
    TOruxMapsSqlite writer(dir / "a.db", "M");
    for (const Case& c : cases) {
        writer.AddConfigLevel(c.range, c.z, 256);
        writer.AddConfigLevel(SnappedBounds(c.range, c.z), c.z, 256);
        const auto& configs = writer.Configs();
        EXPECT_EQ(configs[configs.size() - 1], configs[configs.size() - 2]) << "zoom " << c.z;
    }
    // Bounds inside tiles (an area box) give the tiles that cover them.
    writer.AddConfigLevel(Range(1685, 1686, 775, 776), 11, 512);
    writer.AddConfigLevel({{39.95, 116.5}, {39.85, 116.3}}, 11, 512);
    const auto& configs = writer.Configs();
    EXPECT_EQ(configs[configs.size() - 1], configs[configs.size() - 2]);
    EXPECT_NE(configs.back().find("height=\"1024\" width=\"1024\""), std::string::npos);
}

TEST(OruxMapsSqlite, TilesAndAndroidMetadata) {
    testsupport::TempDir dir;
    const auto db = dir / "OruxMapsImages.db";
    for (int run = 0; run < 2; ++run) {  // the second run rebuilds the tables
        TOruxMapsSqlite writer(db, "Task");
        writer.Write(0, 0, 12, "first");
        writer.Write(0, 0, 12, kTile);  // replaces
        writer.SetFinished(true);
        writer.Write(3, 2, 12, kTile);
        EXPECT_EQ(CountCommitted(db, "SELECT count(*) FROM tiles"), 2);
        writer.finishAtlasCreation({});
    }
    TSQLiteDatabase reader(db);
    auto q = reader.Prepare("SELECT x, y, z, image FROM tiles ORDER BY x");
    ASSERT_TRUE(q.Step());
    EXPECT_EQ(q.ColumnInt(0), 0);
    EXPECT_EQ(q.ColumnBlob(3), kTile);
    ASSERT_TRUE(q.Step());
    EXPECT_EQ(q.ColumnInt(1), 2);
    EXPECT_EQ(q.ColumnInt(2), 12);
    EXPECT_FALSE(q.Step());
    auto locale = reader.Prepare("SELECT group_concat(locale) FROM android_metadata");
    ASSERT_TRUE(locale.Step());
    EXPECT_EQ(locale.ColumnText(0), "zh_CN");
}

TEST(OruxMapsSqlite, BatchesOf2000AndPendingTilesCommittedAtTheEnd) {
    testsupport::TempDir dir;
    const auto db = dir / "a.db";
    TOruxMapsSqlite writer(db, "Task");
    for (int i = 0; i < 2000; ++i) {
        writer.Write(i, 0, 14, kTile);
    }
    EXPECT_EQ(CountCommitted(db, "SELECT count(*) FROM tiles"), 2000);
    writer.Write(2000, 0, 14, kTile);
    EXPECT_EQ(CountCommitted(db, "SELECT count(*) FROM tiles"), 2000);
    writer.finishAtlasCreation({});
    EXPECT_EQ(CountCommitted(db, "SELECT count(*) FROM tiles"), 2001);
}

TEST(OruxMapsSqlite, MapNameCannotEndItsCData) {
    testsupport::TempDir dir;
    TOruxMapsSqlite writer(dir / "a.db", "a]]>b");
    EXPECT_NE(writer.Configs()[0].find("<MapName><![CDATA[a]]]]><![CDATA[>b]]></MapName>"),
              std::string::npos)
        << writer.Configs()[0];
}

TEST(OruxMapsSqlite, UnwritableCalibrationFileRaisesAndKeepsTheTiles) {
    testsupport::TempDir dir;
    const auto db = dir / "a.db";
    TOruxMapsSqlite writer(db, "Task");
    writer.Write(0, 0, 3, kTile);
    std::filesystem::create_directories(dir / "Task.otrk2.xml");  // a folder in the way
    EXPECT_THROW(writer.finishAtlasCreation({}), std::runtime_error);
    EXPECT_EQ(CountCommitted(db, "SELECT count(*) FROM tiles"), 1);
}

}  // namespace
}  // namespace engine
