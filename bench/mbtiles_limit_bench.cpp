// The disk's limit for a tile-database export: the least an export must do with the same
// tiles, that is read every tile file of a tree (from the page cache once warmed) and write
// their bytes one after the other into one new file beside the database, flushed to the disk
// and renamed into place with the folder flushed, as the export finishes its database. Prints
// one JSON line:
//   mbtiles_limit_bench --tiles DIR --out FILE
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/core/atomic_file.h"

namespace {

int Run(const std::filesystem::path& tiles, const std::filesystem::path& out) {
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(tiles)) {
        if (entry.is_regular_file()) {
            files.push_back(entry.path());
        }
    }
    std::sort(files.begin(), files.end());
    std::filesystem::create_directories(out.parent_path());
    const auto start = std::chrono::steady_clock::now();
    engine::PendingFile pending(out);
    const int fd = ::open(pending.path().c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) {
        std::fprintf(stderr, "cannot open %s\n", pending.path().c_str());
        return 1;
    }
    // Written in pieces of the database's page cache flushes, not one write per tile.
    constexpr std::size_t kPiece = std::size_t{4} << 20;
    std::string piece;
    std::string bytes;
    std::size_t total = 0;
    for (const auto& file : files) {
        if (!engine::ReadFileBytes(file, bytes)) {
            std::fprintf(stderr, "cannot read %s\n", file.c_str());
            ::close(fd);
            return 1;
        }
        piece += bytes;
        total += bytes.size();
        if (piece.size() >= kPiece) {
            if (!engine::WriteAll(fd, piece)) {
                ::close(fd);
                return 1;
            }
            piece.clear();
        }
    }
    const bool written = engine::WriteAll(fd, piece);
    ::close(fd);
    std::string error;
    if (!written || !pending.Commit(&error)) {
        std::fprintf(stderr, "cannot write %s: %s\n", out.c_str(), error.c_str());
        return 1;
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("{\"files\":%zu,\"bytes\":%zu,\"seconds\":%.3f}\n", files.size(), total, seconds);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::filesystem::path tiles;
    std::filesystem::path out;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string key = argv[i];
        if (key == "--tiles") {
            tiles = argv[i + 1];
        } else if (key == "--out") {
            out = argv[i + 1];
        }
    }
    if (tiles.empty() || out.empty()) {
        std::fprintf(stderr, "usage: mbtiles_limit_bench --tiles DIR --out FILE\n");
        return 2;
    }
    try {
        return Run(tiles, out);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "mbtiles_limit_bench: %s\n", e.what());
        return 1;
    }
}
