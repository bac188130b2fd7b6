// How fast this disk takes a tile tree: creates the files of a list (one "path size" line each,
// paths relative to --out) in list order over N threads, each file the way the tile writer
// stores a tile. Prints one JSON line with the figures:
//   disk_limit_bench --list FILE --out DIR --threads N
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#include "engine/core/number_format.h"
#include "engine/download/tile_file.h"

int main(int argc, char** argv) {
    std::string list, out;
    int threads = 20;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string key = argv[i];
        if (key == "--list") {
            list = argv[i + 1];
        } else if (key == "--out") {
            out = argv[i + 1];
        } else if (key == "--threads") {
            threads = static_cast<int>(engine::ParseInt(argv[i + 1]).value_or(20));
        }
    }
    if (list.empty() || out.empty() || threads < 1) {
        std::cerr << "usage: disk_limit_bench --list FILE --out DIR --threads N\n";
        return 2;
    }
    struct Entry {
        std::filesystem::path path;
        std::size_t size;
    };
    std::vector<Entry> entries;
    std::ifstream in(list);
    std::string rel;
    std::size_t size = 0;
    while (in >> rel >> size) {
        entries.push_back({std::filesystem::path(out) / rel, size});
    }
    const std::string body(1 << 16, 'x');

    std::atomic<std::size_t> next{0};
    std::atomic<std::size_t> failed{0};
    const auto begun = std::chrono::steady_clock::now();
    std::vector<std::thread> pool;
    for (int t = 0; t < threads; ++t) {
        pool.emplace_back([&] {
            for (std::size_t i = next++; i < entries.size(); i = next++) {
                const std::string_view bytes(body.data(), std::min(entries[i].size, body.size()));
                if (!engine::StoreTileFile(entries[i].path, bytes)) {
                    ++failed;
                }
            }
        });
    }
    for (std::thread& thread : pool) {
        thread.join();
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - begun).count();
    std::cout << "{\"files\":" << engine::FormatInt(static_cast<std::int64_t>(entries.size()))
              << ",\"threads\":" << threads << ",\"seconds\":" << engine::FormatFixed(seconds, 3)
              << ",\"files_per_s\":"
              << engine::FormatFixed(seconds > 0 ? entries.size() / seconds : 0.0, 1)
              << ",\"failed\":" << engine::FormatInt(static_cast<std::int64_t>(failed.load()))
              << "}" << std::endl;
    return failed == 0 ? 0 : 1;
}
