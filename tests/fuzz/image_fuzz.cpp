// Tile bodies: sniffed and decoded by every decoder the stitch and the exports use; whatever
// decodes has the pixels its size says, within the largest tile, and a sound tile decodes
// right after whatever came before it on the same thread.
#include <cstdlib>
#include <string>

#include "engine/image/image_codec.h"
#include "fuzz_support.h"
#include "raster/tile_body.h"

namespace {

void Check(const engine::RgbaImage& image) {
    if (image.width <= 0 || image.height <= 0 ||
        image.pixels.size() != std::size_t(image.width) * std::size_t(image.height) * 4) {
        std::abort();
    }
}

// A sound JPEG tile, made once.
const std::string& SoundJpeg() {
    static const std::string bytes = [] {
        engine::RgbaImage image(16, 16);
        for (std::size_t i = 0; i < image.pixels.size(); ++i) {
            image.pixels[i] = static_cast<std::uint8_t>(i * 7);
        }
        return engine::EncodeJpeg(image, 90).value_or("");
    }();
    return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input = fuzz::AsText(data, size);
    (void)engine::SniffImageFormat(input);
    (void)raster::DeclaredGifBmpSize(input);
    engine::RgbaImage image;
    if (engine::DecodeTileImage(input, image) == engine::DecodeStatus::Ok) {
        Check(image);
        if (image.width > engine::kMaxTileSide || image.height > engine::kMaxTileSide) {
            std::abort();
        }
        Check(engine::ScaleBilinear(image, 64, 64));
    }
    engine::RgbaImage body;
    if (raster::DecodeTileBody(input, body) == engine::DecodeStatus::Ok) {
        Check(body);
        if (body.width > engine::kMaxTileSide || body.height > engine::kMaxTileSide) {
            std::abort();
        }
    }
    // A failed decode leaves the decoder as good as new.
    if (engine::DecodeTileImage(SoundJpeg(), image) != engine::DecodeStatus::Ok) {
        std::abort();
    }
    return 0;
}
