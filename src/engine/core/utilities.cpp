#include "engine/core/utilities.h"

#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <system_error>
#include <thread>

#include "engine/core/number_format.h"
#include "engine/download/installed_data.h"

extern char** environ;

#ifndef VANTOREL_VERSION_MAJOR
#define VANTOREL_VERSION_MAJOR 0
#endif
#ifndef VANTOREL_VERSION_MINOR
#define VANTOREL_VERSION_MINOR 0
#endif
#ifndef VANTOREL_VERSION_PATCH
#define VANTOREL_VERSION_PATCH 0
#endif
#ifndef VANTOREL_VERSION_TWEAK
#define VANTOREL_VERSION_TWEAK 0
#endif

namespace engine {
namespace fs = std::filesystem;

namespace {

std::string TwoDigits(std::int64_t value) {
    std::string text = FormatInt(value);
    if (text.size() < 2) {
        text.insert(0, 2 - text.size(), '0');
    }
    return text;
}

std::string HexByte(unsigned value) {
    const char* digits = "0123456789ABCDEF";
    return {digits[(value >> 4) & 0x0F], digits[value & 0x0F]};
}

// Fixed values for the system colours a stored colour may name; the desktop has no such table.
std::uint32_t SystemColorRGB(int index) {
    switch (index) {
        case 5:   // window background
        case 14:  // highlighted text
        case 20:  // button highlight
            return 0xFFFFFF;
        case 13:  // highlight (stored blue-green-red like every colour)
            return 0xD77800;
        case 15:  // button face
            return 0xF0F0F0;
        case 16:  // button shadow
            return 0xA0A0A0;
        case 17:  // grey text
            return 0x6D6D6D;
        case 24:  // tooltip background
            return 0xE1FFFF;
        default:  // texts and everything else
            return 0x000000;
    }
}

std::uint32_t ResolveColor(TColor color) {
    if (color < 0) {
        return SystemColorRGB(static_cast<int>(static_cast<std::uint32_t>(color) & 0xFF));
    }
    return static_cast<std::uint32_t>(color);
}

fs::path HomeFolder() {
    const char* home = std::getenv("HOME");
    return home != nullptr ? fs::path(home) : fs::path();
}

// Absolute and lexically normal, without a trailing separator ("/a/b/" becomes "/a/b"), so
// that a link named with a trailing slash is not silently followed. Empty on failure.
fs::path Lexical(const fs::path& path) {
    std::error_code ec;
    fs::path normal = fs::absolute(path, ec).lexically_normal();
    if (ec) {
        return {};
    }
    if (!normal.has_filename() && normal != normal.root_path()) {
        normal = normal.parent_path();
    }
    return normal;
}

// Lexical() with the symbolic links of its existing part resolved.
fs::path Resolved(const fs::path& lexical) {
    std::error_code ec;
    fs::path canonical = fs::weakly_canonical(lexical, ec);
    if (ec) {
        return lexical;
    }
    if (!canonical.has_filename() && canonical != canonical.root_path()) {
        canonical = canonical.parent_path();
    }
    return canonical;
}

// True when `inner` is `outer` or lies below it.
bool IsSameOrBelow(const fs::path& inner, const fs::path& outer) {
    auto i = inner.begin();
    for (auto o = outer.begin(); o != outer.end(); ++o, ++i) {
        if (i == inner.end() || *i != *o) {
            return false;
        }
    }
    return true;
}

bool WipeAllowed(const fs::path& folder) {
    std::error_code ec;
    const fs::file_status status = fs::symlink_status(folder, ec);
    return !ec && fs::is_directory(status) && !IsProtectedFolder(folder);
}

void WipeContents(const fs::path& folder) {
    // Checked again here: a delayed wipe runs seconds after the call.
    if (!WipeAllowed(folder)) {
        return;
    }
    std::error_code ec;
    std::vector<fs::path> entries;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        entries.push_back(it->path());
    }
    for (const fs::path& entry : entries) {
        std::error_code removeError;
        // remove_all deletes a symbolic link itself and never descends through one.
        fs::remove_all(entry, removeError);
    }
}

}  // namespace

FileVersion ReadFileVersion(const fs::path& file) {
    std::error_code ec;
    if (file.empty() || !fs::exists(file, ec)) {
        return {};
    }
    return {VANTOREL_VERSION_MAJOR, VANTOREL_VERSION_MINOR, VANTOREL_VERSION_PATCH,
            VANTOREL_VERSION_TWEAK};
}

std::string FileVersionToStr(const fs::path& file) {
    const FileVersion v = ReadFileVersion(file);
    return FormatInt(v.major) + "." + FormatInt(v.minor) + "." + FormatInt(v.release) + "." +
           FormatInt(v.build);
}

std::int64_t FileSizeByName(const fs::path& file) {
    struct stat info {};
    if (file.empty() || ::stat(file.c_str(), &info) != 0) {
        return -1;
    }
    return S_ISREG(info.st_mode) ? static_cast<std::int64_t>(info.st_size) : 0;
}

void ColorToRGBBytes(TColor color, std::uint8_t& red, std::uint8_t& green, std::uint8_t& blue) {
    const auto value = static_cast<std::uint32_t>(color);
    red = static_cast<std::uint8_t>(value & 0xFF);
    green = static_cast<std::uint8_t>((value >> 8) & 0xFF);
    blue = static_cast<std::uint8_t>((value >> 16) & 0xFF);
}

bool IsAllDigits(std::string_view text) {
    for (char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
    }
    return true;
}

std::string IntToStrPad(std::int32_t value, int width, char pad) {
    std::string text = FormatInt(value);
    if (width > 0 && text.size() < static_cast<std::size_t>(width)) {
        text.insert(0, static_cast<std::size_t>(width) - text.size(), pad);
    }
    return text;
}

std::string FormatElapsedTime(std::int64_t milliseconds) {
    constexpr std::int64_t kDay = 86400000;
    const std::int64_t days = milliseconds / kDay;
    const std::int64_t hours = milliseconds / 3600000;
    // The time of day is that of the value's fraction of a day, whatever its sign.
    std::int64_t rest = milliseconds % kDay;
    if (rest < 0) {
        rest = -rest;
    }
    const std::int64_t h = rest / 3600000;
    const std::int64_t n = rest / 60000 % 60;
    const std::int64_t s = rest / 1000 % 60;
    const std::string minutesSeconds = TwoDigits(n) + ":" + TwoDigits(s);
    if (days <= 0) {
        return hours <= 0 ? minutesSeconds : TwoDigits(h) + ":" + minutesSeconds;
    }
    return FormatInt(days) + "天," + TwoDigits(h) + ":" + minutesSeconds;
}

bool ValueInRange(std::int32_t value, std::int32_t minimum, std::int32_t maximum) {
    return minimum <= value && value <= maximum;
}

bool FloatInRange(double value, double minimum, double maximum) {
    return minimum <= value && value <= maximum;
}

std::optional<std::uint64_t> ParseMemAvailable(std::string_view meminfo) {
    constexpr std::string_view kKey = "MemAvailable:";
    std::size_t at = 0;
    while (at < meminfo.size()) {
        std::size_t end = meminfo.find('\n', at);
        if (end == std::string_view::npos) {
            end = meminfo.size();
        }
        std::string_view line = meminfo.substr(at, end - at);
        at = end + 1;
        if (line.substr(0, kKey.size()) != kKey) {
            continue;
        }
        line.remove_prefix(kKey.size());
        std::uint64_t factor = 1;
        if (const std::size_t unit = line.find("kB"); unit != std::string_view::npos) {
            line = line.substr(0, unit);
            factor = 1024;
        }
        const std::optional<std::int64_t> value = ParseInt(line);
        if (!value || *value < 0) {
            return std::nullopt;
        }
        return static_cast<std::uint64_t>(*value) * factor;
    }
    return std::nullopt;
}

std::uint64_t AvailablePhysicalMemory() {
    std::ifstream in("/proc/meminfo");
    std::stringstream text;
    text << in.rdbuf();
    return ParseMemAvailable(text.str()).value_or(0);
}

std::int32_t GdalCacheSizeMBFor(std::uint64_t availableBytes) {
    const double m = std::trunc(static_cast<double>(availableBytes) / 1024 / 1024 * 0.4);
    if (m > 384) {
        return 384;
    }
    if (m < 128) {
        return 64;
    }
    return static_cast<std::int32_t>(m);
}

std::int32_t GdalCacheSizeMB() {
    return GdalCacheSizeMBFor(AvailablePhysicalMemory());
}

std::int64_t MergeCacheSizeBytesFor(std::uint64_t availableBytes) {
    constexpr std::int64_t kMax = 402653184;  // 384 MiB
    constexpr std::int64_t kMin = 67108864;   // 64 MiB
    const double b = std::trunc(static_cast<double>(availableBytes) * 0.4);
    if (b > static_cast<double>(kMax)) {
        return kMax;
    }
    if (b < static_cast<double>(kMin)) {
        return kMin;
    }
    return static_cast<std::int64_t>(b);
}

std::int64_t MergeCacheSizeBytes() {
    return MergeCacheSizeBytesFor(AvailablePhysicalMemory());
}

TColor HtmlToColor(std::string_view text, TColor defaultColor) {
    if (text.empty() || text.front() != '#') {
        return clNone;
    }
    // "#RRGGBB" becomes the number 0xBBGGRR: the pairs at 6-7, 4-5 and 2-3 (counted from 1).
    auto pair = [text](std::size_t position) {
        return position - 1 < text.size() ? text.substr(position - 1, 2) : std::string_view();
    };
    std::string digits;
    digits.append(pair(6)).append(pair(4)).append(pair(2));
    if (digits.empty()) {
        return defaultColor;
    }
    std::uint32_t value = 0;
    for (char c : digits) {
        int digit;
        if (c >= '0' && c <= '9') {
            digit = c - '0';
        } else if (c >= 'a' && c <= 'f') {
            digit = c - 'a' + 10;
        } else if (c >= 'A' && c <= 'F') {
            digit = c - 'A' + 10;
        } else {
            return defaultColor;
        }
        value = value * 16 + static_cast<std::uint32_t>(digit);
    }
    return static_cast<TColor>(value);
}

std::string ColorToHtml(TColor color) {
    const std::uint32_t rgb = ResolveColor(color);
    return "#" + HexByte(rgb & 0xFF) + HexByte((rgb >> 8) & 0xFF) + HexByte((rgb >> 16) & 0xFF);
}

int SpawnDetached(const std::vector<std::string>& argv) {
    if (argv.empty() || argv.front().empty()) {
        return EINVAL;
    }
    std::vector<char*> args;
    args.reserve(argv.size() + 1);
    for (const std::string& arg : argv) {
        args.push_back(const_cast<char*>(arg.c_str()));
    }
    args.push_back(nullptr);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    // Its own session: the opened application outlives us and ignores our terminal's signals.
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
    pid_t pid = 0;
    const int rc = posix_spawnp(&pid, args[0], nullptr, &attributes, args.data(), environ);
    posix_spawnattr_destroy(&attributes);
    if (rc == 0) {
        // Reap the child when it ends, without making the caller wait.
        std::thread([pid] {
            int status = 0;
            while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
            }
        }).detach();
    }
    return rc;
}

int ShellOpen(const std::string& item, const ProcessSpawner& spawn) {
    if (item.empty()) {
        return EINVAL;
    }
    return spawn({"xdg-open", item});
}

int OpenHomePage(const ProcessSpawner& spawn) {
    const fs::path readme = InstalledDataFile("README.md");
    return readme.empty() ? ENOENT : ShellOpen(readme.string(), spawn);
}

bool IsProtectedFolder(const fs::path& folder) {
    if (folder.empty()) {
        return true;
    }
    const fs::path lexical = Lexical(folder);
    if (lexical.empty()) {
        return true;
    }
    const fs::path forms[] = {lexical, Resolved(lexical)};
    const fs::path home = HomeFolder().empty() ? fs::path() : Lexical(HomeFolder());
    for (const fs::path& form : forms) {
        if (form == form.root_path()) {
            return true;
        }
        // The folder as written and as resolved must neither be the home folder nor hold it.
        if (!home.empty() && (IsSameOrBelow(home, form) || IsSameOrBelow(Resolved(home), form))) {
            return true;
        }
    }
    return false;
}

bool WipeDirectory(const fs::path& folder, int delayMs) {
    const fs::path target = folder.empty() ? fs::path() : Lexical(folder);
    if (target.empty() || !WipeAllowed(target)) {
        return false;
    }
    if (delayMs <= 0) {
        WipeContents(target);
        return true;
    }
    std::thread([target, delayMs] {
        std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
        WipeContents(target);
    }).detach();
    return true;
}

}  // namespace engine
