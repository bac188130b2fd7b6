// Runs the real download pool over a tile rectangle and prints one JSON line with its figures.
//   download_bench --layer N --zooms A-B --bbox LAT1,LNG1,LAT2,LNG2 --threads N --out DIR
// Requests go wherever VANTOREL_ROUTE points. With --curl-config FILE --curl-out DIR it only
// writes a curl config (url/output pairs of the same tiles, routed) and exits.
#include <sys/resource.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>
#include <string_view>

#include "engine/core/catalogue.h"
#include "engine/core/number_format.h"
#include "engine/core/tile_math.h"
#include "engine/download/download_pool.h"
#include "engine/download/installed_data.h"
#include "engine/download/tile_path.h"
#include "engine/download/url_builder.h"
#include "engine/net/http_client.h"

using namespace engine;

namespace {

struct Options {
    int layer = 41;
    int zoomFrom = 10;
    int zoomTo = 12;
    double lat1 = 39.8, lng1 = 116.2, lat2 = 40.0, lng2 = 116.5;
    int threads = 20;
    std::string out = "bench-tiles";
    std::string curlConfig;
    std::string curlOut;
};

[[noreturn]] void Usage() {
    std::cerr << "usage: download_bench --layer N --zooms A-B --bbox LAT1,LNG1,LAT2,LNG2 "
                 "--threads N --out DIR [--curl-config FILE --curl-out DIR]\n";
    std::exit(2);
}

double Number(std::string_view text) {
    const std::optional<double> value = ParseFloat(text);
    if (!value) {
        Usage();
    }
    return *value;
}

Options Parse(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (i + 1 >= argc) {
            Usage();
        }
        const std::string value = argv[++i];
        if (arg == "--layer") {
            options.layer = static_cast<int>(Number(value));
        } else if (arg == "--zooms") {
            const auto dash = value.find('-');
            options.zoomFrom = static_cast<int>(Number(value.substr(0, dash)));
            options.zoomTo = dash == std::string::npos
                                 ? options.zoomFrom
                                 : static_cast<int>(Number(value.substr(dash + 1)));
        } else if (arg == "--bbox") {
            double v[4];
            std::size_t start = 0;
            for (int k = 0; k < 4; ++k) {
                const auto comma = value.find(',', start);
                if (comma == std::string::npos && k < 3) {
                    Usage();
                }
                v[k] = Number(value.substr(start, comma - start));
                start = comma + 1;
            }
            options.lat1 = v[0];
            options.lng1 = v[1];
            options.lat2 = v[2];
            options.lng2 = v[3];
        } else if (arg == "--threads") {
            options.threads = static_cast<int>(Number(value));
        } else if (arg == "--out") {
            options.out = value;
        } else if (arg == "--curl-config") {
            options.curlConfig = value;
        } else if (arg == "--curl-out") {
            options.curlOut = value;
        } else {
            Usage();
        }
    }
    if (options.layer < 0 || options.layer >= kMapTypeCount || options.zoomFrom < 0 ||
        options.zoomTo >= kZoomLevelCount || options.zoomFrom > options.zoomTo) {
        Usage();
    }
    return options;
}

TTileBounds Bounds(const Options& options, std::int64_t& count) {
    TTileBounds bounds;
    count = 0;
    for (int z = options.zoomFrom; z <= options.zoomTo; ++z) {
        std::int32_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;
        LatLngToTileXY(z, options.lat1, options.lng1, x1, y1);
        LatLngToTileXY(z, options.lat2, options.lng2, x2, y2);
        TTileBound& bound = bounds[z];
        bound.Checked = true;
        bound.zoom = z;
        bound.MinCol = std::min(x1, x2);
        bound.MaxCol = std::max(x1, x2);
        bound.MinRow = std::min(y1, y2);
        bound.MaxRow = std::max(y1, y2);
        count += std::int64_t{bound.MaxCol - bound.MinCol + 1} * (bound.MaxRow - bound.MinRow + 1);
    }
    return bounds;
}

long PeakRssKb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0) {
            return std::strtol(line.c_str() + 6, nullptr, 10);
        }
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

int WriteCurlConfig(const Options& options, const TTileBounds& bounds) {
    std::ofstream config(options.curlConfig);
    const TMapType layer = MapTypeOf(options.layer);
    TileUrlBuilder builder(layer);
    const UrlSettings settings;
    TileCursor cursor(bounds);
    TTile tile;
    while (cursor.GetNextTile(tile)) {
        config << "url = \"" << RoutedUrl(builder.BuildTileUrl(tile, settings).Base) << "\"\n"
               << "output = \""
               << BaseTilePath(options.curlOut, layer, tile, DefaultImgType(layer)).string()
               << "\"\n";
    }
    return config ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    const Options options = Parse(argc, argv);
    std::int64_t count = 0;
    const TTileBounds bounds = Bounds(options, count);
    if (!options.curlConfig.empty()) {
        return WriteCurlConfig(options, bounds);
    }

    DownloadPlan plan;
    plan.Bounds = bounds;
    plan.Settings.OutPutDirectory = options.out;
    plan.Settings.MapTypeIndex = options.layer;
    plan.Settings.FailedTryTimes = 3;
    plan.Settings.DownloadDelay = 0;
    plan.SubstituteImage = LoadSubstituteImage();

    std::atomic<std::int64_t> succeeded{0}, failed{0}, bytes{0};
    TileDownloadPool pool([](const std::string& message, const std::string&) {
        std::fprintf(stderr, "%s\n", message.c_str());
    });
    const auto begun = std::chrono::steady_clock::now();
    pool.StartTask(std::move(plan), options.threads,
                   [&](bool succeed, std::int32_t size, std::int32_t) {
                       if (succeed) {
                           succeeded.fetch_add(1, std::memory_order_relaxed);
                           bytes.fetch_add(size, std::memory_order_relaxed);
                       } else {
                           failed.fetch_add(1, std::memory_order_relaxed);
                       }
                   });
    while (!pool.WaitUntilFinished(std::chrono::hours(1))) {
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - begun).count();
    pool.Terminate();

    const std::int64_t tiles = succeeded.load() + failed.load();
    std::cout << "{\"tiles\":" << FormatInt(tiles) << ",\"seconds\":" << FormatFixed(seconds, 3)
              << ",\"tiles_per_s\":" << FormatFixed(seconds > 0 ? tiles / seconds : 0.0, 1)
              << ",\"bytes\":" << FormatInt(bytes.load())
              << ",\"failed\":" << FormatInt(failed.load())
              << ",\"peak_rss_mb\":" << FormatFixed(PeakRssKb() / 1024.0, 1) << "}" << std::endl;
    return tiles == count ? 0 : 1;
}
