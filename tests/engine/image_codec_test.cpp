#include "engine/image/image_codec.h"

#include <png.h>
#include <turbojpeg.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace {

using namespace engine;
using testsupport::TempDir;

// A picture with distinct values in every channel, alpha included.
RgbaImage Gradient(int w, int h) {
    RgbaImage image(w, h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            std::uint8_t* p = image.At(x, y);
            p[0] = static_cast<std::uint8_t>(x * 255 / std::max(1, w - 1));
            p[1] = static_cast<std::uint8_t>(y * 255 / std::max(1, h - 1));
            p[2] = static_cast<std::uint8_t>((x + y) * 7);
            p[3] = static_cast<std::uint8_t>(255 - (x * 3 + y) % 256);
        }
    }
    return image;
}

RgbaImage Solid(int w, int h, std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a) {
    RgbaImage image(w, h);
    for (std::size_t i = 0; i < image.pixels.size(); i += 4) {
        image.pixels[i] = r;
        image.pixels[i + 1] = g;
        image.pixels[i + 2] = b;
        image.pixels[i + 3] = a;
    }
    return image;
}

int MaxColourDifference(const RgbaImage& a, const RgbaImage& b) {
    int worst = 0;
    for (std::size_t i = 0; i < a.pixels.size(); ++i) {
        if (i % 4 != 3) {
            worst = std::max(worst, std::abs(int(a.pixels[i]) - int(b.pixels[i])));
        }
    }
    return worst;
}

// PNG files of kinds our encoder never writes: grey, palette with transparency, 16-bit.
std::string WritePngOfFormat(png_uint_32 format, int w, int h, const void* pixels,
                             const void* colormap = nullptr, int colormapEntries = 0) {
    png_image png;
    std::memset(&png, 0, sizeof(png));
    png.version = PNG_IMAGE_VERSION;
    png.width = static_cast<png_uint_32>(w);
    png.height = static_cast<png_uint_32>(h);
    png.format = format;
    png.colormap_entries = static_cast<png_uint_32>(colormapEntries);
    png_alloc_size_t size = 0;
    EXPECT_TRUE(png_image_write_to_memory(&png, nullptr, &size, 0, pixels, 0, colormap));
    std::string bytes(size, '\0');
    EXPECT_TRUE(png_image_write_to_memory(&png, bytes.data(), &size, 0, pixels, 0, colormap));
    bytes.resize(size);
    return bytes;
}

std::uint32_t Crc32(const unsigned char* data, std::size_t n) {
    std::uint32_t crc = 0xFFFFFFFF;
    for (std::size_t i = 0; i < n; ++i) {
        crc ^= data[i];
        for (int k = 0; k < 8; ++k) {
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
        }
    }
    return ~crc;
}

TEST(ImageCodec, PngRoundTripIsExactForOddSizes) {
    for (auto [w, h] : {std::pair{1, 1}, {3, 2}, {257, 5}, {256, 256}}) {
        const RgbaImage image = Gradient(w, h);
        const auto bytes = EncodePng(image);
        ASSERT_TRUE(bytes.has_value());
        EXPECT_EQ(SniffImageFormat(*bytes), ImageFormat::Png);
        const auto decoded = DecodeImage(*bytes);
        ASSERT_TRUE(decoded.has_value()) << w << "x" << h;
        EXPECT_EQ(decoded->width, w);
        EXPECT_EQ(decoded->height, h);
        EXPECT_EQ(decoded->pixels, image.pixels) << w << "x" << h;
    }
}

TEST(ImageCodec, JpegRoundTripIsCloseAndOpaque) {
    RgbaImage image = Solid(64, 48, 200, 40, 90, 255);
    for (int y = 0; y < 48; ++y) {
        for (int x = 32; x < 64; ++x) {
            std::uint8_t* p = image.At(x, y);
            p[0] = 20, p[1] = 220, p[2] = 240, p[3] = 100;  // alpha is dropped by JPEG
        }
    }
    const auto bytes = EncodeJpeg(image, 100);
    ASSERT_TRUE(bytes.has_value());
    EXPECT_EQ(SniffImageFormat(*bytes), ImageFormat::Jpeg);
    RgbaImage decoded;
    ASSERT_TRUE(DecodeImage(*bytes, decoded));
    ASSERT_EQ(decoded.width, 64);
    ASSERT_EQ(decoded.height, 48);
    EXPECT_LE(MaxColourDifference(decoded, image), 8);
    for (std::size_t i = 3; i < decoded.pixels.size(); i += 4) {
        ASSERT_EQ(decoded.pixels[i], 255);
    }
    EXPECT_LT(EncodeJpeg(Gradient(64, 64), 30)->size(), EncodeJpeg(Gradient(64, 64), 100)->size());
}

TEST(ImageCodec, DecodesGreyPaletteAndSixteenBitPngAndGreyJpeg) {
    const unsigned char grey[4] = {0, 85, 170, 255};
    RgbaImage decoded;
    ASSERT_TRUE(DecodePng(WritePngOfFormat(PNG_FORMAT_GRAY, 2, 2, grey), decoded));
    EXPECT_EQ(decoded.pixels, (std::vector<std::uint8_t>{0, 0, 0, 255, 85, 85, 85, 255, 170, 170,
                                                         170, 255, 255, 255, 255, 255}));

    const unsigned char palette[2 * 4] = {255, 0, 0, 255, 0, 0, 255, 0};  // red; clear blue
    const unsigned char indices[3] = {0, 1, 0};
    ASSERT_TRUE(
        DecodePng(WritePngOfFormat(PNG_FORMAT_RGBA_COLORMAP, 3, 1, indices, palette, 2), decoded));
    EXPECT_EQ(decoded.pixels,
              (std::vector<std::uint8_t>{255, 0, 0, 255, 0, 0, 255, 0, 255, 0, 0, 255}));

    const std::uint16_t wide[4] = {65535, 0, 0, 65535};  // linear RGBA, 16 bits a channel
    ASSERT_TRUE(DecodePng(WritePngOfFormat(PNG_FORMAT_LINEAR_RGB_ALPHA, 1, 1, wide), decoded));
    EXPECT_EQ(decoded.pixels, (std::vector<std::uint8_t>{255, 0, 0, 255}));

    tjhandle tj = tjInitCompress();
    const unsigned char band[16] = {0,   0,   0,   0,   128, 128, 128, 128,
                                    200, 200, 200, 200, 255, 255, 255, 255};
    unsigned char* jpeg = nullptr;
    unsigned long size = 0;
    ASSERT_EQ(tjCompress2(tj, band, 4, 0, 4, TJPF_GRAY, &jpeg, &size, TJSAMP_GRAY, 100, 0), 0);
    const std::string greyJpeg(reinterpret_cast<char*>(jpeg), size);
    tjFree(jpeg);
    tjDestroy(tj);
    ASSERT_TRUE(DecodeJpeg(greyJpeg, decoded));
    ASSERT_EQ(decoded.width, 4);
    const std::uint8_t* p = decoded.At(1, 2);
    EXPECT_NEAR(p[0], 200, 3);
    EXPECT_EQ(p[0], p[1]);
    EXPECT_EQ(p[1], p[2]);
    EXPECT_EQ(p[3], 255);
}

TEST(ImageCodec, DamagedOrForeignBytesAreRefused) {
    const std::string png = *EncodePng(Gradient(64, 64));
    const std::string jpeg = *EncodeJpeg(Gradient(64, 64), 90);
    const std::string cases[] = {
        "",
        "\x89PNG",
        png.substr(0, png.size() / 2),
        png.substr(0, 8) + std::string(200, 'x'),
        jpeg.substr(0, jpeg.size() / 2),
        jpeg.substr(0, 3),
        "GIF89a\x01\x00\x01\x00",
        "<html><body>404 Not Found</body></html>",
        "BM" + std::string(60, '\0'),
    };
    for (const std::string& bytes : cases) {
        RgbaImage image;
        EXPECT_FALSE(DecodeImage(bytes, image)) << bytes.size() << " bytes";
        EXPECT_FALSE(DecodeImage(bytes).has_value());
    }
    // One flipped byte in the middle of the compressed data breaks the PNG's checksum.
    std::string flipped = png;
    flipped[flipped.size() / 2] ^= 0x55;
    EXPECT_FALSE(DecodeImage(flipped).has_value());
}

TEST(ImageCodec, HugeDimensionsAreRefusedBeforeAllocating) {
    // A valid PNG header claiming 40000 x 40000 pixels (6.4 GB decoded), then nothing.
    unsigned char ihdr[17] = {'I', 'H',  'D',  'R', 0, 0, 0x9C, 0x40, 0,
                              0,   0x9C, 0x40, 8,   6, 0, 0,    0};
    const std::uint32_t crc = Crc32(ihdr, sizeof(ihdr));
    std::string bytes("\x89PNG\r\n\x1a\n\0\0\0\x0d", 12);
    bytes.append(reinterpret_cast<char*>(ihdr), sizeof(ihdr));
    for (int shift = 24; shift >= 0; shift -= 8) {
        bytes.push_back(static_cast<char>((crc >> shift) & 0xFF));
    }
    RgbaImage image;
    EXPECT_FALSE(DecodePng(bytes, image));
    EXPECT_LT(image.pixels.capacity(), 1000u);
}

TEST(ImageCodec, FilesAreWrittenAtomicallyAndReadBack) {
    TempDir dir;
    const RgbaImage image = Gradient(20, 10);
    ASSERT_TRUE(WriteImageFile(dir / "a" / "t.png", image, ImageFormat::Png, 0));
    const auto read = ReadImageFile(dir / "a" / "t.png");
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(read->pixels, image.pixels);
    ASSERT_TRUE(WriteImageFile(dir / "t.jpg", image, ImageFormat::Jpeg, 85));
    EXPECT_TRUE(ReadImageFile(dir / "t.jpg").has_value());
    EXPECT_FALSE(ReadImageFile(dir / "missing.png").has_value());

    testsupport::WriteFileBytes(dir / "keep.png", "old");
    std::string error;
    EXPECT_FALSE(WriteImageFile(dir / "keep.png", RgbaImage(), ImageFormat::Png, 0, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(testsupport::ReadFileBytes(dir / "keep.png"), "old");
    EXPECT_FALSE(WriteImageFile(dir / "keep.png", image, ImageFormat::Unknown, 0));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                            std::filesystem::directory_iterator()),
              3);  // a/, t.jpg, keep.png and nothing temporary
}

TEST(ImageCodec, ScalingKeepsColoursAndDoesNotBleedTransparentOnes) {
    const RgbaImage solid = Solid(256, 256, 10, 120, 230, 255);
    for (int size : {128, 256, 300, 512}) {
        const RgbaImage scaled = ScaleBilinear(solid, size, size);
        ASSERT_EQ(scaled.width, size);
        EXPECT_EQ(scaled.pixels, Solid(size, size, 10, 120, 230, 255).pixels) << size;
    }
    // Opaque red beside fully transparent green: green must not tint the blended pixels.
    RgbaImage pair(2, 1);
    const std::uint8_t px[8] = {255, 0, 0, 255, 0, 255, 0, 0};
    std::memcpy(pair.pixels.data(), px, 8);
    const RgbaImage wide = ScaleBilinear(pair, 8, 1);
    int partial = 0;
    for (int x = 0; x < 8; ++x) {
        const std::uint8_t* p = wide.At(x, 0);
        if (p[3] > 0) {
            EXPECT_EQ(p[0], 255) << x;
            EXPECT_EQ(p[1], 0) << x;
        }
        partial += (p[3] > 0 && p[3] < 255) ? 1 : 0;
    }
    EXPECT_GT(partial, 0);
    EXPECT_EQ(wide.At(0, 0)[3], 255);
    EXPECT_EQ(wide.At(7, 0)[3], 0);
}

TEST(ImageCodec, DrawOverComposesStraightAlpha) {
    struct Case {
        std::uint8_t bottom[4], top[4], result[4];
    };
    const Case cases[] = {
        {{0, 0, 255, 255}, {255, 0, 0, 255}, {255, 0, 0, 255}},  // opaque top replaces
        {{0, 0, 255, 255}, {255, 0, 0, 0}, {0, 0, 255, 255}},    // clear top keeps bottom
        {{0, 0, 255, 255}, {255, 255, 255, 128}, {128, 128, 255, 255}},
        {{0, 0, 0, 0}, {200, 100, 50, 128}, {200, 100, 50, 128}},  // over nothing: the top
        {{0, 0, 200, 128}, {200, 0, 0, 128}, {133, 0, 67, 192}},
    };
    for (const Case& c : cases) {
        RgbaImage bottom(1, 1), top(1, 1);
        std::memcpy(bottom.pixels.data(), c.bottom, 4);
        std::memcpy(top.pixels.data(), c.top, 4);
        DrawOver(bottom, top);
        for (int k = 0; k < 4; ++k) {
            EXPECT_NEAR(bottom.pixels[k], c.result[k], 1) << "channel " << k;
        }
    }
}

}  // namespace
