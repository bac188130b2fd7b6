#include "raster/combine/tile_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "engine/core/body_limits.h"

namespace raster {

std::optional<std::string_view> ReadTileFile(const std::filesystem::path& file,
                                             std::string& bytes) {
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return std::nullopt;
    }
    // Most tiles are well below this; a bigger one takes further reads into a grown buffer.
    constexpr std::size_t kInitial = 256 * 1024;
    if (bytes.size() < kInitial) {
        bytes.resize(kInitial);
    }
    std::size_t used = 0;
    bool ok = true;
    for (;;) {
        if (used == bytes.size()) {
            // No tile is this large (a download refuses it): not a tile, and maybe endless.
            if (used > engine::kMaxTileBodyBytes) {
                ok = false;
                break;
            }
            bytes.resize(std::min(bytes.size() * 2, engine::kMaxTileBodyBytes + 1));
        }
        const ssize_t n = ::read(fd, bytes.data() + used, bytes.size() - used);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            ok = false;
            break;
        }
        if (n == 0) {
            break;
        }
        // Only an empty read is the end: a short one (a network file system, a pipe) may have
        // more to come.
        used += static_cast<std::size_t>(n);
    }
    ::close(fd);
    if (!ok) {
        return std::nullopt;
    }
    return std::string_view(bytes.data(), used);
}

}  // namespace raster
