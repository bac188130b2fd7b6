#include "engine/download/tile_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/temp_dir.h"

namespace engine {
namespace {

std::size_t EntriesIn(const std::filesystem::path& folder) {
    std::size_t entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) {
        ++entries;
    }
    return entries;
}

// However many folders above the tile are missing, the tile is stored whole and alone.
TEST(TileFile, StoresTheTileWhateverPartOfItsFolderIsMissing) {
    struct Case {
        const char* made;  // folders there before the tile is stored
        const char* tile;
    };
    const Case cases[] = {
        {"roadmap/12/3366", "roadmap/12/3366/1549.png"},  // folder there
        {"roadmap/12", "roadmap/12/3366/1549.png"},       // column missing
        {"roadmap", "roadmap/12/3366/1549.png"},          // zoom and column missing
        {"", "map/roadmap/12/3366/1549.png"},             // the whole tree missing
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tile);
        testsupport::TempDir dir;
        std::filesystem::create_directories(dir / c.made);
        const std::filesystem::path tile = dir / c.tile;
        ASSERT_TRUE(StoreTileFile(tile, "tile bytes"));
        EXPECT_EQ(testsupport::ReadFileBytes(tile), "tile bytes");
        EXPECT_EQ(EntriesIn(tile.parent_path()), 1U);
        ASSERT_TRUE(StoreTileFile(tile, "newer bytes"));
        EXPECT_EQ(testsupport::ReadFileBytes(tile), "newer bytes");
        EXPECT_EQ(EntriesIn(tile.parent_path()), 1U);
    }
}

// A file where a folder belongs fails the tile and leaves the file as it was.
TEST(TileFile, FileInThePlaceOfAFolderFailsTheTile) {
    for (const char* blocker : {"roadmap/12/3366", "roadmap/12"}) {
        SCOPED_TRACE(blocker);
        testsupport::TempDir dir;
        testsupport::WriteFileBytes(dir / blocker, "not a folder");
        EXPECT_FALSE(StoreTileFile(dir / "roadmap/12/3366/1549.png", "tile bytes"));
        EXPECT_EQ(testsupport::ReadFileBytes(dir / blocker), "not a folder");
        EXPECT_EQ(EntriesIn(dir / "roadmap"), 1U);
    }
}

}  // namespace
}  // namespace engine
