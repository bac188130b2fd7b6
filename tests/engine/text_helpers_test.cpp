// The shared text helpers, where the copies they replace once disagreed: letter case folds for
// ASCII letters only (never by the locale), every line end splits lines, an empty text is one
// empty field, and replacing does not scan its own output.
#include "engine/core/text_helpers.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <clocale>
#include <string>
#include <vector>

#include "engine/core/number_format.h"
#include "engine/settings/ini_file.h"
#include "engine/tasks/profiles.h"
#include "support/temp_dir.h"

namespace engine {
namespace {

TEST(TextHelpers, CaseFoldsAsciiLettersOnlyWhateverTheLocale) {
    // A single-byte locale where available: its tolower would fold these bytes of UTF-8 text.
    const std::string previous = std::setlocale(LC_CTYPE, nullptr);
    std::setlocale(LC_CTYPE, "de_DE.ISO-8859-1");
    const struct {
        std::string_view a, b;
        bool same;
    } cases[] = {
        {"Port", "pORT", true},
        {"MapTypeId", "maptypeid", true},
        {"北京", "北京", true},
        {"\xC4", "\xE4", false},  // Latin-1 Ä and ä, or bytes inside UTF-8 characters
        {"任务\xC3\x84", "任务\xC3\xA4", false},
        {"abc", "abcd", false},
        {"", "", true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SameText(c.a, c.b), c.same) << c.a << " / " << c.b;
        EXPECT_EQ(StartsWithNoCase(std::string(c.a) + "!", c.b), c.same) << c.a;
    }
    EXPECT_EQ(LowerAscii("HTTP/1.1 \xC4Ö"), "http/1.1 \xC4Ö");
    EXPECT_EQ(UpperAscii("deflate \xE4ä"), "DEFLATE \xE4ä");
    EXPECT_TRUE(StartsWithNoCase("Location: x", "location:"));
    EXPECT_FALSE(StartsWithNoCase("Loc", "location:"));
    std::setlocale(LC_CTYPE, previous.c_str());
}

TEST(TextHelpers, LinesEndWithCrLfCrOrLf) {
    const struct {
        std::string_view text;
        std::vector<std::string> lines;
    } cases[] = {
        {"", {}},
        {"a", {"a"}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\rb\rc", {"a", "b", "c"}},  // old Macintosh files
        {"a\nb\n\n", {"a", "b", ""}},
        {"a\r\r\nb", {"a", "", "b"}},
        {"\n", {""}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SplitLines(c.text), c.lines) << c.text;
    }
    EXPECT_EQ(WithoutBom("\xEF\xBB\xBFkey=1"), "key=1");
    EXPECT_EQ(WithoutBom("key=\xEF\xBB\xBF"), "key=\xEF\xBB\xBF");
}

TEST(TextHelpers, FieldsTrimAndReplace) {
    EXPECT_EQ(Split("", ','), (std::vector<std::string_view>{""}));
    EXPECT_EQ(Split("a,,b,", ','), (std::vector<std::string_view>{"a", "", "b", ""}));
    EXPECT_EQ(Trim(" \t key = v \t"), "key = v");
    EXPECT_EQ(Trim("\r\n"), "\r\n");  // line ends are SplitLines' business
    // The readers' trim: white space and control characters, never a byte of a UTF-8 character
    // (the copy it replaced asked the locale, the other stopped at white space).
    EXPECT_EQ(TrimWhite(" \t\r\n a b \v\f"), "a b");
    EXPECT_EQ(TrimWhite("\x01$GPGGA,1\r\n\x1A"), "$GPGGA,1");
    EXPECT_EQ(TrimWhite("   "), "");
    EXPECT_EQ(TrimWhite("\xC2\xA0x\xC2\xA0"), "\xC2\xA0x\xC2\xA0");  // UTF-8 no-break spaces stay
    EXPECT_EQ(ReplaceAll("aaa", "a", "aa"), "aaaaaa");
    EXPECT_EQ(ReplaceAll("x&gl=cn&gl=cn", "&gl=cn", ""), "x");
    EXPECT_EQ(ReplaceAll("abc", "", "z"), "abc");
    EXPECT_EQ(ReplaceAllNoCase("Zh-CN zh-cn", "zh-cn", "{L}"), "{L} {L}");
    EXPECT_EQ(FindNoCase("aXbxB", "XB", 2), 3u);
    EXPECT_EQ(FindNoCase("abc", "", 4), std::string_view::npos);
}

// Task and settings files hold 32-bit numbers, decimal or hexadecimal.
TEST(TextHelpers, ThirtyTwoBitNumbers) {
    const struct {
        std::string_view text;
        bool hex;
        std::optional<std::int32_t> value;
    } cases[] = {
        {"2147483647", false, 2147483647},
        {"-2147483648", false, -2147483647 - 1},
        {"2147483648", false, std::nullopt},
        {"0x7FFFFFFF", true, 2147483647},
        {"0x80000000", true, std::nullopt},
        {"0x10", false, std::nullopt},
        {" 12 ", false, 12},
        {"", false, std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseInt32(c.text, c.hex), c.value) << c.text;
    }
}

// A task saved over its file keeps that file's permissions, as the settings file does, and
// leaves no temporary file beside it.
TEST(TextHelpers, TaskSaveKeepsTheFilesPermissions) {
    testsupport::TempDir dir;
    TProfiles task(dir / "Profiles");
    task.SetName("private");
    task.Save();
    const auto file = dir / "Profiles" / "private.zeb";
    ASSERT_EQ(::chmod(file.c_str(), 0600), 0);
    task.SetDirectory("/elsewhere");
    task.Save();
    struct stat info {};
    ASSERT_EQ(::stat(file.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& entry :
         std::filesystem::directory_iterator(dir / "Profiles")) {
        ++files;
    }
    EXPECT_EQ(files, 1u);
    TProfiles loaded(dir / "Profiles");
    loaded.Load(file);
    EXPECT_EQ(loaded.Directory(), "/elsewhere");
}

// Settings written with CR LF are written back so; a BOM survives; keys match without case.
TEST(TextHelpers, SettingsDocumentKeepsItsLineEndsAndMark) {
    for (const std::string_view text :
         {std::string_view("\xEF\xBB\xBF[S]\r\nKey=1\r\n"), std::string_view("[S]\nKey=1\n"),
          std::string_view("[S]\rKey=1\r")}) {
        const auto document = IniDocument::Parse(text);
        EXPECT_EQ(document.Get("s", "KEY"), "1") << text;
        const std::string out = document.Serialize();
        EXPECT_EQ(out.starts_with(kUtf8Bom), text.starts_with(kUtf8Bom)) << text;
        EXPECT_EQ(out.find("\r\n") != std::string::npos, text.find("\r\n") != std::string::npos)
            << text;
    }
}

}  // namespace
}  // namespace engine
