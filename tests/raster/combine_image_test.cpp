#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "combine_test_support.h"
#include "engine/settings/settings.h"
#include "raster/combine/area_mask.h"
#include "support/settings_paths_in.h"

namespace raster {
namespace {

using engine::TMapType;
using test::ColourOf;
using test::GdalInfo;
using test::kHalfWorld;
using test::ReadPixel;
using test::RecordingEvents;
using test::Rgb;

constexpr int kZ = 6;

std::string ReadText(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

bool Near(const Rgb& a, const Rgb& b, int tolerance) {
    for (int i = 0; i < 3; ++i) {
        if (std::abs(a[i] - b[i]) > tolerance) {
            return false;
        }
    }
    return true;
}

class CombineImageTest : public ::testing::Test {
  protected:
    testsupport::TempDir dir;
    std::filesystem::path tiles = dir / "tiles";
    std::filesystem::path out = dir / "out";
    // Columns 10 to 12, rows 20 to 21 at level 6.
    std::string rectangle = test::AreaText({{10.2, 20.3}, {12.8, 21.7}}, kZ);

    std::filesystem::path ImageOf(const std::string& ext, int z = kZ) {
        return out / ("Task_L" + engine::FormatInt(z)) / ("Task" + ext);
    }
};

TEST_F(CombineImageTest, GeoTiffIsGeoreferencedOnTheTileEdgesWithEachTileInItsBlock) {
    test::MakeTiles(tiles, TMapType::mtGoogleRoadMap, kZ, 10, 12, 20, 21);
    std::filesystem::remove(engine::BaseTilePath(tiles, TMapType::mtGoogleRoadMap, {11, 21, kZ},
                                                 engine::TImgType::itPNG));
    const auto task = test::MakeTask(dir.path(), tiles, TMapType::mtGoogleRoadMap, rectangle);
    RecordingEvents events;
    CombineSettings settings;
    settings.compressName = "DEFLATE";
    settings.noDataValue = 0xFFFFFF;
    test::RunWorker(task, out, TImageCombineType::icGeoTIF, test::Levels({kZ}), events, settings);

    const auto image = ImageOf(".tif");
    ASSERT_EQ(events.endResult, CombineResult::Completed);
    EXPECT_EQ(events.endOutput, image);
    const auto info = GdalInfo(image);
    EXPECT_EQ(info["size"], nlohmann::json::array({3 * 256, 2 * 256}));
    EXPECT_EQ(info["metadata"]["IMAGE_STRUCTURE"]["COMPRESSION"], "DEFLATE");
    EXPECT_EQ(info["bands"][0]["block"], nlohmann::json::array({256, 256}));
    EXPECT_EQ(info["stac"]["proj:epsg"], 3857);
    const double tileMetres = 2 * kHalfWorld / 64;
    const auto& gt = info["geoTransform"];
    EXPECT_NEAR(gt[0].get<double>(), -kHalfWorld + 10 * tileMetres, 1e-3);
    EXPECT_NEAR(gt[3].get<double>(), kHalfWorld - 20 * tileMetres, 1e-3);
    EXPECT_NEAR(gt[1].get<double>(), tileMetres / 256, 1e-9);
    EXPECT_NEAR(gt[5].get<double>(), -tileMetres / 256, 1e-9);
    const auto& corners = info["cornerCoordinates"];
    EXPECT_NEAR(corners["lowerRight"][0].get<double>(), -kHalfWorld + 13 * tileMetres, 1e-3);
    EXPECT_NEAR(corners["lowerRight"][1].get<double>(), kHalfWorld - 22 * tileMetres, 1e-3);

    for (int y = 20; y <= 21; ++y) {
        for (int x = 10; x <= 12; ++x) {
            const Rgb expected = (x == 11 && y == 21) ? Rgb{255, 255, 255} : ColourOf(x, y);
            EXPECT_EQ(ReadPixel(image, (x - 10) * 256 + 128, (y - 20) * 256 + 128), expected)
                << x << "," << y;
        }
    }
    // The missing tile is named in the level's log; the side files lie beside the image.
    const std::string log = ReadText(ImageOf(".log"));
    EXPECT_NE(log.find("图片 "), std::string::npos);
    EXPECT_NE(log.find("21.png 不存在"), std::string::npos) << log;
    EXPECT_EQ(log.find("20.png 不存在"), std::string::npos) << log;
    EXPECT_TRUE(std::filesystem::exists(ImageOf(".tfw")));
    EXPECT_TRUE(std::filesystem::exists(ImageOf(".txt")));
    // No temporary file stays behind.
    EXPECT_EQ(test::FilesIn(ImageOf(".tif").parent_path()),
              (std::vector<std::string>{"Task.log", "Task.tfw", "Task.tif", "Task.txt"}));
}

// A triangle whose long edge runs diagonally through the range: every tile that the triangle
// touches keeps its pixels, every other one shows the background.
TEST_F(CombineImageTest, PolygonAreaKeepsEveryTileItMeetsAndNoOther) {
    test::MakeTiles(tiles, TMapType::mtGoogleRoadMap, kZ, 10, 13, 20, 23);
    const std::vector<std::pair<double, double>> triangle = {
        {10.5, 20.5}, {13.7, 20.5}, {10.5, 23.2}};
    const auto task =
        test::MakeTask(dir.path(), tiles, TMapType::mtGoogleRoadMap, test::AreaText(triangle, kZ));
    RecordingEvents events;
    CombineSettings settings;
    settings.byRectangle = false;
    settings.noDataValue = 0xFFFFFF;
    test::RunWorker(task, out, TImageCombineType::icGeoTIF, test::Levels({kZ}), events, settings);
    ASSERT_EQ(events.endResult, CombineResult::Completed);

    const auto image = ImageOf(".tif");
    ASSERT_EQ(GdalInfo(image)["size"], nlohmann::json::array({4 * 256, 4 * 256}));
    int kept = 0;
    for (int row = 0; row < 4; ++row) {
        for (int col = 0; col < 4; ++col) {
            // The hypotenuse x = 13.7 - (y - 20.5) * 3.2 / 2.7; a tile meets the triangle when
            // its corner nearest to the right angle lies on the inner side of it.
            const double x = std::max(10.0 + col, 10.5);
            const double y = std::max(20.0 + row, 20.5);
            const bool meets = x <= 13.7 - (y - 20.5) * 3.2 / 2.7;
            kept += meets;
            const Rgb expected = meets ? ColourOf(10 + col, 20 + row) : Rgb{255, 255, 255};
            EXPECT_EQ(ReadPixel(image, col * 256 + 128, row * 256 + 128), expected)
                << col << "," << row;
        }
    }
    EXPECT_EQ(kept, 11);
}

TEST(AreaMask, RowsOfAConcaveAreaKeepBothArmsAndTheNotchStaysEmpty) {
    // A U shape: arms over columns 0 and 3, joined in row 3; the notch covers columns 1-2 of
    // rows 0-2.
    AreaMask mask({{0.2, 0.2},
                   {0.8, 0.2},
                   {0.8, 3.5},
                   {3.2, 3.5},
                   {3.2, 0.2},
                   {3.8, 0.2},
                   {3.8, 3.8},
                   {0.2, 3.8}});
    std::vector<char> keep;
    mask.Row(1, 0, 4, keep);
    EXPECT_EQ(keep, (std::vector<char>{1, 0, 0, 1, 0}));
    mask.Row(3, 0, 4, keep);
    EXPECT_EQ(keep, (std::vector<char>{1, 1, 1, 1, 0}));
    mask.Row(4, 0, 4, keep);
    EXPECT_EQ(keep, (std::vector<char>{0, 0, 0, 0, 0}));
}

TEST_F(CombineImageTest, BaiduImageTakesTheStoredRangeWithItsLastRowOnTop) {
    test::MakeTiles(tiles, TMapType::mtBaiduRoadMap, 10, 20, 21, 30, 31);
    const auto task = test::MakeTask(dir.path(), tiles, TMapType::mtBaiduRoadMap, rectangle);
    engine::TTileBounds bounds{};
    bounds[10] = engine::TTileBound{30, 31, 20, 21, {}, 10, true};
    RecordingEvents events;
    test::RunWorker(task, out, TImageCombineType::icGeoTIF, test::Levels({10}), events, {}, bounds);
    const auto image = ImageOf(".tif", 10);
    EXPECT_EQ(ReadPixel(image, 128, 128), ColourOf(20, 31));
    EXPECT_EQ(ReadPixel(image, 256 + 128, 128), ColourOf(21, 31));
    EXPECT_EQ(ReadPixel(image, 128, 256 + 128), ColourOf(20, 30));
}

// The settings a stitch starts with carry the installed stand-in of the TianDiTu road map: a
// missing tile of that layer shows it, unlogged; other layers keep the gap and its log line.
TEST_F(CombineImageTest, MissingTianDiTuRoadTileShowsTheInstalledStandIn) {
    engine::TSettings stored(testsupport::SettingsPathsIn(dir));
    const CombineSettings settings = CombineSettingsFrom(stored);
    ASSERT_FALSE(settings.tiandituMissingTile.empty()) << "resources/404_TDT.png is missing";
    const auto standIn = engine::ReadImageFile(settings.tiandituMissingTile);
    ASSERT_TRUE(standIn.has_value());
    ASSERT_EQ(standIn->width, 256);
    ASSERT_EQ(standIn->height, 256);

    for (const TMapType layer : {TMapType::mtTDTRoadMap, TMapType::mtTDTSatellite}) {
        const bool replaced = layer == TMapType::mtTDTRoadMap;
        test::MakeTiles(tiles, layer, kZ, 10, 12, 20, 21);
        std::filesystem::remove(
            engine::BaseTilePath(tiles, layer, {11, 21, kZ}, engine::DefaultImgType(layer)));
        const auto task = test::MakeTask(dir.path(), tiles, layer, rectangle);
        RecordingEvents events;
        test::RunWorker(task, out, TImageCombineType::icGeoTIF, test::Levels({kZ}), events,
                        settings);
        ASSERT_EQ(events.endResult, CombineResult::Completed);
        const auto image = ImageOf(".tif");
        for (const auto& [x, y] : {std::pair{0, 0}, std::pair{64, 64}, std::pair{100, 37}}) {
            const std::uint8_t* p = standIn->At(x, y);
            const Rgb expected = replaced ? Rgb{p[0], p[1], p[2]} : Rgb{0, 0, 0};
            EXPECT_EQ(ReadPixel(image, 256 + x, 256 + y), expected) << engine::Ord(layer);
        }
        EXPECT_TRUE(Near(ReadPixel(image, 128, 128), ColourOf(10, 20), 3));
        const std::string log = ReadText(ImageOf(".log"));
        EXPECT_EQ(log.find("不存在") != std::string::npos, !replaced) << log;
        std::filesystem::remove_all(out);
    }
}

TEST_F(CombineImageTest, LabelTilesAreDrawnOverTheBaseUnlessTheTaskHasNoLabels) {
    const auto layer = TMapType::mtGoogleHybrid;  // JPEG base, PNG labels
    test::MakeTiles(tiles, layer, kZ, 10, 12, 20, 21);
    // Labels: the left half opaque red, the right half transparent.
    engine::RgbaImage label(256, 256);
    for (int y = 0; y < 256; ++y) {
        for (int x = 0; x < 128; ++x) {
            auto* p = label.At(x, y);
            p[0] = 255;
            p[3] = 255;
        }
    }
    const auto labelFile =
        engine::OverlayTilePath(tiles, layer, {11, 20, kZ}, engine::TImgType::itPNG);
    std::filesystem::create_directories(labelFile.parent_path());
    ASSERT_TRUE(engine::WriteImageFile(labelFile, label, engine::ImageFormat::Png, 90));

    for (bool noLabel : {false, true}) {
        auto task = test::MakeTask(dir.path(), tiles, layer, rectangle);
        task.SetNoLabel(noLabel);
        RecordingEvents events;
        test::RunWorker(task, out, TImageCombineType::icGeoTIF, test::Levels({kZ}), events);
        const auto image = ImageOf(".tif");
        const Rgb left = ReadPixel(image, 256 + 40, 128);
        const Rgb right = ReadPixel(image, 256 + 200, 128);
        EXPECT_TRUE(Near(right, ColourOf(11, 20), 4)) << noLabel;
        EXPECT_TRUE(Near(left, noLabel ? ColourOf(11, 20) : Rgb{255, 0, 0}, 4))
            << noLabel << " " << left[0] << "," << left[1] << "," << left[2];
    }
}

TEST_F(CombineImageTest, PngOutputReportsTheLevelTheConversionAndTheEnd) {
    test::MakeTiles(tiles, TMapType::mtGoogleRoadMap, kZ, 10, 12, 20, 21);
    const auto task = test::MakeTask(dir.path(), tiles, TMapType::mtGoogleRoadMap, rectangle);
    RecordingEvents events;
    test::RunWorker(task, out, TImageCombineType::icPNG, test::Levels({kZ}), events);

    const auto lines = events.Lines();
    ASSERT_GE(lines.size(), 10u);
    const std::vector<std::string> head = {"begin 6 log", "progress 1", "progress 2",
                                           "progress 3",  "progress 4", "progress 5",
                                           "progress 6",  "convert",    "begin 100"};
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 9), head);
    EXPECT_EQ(lines[lines.size() - 2], "progress 100");
    EXPECT_EQ(lines.back(), "end ok");
    EXPECT_EQ(events.ends, 1);
    const auto image = ImageOf(".png");
    EXPECT_EQ(events.endOutput, image);
    EXPECT_EQ(events.endLog, ImageOf(".log"));
    EXPECT_EQ(GdalInfo(image)["driverShortName"], "PNG");
    EXPECT_EQ(ReadPixel(image, 2 * 256 + 128, 256 + 128), ColourOf(12, 21));
    EXPECT_EQ(test::FilesIn(image.parent_path()),
              (std::vector<std::string>{"Task.pgw", "Task.png", "Task.png.aux.xml", "Task.txt"}));
}

TEST_F(CombineImageTest, CancelledRunReportsCancelledAndLeavesNoImage) {
    test::MakeTiles(tiles, TMapType::mtGoogleRoadMap, kZ, 10, 12, 20, 21);
    const auto task = test::MakeTask(dir.path(), tiles, TMapType::mtGoogleRoadMap, rectangle);
    struct Case {
        TImageCombineType kind;
        const char* cancelOn;
        const char* ext;
    };
    for (const Case& c : {Case{TImageCombineType::icGeoTIF, "progress 3", ".tif"},
                          Case{TImageCombineType::icPNG, "convert", ".png"},
                          Case{TImageCombineType::icJPG, "begin 100", ".jpg"}}) {
        RecordingEvents events;
        events.cancelOn = c.cancelOn;
        test::RunWorker(task, out, c.kind, test::Levels({kZ, kZ + 1}), events);
        const auto lines = events.Lines();
        ASSERT_GE(lines.size(), 2u);
        EXPECT_EQ(lines.back(), "end cancelled") << c.cancelOn;
        EXPECT_EQ(lines[lines.size() - 2].rfind("cancelled ", 0), 0u) << lines[lines.size() - 2];
        EXPECT_EQ(std::count(lines.begin(), lines.end(), "begin 6 log"), 1) << c.cancelOn;
        EXPECT_EQ(events.endResult, CombineResult::Cancelled);
        EXPECT_FALSE(std::filesystem::exists(ImageOf(c.ext))) << c.cancelOn;
        EXPECT_EQ(test::FilesIn(ImageOf(c.ext).parent_path()), std::vector<std::string>{})
            << c.cancelOn;
        std::filesystem::remove_all(out);
    }
}

TEST_F(CombineImageTest, LevelTooLargeForItsFormatIsSkippedWithAMessageAndTheNextIsMade) {
    test::MakeTiles(tiles, TMapType::mtGoogleRoadMap, kZ, 10, 12, 20, 21);
    // Level 16 spans 3072 by 2048 tiles: too wide for JPEG, past 4 GiB for BMP.
    const auto task = test::MakeTask(dir.path(), tiles, TMapType::mtGoogleRoadMap, rectangle);
    struct Case {
        TImageCombineType kind;
        const char* ext;
        const char* message;
    };
    for (const Case& c : {Case{TImageCombineType::icJPG, ".jpg", kJpegTooLargeMessage},
                          Case{TImageCombineType::icBMP, ".bmp", kBmpTooLargeMessage}}) {
        RecordingEvents events;
        test::RunWorker(task, out, c.kind, test::Levels({kZ, 16}), events);
        const auto lines = events.Lines();
        EXPECT_EQ(std::count(lines.begin(), lines.end(), std::string("info ") + c.message), 1)
            << c.ext;
        EXPECT_EQ(events.endResult, CombineResult::Completed);
        EXPECT_EQ(events.endOutput, ImageOf(c.ext));
        EXPECT_TRUE(Near(ReadPixel(ImageOf(c.ext), 128, 128), ColourOf(10, 20), 3)) << c.ext;
        EXPECT_FALSE(std::filesystem::exists(out / "Task_L16"));
        std::filesystem::remove_all(out);
    }
}

}  // namespace
}  // namespace raster
