#include "geodata/gps/nmea_day_log.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>
#include <system_error>

#include "engine/core/atomic_file.h"

namespace geodata {
namespace {

[[noreturn]] void ThrowErrno(const std::string& what, const std::filesystem::path& file) {
    throw std::system_error(errno, std::generic_category(), what + " " + file.string());
}

class Fd {
  public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    int release() {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }

  private:
    int fd_;
};

}  // namespace

NmeaDayLog::NmeaDayLog(std::filesystem::path folder, Clock clock)
    : folder_(std::move(folder)), clock_(std::move(clock)) {
    if (!clock_) {
        clock_ = [] { return std::chrono::system_clock::now(); };
    }
}

std::filesystem::path NmeaDayLog::CurrentFile() const {
    const std::time_t now = std::chrono::system_clock::to_time_t(clock_());
    std::tm local{};
    localtime_r(&now, &local);
    char name[32];
    std::strftime(name, sizeof name, "%Y%m%d.nmea", &local);
    return folder_ / name;
}

void NmeaDayLog::SaveFile(std::string_view line) {
    std::error_code ec;
    std::filesystem::create_directories(folder_, ec);
    if (ec) {
        throw std::system_error(ec, "cannot create the folder " + folder_.string());
    }
    const auto file = CurrentFile();
    if (!std::filesystem::exists(file)) {
        CreateTextFile(file);
    }
    std::string text(line);
    text += "\r\n";
    AppendTextLine(file, text);
}

std::filesystem::path NmeaLogFolder(const std::filesystem::path& dataFolder) {
    return dataFolder / "Tracker" / "Tracker";
}

void CreateTextFile(const std::filesystem::path& file) {
    Fd fd(::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
    if (fd.get() < 0) {
        ThrowErrno("cannot create", file);
    }
    if (::close(fd.release()) != 0) {
        ThrowErrno("cannot close", file);
    }
}

void AppendTextLine(const std::filesystem::path& file, std::string_view text) {
    Fd fd(::open(file.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC));
    if (fd.get() < 0) {
        ThrowErrno("cannot open", file);
    }
    // Unbuffered: the text is with the system once write returns. With O_APPEND each line goes
    // to the end even when another process appends too.
    if (!engine::WriteAll(fd.get(), text)) {
        ThrowErrno("cannot write", file);
    }
    if (::close(fd.release()) != 0) {
        ThrowErrno("cannot close", file);
    }
}

}  // namespace geodata
