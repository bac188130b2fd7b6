#include "engine/core/utilities.h"

#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using namespace engine;
using testsupport::TempDir;
using testsupport::WriteFileBytes;

TEST(Utilities, FileSizeByName) {
    TempDir dir;
    WriteFileBytes(dir / "empty.bin", "");
    WriteFileBytes(dir / "five.bin", "12345");
    EXPECT_EQ(FileSizeByName(dir / "empty.bin"), 0);
    EXPECT_EQ(FileSizeByName(dir / "five.bin"), 5);
    EXPECT_EQ(FileSizeByName(dir / "missing.bin"), -1);
    EXPECT_EQ(FileSizeByName(""), -1);
    EXPECT_EQ(FileSizeByName(dir.path()), 0);
}

TEST(Utilities, ProgramVersionForAnExistingFileOnly) {
    const FileVersion version = ReadFileVersion("/proc/self/exe");
    EXPECT_NE(version, FileVersion{});
    EXPECT_EQ(FileVersionToStr("/proc/self/exe"),
              std::to_string(version.major) + "." + std::to_string(version.minor) + "." +
                  std::to_string(version.release) + "." + std::to_string(version.build));
    EXPECT_EQ(ReadFileVersion("/nonexistent/vantorel"), FileVersion{});
    EXPECT_EQ(FileVersionToStr("/nonexistent/vantorel"), "0.0.0.0");
}

TEST(Utilities, DigitsPaddingAndRanges) {
    EXPECT_TRUE(IsAllDigits(""));
    EXPECT_TRUE(IsAllDigits("0123456789"));
    for (const char* text : {"12a", " 1", "-1", "1.5", "１２"}) {
        EXPECT_FALSE(IsAllDigits(text)) << text;
    }
    struct Pad {
        std::int32_t value;
        int width;
        char pad;
        const char* text;
    };
    const Pad pads[] = {{-5, 4, '0', "00-5"},
                        {123, 2, '0', "123"},
                        {7, 3, ' ', "  7"},
                        {0, 0, '0', "0"},
                        {-2147483647 - 1, 12, '0', "0-2147483648"}};
    for (const Pad& p : pads) {
        EXPECT_EQ(IntToStrPad(p.value, p.width, p.pad), p.text) << p.value;
    }
    EXPECT_TRUE(ValueInRange(5, 5, 5));
    EXPECT_FALSE(ValueInRange(6, 0, 5));
    EXPECT_FALSE(ValueInRange(-1, 0, 5));
    EXPECT_TRUE(FloatInRange(-90.0, -90.0, 90.0));
    EXPECT_FALSE(FloatInRange(90.0000001, -90.0, 90.0));
    EXPECT_FALSE(FloatInRange(std::nan(""), -90.0, 90.0));
}

TEST(Utilities, FormatElapsedTime) {
    struct Case {
        std::int64_t ms;
        const char* text;
    };
    const Case cases[] = {{0, "00:00"},
                          {999, "00:00"},
                          {59000, "00:59"},
                          {3599999, "59:59"},
                          {3600000, "01:00:00"},
                          {3723000, "01:02:03"},
                          {86399000, "23:59:59"},
                          {86400000, "1天,00:00:00"},
                          {90061000, "1天,01:01:01"},
                          {12 * 86400000LL + 5000, "12天,00:00:05"}};
    for (const Case& c : cases) {
        EXPECT_EQ(FormatElapsedTime(c.ms), c.text) << c.ms;
    }
}

TEST(Utilities, CacheSizesFromAvailableMemory) {
    constexpr std::uint64_t MB = 1024 * 1024;
    struct Case {
        std::uint64_t available;
        std::int32_t gdalMB;
        std::int64_t mergeBytes;
    };
    const Case cases[] = {
        {0, 64, 67108864},
        {200 * MB, 64, 83886080},     // 80 MiB of GDAL cache is below 128: 64
        {320 * MB, 128, 134217728},   // exactly 128
        {319 * MB, 64, 133798297},    // 127.6 truncates to 127: 64
        {960 * MB, 384, 402653184},   // exactly the ceiling
        {2000 * MB, 384, 402653184},  // 800 is above 384
        {100 * MB, 64, 67108864},     // 40 MiB for merging is below the 64 MiB floor
        {16000ULL * MB, 384, 402653184},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(GdalCacheSizeMBFor(c.available), c.gdalMB) << c.available / MB << " MiB";
        EXPECT_EQ(MergeCacheSizeBytesFor(c.available), c.mergeBytes) << c.available / MB << " MiB";
    }
    EXPECT_EQ(ParseMemAvailable("MemTotal:       16303896 kB\nMemFree:          812340 kB\n"
                                "MemAvailable:    9876543 kB\nBuffers:  1 kB\n"),
              9876543ULL * 1024);
    EXPECT_EQ(ParseMemAvailable("MemTotal: 1 kB\nMemFree: 2 kB\n"), std::nullopt);
    EXPECT_EQ(ParseMemAvailable("MemAvailable: lots kB\n"), std::nullopt);
    EXPECT_GT(AvailablePhysicalMemory(), 0u);
    const std::int32_t live = GdalCacheSizeMB();
    EXPECT_TRUE(live == 64 || (live >= 128 && live <= 384)) << live;
}

TEST(Utilities, HtmlToColor) {
    constexpr TColor kDefault = 0x123456;
    struct Case {
        const char* text;
        TColor color;
    };
    const Case cases[] = {
        {"#0080FF", 0xFF8000}, {"#0000ff", 0xFF0000}, {"#abc", 0xCAB},       {"#ab", 0xAB},
        {"#", kDefault},       {"#zzzzzz", kDefault}, {"#12345g", kDefault}, {"red", clNone},
        {"", clNone},          {"0080FF", clNone},    {"#FFFFFF", 0xFFFFFF},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(HtmlToColor(c.text, kDefault), c.color) << c.text;
    }
    std::uint8_t r = 0, g = 0, b = 0;
    ColorToRGBBytes(HtmlToColor("#0080FF", kDefault), r, g, b);
    EXPECT_EQ(r, 0);
    EXPECT_EQ(g, 128);
    EXPECT_EQ(b, 255);
}

TEST(Utilities, ColorToHtmlRoundTripsEveryPlainColour) {
    EXPECT_EQ(ColorToHtml(0xFF8000), "#0080FF");
    EXPECT_EQ(ColorToHtml(clNone), "#FFFFFF");
    EXPECT_EQ(ColorToHtml(static_cast<TColor>(0x80000005)), "#FFFFFF");  // window background
    EXPECT_EQ(ColorToHtml(static_cast<TColor>(0x80000008)), "#000000");  // window text
    for (std::uint32_t c = 0; c <= 0xFFFFFF; c += 0x010203) {
        const auto color = static_cast<TColor>(c);
        ASSERT_EQ(HtmlToColor(ColorToHtml(color), -1), color) << std::hex << c;
    }
}

TEST(Utilities, ShellOpenHandsTheItemToTheDesktopOpener) {
    std::vector<std::vector<std::string>> calls;
    const ProcessSpawner record = [&calls](const std::vector<std::string>& argv) {
        calls.push_back(argv);
        return 0;
    };
    const std::string tricky = "/tmp/a b;$(rm -rf x)/报告.txt";
    EXPECT_EQ(ShellOpen(tricky, record), 0);
    EXPECT_EQ(OpenHomePage(record), 0);
    EXPECT_NE(ShellOpen("", record), 0);
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0], (std::vector<std::string>{"xdg-open", tricky}));
    // The home page is the README shipped in the data folder.
    ASSERT_EQ(calls[1].size(), 2u);
    EXPECT_EQ(calls[1][0], "xdg-open");
    EXPECT_EQ(std::filesystem::path(calls[1][1]).filename(), "README.md");
    EXPECT_TRUE(std::filesystem::is_regular_file(calls[1][1]));
    const ProcessSpawner failing = [](const std::vector<std::string>&) { return 2; };
    EXPECT_EQ(ShellOpen("/x", failing), 2);
}

TEST(Utilities, SpawnDetachedStartsAProgramWithItsArguments) {
    TempDir dir;
    const fs::path marker = dir / "out.txt";
    // The argument travels as one word: no shell splits or expands it.
    ASSERT_EQ(SpawnDetached({"touch", (dir / "a b $HOME").string()}), 0);
    EXPECT_NE(SpawnDetached({"no-such-program-vantorel"}), 0);
    EXPECT_NE(SpawnDetached({}), 0);
    for (int i = 0; i < 200 && !fs::exists(dir / "a b $HOME"); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_TRUE(fs::exists(dir / "a b $HOME"));
    EXPECT_FALSE(fs::exists(marker));
}

// A folder with files, nested folders, and links that point outside it.
struct WipeFixture {
    TempDir root;
    fs::path cache = root / "cache";
    fs::path outside = root / "outside";

    WipeFixture() {
        WriteFileBytes(cache / "a.json", "a");
        WriteFileBytes(cache / "sub" / "deep" / "b.png", "b");
        WriteFileBytes(cache / ".hidden", "h");
        WriteFileBytes(outside / "keep.txt", "keep");
        fs::create_directory_symlink(outside, cache / "link-to-dir");
        fs::create_symlink(outside / "keep.txt", cache / "link-to-file");
    }
    bool CacheEmpty() const { return fs::is_directory(cache) && fs::is_empty(cache); }
    bool OutsideIntact() const {
        return testsupport::ReadFileBytes(outside / "keep.txt") == "keep";
    }
};

TEST(WipeDirectory, RemovesContentsButNotLinkTargetsNorTheFolder) {
    WipeFixture f;
    EXPECT_TRUE(WipeDirectory(f.cache, 0));
    EXPECT_TRUE(f.CacheEmpty());
    EXPECT_TRUE(f.OutsideIntact());
}

TEST(WipeDirectory, DelayedWipeRunsLaterOnItsOwn) {
    WipeFixture f;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(WipeDirectory(f.cache, 300));
    EXPECT_TRUE(fs::exists(f.cache / "a.json"));  // the call returned before the delay
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(250));
    for (int i = 0; i < 500 && !f.CacheEmpty(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_TRUE(f.CacheEmpty());
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(300));
    EXPECT_TRUE(f.OutsideIntact());
}

TEST(WipeDirectory, RefusesDangerousOrMissingFolders) {
    WipeFixture f;
    const fs::path linkToCache = f.root / "cache-link";
    fs::create_directory_symlink(f.cache, linkToCache);
    const char* home = std::getenv("HOME");
    ASSERT_NE(home, nullptr);
    const fs::path homePath = home;
    const std::vector<fs::path> refused = {
        "",
        "/",
        "//",
        "/tmp/..",
        homePath,
        homePath / "",
        homePath / "." / "",
        homePath.parent_path(),
        linkToCache,
        linkToCache / "",
        f.root / "missing",
        f.cache / "a.json",
    };
    for (const fs::path& folder : refused) {
        EXPECT_FALSE(WipeDirectory(folder, 0)) << folder;
    }
    EXPECT_TRUE(fs::exists(f.cache / "a.json"));
    EXPECT_TRUE(IsProtectedFolder(""));
    EXPECT_TRUE(IsProtectedFolder("/"));
    EXPECT_TRUE(IsProtectedFolder(homePath));
    EXPECT_FALSE(IsProtectedFolder(f.cache));
}

TEST(WipeDirectory, HomeReachedThroughALinkIsProtected) {
    TempDir dir;
    const char* home = std::getenv("HOME");
    ASSERT_NE(home, nullptr);
    fs::create_directory_symlink(home, dir / "home-link");
    EXPECT_TRUE(IsProtectedFolder(dir / "home-link"));
    EXPECT_FALSE(WipeDirectory(dir / "home-link", 0));
}

}  // namespace
