#include "engine/image/merge_tile_images.h"

#include <cstdlib>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using namespace engine;
using testsupport::ReadFileBytes;
using testsupport::TempDir;
using testsupport::WriteFileBytes;

RgbaImage Solid(int size, std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a) {
    RgbaImage image(size, size);
    for (std::size_t i = 0; i < image.pixels.size(); i += 4) {
        image.pixels[i] = r, image.pixels[i + 1] = g, image.pixels[i + 2] = b;
        image.pixels[i + 3] = a;
    }
    return image;
}

// A label overlay: clear, with an opaque red label in the top-left quarter and a half-opaque
// white band along the bottom quarter.
RgbaImage LabelTile(int size) {
    RgbaImage image = Solid(size, 0, 0, 0, 0);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            std::uint8_t* p = image.At(x, y);
            if (x < size / 4 && y < size / 4) {
                p[0] = 255, p[1] = 0, p[2] = 0, p[3] = 255;
            } else if (y >= size * 3 / 4) {
                p[0] = 255, p[1] = 255, p[2] = 255, p[3] = 128;
            }
        }
    }
    return image;
}

void ExpectPixelNear(const RgbaImage& image, int x, int y, int r, int g, int b, int tolerance) {
    const std::uint8_t* p = image.At(x, y);
    EXPECT_NEAR(p[0], r, tolerance) << "red at " << x << "," << y;
    EXPECT_NEAR(p[1], g, tolerance) << "green at " << x << "," << y;
    EXPECT_NEAR(p[2], b, tolerance) << "blue at " << x << "," << y;
}

struct MergeFixture {
    TempDir dir;
    fs::path top = dir / "label.png";
    MergeFixture() { EXPECT_TRUE(WriteImageFile(top, LabelTile(256), ImageFormat::Png, 0)); }
    fs::path Bottom(const std::string& name, ImageFormat format, int size = 256) {
        const fs::path file = dir / name;
        EXPECT_TRUE(WriteImageFile(file, Solid(size, 0, 0, 200, 255), format, 100));
        return file;
    }
};

TEST(MergeTileImages, DrawsTheLabelOverTheBaseTileAsJpeg) {
    MergeFixture f;
    for (const char* name : {"base.jpg", "BASE2.JPG"}) {
        const fs::path out = f.dir / (std::string(name) + ".merged.tmp");
        ASSERT_TRUE(MergeTileImages(f.top, f.Bottom(name, ImageFormat::Jpeg), out, 256)) << name;
        const std::string bytes = ReadFileBytes(out);
        EXPECT_EQ(SniffImageFormat(bytes), ImageFormat::Jpeg) << name;
        const auto merged = DecodeImage(bytes);
        ASSERT_TRUE(merged.has_value());
        ASSERT_EQ(merged->width, 256);
        ExpectPixelNear(*merged, 10, 10, 255, 0, 0, 4);        // the label
        ExpectPixelNear(*merged, 200, 100, 0, 0, 200, 4);      // the base shows through
        ExpectPixelNear(*merged, 100, 230, 128, 128, 228, 4);  // half-opaque white over blue
    }
}

TEST(MergeTileImages, PngBaseGivesAnOpaquePngAtTheRequestedSize) {
    MergeFixture f;
    const fs::path bottom = f.Bottom("base.png", ImageFormat::Png, 512);
    const fs::path out = f.dir / "out.png";
    ASSERT_TRUE(MergeTileImages(f.top, bottom, out, 128));
    const std::string bytes = ReadFileBytes(out);
    EXPECT_EQ(SniffImageFormat(bytes), ImageFormat::Png);
    const auto merged = DecodeImage(bytes);
    ASSERT_TRUE(merged.has_value());
    ASSERT_EQ(merged->width, 128);
    ASSERT_EQ(merged->height, 128);
    ExpectPixelNear(*merged, 5, 5, 255, 0, 0, 0);
    ExpectPixelNear(*merged, 100, 50, 0, 0, 200, 0);
    for (std::size_t i = 3; i < merged->pixels.size(); i += 4) {
        ASSERT_EQ(merged->pixels[i], 255);
    }
}

TEST(MergeTileImages, WritesNothingWhenItCannotMerge) {
    MergeFixture f;
    const fs::path png = f.Bottom("base.png", ImageFormat::Png);
    // A base tile whose content is fine but whose name has another extension.
    const fs::path bmp = f.dir / "base.bmp";
    const fs::path jpeg = f.dir / "base.jpeg";
    fs::copy_file(png, bmp);
    fs::copy_file(png, jpeg);
    WriteFileBytes(f.dir / "broken.png", "<html>404</html>");
    const fs::path out = f.dir / "out.tmp";
    struct Case {
        fs::path top, bottom;
        int size;
    };
    const Case cases[] = {
        {f.top, bmp, 256},
        {f.top, jpeg, 256},
        {f.top, f.dir / "missing.png", 256},
        {f.dir / "missing.png", png, 256},
        {f.dir / "broken.png", png, 256},
        {f.top, f.dir / "broken.png", 256},
        {f.top, png, 0},
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(MergeTileImages(c.top, c.bottom, out, c.size)) << c.bottom << " " << c.size;
        EXPECT_FALSE(fs::exists(out)) << c.bottom;
    }
    // A failed merge leaves an existing output as it was.
    WriteFileBytes(out, "previous");
    EXPECT_FALSE(MergeTileImages(f.top, bmp, out, 256));
    EXPECT_EQ(ReadFileBytes(out), "previous");
}

TEST(MergeTileImageBytes, MergesInMemory) {
    const std::string top = *EncodePng(LabelTile(256));
    const std::string bottom = *EncodeJpeg(Solid(256, 0, 0, 200, 255), 100);
    const auto merged = MergeTileImageBytes(top, bottom, ImageFormat::Png, 256);
    ASSERT_TRUE(merged.has_value());
    const auto image = DecodeImage(*merged);
    ASSERT_TRUE(image.has_value());
    ExpectPixelNear(*image, 10, 10, 255, 0, 0, 0);
    ExpectPixelNear(*image, 200, 100, 0, 0, 200, 2);
    EXPECT_FALSE(MergeTileImageBytes(top, bottom, ImageFormat::Unknown, 256).has_value());
    EXPECT_FALSE(MergeTileImageBytes("", bottom, ImageFormat::Png, 256).has_value());
    EXPECT_EQ(MergeOutputFormat("a/b/1.JpG"), ImageFormat::Jpeg);
    EXPECT_EQ(MergeOutputFormat("a/b/1.PNG"), ImageFormat::Png);
    EXPECT_EQ(MergeOutputFormat("a/b.png/1"), ImageFormat::Unknown);
}

}  // namespace
