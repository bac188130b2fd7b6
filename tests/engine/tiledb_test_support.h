#pragma once
// Tile files and database readers shared by the tile-database tests.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "engine/tiledb/sqlite_db.h"
#include "support/child_process.h"
#include "support/temp_dir.h"

namespace engine::tiledbtest {

// A 256-pixel tile of one colour made by gdal_create; driver "PNG" or "JPEG".
inline std::string MakeTile(const std::filesystem::path& file, const std::string& driver, int r,
                            int g, int b) {
    const auto result = testsupport::RunChild(
        {"gdal_create", "-q", "-of", driver, "-outsize", "256", "256", "-bands", "3", "-burn",
         std::to_string(r), "-burn", std::to_string(g), "-burn", std::to_string(b), file.string()});
    EXPECT_EQ(result.exitCode, 0) << "gdal_create (package gdal-bin) is needed: " << result.errors;
    return testsupport::ReadFileBytes(file);
}

// Value of the first column of the first row, read through a connection of its own so that
// only committed rows are seen.
inline std::int64_t CountCommitted(const std::filesystem::path& file, const std::string& sql) {
    TSQLiteDatabase reader(file);
    auto q = reader.Prepare(sql);
    return q.Step() ? q.ColumnInt(0) : -1;
}

}  // namespace engine::tiledbtest
