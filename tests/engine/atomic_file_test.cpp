#include "engine/core/atomic_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "support/temp_dir.h"

namespace engine {
namespace {

TEST(AtomicFile, WritesReplacesAndLeavesNoTemporaries) {
    testsupport::TempDir dir;
    const auto target = dir / "sub/folder/file.txt";
    ASSERT_TRUE(WriteFileAtomic(target, "first"));
    ASSERT_TRUE(WriteFileAtomic(target, "second"));
    std::string bytes;
    ASSERT_TRUE(ReadFileBytes(target, bytes));
    EXPECT_EQ(bytes, "second");
    int entries = 0;
    for ([[maybe_unused]] const auto& e :
         std::filesystem::directory_iterator(target.parent_path())) {
        ++entries;
    }
    EXPECT_EQ(entries, 1);
}

TEST(AtomicFile, FailureKeepsThePreviousFile) {
    testsupport::TempDir dir;
    const auto target = dir / "file.txt";
    ASSERT_TRUE(WriteFileAtomic(target, "kept"));
    // A folder in the way of the rename makes the commit fail.
    const auto blocked = dir / "blocked";
    std::filesystem::create_directories(blocked / "child");
    std::string error;
    EXPECT_FALSE(WriteFileAtomic(blocked, "x", &error));
    EXPECT_FALSE(error.empty());
    std::string bytes;
    ASSERT_TRUE(ReadFileBytes(target, bytes));
    EXPECT_EQ(bytes, "kept");
    EXPECT_TRUE(std::filesystem::is_directory(blocked));
}

// An asked-for mode is set exactly, whatever the umask; without one the umask applies.
TEST(AtomicFile, ModeOptionIgnoresTheUmaskAndDurableWritesTheBytes) {
    testsupport::TempDir dir;
    const mode_t previousMask = ::umask(0077);
    const auto asked = dir / "asked.ini";
    const auto plain = dir / "plain.txt";
    std::string error;
    const bool askedWritten =
        WriteFileAtomic(asked, "[S]\nk=v\n", &error, {.mode = 0644, .durable = true});
    const bool plainWritten = WriteFileAtomic(plain, "x");
    ::umask(previousMask);
    ASSERT_TRUE(askedWritten) << error;
    ASSERT_TRUE(plainWritten);
    struct stat info {};
    ASSERT_EQ(::stat(asked.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0644u);
    ASSERT_EQ(::stat(plain.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0600u);
    std::string bytes;
    ASSERT_TRUE(ReadFileBytes(asked, bytes));
    EXPECT_EQ(bytes, "[S]\nk=v\n");
}

}  // namespace
}  // namespace engine
