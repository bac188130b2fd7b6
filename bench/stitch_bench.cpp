// Runs the stitching worker on a saved task and prints one JSON line with the figures:
//   stitch_bench --task FILE.zeb --kind K --levels 12,13 --out DIR [--tiles DIR]
//                [--compress DEFLATE] [--quality 60] [--cache-mb 256] [--threads N]
// Kinds are the worker's output kinds 0 to 8 (4 is MBTiles: tiles / seconds is its rate).
// It also makes a synthetic tile tree with its task file (and a world file per tile, for a
// baseline built with the raster library's own tools):
//   stitch_bench --make-tiles DIR --task FILE.zeb --zoom Z --x0 X --y0 Y --cols C --rows R
//                [--world-files]
#include <sys/resource.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <numbers>
#include <string>
#include <thread>
#include <vector>

#include "engine/core/atomic_file.h"
#include "engine/core/catalogue.h"
#include "engine/core/number_format.h"
#include "engine/download/tile_path.h"
#include "engine/image/image_codec.h"
#include "engine/tasks/profiles.h"
#include "raster/combine/combine_tile.h"

namespace {

using engine::FormatFloat;
using engine::FormatInt;

constexpr double kHalfWorld = 20037508.342789244;
constexpr auto kLayer = engine::TMapType::mtGoogleRoadMap;  // PNG tiles

std::map<std::string, std::string> Arguments(int argc, char** argv) {
    std::map<std::string, std::string> args;
    for (int i = 1; i < argc; ++i) {
        std::string key = argv[i];
        if (key.rfind("--", 0) != 0) {
            continue;
        }
        key = key.substr(2);
        if (i + 1 < argc && std::string(argv[i + 1]).rfind("--", 0) != 0) {
            args[key] = argv[++i];
        } else {
            args[key] = "1";
        }
    }
    return args;
}

int IntArg(const std::map<std::string, std::string>& args, const std::string& key, int fallback) {
    const auto it = args.find(key);
    if (it == args.end()) {
        return fallback;
    }
    return static_cast<int>(engine::ParseInt(it->second).value_or(fallback));
}

// A smooth shade per tile with a road grid and some noise, so that compression has real work.
engine::RgbaImage NoisyTile(int x, int y, std::uint32_t seed) {
    engine::RgbaImage image(256, 256);
    std::uint32_t state = seed * 2654435761u + 1;
    for (int py = 0; py < 256; ++py) {
        for (int px = 0; px < 256; ++px) {
            state = state * 1664525u + 1013904223u;
            // Noise on one pixel in eight: tiles of some 20 to 30 KB, like real map tiles.
            const int noise = (state >> 29) == 0 ? static_cast<int>((state >> 20) % 16) - 8 : 0;
            std::uint8_t* p = image.At(px, py);
            const bool road = (px + x * 7) % 64 < 4 || (py + y * 5) % 80 < 3;
            const int base = 120 + (px + py) / 8 + (x * 13 + y * 29) % 40;
            p[0] = static_cast<std::uint8_t>(std::clamp(road ? 250 : base + noise, 0, 255));
            p[1] = static_cast<std::uint8_t>(std::clamp(road ? 230 : base - 20 + noise, 0, 255));
            p[2] = static_cast<std::uint8_t>(std::clamp(road ? 140 : base - 40 + noise, 0, 255));
            p[3] = 255;
        }
    }
    return image;
}

engine::TGLatLng TileUnitsToLatLng(double x, double y, int z) {
    const double n = std::ldexp(1.0, z);
    return {std::atan(std::sinh(std::numbers::pi * (1 - 2 * y / n))) * 180 / std::numbers::pi,
            x / n * 360 - 180};
}

int MakeTiles(const std::map<std::string, std::string>& args) {
    const std::filesystem::path root = args.at("make-tiles");
    const std::filesystem::path taskFile = args.at("task");
    const int z = IntArg(args, "zoom", 14);
    const int x0 = IntArg(args, "x0", 8000);
    const int y0 = IntArg(args, "y0", 6000);
    const int cols = IntArg(args, "cols", 100);
    const int rows = IntArg(args, "rows", 100);
    const bool worldFiles = args.count("world-files") > 0;
    const double tileMetres = 2 * kHalfWorld / std::ldexp(1.0, z);
    const double pixel = tileMetres / 256;

    std::atomic<int> next{0};
    std::atomic<bool> failed{false};
    std::vector<std::thread> workers;
    for (unsigned t = 0; t < std::max(1u, std::thread::hardware_concurrency()); ++t) {
        workers.emplace_back([&] {
            for (int i = next++; i < cols * rows; i = next++) {
                const int x = x0 + i % cols;
                const int y = y0 + i / cols;
                const auto file = engine::BaseTilePath(
                    root, kLayer, {x, y, static_cast<std::int8_t>(z)}, engine::TImgType::itPNG);
                std::error_code ec;
                std::filesystem::create_directories(file.parent_path(), ec);
                const auto png = engine::EncodePng(NoisyTile(x, y, static_cast<std::uint32_t>(i)));
                if (!png || !engine::WriteFileAtomic(file, *png)) {
                    failed = true;
                }
                if (worldFiles) {
                    const double west = -kHalfWorld + x * tileMetres;
                    const double north = kHalfWorld - y * tileMetres;
                    const std::string text = FormatFloat(pixel) + "\n0\n0\n" + FormatFloat(-pixel) +
                                             "\n" + FormatFloat(west + pixel / 2) + "\n" +
                                             FormatFloat(north - pixel / 2) + "\n";
                    std::filesystem::path world = file;
                    world.replace_extension(".pgw");
                    if (!engine::WriteFileAtomic(world, text)) {
                        failed = true;
                    }
                }
            }
        });
    }
    for (auto& w : workers) {
        w.join();
    }
    if (failed) {
        std::fprintf(stderr, "cannot write the tiles\n");
        return 1;
    }
    // The area lies just inside the outer tiles, so its range is exactly the tiles made.
    const auto nw = TileUnitsToLatLng(x0 + 0.3, y0 + 0.3, z);
    const auto se = TileUnitsToLatLng(x0 + cols - 0.3, y0 + rows - 0.3, z);
    std::filesystem::create_directories(taskFile.parent_path());
    engine::TProfiles task(taskFile.parent_path());
    task.SetFileName(taskFile);
    task.SetName(taskFile.stem().string());
    task.SetDirectory(root.string());
    task.SetMapTypeIndex(engine::Ord(kLayer));
    task.SetCoordinates(FormatFloat(nw.lng) + "," + FormatFloat(nw.lat) + "," +
                        FormatFloat(se.lng) + "," + FormatFloat(se.lat));
    engine::TZoomLevelArray levels{};
    levels[z].Checked = true;
    task.SetZoomLevels(levels);
    task.SetTileSize(256);
    task.Save();
    std::printf("{\"tiles\":%d,\"task\":\"%s\"}\n", cols * rows, taskFile.c_str());
    return 0;
}

class CountingEvents : public raster::ICombineEvents {
  public:
    void Begin(std::int64_t count, const std::filesystem::path& log) override {
        if (!log.empty() || count != 100 || !converting_) {
            tiles += count;
        }
    }
    void Progress(std::int64_t, bool) override {}
    void ConvertBegin(const std::filesystem::path&) override { converting_ = true; }
    void ConvertCompleted(const std::filesystem::path&, const std::filesystem::path& out,
                          raster::CombineResult r) override {
        output = out;
        result = r;
    }
    void ShowInfo(const std::string& message) override {
        std::fprintf(stderr, "%s\n", message.c_str());
    }

    std::int64_t tiles = 0;
    std::filesystem::path output;
    raster::CombineResult result = raster::CombineResult::Failed;

  private:
    bool converting_ = false;
};

int Stitch(const std::map<std::string, std::string>& args) {
    if (!args.count("task") || !args.count("out") || !args.count("kind")) {
        std::fprintf(stderr,
                     "usage: stitch_bench --task FILE.zeb --kind K --levels 12,13 --out DIR "
                     "[--tiles DIR]\n");
        return 2;
    }
    const std::filesystem::path taskFile = args.at("task");
    engine::TProfiles task(taskFile.parent_path());
    task.Load(taskFile);
    if (args.count("tiles")) {
        task.SetDirectory(args.at("tiles"));
    }
    const int kind = IntArg(args, "kind", 3);
    if (kind < 0 || kind > 8) {
        std::fprintf(stderr, "kind must be 0 to 8\n");
        return 2;
    }
    const engine::TZoomLevelArray levels =
        args.count("levels") ? engine::TProfiles::StrToZoomLevelArray(args.at("levels"))
                             : task.ZoomLevels();
    raster::TGDALTool::SetCacheMax(std::int64_t{IntArg(args, "cache-mb", 256)} << 20);
    static constexpr engine::TImgType kTypes[] = {engine::TImgType::itBMP, engine::TImgType::itJPG,
                                                  engine::TImgType::itPNG,
                                                  engine::TImgType::itTIFF};
    CountingEvents events;
    raster::TCombineTile worker(task, args.at("out"), task.Name(),
                                kind < 4 ? kTypes[kind] : engine::TImgType::itTIFF, events);
    raster::CombineSettings settings;
    settings.compressName = args.count("compress") ? args.at("compress") : "DEFLATE";
    settings.imageQuality = IntArg(args, "quality", 60);
    settings.threads = IntArg(args, "threads", 0);
    worker.SetZoomLevels(levels);
    worker.SetTileBounds(task.TileBounds());
    worker.SetImageCombineType(static_cast<raster::TImageCombineType>(kind));
    worker.SetSettings(settings);
    const auto start = std::chrono::steady_clock::now();
    worker.Start();
    worker.WaitFor();
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("{\"tiles\":%lld,\"seconds\":%s,\"peak_rss_mb\":%s,\"output\":\"%s\"}\n",
                static_cast<long long>(events.tiles), engine::FormatFixed(seconds, 3).c_str(),
                engine::FormatFixed(usage.ru_maxrss / 1024.0, 1).c_str(), events.output.c_str());
    return events.result == raster::CombineResult::Completed ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    const auto args = Arguments(argc, argv);
    try {
        return args.count("make-tiles") ? MakeTiles(args) : Stitch(args);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "stitch_bench: %s\n", e.what());
        return 1;
    }
}
