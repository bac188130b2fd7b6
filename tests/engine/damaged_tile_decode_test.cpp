// Tile bodies that are damaged or hostile: the decoders refuse them without harm to the tiles
// that follow, and say why.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/image/image_codec.h"
#include "engine/image/merge_tile_images.h"
#include "fuzz/damaged_tiles.h"

namespace {

using engine::DecodeStatus;
using engine::RgbaImage;

void ExpectColour(const RgbaImage& image, int r, int g, int b, const std::string& label) {
    ASSERT_FALSE(image.empty()) << label;
    const std::uint8_t* p = image.At(image.width / 2, image.height / 2);
    EXPECT_NEAR(p[0], r, 4) << label;
    EXPECT_NEAR(p[1], g, 4) << label;
    EXPECT_NEAR(p[2], b, 4) << label;
}

// One bad body must not spoil the thread's decoder for the good tiles after it.
TEST(DamagedTileDecode, FailedJpegLeavesTheDecoderAsGoodAsNew) {
    const std::string good = damaged::Jpeg(64, 200, 40, 10);
    const struct {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"bogus table index", damaged::BogusDqt(good)},
        {"cut in the scan", damaged::Cut(damaged::NoisyJpeg(256))},
        {"cut in the headers", good.substr(0, 30)},
        {"scan broken off", damaged::BrokenScan(damaged::NoisyJpeg(256))},
        {"huge frame", damaged::ClaimedJpegSize(good, 65000, 65000)},
    };
    for (const auto& c : cases) {
        RgbaImage image;
        EXPECT_FALSE(engine::DecodeImage(c.bytes, image)) << c.name;
        for (int i = 0; i < 3; ++i) {
            RgbaImage next;
            EXPECT_TRUE(engine::DecodeImage(good, next)) << c.name << " then good #" << i;
            ExpectColour(next, 200, 40, 10, c.name);
        }
        RgbaImage tile;
        EXPECT_NE(engine::DecodeTileImage(c.bytes, tile), DecodeStatus::Ok) << c.name;
        EXPECT_EQ(engine::DecodeTileImage(good, tile), DecodeStatus::Ok) << c.name;
        ExpectColour(tile, 200, 40, 10, c.name);
    }
    // The encoder of the same thread is untouched by all this.
    EXPECT_TRUE(engine::EncodeJpeg(damaged::Flat(8, 8, 1, 2, 3), 80).has_value());
}

TEST(DamagedTileDecode, StatusOfEachKindOfBody) {
    const std::string jpeg = damaged::Jpeg(256, 10, 20, 30);
    const std::string png = damaged::Png(256, 10, 20, 30);
    const struct {
        const char* name;
        std::string bytes;
        DecodeStatus status;
    } cases[] = {
        {"jpeg", jpeg, DecodeStatus::Ok},
        {"png", png, DecodeStatus::Ok},
        {"jpeg of the largest tile", damaged::Jpeg(engine::kMaxTileSide, 1, 2, 3),
         DecodeStatus::Ok},
        {"html", damaged::kHtml, DecodeStatus::NotImage},
        {"empty", "", DecodeStatus::NotImage},
        {"raster description", damaged::RasterDescriptionOf("/etc/hostname", 256),
         DecodeStatus::NotImage},
        {"jpeg cut in the scan", damaged::Cut(damaged::NoisyJpeg(256)), DecodeStatus::Damaged},
        {"jpeg scan broken off", damaged::BrokenScan(damaged::NoisyJpeg(256)),
         DecodeStatus::Damaged},
        {"jpeg bogus table", damaged::BogusDqt(jpeg), DecodeStatus::Damaged},
        {"png cut", damaged::Cut(png), DecodeStatus::Damaged},
        {"png signature only", png.substr(0, 8), DecodeStatus::Damaged},
        {"jpeg 65000 square", damaged::ClaimedJpegSize(jpeg, 65000, 65000), DecodeStatus::TooLarge},
        {"jpeg one over the side", damaged::ClaimedJpegSize(jpeg, 4097, 256),
         DecodeStatus::TooLarge},
        {"png 65000 square", damaged::ClaimedPngSize(png, 65000, 65000), DecodeStatus::TooLarge},
        {"png tall strip", damaged::ClaimedPngSize(png, 16, 5000), DecodeStatus::TooLarge},
    };
    for (const auto& c : cases) {
        RgbaImage image;
        std::string reason;
        EXPECT_EQ(engine::DecodeTileImage(c.bytes, image, &reason), c.status) << c.name;
        EXPECT_EQ(reason.empty(), c.status == DecodeStatus::Ok) << c.name << ": " << reason;
        if (c.status == DecodeStatus::TooLarge) {
            // Refused from the header: no buffer was ever sized for it.
            EXPECT_EQ(image.pixels.capacity(), 0u) << c.name;
            EXPECT_NE(reason.find("declared size"), std::string::npos) << reason;
        }
    }
}

// Merging labels names the input that spoiled the merge, or the one that had to be scaled.
TEST(DamagedTileDecode, LabelMergeNamesTheDamagedOrScaledInput) {
    const std::string base = damaged::Jpeg(256, 0, 0, 255);
    const std::string label = damaged::Png(256, 255, 0, 0, 128);
    const struct {
        const char* name;
        std::string top, bottom;
        bool merged;
        const char* problem;  // "" for none
    } cases[] = {
        {"sound", label, base, true, ""},
        {"base cut", label, damaged::Cut(damaged::NoisyJpeg(256)), false, "base tile: JPEG"},
        {"base bogus after a good one", label, damaged::BogusDqt(base), false, "base tile: JPEG"},
        {"label cut", damaged::Cut(label), base, false, "label tile: PNG"},
        {"label huge", damaged::ClaimedPngSize(label, 60000, 60000), base, false,
         "label tile: PNG: declared size 60000x60000"},
        {"base small", label, damaged::Jpeg(128, 0, 0, 255), true,
         "base tile is 128x128, scaled to 256"},
        {"label html", damaged::kHtml, base, false, "label tile: no PNG or JPEG image"},
    };
    for (const auto& c : cases) {
        std::string problem = "left over";
        const auto merged =
            engine::MergeTileImageBytes(c.top, c.bottom, engine::ImageFormat::Jpeg, 256, &problem);
        EXPECT_EQ(merged.has_value(), c.merged) << c.name;
        if (*c.problem == '\0') {
            EXPECT_EQ(problem, "") << c.name;
        } else {
            EXPECT_EQ(problem.rfind(c.problem, 0), 0u) << c.name << ": " << problem;
        }
        // A good merge right after stays good.
        const auto next = engine::MergeTileImageBytes(label, base, engine::ImageFormat::Jpeg, 256);
        ASSERT_TRUE(next.has_value()) << c.name;
        const auto image = engine::DecodeImage(*next);
        ASSERT_TRUE(image.has_value());
        ExpectColour(*image, 128, 0, 127, c.name);
    }
}

}  // namespace
