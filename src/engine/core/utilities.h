#pragma once
// Small free functions shared by several parts of the system: file size and program version,
// number and time texts, colour conversions, memory-based cache sizes, opening items with the
// desktop's default application and wiping cache folders. None of them keeps state.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/core/md5.h"  // StrMD5Hex

namespace engine {

// A colour: red in the lowest byte, then green, then blue. Negative values are system colours
// (0x80000000 plus an index), as the stored settings and style files hold them.
using TColor = std::int32_t;
inline constexpr TColor clNone = 0x1FFFFFFF;
inline constexpr TColor clDefault = 0x20000000;

struct FileVersion {
    std::uint16_t major = 0;
    std::uint16_t minor = 0;
    std::uint16_t release = 0;
    std::uint16_t build = 0;
    bool operator==(const FileVersion&) const = default;
};

// The program's own version numbers (from the build) when `file` exists, else all zeros.
// Linux executables carry no version resource; callers only ever ask about the program itself.
FileVersion ReadFileVersion(const std::filesystem::path& file);
// "major.minor.release.build" of ReadFileVersion.
std::string FileVersionToStr(const std::filesystem::path& file);

// Size in bytes; 0 for a folder; -1 when the file's attributes cannot be read.
std::int64_t FileSizeByName(const std::filesystem::path& file);

void ColorToRGBBytes(TColor color, std::uint8_t& red, std::uint8_t& green, std::uint8_t& blue);

// True when every character is "0" to "9"; true for the empty text.
bool IsAllDigits(std::string_view text);

// The decimal text of `value` with `pad` put in front up to `width` characters; a minus sign
// stays behind the pad characters (-5, 4, '0' gives "00-5").
std::string IntToStrPad(std::int32_t value, int width, char pad);

// "nn:ss" below an hour, "hh:nn:ss" below a day, "D天,hh:nn:ss" from a day on.
std::string FormatElapsedTime(std::int64_t milliseconds);

bool ValueInRange(std::int32_t value, std::int32_t minimum, std::int32_t maximum);
bool FloatInRange(double value, double minimum, double maximum);

// Available physical memory in bytes ("MemAvailable" of /proc/meminfo); 0 when unknown.
std::uint64_t AvailablePhysicalMemory();
// The "MemAvailable" figure of a /proc/meminfo text, in bytes.
std::optional<std::uint64_t> ParseMemAvailable(std::string_view meminfo);

// GDAL's cache for the clip tools: 40% of the available memory in MiB, at most 384; below 128
// it is 64.
std::int32_t GdalCacheSizeMB();
std::int32_t GdalCacheSizeMBFor(std::uint64_t availableBytes);
// The stitcher's cache: 40% of the available memory in bytes, within 64 MiB and 384 MiB.
std::int64_t MergeCacheSizeBytes();
std::int64_t MergeCacheSizeBytesFor(std::uint64_t availableBytes);

// "#RRGGBB" to a colour; a text that does not start with "#" gives clNone, one whose digits
// are not hexadecimal gives `defaultColor`. Short texts give shorter digit groups ("#abc" is
// 0xCAB).
TColor HtmlToColor(std::string_view text, TColor defaultColor);
// "#RRGGBB" in upper-case hexadecimal; system colours are resolved first.
std::string ColorToHtml(TColor color);

// Starts a program with an argument vector (argv[0] looked up on PATH), without waiting for
// it; returns 0 when it started, else an errno value.
using ProcessSpawner = std::function<int(const std::vector<std::string>& argv)>;
int SpawnDetached(const std::vector<std::string>& argv);

// Opens a file, folder or address with the desktop's default application (xdg-open, no
// shell). Returns the spawner's result: 0 when started. Tests pass their own spawner.
int ShellOpen(const std::string& item, const ProcessSpawner& spawn = SpawnDetached);
// The program's home page is its README in the data folder; ENOENT when it is missing.
int OpenHomePage(const ProcessSpawner& spawn = SpawnDetached);

// True for folders that a wipe must never touch: the empty name, the root, the home folder and
// every folder that holds the home folder.
bool IsProtectedFolder(const std::filesystem::path& folder);

// Removes the files and subfolders of `folder` (the folder itself stays), after `delayMs` on a
// detached thread, or at once when `delayMs` is 0 or less. Symbolic links inside are removed
// as links, never followed. Returns false, doing nothing, when the folder does not exist, is
// itself a symbolic link or is protected (IsProtectedFolder).
bool WipeDirectory(const std::filesystem::path& folder, int delayMs);

}  // namespace engine
