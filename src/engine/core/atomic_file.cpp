#include "engine/core/atomic_file.h"

#include <fcntl.h>
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

std::string RandomSuffix() {
    static std::atomic<unsigned> counter{0};
    thread_local std::mt19937_64 generator{std::random_device{}()};
    static const char kDigits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    std::string suffix;
    auto value = generator() ^ (static_cast<std::uint64_t>(counter++) << 40) ^
                 static_cast<std::uint64_t>(::getpid());
    for (int i = 0; i < 8; ++i) {
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
    temp += ".tmp-" + RandomSuffix();
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
    return CommitTempFile(temp, target, error);
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
