// Tile files are read whole: a read that returns less than asked is read on to the end, and
// nothing larger than any tile is taken in.
#include "raster/combine/tile_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "engine/core/body_limits.h"
#include "support/temp_dir.h"

namespace {

using raster::ReadTileFile;

// Writes `pieces` into a named pipe, one write each with a pause between them, so that every
// read of the other end returns short; stops early when the reader goes away. Returns the
// number of bytes written.
std::size_t FeedPipe(const std::filesystem::path& pipe, const std::string& piece, std::size_t count,
                     std::chrono::milliseconds pause) {
    std::signal(SIGPIPE, SIG_IGN);  // a reader that stops early fails the write instead
    const int fd = ::open(pipe.c_str(), O_WRONLY | O_CLOEXEC);
    std::size_t written = 0;
    for (std::size_t i = 0; fd >= 0 && i < count; ++i) {
        if (i > 0 && pause.count() > 0) {
            std::this_thread::sleep_for(pause);
        }
        const ssize_t n = ::write(fd, piece.data(), piece.size());
        if (n <= 0) {
            break;  // the reader has closed its end
        }
        written += static_cast<std::size_t>(n);
    }
    if (fd >= 0) {
        ::close(fd);
    }
    return written;
}

TEST(TileFile, ShortReadsAreReadOnToTheEnd) {
    testsupport::TempDir dir;
    const auto pipe = dir / "12.png";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    std::string piece(40000, '\0');
    for (std::size_t i = 0; i < piece.size(); ++i) {
        piece[i] = static_cast<char>(i % 253);
    }
    // Eight pieces: past the reader's first buffer, each arriving after a pause.
    std::thread writer([&] { FeedPipe(pipe, piece, 8, std::chrono::milliseconds(20)); });
    std::string buffer;
    const auto bytes = ReadTileFile(pipe, buffer);
    writer.join();
    ASSERT_TRUE(bytes.has_value());
    ASSERT_EQ(bytes->size(), 8 * piece.size());
    for (std::size_t i = 0; i < 8; ++i) {
        EXPECT_EQ(bytes->substr(i * piece.size(), piece.size()), piece) << "piece " << i;
    }
}

TEST(TileFile, NothingLargerThanAnyTileIsTakenIn) {
    testsupport::TempDir dir;
    const std::size_t limit = engine::kMaxTileBodyBytes;
    // Sparse files: the size costs no disk.
    for (const std::size_t size : {limit, limit + 1}) {
        SCOPED_TRACE(size);
        const auto file = dir / ("tile-" + std::to_string(size));
        const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::ftruncate(fd, static_cast<off_t>(size)), 0);
        ::close(fd);
        std::string buffer;
        const auto bytes = ReadTileFile(file, buffer);
        EXPECT_EQ(bytes.has_value(), size <= limit);
        if (bytes) {
            EXPECT_EQ(bytes->size(), size);
        }
    }

    // A pipe that never ends (a tile path that leads to a device or a pipe): the read gives up
    // at the limit instead of taking in all it is fed.
    const auto pipe = dir / "endless.png";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const std::string piece(1 << 16, 'e');
    std::size_t fed = 0;
    std::thread writer([&] { fed = FeedPipe(pipe, piece, 4096, {}); });  // 256 MiB at most
    std::string buffer;
    EXPECT_FALSE(ReadTileFile(pipe, buffer).has_value());
    writer.join();
    EXPECT_LT(fed, limit + (std::size_t{1} << 20));
    EXPECT_LE(buffer.size(), limit + 1);
}

}  // namespace
