#include "engine/core/atomic_file.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace engine
