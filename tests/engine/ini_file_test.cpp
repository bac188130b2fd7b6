#include "engine/settings/ini_file.h"

#include <sys/stat.h>

#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace engine {
namespace {

TEST(IniDocument, FindsSectionsAndKeysWithoutRegardToCaseAndKeepsValuesAsStored) {
    const auto doc = IniDocument::Parse(
        "; comment=ignored\n"
        "[Integer]\n"
        "MaxThread=40\n"
        "  Spaced Key  = padded value \n"
        "Empty=\n"
        "MaxThread=99\n"
        "junk line without equals\n"
        "[String]\n"
        "Url=http://a/?x=1&y=2\n");
    EXPECT_EQ(doc.Get("integer", "maxthread"), "40");  // the first line of a key wins
    EXPECT_EQ(doc.Get("INTEGER", "spaced key"), " padded value ");
    EXPECT_EQ(doc.Get("Integer", "Empty"), "");
    EXPECT_EQ(doc.Get("String", "Url"), "http://a/?x=1&y=2");  // only the first "=" splits
    EXPECT_FALSE(doc.Get("String", "MaxThread"));
    EXPECT_FALSE(doc.Get("Integer", "; comment"));
    EXPECT_FALSE(doc.Get("Missing", "MaxThread"));
    EXPECT_EQ(doc.Keys("integer"),
              (std::vector<std::string>{"MaxThread", "Spaced Key", "Empty", "MaxThread"}));
}

TEST(IniDocument, RewriteKeepsEverythingElseByteForByte) {
    const std::string text =
        "\xEF\xBB\xBF; kept comment\r\n"
        "[Integer]\r\n"
        "MaxThread=40\r\n"
        "\r\n"
        "[String]\r\n"
        "ProxyHost=h\r\n";
    auto doc = IniDocument::Parse(text);
    EXPECT_EQ(doc.Serialize(), text);
    EXPECT_TRUE(doc.Set("integer", "MAXTHREAD", "8"));
    EXPECT_TRUE(doc.Set("Integer", "ZoomLevel", "6"));  // after the section's last key
    EXPECT_TRUE(doc.Set("Float", "Latitude", "1.5"));   // a new section at the end
    EXPECT_FALSE(doc.Set("Float", "Latitude", "1.5"));  // unchanged text
    EXPECT_EQ(doc.Serialize(),
              "\xEF\xBB\xBF; kept comment\r\n"
              "[Integer]\r\n"
              "MAXTHREAD=8\r\n"
              "ZoomLevel=6\r\n"
              "\r\n"
              "[String]\r\n"
              "ProxyHost=h\r\n"
              "[Float]\r\n"
              "Latitude=1.5\r\n");
}

TEST(IniDocument, DeleteRemovesEveryCopyOfTheKey) {
    auto doc = IniDocument::Parse("[A]\nk=1\nK=2\nother=3\n[B]\nk=4\n[a]\nk=5\n");
    EXPECT_TRUE(doc.Delete("A", "k"));
    EXPECT_FALSE(doc.Get("A", "k"));
    EXPECT_FALSE(doc.Delete("A", "k"));
    EXPECT_EQ(doc.Serialize(), "[A]\nother=3\n[B]\nk=4\n[a]\n");
}

TEST(IniDocument, ValueWithLineBreaksCannotAddLines) {
    auto doc = IniDocument::Parse("[String]\n");
    doc.Set("String", "LastNodeText", "a\r\n[Integer]\nMaxThread=80");
    const auto reread = IniDocument::Parse(doc.Serialize());
    EXPECT_EQ(reread.Get("String", "LastNodeText"), "a  [Integer] MaxThread=80");
    EXPECT_FALSE(reread.Get("Integer", "MaxThread"));
}

TEST(IniFile, MissingFileReadsNothingAndDeleteCreatesNothing) {
    testsupport::TempDir dir;
    IniFile ini(dir / "sub/settings.ini");
    EXPECT_FALSE(ini.Read("Integer", "MaxThread"));
    EXPECT_EQ(ini.ReadString("Integer", "MaxThread", "dflt"), "dflt");
    ini.DeleteKey("Integer", "MaxThread");
    EXPECT_FALSE(std::filesystem::exists(dir / "sub"));
}

TEST(IniFile, WriteCreatesFolderAndPrivateFileAndKeepsAnExistingMode) {
    testsupport::TempDir dir;
    const auto file = dir / "Vantorel/settings.ini";
    IniFile ini(file);
    ini.WriteString("String", "ProxyPass", "secret");
    EXPECT_EQ(testsupport::ReadFileBytes(file), "[String]\nProxyPass=secret\n");
    struct stat info {};
    ASSERT_EQ(::stat(file.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);

    ASSERT_EQ(::chmod(file.c_str(), 0640), 0);
    ini.WriteString("String", "ProxyUser", "me");
    ASSERT_EQ(::stat(file.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    int entries = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(file.parent_path())) {
        ++entries;
    }
    EXPECT_EQ(entries, 1) << "a temporary file was left behind";
}

TEST(IniFile, RefusedWriteThrowsAndDeleteStaysSilent) {
    testsupport::TempDir dir;
    testsupport::WriteFileBytes(dir / "plain", "not a folder");
    IniFile ini(dir / "plain/settings.ini");
    EXPECT_THROW(ini.WriteString("Integer", "MaxThread", "8"), IniWriteError);
    EXPECT_NO_THROW(ini.DeleteKey("Integer", "MaxThread"));
}

// Objects on one file under different spellings of its path share the lock, so concurrent
// read-modify-write cycles never drop each other's keys.
TEST(IniFile, WritersOnOneFileNeverLoseEachOthersKeys) {
    testsupport::TempDir dir;
    std::filesystem::create_directories(dir / "cfg");
    const auto file = dir / "cfg/settings.ini";
    const auto otherSpelling = dir / "cfg/../cfg/./settings.ini";
    constexpr int kThreads = 4;
    constexpr int kKeys = 25;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            IniFile ini(t % 2 == 0 ? file : otherSpelling);
            for (int k = 0; k < kKeys; ++k) {
                ini.WriteString("S", "k" + std::to_string(t) + "_" + std::to_string(k), "v");
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    const auto doc = IniFile(file).ReadDocument();
    EXPECT_EQ(doc.Keys("S").size(), static_cast<std::size_t>(kThreads * kKeys));
}

}  // namespace
}  // namespace engine
