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

// A pending file is complete under its final name after Commit, and gone without it.
TEST(AtomicFile, PendingFileReplacesTheTargetOnlyOnCommit) {
    testsupport::TempDir dir;
    const auto target = dir / "Task.mbtiles";
    testsupport::WriteFileBytes(target, "earlier");
    {
        PendingFile pending(target);
        ASSERT_FALSE(pending.path().empty()) << pending.error();
        EXPECT_EQ(pending.path().parent_path(), target.parent_path());
        testsupport::WriteFileBytes(pending.path(), "dropped");
    }
    EXPECT_EQ(testsupport::ReadFileBytes(target), "earlier");
    PendingFile pending(target);
    testsupport::WriteFileBytes(pending.path(), "new");
    std::string error;
    ASSERT_TRUE(pending.Commit(&error)) << error;
    EXPECT_EQ(testsupport::ReadFileBytes(target), "new");
    int entries = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.path())) {
        ++entries;
    }
    EXPECT_EQ(entries, 1);
}

// Only files named as this target's temporaries are taken for leftovers, and only when no
// live writer holds them.
TEST(AtomicFile, LeftoverTemporariesOfTheTargetAreRemovedAndNothingElse) {
    testsupport::TempDir dir;
    const auto target = dir / "Task.mbtiles";
    const char* leftovers[] = {"Task.mbtiles.tmp-abc12345", "Task.mbtiles.tmp-00000000"};
    const char* others[] = {
        "Task.mbtiles",
        "Task.mbtiles.tmp-abc1234",
        "Task.mbtiles.tmp-abc123456",
        "Task.mbtiles.tmp-ABC12345",
        "Task.mbtiles.tmp-abc_1234",
        "Other.mbtiles.tmp-abc12345",
        "xTask.mbtiles.tmp-abc12345",
        "Task.mbtiles.tmp-abc12345.aux.xml",
        "Task.tmp-abc12345",
    };
    for (const char* name : leftovers) {
        testsupport::WriteFileBytes(dir / name, "part of a killed export");
    }
    for (const char* name : others) {
        testsupport::WriteFileBytes(dir / name, "kept");
    }
    // A folder and a link with a temporary's name are no files of ours.
    std::filesystem::create_directories(dir / "Task.mbtiles.tmp-folder00" / "inside");
    testsupport::WriteFileBytes(dir / "elsewhere", "kept");
    std::filesystem::create_symlink(dir / "elsewhere", dir / "Task.mbtiles.tmp-link0000");
    const PendingFile live(target);
    ASSERT_FALSE(live.path().empty());

    EXPECT_EQ(RemoveLeftoverTemporaries(target), 2);
    for (const char* name : leftovers) {
        EXPECT_FALSE(std::filesystem::exists(dir / name)) << name;
    }
    for (const char* name : others) {
        EXPECT_EQ(testsupport::ReadFileBytes(dir / name), "kept") << name;
    }
    EXPECT_TRUE(std::filesystem::exists(dir / "Task.mbtiles.tmp-folder00" / "inside"));
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "Task.mbtiles.tmp-link0000"));
    EXPECT_EQ(testsupport::ReadFileBytes(dir / "elsewhere"), "kept");
    EXPECT_TRUE(std::filesystem::is_regular_file(live.path())) << "a live writer's file stays";
    EXPECT_EQ(RemoveLeftoverTemporaries(dir / "missing" / "Task.mbtiles"), 0);
}

}  // namespace
}  // namespace engine
