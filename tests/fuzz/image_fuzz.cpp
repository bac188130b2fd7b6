// Tile bodies: sniffed and decoded by every decoder the stitch and the exports use; whatever
// decodes has the pixels its size says, within the largest tile, and a sound tile decodes
// right after whatever came before it on the same thread. A PNG is also tried with its chunk
// checksums mended, so that mutations reach the pixel decoders; whatever the quick PNG decoder
// takes, libpng must decode to the same pixels.
#include <png.h>
#include <zlib.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "engine/image/image_codec.h"
#include "engine/image/png_inflate.h"
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

std::uint32_t Be32(const char* p) {
    const auto* u = reinterpret_cast<const unsigned char*>(p);
    return (std::uint32_t{u[0]} << 24) | (std::uint32_t{u[1]} << 16) | (std::uint32_t{u[2]} << 8) |
           u[3];
}

// The bytes with the checksum of every whole chunk recomputed.
std::string WithMendedChecksums(std::string_view input) {
    std::string png(input);
    for (std::size_t at = 8; at + 12 <= png.size();) {
        const std::uint32_t length = Be32(png.data() + at);
        if (length > png.size() - at - 12) {
            break;
        }
        const auto crc = static_cast<std::uint32_t>(
            crc32(0, reinterpret_cast<const Bytef*>(png.data() + at + 4), length + 4));
        for (int i = 0; i < 4; ++i) {
            png[at + 8 + length + i] = static_cast<char>((crc >> (24 - 8 * i)) & 0xFF);
        }
        at += 12 + std::size_t{length};
    }
    return png;
}

void CheckQuickPngAgainstLibpng(std::string_view input) {
    const std::string png = WithMendedChecksums(input);
    engine::RgbaImage quick;
    if (!engine::DecodePlainPng(png, quick, engine::kMaxTileSide)) {
        return;
    }
    Check(quick);
    png_image reference;
    std::memset(&reference, 0, sizeof(reference));
    reference.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&reference, png.data(), png.size())) {
        std::abort();
    }
    reference.format = PNG_FORMAT_RGBA;
    engine::RgbaImage expected(static_cast<int>(reference.width),
                               static_cast<int>(reference.height));
    if (expected.width != quick.width || expected.height != quick.height) {
        std::abort();
    }
    if (!png_image_finish_read(&reference, nullptr, expected.pixels.data(), 0, nullptr)) {
        // zlib refuses some Huffman tables that libdeflate takes; the image data then still
        // inflated to exactly its size with its Adler-32 intact, so the pixels are the encoder's.
        if (std::strncmp(reference.message, "IDAT: ", 6) != 0) {
            std::abort();
        }
        return;
    }
    if (expected.pixels != quick.pixels) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input = fuzz::AsText(data, size);
    (void)engine::SniffImageFormat(input);
    (void)raster::DeclaredGifBmpSize(input);
    if (engine::SniffImageFormat(input) == engine::ImageFormat::Png) {
        CheckQuickPngAgainstLibpng(input);
    }
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
