#include "engine/download/tile_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <system_error>

#include "engine/core/atomic_file.h"

namespace engine {
namespace {

bool MakeOneFolder(const std::filesystem::path& folder) {
    // Another worker making it at the same moment is as good as making it.
    return ::mkdir(folder.c_str(), 0777) == 0 || errno == EEXIST;
}

// Usually only the column folder is missing, sometimes its zoom folder too: one or two mkdir
// calls instead of a check of every folder on the way down.
void MakeFolder(const std::filesystem::path& folder) {
    if (MakeOneFolder(folder) || errno != ENOENT) {
        return;
    }
    if (MakeOneFolder(folder.parent_path()) && MakeOneFolder(folder)) {
        return;
    }
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
}

// Runs `open` once more after creating the folder when it failed for a missing folder.
template <typename Open>
int OpenCreatingFolder(const std::filesystem::path& folder, Open open) {
    int fd = open();
    if (fd < 0 && errno == ENOENT) {
        MakeFolder(folder);
        fd = open();
    }
    return fd;
}

bool StoreThroughTempName(const std::filesystem::path& path, std::string_view body) {
    const std::filesystem::path temp = TempPathBeside(path);
    const int fd = OpenCreatingFolder(path.parent_path(), [&] {
        return ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    });
    if (fd < 0) {
        return false;
    }
    const bool written = WriteAll(fd, body);
    const bool closed = ::close(fd) == 0;
    if (!written || !closed) {
        std::error_code ec;
        std::filesystem::remove(temp, ec);
        return false;
    }
    return CommitTempFile(temp, path);
}

}  // namespace

bool StoreTileFile(const std::filesystem::path& path, std::string_view body) {
#ifdef O_TMPFILE
    const std::filesystem::path folder = path.parent_path();
    const int fd = OpenCreatingFolder(
        folder, [&] { return ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0644); });
    if (fd < 0) {
        if (errno == ENOENT || errno == EACCES || errno == ENOSPC || errno == EROFS) {
            return false;
        }
        // The file system has no unnamed files.
        return StoreThroughTempName(path, body);
    }
    if (!WriteAll(fd, body)) {
        ::close(fd);
        return false;
    }
    // Linking through /proc needs no privilege (unlike AT_EMPTY_PATH).
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    bool stored = ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW) == 0;
    if (!stored && errno == EEXIST) {
        // Replacing a tile: link under a temporary name, then rename over the old one.
        const std::filesystem::path temp = TempPathBeside(path);
        stored = ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, temp.c_str(), AT_SYMLINK_FOLLOW) == 0 &&
                 CommitTempFile(temp, path);
    }
    const bool closed = ::close(fd) == 0;
    if (stored && !closed) {
        // A late write error: the tile may be incomplete on disk.
        std::error_code ec;
        std::filesystem::remove(path, ec);
        return false;
    }
    if (!stored && (errno == ENOENT || errno == EXDEV || errno == EPERM || errno == ENOSYS)) {
        // No /proc, or links not allowed here.
        return StoreThroughTempName(path, body);
    }
    return stored;
#else
    return StoreThroughTempName(path, body);
#endif
}

}  // namespace engine
