#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/core/atomic_file.h"
#include "raster/output_image.h"
#include "raster_test_support.h"

namespace raster {
namespace {

using engine::TImgType;
using test::FilesIn;
using test::GdalInfo;
using test::MakeImage;
using test::Pattern;
using test::ReadPixel;
using test::Rgb;

std::string Joined(const OptionList& options) {
    std::string text;
    for (char** item = options.get(); item != nullptr && *item != nullptr; ++item) {
        text += (text.empty() ? "" : ",") + std::string(*item);
    }
    return text;
}

TEST(OutputImageOptions, GeoTiffCompressionSettings) {
    struct Case {
        const char* compress;
        int quality;
        const char* expected;
    };
    const char* tiling = "TILED=YES,BLOCKXSIZE=256,BLOCKYSIZE=256";
    for (const Case& c : {
             Case{"NONE", 90, ""},
             Case{"none", 90, ""},
             Case{"DEFLATE", 95,
                  ",COMPRESS=DEFLATE,PREDICTOR=2,ZLEVEL=9,BIGTIFF=IF_SAFER,NUM_THREADS=ALL_CPUS"},
             Case{"DEFLATE", 5,
                  ",COMPRESS=DEFLATE,PREDICTOR=2,ZLEVEL=1,BIGTIFF=IF_SAFER,NUM_THREADS=ALL_CPUS"},
             Case{"lzw", 90, ",COMPRESS=LZW,PREDICTOR=2,BIGTIFF=IF_SAFER,NUM_THREADS=ALL_CPUS"},
             Case{"PACKBITS", 90,
                  ",COMPRESS=PACKBITS,INTERLEAVE=BAND,BIGTIFF=IF_SAFER,NUM_THREADS=ALL_CPUS"},
             Case{"JPEG", 80,
                  ",COMPRESS=JPEG,JPEG_QUALITY=80,BIGTIFF=IF_SAFER,NUM_THREADS=ALL_CPUS"},
         }) {
        EXPECT_EQ(Joined(GeoTiffCreationOptions(c.compress, c.quality, 256)),
                  std::string(tiling) + c.expected)
            << c.compress << " " << c.quality;
    }
    // Tile sizes the TIFF format cannot use as blocks keep the library's own tiling.
    EXPECT_EQ(Joined(GeoTiffCreationOptions("NONE", 90, 100)), "TILED=YES");
    EXPECT_EQ(Joined(ConversionOptions(TImgType::itJPG, 85)), "QUALITY=85");
    EXPECT_EQ(Joined(ConversionOptions(TImgType::itPNG, 85)), "ZLEVEL=1");
    EXPECT_EQ(Joined(ConversionOptions(TImgType::itPNG, 5)), "ZLEVEL=9");
}

class OutputImageTest : public ::testing::Test {
  protected:
    void SetUp() override {
        MakeImage(dir_ / "tiles" / "a.png", "PNG", 256, 256, 3, Pattern);
        MakeImage(dir_ / "tiles" / "b.jpg", "JPEG", 256, 256, 3, [](int, int) {
            return std::vector{0, 0, 250};
        });
        std::filesystem::create_directories(out());
    }

    std::filesystem::path out() const { return dir_ / "out"; }

    // A 2 by 2 tile image: tile a at (0, 0), b at (1, 0), background at (0, 1), (1, 1) missing.
    std::unique_ptr<OutputImage> Stitch(const std::filesystem::path& image, TImgType type,
                                        const std::string& compress = "NONE") {
        OutputImageSettings settings;
        settings.type = type;
        settings.width = 512;
        settings.height = 512;
        settings.compressName = compress;
        settings.background = 0x00336699;  // red 0x99, green 0x66, blue 0x33
        std::string error;
        auto image_ = OutputImage::Create(tool_, image, settings, &error);
        EXPECT_NE(image_, nullptr) << error;
        if (image_ == nullptr) {
            return nullptr;
        }
        EXPECT_EQ(image_->rasterFile().parent_path(), image.parent_path());
        EXPECT_NE(image_->rasterFile(), image);
        EXPECT_TRUE(image_->WriteTile(dir_ / "tiles" / "a.png", 0, 0));
        EXPECT_TRUE(image_->WriteTile(dir_ / "tiles" / "b.jpg", 1, 0));
        EXPECT_TRUE(image_->FillTile(0, 1));
        // Another stitch to the same name takes the raster being written for no leftover.
        EXPECT_EQ(engine::RemoveLeftoverTemporaries(image), 0);
        EXPECT_TRUE(std::filesystem::is_regular_file(image_->rasterFile()));
        return image_;
    }

    void ExpectPixels(const std::filesystem::path& image, bool lossless) {
        const Rgb a = ReadPixel(image, 20, 30);
        const Rgb b = ReadPixel(image, 256 + 20, 30);
        const Rgb background = ReadPixel(image, 20, 256 + 30);
        const int tolerance = lossless ? 0 : 6;
        for (int i = 0; i < 3; ++i) {
            EXPECT_NEAR(a[i], (Rgb{20, 30, 50})[i], tolerance) << image;
            EXPECT_NEAR(b[i], (Rgb{0, 0, 250})[i], lossless ? 4 : 8) << image;
            EXPECT_NEAR(background[i], (Rgb{0x99, 0x66, 0x33})[i], tolerance) << image;
        }
        EXPECT_EQ(ReadPixel(image, 256 + 20, 256 + 30), (Rgb{0, 0, 0}));
    }

    const std::array<double, 6> kGeoTransform{-20037508.342789, 78271.516964, 0, 20037508.342789, 0,
                                              -78271.516964};
    testsupport::TempDir dir_;
    TGDALTool tool_;
};

// Tiled with one block per map tile, compressed, georeferenced as EPSG:3857, no no-data value,
// and nothing left beside it but the image.
TEST_F(OutputImageTest, GeoTiffIsTiledCompressedAndGeoreferenced) {
    const auto image = out() / "Task.tif";
    auto stitched = Stitch(image, TImgType::itTIFF, "DEFLATE");
    ASSERT_NE(stitched, nullptr);
    EXPECT_FALSE(std::filesystem::exists(image));
    std::string error;
    ASSERT_TRUE(stitched->Finish(kGeoTransform, {}, &error)) << error;
    EXPECT_EQ(FilesIn(out()), std::vector<std::string>{"Task.tif"});

    const auto info = GdalInfo(image);
    EXPECT_EQ(info["driverShortName"], "GTiff");
    EXPECT_EQ(info["size"], nlohmann::json::array({512, 512}));
    EXPECT_EQ(info["metadata"]["IMAGE_STRUCTURE"]["COMPRESSION"], "DEFLATE");
    ASSERT_EQ(info["bands"].size(), 3u);
    for (const auto& band : info["bands"]) {
        EXPECT_EQ(band["block"], nlohmann::json::array({256, 256}));
        EXPECT_FALSE(band.contains("noDataValue"));
    }
    for (int i = 0; i < 6; ++i) {
        EXPECT_DOUBLE_EQ(info["geoTransform"][i].get<double>(), kGeoTransform[i]) << i;
    }
    EXPECT_EQ(info["stac"]["proj:epsg"], 3857);
    ExpectPixels(image, true);
}

TEST_F(OutputImageTest, JpegAndPngAreConvertedFromATemporaryGeoTiffBeside) {
    for (const auto type : {TImgType::itJPG, TImgType::itPNG}) {
        const auto image = out() / (type == TImgType::itJPG ? "Task.jpg" : "Task.png");
        auto stitched = Stitch(image, type);
        ASSERT_NE(stitched, nullptr);
        // The tiles go into a GeoTIFF first.
        GDALFlushCache(stitched->dataset().get());
        Dataset probe(GDALOpen(stitched->rasterFile().c_str(), GA_ReadOnly));
        ASSERT_TRUE(probe);
        EXPECT_STREQ(GDALGetDriverShortName(GDALGetDatasetDriver(probe.get())), "GTiff");
        probe.Close();

        std::vector<double> fractions;
        std::string error;
        ASSERT_TRUE(stitched->Finish(
            kGeoTransform,
            [&](double f) {
                fractions.push_back(f);
                return true;
            },
            &error))
            << error;
        ASSERT_FALSE(fractions.empty());
        EXPECT_DOUBLE_EQ(fractions.back(), 1.0);
        const auto info = GdalInfo(image);
        EXPECT_EQ(info["driverShortName"], type == TImgType::itJPG ? "JPEG" : "PNG");
        ExpectPixels(image, type == TImgType::itPNG);
    }
    EXPECT_EQ(FilesIn(out()), (std::vector<std::string>{"Task.jpg", "Task.png"}));
}

TEST_F(OutputImageTest, BmpOutput) {
    const auto image = out() / "Task.bmp";
    auto stitched = Stitch(image, TImgType::itBMP);
    ASSERT_NE(stitched, nullptr);
    ASSERT_TRUE(stitched->Finish(kGeoTransform));
    EXPECT_EQ(GdalInfo(image)["driverShortName"], "BMP");
    ExpectPixels(image, true);
    EXPECT_EQ(FilesIn(out()), std::vector<std::string>{"Task.bmp"});
}

// A cancelled conversion, an abandoned level and a level dropped without Finish leave no
// image and no temporary file; an older image of the same name is kept untouched.
TEST_F(OutputImageTest, CancelAndAbandonLeaveNothingBehind) {
    const auto image = out() / "Task.jpg";
    {
        auto stitched = Stitch(image, TImgType::itJPG);
        ASSERT_NE(stitched, nullptr);
        std::string error;
        EXPECT_FALSE(stitched->Finish(
            kGeoTransform, [](double) { return false; }, &error));
        EXPECT_FALSE(error.empty());
    }
    EXPECT_TRUE(FilesIn(out()).empty());
    {
        auto stitched = Stitch(out() / "a.tif", TImgType::itTIFF, "LZW");
        ASSERT_NE(stitched, nullptr);
        stitched->Abandon();
        EXPECT_FALSE(stitched->Finish(kGeoTransform));
    }
    testsupport::WriteFileBytes(out() / "old.png", "old image");
    { auto stitched = Stitch(out() / "old.png", TImgType::itPNG); }
    EXPECT_EQ(FilesIn(out()), std::vector<std::string>{"old.png"});
    EXPECT_EQ(testsupport::ReadFileBytes(out() / "old.png"), "old image");
}

TEST_F(OutputImageTest, CreationFailuresAreReported) {
    OutputImageSettings settings;
    settings.width = 256;
    settings.height = 256;
    std::string error;
    EXPECT_EQ(OutputImage::Create(tool_, dir_ / "missing" / "a.tif", settings, &error), nullptr);
    EXPECT_FALSE(error.empty());
    settings.type = TImgType::itGeoJPG;
    EXPECT_EQ(OutputImage::Create(tool_, out() / "a.jpg", settings, &error), nullptr);
    settings.type = TImgType::itTIFF;
    settings.width = 0;
    EXPECT_EQ(OutputImage::Create(tool_, out() / "a.tif", settings, &error), nullptr);
    EXPECT_TRUE(FilesIn(out()).empty());
}

// 70,000 pixels square passes 4 GiB uncompressed: the compressed GeoTIFF becomes BigTIFF,
// while a small one stays a classic TIFF.
TEST_F(OutputImageTest, LargeCompressedImagesBecomeBigTiff) {
    struct Case {
        int side;
        const char* magic;
    };
    for (const Case& c : {Case{70000, "II+"}, Case{512, "II*"}}) {
        const auto image = out() / ("side" + std::to_string(c.side) + ".tif");
        OutputImageSettings settings;
        settings.width = settings.height = c.side;
        settings.compressName = "DEFLATE";
        auto stitched = OutputImage::Create(tool_, image, settings);
        ASSERT_NE(stitched, nullptr);
        EXPECT_TRUE(stitched->WriteTile(dir_ / "tiles" / "a.png", 1, 1));
        ASSERT_TRUE(stitched->Finish(kGeoTransform));
        EXPECT_EQ(testsupport::ReadFileBytes(image).substr(0, 3), c.magic) << c.side;
        EXPECT_EQ(GdalInfo(image)["size"], nlohmann::json::array({c.side, c.side}));
        EXPECT_EQ(ReadPixel(image, 256 + 20, 256 + 30), (Rgb{20, 30, 50}));
    }
}

}  // namespace
}  // namespace raster
