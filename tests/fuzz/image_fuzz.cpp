// Tile bodies: sniffed and decoded by every decoder the stitch and the exports use; whatever
// decodes has the pixels its size says, within the largest tile.
#include <cstdlib>

#include "engine/image/image_codec.h"
#include "fuzz_support.h"
#include "raster/tile_body.h"
#include "raster/tile_image.h"

namespace {

void Check(const engine::RgbaImage& image) {
    if (image.width <= 0 || image.height <= 0 ||
        image.pixels.size() != std::size_t(image.width) * std::size_t(image.height) * 4) {
        std::abort();
    }
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
    thread_local raster::TileDecoder decoder;
    raster::TileImage rgb;
    if (decoder.Decode(input, rgb) &&
        rgb.rgb.size() != std::size_t(rgb.width) * std::size_t(rgb.height) * 3) {
        std::abort();
    }
    return 0;
}
