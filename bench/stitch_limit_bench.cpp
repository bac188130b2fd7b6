// The two halves of a stitch on their own, from memory: (a) every PNG tile of a folder decoded
// with the fastest decoder at hand (libdeflate inflate, then the row filters), (b) an image of
// COLS x ROWS tiles encoded by GDAL with the stitch's creation options. One JSON line:
//   stitch_limit_bench --tiles DIR --cols C --rows R --out FILE.tif [--zlevel 6]
#include <gdal.h>
#include <libdeflate.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#include "engine/core/atomic_file.h"
#include "engine/core/number_format.h"

namespace {

std::uint32_t Be32(const unsigned char* p) {
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) |
           p[3];
}

// 8-bit RGB or RGBA, not interlaced: what the bench tiles are. Gives RGB pixels.
bool DecodePng(libdeflate_decompressor* inflater, const std::string& png,
               std::vector<unsigned char>& raw, std::vector<unsigned char>& rgb) {
    const auto* p = reinterpret_cast<const unsigned char*>(png.data());
    if (png.size() < 33) {
        return false;
    }
    const std::uint32_t width = Be32(p + 16), height = Be32(p + 20);
    const int channels = p[25] == 6 ? 4 : p[25] == 2 ? 3 : 0;
    if (p[24] != 8 || channels == 0 || p[28] != 0) {
        return false;
    }
    std::string idat;
    for (std::size_t at = 8; at + 12 <= png.size();) {
        const std::uint32_t length = Be32(p + at);
        if (std::memcmp(p + at + 4, "IDAT", 4) == 0) {
            idat.append(png, at + 8, length);
        }
        at += 12 + std::size_t{length};
    }
    const std::size_t stride = std::size_t{width} * channels;
    raw.resize((stride + 1) * height);
    std::size_t got = 0;
    if (libdeflate_zlib_decompress(inflater, idat.data(), idat.size(), raw.data(), raw.size(),
                                   &got) != LIBDEFLATE_SUCCESS ||
        got != raw.size()) {
        return false;
    }
    rgb.resize(std::size_t{width} * height * 3);
    std::vector<unsigned char> previous(stride, 0);
    for (std::uint32_t y = 0; y < height; ++y) {
        unsigned char* row = raw.data() + y * (stride + 1) + 1;
        const int filter = row[-1];
        for (std::size_t i = 0; i < stride; ++i) {
            const int a = i >= std::size_t(channels) ? row[i - channels] : 0;
            const int b = previous[i];
            const int c = i >= std::size_t(channels) ? previous[i - channels] : 0;
            int add = 0;
            switch (filter) {
                case 1:
                    add = a;
                    break;
                case 2:
                    add = b;
                    break;
                case 3:
                    add = (a + b) / 2;
                    break;
                case 4: {
                    const int pa = std::abs(b - c), pb = std::abs(a - c),
                              pc = std::abs(a + b - 2 * c);
                    add = pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
                    break;
                }
                default:
                    break;
            }
            row[i] = static_cast<unsigned char>(row[i] + add);
        }
        std::memcpy(previous.data(), row, stride);
        unsigned char* out = rgb.data() + std::size_t{y} * width * 3;
        for (std::uint32_t x = 0; x < width; ++x) {
            std::memcpy(out + x * 3, row + x * channels, 3);
        }
    }
    return true;
}

double Since(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
    std::string tilesDir, out;
    int cols = 100, rows = 100, zlevel = 6;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string key = argv[i], value = argv[i + 1];
        if (key == "--tiles")
            tilesDir = value;
        else if (key == "--out")
            out = value;
        else if (key == "--cols")
            cols = static_cast<int>(engine::ParseInt(value).value_or(100));
        else if (key == "--rows")
            rows = static_cast<int>(engine::ParseInt(value).value_or(100));
        else if (key == "--zlevel")
            zlevel = static_cast<int>(engine::ParseInt(value).value_or(6));
    }
    if (tilesDir.empty() || out.empty()) {
        std::cerr << "usage: stitch_limit_bench --tiles DIR --cols C --rows R --out FILE.tif\n";
        return 2;
    }
    std::vector<std::string> pngs;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(tilesDir)) {
        if (entry.is_regular_file() && entry.path().extension() == ".png") {
            std::string bytes;
            if (engine::ReadFileBytes(entry.path(), bytes)) {
                pngs.push_back(std::move(bytes));
            }
        }
    }

    // (a) Decoding over all cores; a ring of decoded tiles is kept for (b).
    constexpr std::size_t kKept = 256;
    std::vector<std::vector<unsigned char>> kept(std::min(kKept, pngs.size()));
    const unsigned cpus = std::max(1u, std::thread::hardware_concurrency());
    std::atomic<std::size_t> next{0}, failed{0};
    auto start = std::chrono::steady_clock::now();
    std::vector<std::thread> pool;
    for (unsigned t = 0; t < cpus; ++t) {
        pool.emplace_back([&] {
            libdeflate_decompressor* inflater = libdeflate_alloc_decompressor();
            std::vector<unsigned char> raw, rgb;
            for (std::size_t i = next++; i < pngs.size(); i = next++) {
                if (!DecodePng(inflater, pngs[i], raw, rgb)) {
                    ++failed;
                } else if (i < kept.size()) {
                    kept[i] = rgb;
                }
            }
            libdeflate_free_decompressor(inflater);
        });
    }
    for (std::thread& thread : pool) {
        thread.join();
    }
    const double decodeSeconds = Since(start);
    if (failed > 0 || kept.empty()) {
        std::cerr << failed.load() << " tiles failed to decode\n";
        return 1;
    }

    // (b) The same-size image from memory, tile by tile, with the stitch's creation options.
    GDALAllRegister();
    // The stitch caps GDAL's block cache at 64 MB; a bigger cache holds finished blocks longer
    // and makes the encode slower, not faster, so the limit is taken with the same cap.
    GDALSetCacheMax64(std::int64_t{64} << 20);
    const std::string zopt = "ZLEVEL=" + engine::FormatInt(zlevel);
    const char* options[] = {"TILED=YES",        "BLOCKXSIZE=256",       "BLOCKYSIZE=256",
                             "COMPRESS=DEFLATE", "PREDICTOR=2",          zopt.c_str(),
                             "BIGTIFF=IF_SAFER", "NUM_THREADS=ALL_CPUS", nullptr};
    start = std::chrono::steady_clock::now();
    GDALDatasetH dataset = GDALCreate(GDALGetDriverByName("GTiff"), out.c_str(), cols * 256,
                                      rows * 256, 3, GDT_Byte, const_cast<char**>(options));
    if (dataset == nullptr) {
        return 1;
    }
    int bands[] = {1, 2, 3};
    bool written = true;
    for (int r = 0; r < rows && written; ++r) {
        for (int c = 0; c < cols && written; ++c) {
            auto& pixels = kept[static_cast<std::size_t>(r * cols + c) % kept.size()];
            written =
                GDALDatasetRasterIO(dataset, GF_Write, c * 256, r * 256, 256, 256, pixels.data(),
                                    256, 256, GDT_Byte, 3, bands, 3, 256 * 3, 1) == CE_None;
        }
    }
    GDALClose(dataset);
    const double encodeSeconds = Since(start);
    std::cout << "{\"tiles\":" << engine::FormatInt(static_cast<std::int64_t>(pngs.size()))
              << ",\"decode_s\":" << engine::FormatFixed(decodeSeconds, 3)
              << ",\"encode_s\":" << engine::FormatFixed(encodeSeconds, 3) << "}" << std::endl;
    return written ? 0 : 1;
}
