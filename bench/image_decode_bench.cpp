// Decoding speed of 256 x 256 tiles, as the stitcher reads them by the ten thousand.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "engine/image/image_codec.h"
#include "engine/image/merge_tile_images.h"

namespace {

// Like a road map tile: flat areas, a few roads, a smooth shade and some fine detail.
engine::RgbaImage SampleTile() {
    engine::RgbaImage image(256, 256);
    for (int y = 0; y < 256; ++y) {
        for (int x = 0; x < 256; ++x) {
            std::uint8_t* p = image.At(x, y);
            const bool road = (x + y) % 64 < 5 || std::abs(x - 128) < 3 || (y > 200 && y < 206);
            const bool block = ((x / 32) + (y / 32)) % 3 == 0;
            const std::uint8_t shade = static_cast<std::uint8_t>(230 - y / 16);
            p[0] = road ? 255 : block ? 200 : shade;
            p[1] = road ? 220 : block ? 230 : shade;
            p[2] = road ? 120 : block ? 190 : static_cast<std::uint8_t>(shade - 10);
            p[3] = 255;
            if ((x * 7 + y * 13) % 97 == 0) {
                p[0] = p[1] = p[2] = 60;  // specks of text
            }
        }
    }
    return image;
}

// A label overlay: mostly clear, with opaque and half-opaque marks.
engine::RgbaImage LabelTile() {
    engine::RgbaImage image(256, 256);
    for (int y = 0; y < 256; ++y) {
        for (int x = 0; x < 256; ++x) {
            std::uint8_t* p = image.At(x, y);
            const bool text = y > 100 && y < 112 && x > 40 && x < 200 && (x / 3) % 3 != 0;
            const bool halo = y > 98 && y < 114 && x > 38 && x < 202;
            p[0] = p[1] = p[2] = text ? 30 : 255;
            p[3] = text ? 255 : halo ? 128 : 0;
        }
    }
    return image;
}

template <typename Work>
void Time(const char* label, int count, Work work) {
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < count; ++i) {
        work();
    }
    const double ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    std::printf("%-28s %6d in %8.1f ms = %7.3f ms each\n", label, count, ms, ms / count);
}

}  // namespace

int main() {
    const engine::RgbaImage tile = SampleTile();
    const std::string png = *engine::EncodePng(tile);
    const std::string label = *engine::EncodePng(LabelTile());
    const std::string jpeg = *engine::EncodeJpeg(tile, 90);
    engine::RgbaImage out;
    Time("decode PNG 256x256", 2000, [&] { engine::DecodeImage(png, out); });
    Time("decode JPEG 256x256", 10000, [&] { engine::DecodeImage(jpeg, out); });
    Time("encode PNG 256x256", 500, [&] { (void)engine::EncodePng(tile); });
    Time("encode JPEG q100 256x256", 2000, [&] { (void)engine::EncodeJpeg(tile, 100); });
    Time("merge label over JPEG", 1000,
         [&] { (void)engine::MergeTileImageBytes(label, jpeg, engine::ImageFormat::Jpeg, 256); });
    return 0;
}
