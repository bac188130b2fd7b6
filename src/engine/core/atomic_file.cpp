#include "engine/core/atomic_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <random>
#include <system_error>

namespace engine {
namespace {

constexpr std::string_view kTempMark = ".tmp-";
constexpr std::size_t kSuffixLength = 8;

std::string RandomSuffix() {
    static std::atomic<unsigned> counter{0};
    thread_local std::mt19937_64 generator{std::random_device{}()};
    static const char kDigits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    std::string suffix;
    auto value = generator() ^ (static_cast<std::uint64_t>(counter++) << 40) ^
                 static_cast<std::uint64_t>(::getpid());
    for (std::size_t i = 0; i < kSuffixLength; ++i) {
        suffix += kDigits[value % 36];
        value /= 36;
    }
    return suffix;
}

void SetError(std::string* error, const std::string& text) {
    if (error != nullptr) {
        *error = text;
    }
}

std::filesystem::path FolderOf(const std::filesystem::path& file) {
    return file.has_parent_path() ? file.parent_path() : std::filesystem::path(".");
}

// True for a name that TempPathBeside gives for a file named `final`.
bool IsTempNameOf(std::string_view name, std::string_view final) {
    if (name.size() != final.size() + kTempMark.size() + kSuffixLength ||
        name.substr(0, final.size()) != final ||
        name.substr(final.size(), kTempMark.size()) != kTempMark) {
        return false;
    }
    for (const char c : name.substr(final.size() + kTempMark.size())) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z'))) {
            return false;
        }
    }
    return true;
}

bool SameFile(int fd, const std::filesystem::path& path) {
    struct stat opened {};
    struct stat named {};
    return ::fstat(fd, &opened) == 0 && ::lstat(path.c_str(), &named) == 0 &&
           opened.st_dev == named.st_dev && opened.st_ino == named.st_ino;
}

}  // namespace

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

std::filesystem::path TempPathBeside(const std::filesystem::path& target) {
    std::filesystem::path temp = target;
    temp += std::string(kTempMark) + RandomSuffix();
    return temp;
}

bool CommitTempFile(const std::filesystem::path& temp, const std::filesystem::path& target,
                    std::string* error) {
    std::error_code ec;
    std::filesystem::rename(temp, target, ec);
    if (ec) {
        SetError(error,
                 "cannot rename " + temp.string() + " to " + target.string() + ": " + ec.message());
        std::filesystem::remove(temp, ec);
        return false;
    }
    return true;
}

bool SyncFile(const std::filesystem::path& file, std::string* error) {
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        SetError(error, "cannot open " + file.string() + ": " + std::strerror(errno));
        return false;
    }
    const bool synced = ::fsync(fd) == 0;
    const int why = errno;
    ::close(fd);
    if (!synced) {
        SetError(error, "cannot flush " + file.string() + " to the disk: " + std::strerror(why));
    }
    return synced;
}

bool SyncFolder(const std::filesystem::path& folder, std::string* error) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        SetError(error, "cannot open " + folder.string() + ": " + std::strerror(errno));
        return false;
    }
    const bool synced = ::fsync(fd) == 0;
    const int why = errno;
    ::close(fd);
    // Some file systems cannot flush a folder on its own; their entries go with the data.
    if (!synced && why != EINVAL && why != ENOTSUP && why != ENOSYS) {
        SetError(error, "cannot flush " + folder.string() + " to the disk: " + std::strerror(why));
        return false;
    }
    return true;
}

bool CommitTempFileDurably(const std::filesystem::path& temp, const std::filesystem::path& target,
                           std::string* error) {
    if (!SyncFile(temp, error)) {
        std::error_code ec;
        std::filesystem::remove(temp, ec);
        return false;
    }
    return CommitTempFile(temp, target, error) && SyncFolder(FolderOf(target), error);
}

PendingFile::PendingFile(std::filesystem::path target) : target_(std::move(target)) {
    // A cleaner may take a new file for a leftover between its creation and the lock: then
    // the name no longer leads to the locked file, and another name is tried.
    for (int attempt = 0; attempt < 3 && lock_ < 0; ++attempt) {
        const auto temp = TempPathBeside(target_);
        const int fd = ::open(temp.c_str(), O_RDONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd < 0) {
            error_ = "cannot create " + temp.string() + ": " + std::strerror(errno);
            return;
        }
        if (::flock(fd, LOCK_EX) == 0 && SameFile(fd, temp)) {
            lock_ = fd;
            temp_ = temp;
            return;
        }
        ::close(fd);
    }
    error_ = "cannot create a temporary file beside " + target_.string();
}

PendingFile::~PendingFile() {
    Discard();
}

bool PendingFile::Commit(std::string* error) {
    if (temp_.empty()) {
        SetError(error, error_);
        return false;
    }
    const bool committed = CommitTempFileDurably(temp_, target_, error);
    temp_.clear();
    ::close(lock_);
    lock_ = -1;
    return committed;
}

void PendingFile::Discard() {
    if (!temp_.empty()) {
        std::error_code ec;
        std::filesystem::remove(temp_, ec);
        temp_.clear();
    }
    if (lock_ >= 0) {
        ::close(lock_);
        lock_ = -1;
    }
}

int RemoveLeftoverTemporaries(const std::filesystem::path& target) {
    const std::string final = target.filename().string();
    int removed = 0;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(FolderOf(target), ec), end; !ec && it != end;
         it.increment(ec)) {
        const std::filesystem::path& path = it->path();
        if (!IsTempNameOf(path.filename().string(), final) ||
            !std::filesystem::is_regular_file(it->symlink_status(ec))) {
            continue;
        }
        const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) {
            continue;
        }
        // A writer that is still alive holds its lock; a killed one's lock went with it.
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && SameFile(fd, path) &&
            ::unlink(path.c_str()) == 0) {
            ++removed;
        }
        ::close(fd);
    }
    return removed;
}

bool WriteFileAtomic(const std::filesystem::path& target, std::string_view bytes,
                     std::string* error, const AtomicWriteOptions& options) {
    std::error_code ec;
    if (options.createFolders && target.has_parent_path()) {
        std::filesystem::create_directories(target.parent_path(), ec);
    }
    const auto temp = TempPathBeside(target);
    const int fd =
        ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, options.mode.value_or(0644));
    if (fd < 0) {
        SetError(error, "cannot create " + temp.string() + ": " + std::strerror(errno));
        return false;
    }
    if (options.mode) {
        ::fchmod(fd, *options.mode);  // the umask must not widen or narrow the mode asked for
    }
    if (!WriteAll(fd, bytes)) {
        SetError(error, "cannot write " + temp.string() + ": " + std::strerror(errno));
        ::close(fd);
        std::filesystem::remove(temp, ec);
        return false;
    }
    if (options.durable && ::fsync(fd) != 0) {
        SetError(error, "cannot write " + temp.string() + ": " + std::strerror(errno));
        ::close(fd);
        std::filesystem::remove(temp, ec);
        return false;
    }
    if (::close(fd) != 0) {
        SetError(error, "cannot write " + temp.string() + ": " + std::strerror(errno));
        std::filesystem::remove(temp, ec);
        return false;
    }
    if (!CommitTempFile(temp, target, error)) {
        return false;
    }
    return !options.durable || SyncFolder(FolderOf(target), error);
}

bool ReadFileBytes(const std::filesystem::path& file, std::string& bytes) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        return false;
    }
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

}  // namespace engine
