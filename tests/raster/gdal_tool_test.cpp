#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "raster/gdal_tool.h"
#include "raster_test_support.h"

namespace raster {
namespace {

using test::MakeImage;
using test::Pattern;
using test::ReadPixel;
using test::Rgb;

class GdalToolTest : public ::testing::Test {
  protected:
    // An uncompressed GeoTIFF of 4 by 3 tiles of 256 pixels, all black.
    Dataset Target(int width = 1024, int height = 768) {
        target_ = dir_ / "target.tif";
        Dataset ds = tool_.CreateImage(TGDALTool::GetDriverByName(engine::TImgType::itTIFF),
                                       target_, width, height, 3, OptionList());
        EXPECT_TRUE(ds);
        return ds;
    }

    testsupport::TempDir dir_;
    TGDALTool tool_;
    std::filesystem::path target_;
    std::vector<std::string> log_;
};

TEST_F(GdalToolTest, DriversByImageType) {
    struct Case {
        engine::TImgType type;
        const char* name;
    };
    for (const Case& c :
         {Case{engine::TImgType::itBMP, "BMP"}, Case{engine::TImgType::itJPG, "JPEG"},
          Case{engine::TImgType::itPNG, "PNG"}, Case{engine::TImgType::itTIFF, "GTiff"},
          Case{engine::TImgType::itGeoJPG, "JPEG"}}) {
        GDALDriverH driver = TGDALTool::GetDriverByName(c.type);
        ASSERT_NE(driver, nullptr) << c.name;
        EXPECT_STREQ(GDALGetDriverShortName(driver), c.name);
    }
    EXPECT_EQ(TGDALTool::GetDriverByName(engine::TImgType::itError), nullptr);
}

// Offsets are in tiles: a 256-pixel tile at (3, 2) starts at pixel column 768, row 512, and
// every pixel keeps its place.
TEST_F(GdalToolTest, PngTileLandsAtItsTileOffset) {
    MakeImage(dir_ / "t.png", "PNG", 256, 256, 3, Pattern);
    {
        Dataset ds = Target();
        EXPECT_TRUE(tool_.WriteImage(dir_ / "t.png", ds, 3, 2));
    }
    EXPECT_EQ(ReadPixel(target_, 768, 512), (Rgb{0, 0, 0}));
    EXPECT_EQ(ReadPixel(target_, 768 + 17, 512 + 200), (Rgb{17, 200, 217}));
    EXPECT_EQ(ReadPixel(target_, 1023, 767), (Rgb{255, 255, 254}));
    EXPECT_EQ(ReadPixel(target_, 767, 511), (Rgb{0, 0, 0}));
    EXPECT_EQ(ReadPixel(target_, 768 + 1, 511), (Rgb{0, 0, 0}));
}

TEST_F(GdalToolTest, NonSquareTileUsesItsOwnWidthAndHeight) {
    MakeImage(dir_ / "t.png", "PNG", 256, 128, 3, Pattern);
    {
        Dataset ds = Target();
        EXPECT_TRUE(tool_.WriteImage(dir_ / "t.png", ds, 1, 2));
    }
    EXPECT_EQ(ReadPixel(target_, 256 + 5, 256 + 127), (Rgb{5, 127, 132}));
    EXPECT_EQ(ReadPixel(target_, 256 + 5, 256 + 128), (Rgb{0, 0, 0}));
}

// PNG colour types all give the file's red, green and blue; transparency is not looked at.
TEST_F(GdalToolTest, PngColourTypesDecodeToRgb) {
    struct Case {
        const char* name;
        int bands;
        std::vector<int> value;
        std::vector<Rgb> palette;
        Rgb expected;
    };
    const std::vector<Case> cases = {
        {"rgb", 3, {10, 20, 30}, {}, {10, 20, 30}},
        {"rgba transparent", 4, {10, 20, 30, 0}, {}, {10, 20, 30}},
        {"grey", 1, {77}, {}, {77, 77, 77}},
        {"grey alpha", 2, {77, 0}, {}, {77, 77, 77}},
        {"palette", 1, {1}, {{0, 0, 0}, {200, 100, 50}}, {200, 100, 50}},
    };
    for (const Case& c : cases) {
        const auto file = dir_ / (std::string(c.name) + ".png");
        MakeImage(
            file, "PNG", 256, 256, c.bands, [&](int, int) { return c.value; }, c.palette);
        {
            Dataset ds = Target();
            EXPECT_TRUE(tool_.WriteImage(file, ds, 0, 0)) << c.name;
        }
        EXPECT_EQ(ReadPixel(target_, 100, 100), c.expected) << c.name;
    }
}

TEST_F(GdalToolTest, JpegTilesGreyAndColour) {
    MakeImage(dir_ / "grey.jpg", "JPEG", 256, 256, 1, [](int, int) { return std::vector{120}; });
    MakeImage(dir_ / "colour.jpg", "JPEG", 256, 256, 3, [](int, int) {
        return std::vector{250, 10, 5};
    });
    {
        Dataset ds = Target();
        EXPECT_TRUE(tool_.WriteJPEGImage(dir_ / "grey.jpg", ds, 1, 0));
        EXPECT_TRUE(tool_.WriteJPEGImage(dir_ / "colour.jpg", ds, 2, 0));
    }
    const Rgb grey = ReadPixel(target_, 256 + 50, 50);
    EXPECT_EQ(grey[0], grey[1]);
    EXPECT_EQ(grey[1], grey[2]);
    EXPECT_NEAR(grey[0], 120, 2);
    const Rgb colour = ReadPixel(target_, 512 + 50, 50);
    EXPECT_NEAR(colour[0], 250, 4);
    EXPECT_NEAR(colour[1], 10, 4);
    EXPECT_NEAR(colour[2], 5, 4);
}

// A missing, empty or broken tile writes nothing and leaves one "WriteImage:" log line.
TEST_F(GdalToolTest, UnreadableTilesWriteNothingAndAreLogged) {
    tool_.SetLog([&](const std::string& line) { log_.push_back(line); });
    testsupport::WriteFileBytes(dir_ / "empty.png", "");
    testsupport::WriteFileBytes(dir_ / "html.png", "<html>404</html>");
    testsupport::WriteFileBytes(dir_ / "cut.png", std::string("\x89PNG\r\n\x1a\n\0\0", 10));
    {
        Dataset ds = Target();
        TGDALTool::FillRect(ds, 0, 0, 1024, 768, 0x00030201);
        EXPECT_FALSE(tool_.WriteImage(dir_ / "missing.png", ds, 0, 0));
        EXPECT_FALSE(tool_.WriteImage(dir_ / "empty.png", ds, 0, 0));
        EXPECT_FALSE(tool_.WriteImage(dir_ / "cut.png", ds, 0, 0));
        EXPECT_FALSE(tool_.WriteJPEGImage(dir_ / "html.png", ds, 0, 0));
        EXPECT_FALSE(tool_.WriteTileFile(dir_ / "html.png", ds, 0, 0));
    }
    EXPECT_EQ(ReadPixel(target_, 0, 0), (Rgb{1, 2, 3}));
    ASSERT_EQ(log_.size(), 5u);
    for (const auto& line : log_) {
        EXPECT_EQ(line.rfind("WriteImage:", 0), 0u) << line;
    }
}

// An opened tile dataset: three bands copied, one grey band spread to all three; the tile is
// closed by the call. A tile file is opened only as a format a tile can have, so a TIFF among
// the tiles is refused.
TEST_F(GdalToolTest, OpenedTileDatasets) {
    MakeImage(dir_ / "rgb.tif", "GTiff", 256, 256, 3, Pattern);
    MakeImage(dir_ / "grey.tif", "GTiff", 256, 256, 1, [](int x, int) { return std::vector{x}; });
    {
        Dataset ds = Target();
        EXPECT_TRUE(tool_.WriteImage(tool_.Open(dir_ / "rgb.tif"), ds, 1, 1));
        EXPECT_TRUE(tool_.WriteImage(tool_.Open(dir_ / "grey.tif"), ds, 2, 1));
        EXPECT_FALSE(tool_.WriteImage(tool_.Open(dir_ / "missing.tif"), ds, 0, 0));
        EXPECT_FALSE(tool_.WriteTileFile(dir_ / "rgb.tif", ds, 3, 2));
    }
    EXPECT_EQ(ReadPixel(target_, 256 + 9, 256 + 8), (Rgb{9, 8, 17}));
    EXPECT_EQ(ReadPixel(target_, 512 + 9, 256 + 8), (Rgb{9, 9, 9}));
    EXPECT_EQ(ReadPixel(target_, 768 + 9, 512 + 8), (Rgb{0, 0, 0}));
}

TEST_F(GdalToolTest, WriteTileFilePicksTheDecoderBySignature) {
    // A PNG stored under a .jpg name and a JPEG under .png (the downloader names tiles by
    // their detected type, but older trees are not so tidy).
    MakeImage(dir_ / "png.jpg", "PNG", 256, 256, 3, Pattern);
    MakeImage(dir_ / "jpeg.png", "JPEG", 256, 256, 3, [](int, int) {
        return std::vector{0, 0, 250};
    });
    {
        Dataset ds = Target();
        EXPECT_TRUE(tool_.WriteTileFile(dir_ / "png.jpg", ds, 0, 0));
        EXPECT_TRUE(tool_.WriteTileFile(dir_ / "jpeg.png", ds, 1, 0));
    }
    EXPECT_EQ(ReadPixel(target_, 40, 30), (Rgb{40, 30, 70}));
    EXPECT_NEAR(ReadPixel(target_, 256 + 40, 30)[2], 250, 4);
}

TEST_F(GdalToolTest, FillRectUsesTheLowByteAsRed) {
    {
        Dataset ds = Target();
        EXPECT_TRUE(TGDALTool::FillRect(ds, 256, 0, 256, 256, 0x000000FF));
        EXPECT_TRUE(TGDALTool::FillRect(ds, 512, 0, 100, 50, 0x00FFFFFF));
        EXPECT_FALSE(TGDALTool::FillRect(ds, 1000, 0, 256, 256, 0x00FFFFFF));  // outside
    }
    EXPECT_EQ(ReadPixel(target_, 300, 100), (Rgb{255, 0, 0}));
    EXPECT_EQ(ReadPixel(target_, 611, 49), (Rgb{255, 255, 255}));
    EXPECT_EQ(ReadPixel(target_, 612, 49), (Rgb{0, 0, 0}));
}

TEST(DatasetAndOptions, ClosingNothingAndReplacingOptions) {
    Dataset none;
    EXPECT_TRUE(none.Close());
    EXPECT_EQ(none.BandCount(), 0);
    OptionList options;
    EXPECT_TRUE(options.Empty());
    options.Set("COMPRESS", "LZW").Set("ZLEVEL", "5").Set("COMPRESS", "DEFLATE");
    EXPECT_EQ(options.Count(), 2);
    EXPECT_EQ(options.Get("COMPRESS"), "DEFLATE");
    EXPECT_EQ(options.Get("MISSING"), "");
}

}  // namespace
}  // namespace raster
