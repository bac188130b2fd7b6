// Tile bodies of every kind through the stitch's decoders: GIF and BMP by their own drivers
// only, damaged and hostile bodies refused with a reason, and the JPEG decompressor as good as
// new after a failure.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fuzz/damaged_tiles.h"
#include "raster/gdal_tool.h"
#include "raster/tile_body.h"
#include "raster_test_support.h"

namespace raster {
namespace {

using engine::DecodeStatus;
using test::MakeImage;
using test::ReadPixel;
using test::Rgb;

class TileBodyTest : public ::testing::Test {
  protected:
    std::string Bytes(const std::string& name) { return testsupport::ReadFileBytes(dir_ / name); }
    testsupport::TempDir dir_;
};

TEST_F(TileBodyTest, EachKindOfBodyDecodesOrIsRefusedWithItsStatus) {
    MakeImage(dir_ / "t.gif", "GIF", 256, 256, 1, [](int, int) { return std::vector{1}; },
              {{0, 0, 0}, {30, 140, 250}});
    MakeImage(dir_ / "t.bmp", "BMP", 256, 256, 3, [](int, int) { return std::vector{250, 60, 7}; });
    // What a hostile body would show if it were opened by the library's other drivers.
    MakeImage(dir_ / "secret.png", "PNG", 256, 256, 3, [](int, int) {
        return std::vector{255, 0, 255};
    });
    const std::string gif = Bytes("t.gif");
    const struct {
        const char* name;
        std::string bytes;
        DecodeStatus status;
        Rgb colour = {-1, -1, -1};
    } cases[] = {
        {"gif", gif, DecodeStatus::Ok, {30, 140, 250}},
        {"bmp", Bytes("t.bmp"), DecodeStatus::Ok, {250, 60, 7}},
        {"png", damaged::Png(256, 1, 2, 3), DecodeStatus::Ok, {1, 2, 3}},
        {"raster description",
         damaged::RasterDescriptionOf(dir_ / "secret.png", 256),
         DecodeStatus::NotImage,
         {}},
        {"html", damaged::kHtml, DecodeStatus::NotImage, {}},
        {"gif cut in its header", gif.substr(0, 10), DecodeStatus::Damaged, {}},
        {"gif cut in its image", damaged::Cut(gif, 0.6), DecodeStatus::Damaged, {}},
        {"gif image of 65000", damaged::ClaimedGifSize(65000, 65000), DecodeStatus::TooLarge, {}},
        {"gif image one over", damaged::ClaimedGifSize(4097, 16), DecodeStatus::TooLarge, {}},
        {"bmp of 65000", damaged::ClaimedBmpSize(65000, 65000), DecodeStatus::TooLarge, {}},
        {"bmp top-down of 65000", damaged::ClaimedBmpSize(16, -65000), DecodeStatus::TooLarge, {}},
        {"bmp of no width", damaged::ClaimedBmpSize(0, 16), DecodeStatus::Damaged, {}},
        {"bmp cut short", damaged::ClaimedBmpSize(16, 16), DecodeStatus::Damaged, {}},
    };
    for (const auto& c : cases) {
        engine::RgbaImage image;
        std::string reason;
        EXPECT_EQ(DecodeTileBody(c.bytes, image, &reason), c.status) << c.name << ": " << reason;
        if (c.status == DecodeStatus::Ok) {
            ASSERT_EQ(image.width, 256) << c.name;
            const std::uint8_t* p = image.At(100, 100);
            EXPECT_EQ((Rgb{p[0], p[1], p[2]}), c.colour) << c.name;
        } else {
            EXPECT_FALSE(reason.empty()) << c.name;
            EXPECT_EQ(image.pixels.capacity(), 0u) << c.name;
        }
    }
}

TEST_F(TileBodyTest, TheDecoderRecoversFromEveryFailure) {
    const std::string good = damaged::Jpeg(64, 20, 200, 40);
    for (const std::string& bad :
         {damaged::BogusDqt(good), good.substr(0, 40), damaged::Cut(damaged::NoisyJpeg(256)),
          damaged::BrokenScan(damaged::NoisyJpeg(256)), damaged::ClaimedJpegSize(good, 65000, 9)}) {
        engine::RgbaImage image;
        std::string error;
        EXPECT_NE(DecodeTileBody(bad, image, &error), DecodeStatus::Ok);
        EXPECT_EQ(error.rfind("JPEG: ", 0), 0u) << error;
        for (int i = 0; i < 2; ++i) {
            ASSERT_EQ(DecodeTileBody(good, image, &error), DecodeStatus::Ok) << error;
            EXPECT_NEAR(image.At(32, 32)[1], 200, 4);
        }
    }
}

// The stitch's older path through the tool: a raster description or a TIFF among the tiles is
// refused and logged, never drawn; GIF and BMP tiles still are.
TEST_F(TileBodyTest, WriteTileFileOpensOnlyTheFormatsATileCanHave) {
    MakeImage(dir_ / "secret.png", "PNG", 256, 256, 3, [](int, int) {
        return std::vector{255, 0, 255};
    });
    MakeImage(dir_ / "t.tif", "GTiff", 256, 256, 3, [](int, int) {
        return std::vector{255, 0, 255};
    });
    MakeImage(dir_ / "t.bmp", "BMP", 256, 256, 3, [](int, int) { return std::vector{9, 8, 7}; });
    testsupport::WriteFileBytes(dir_ / "vrt.png",
                                damaged::RasterDescriptionOf(dir_ / "secret.png", 256));
    testsupport::WriteFileBytes(dir_ / "huge.jpg",
                                damaged::ClaimedJpegSize(damaged::Jpeg(64, 1, 1, 1), 65000, 65000));
    testsupport::WriteFileBytes(dir_ / "huge.gif", damaged::ClaimedGifSize(65000, 65000));
    TGDALTool tool;
    std::vector<std::string> log;
    tool.SetLog([&](const std::string& line) { log.push_back(line); });
    const auto target = dir_ / "target.tif";
    {
        Dataset ds = tool.CreateImage(TGDALTool::GetDriverByName(engine::TImgType::itTIFF), target,
                                      1024, 256, 3, OptionList());
        ASSERT_TRUE(ds);
        EXPECT_FALSE(tool.WriteTileFile(dir_ / "vrt.png", ds, 0, 0));
        EXPECT_FALSE(tool.WriteTileFile(dir_ / "t.tif", ds, 1, 0));
        EXPECT_FALSE(tool.WriteTileFile(dir_ / "huge.jpg", ds, 2, 0));
        EXPECT_FALSE(tool.WriteTileFile(dir_ / "huge.gif", ds, 2, 0));
        EXPECT_TRUE(tool.WriteTileFile(dir_ / "t.bmp", ds, 3, 0));
        // An opened dataset far beyond a tile is refused before its pixels are read.
        Dataset wide(GDALCreate(GDALGetDriverByName("MEM"), "", 5000, 8, 3, GDT_Byte, nullptr));
        ASSERT_TRUE(wide);
        EXPECT_FALSE(tool.WriteImage(std::move(wide), ds, 0, 0));
    }
    EXPECT_EQ(ReadPixel(target, 100, 100), (Rgb{0, 0, 0}));
    EXPECT_EQ(ReadPixel(target, 256 + 100, 100), (Rgb{0, 0, 0}));
    EXPECT_EQ(ReadPixel(target, 768 + 100, 100), (Rgb{9, 8, 7}));
    ASSERT_EQ(log.size(), 5u);
    EXPECT_NE(log[0].find("vrt.png"), std::string::npos) << log[0];
    EXPECT_NE(log[2].find("JPEG: declared size 65000x65000"), std::string::npos) << log[2];
    EXPECT_NE(log[3].find("declared size 65000x65000"), std::string::npos) << log[3];
    EXPECT_EQ(log[4], "WriteImage:unusable image size");
}

}  // namespace
}  // namespace raster
