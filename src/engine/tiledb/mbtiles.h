#pragma once
// Writes a task's tiles into a new MBTiles 1.1 database: tiles in batched transactions, then
// the metadata table with the export's bounds. Database errors raise SqliteError.
#include <cstdint>
#include <ctime>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "engine/core/core_types.h"
#include "engine/tiledb/sqlite_db.h"
#include "engine/tiledb/tile_batch.h"

namespace engine {

class TMBTiles {
  public:
    static constexpr int kBatchSize = 2000;

    // Creates the folder, opens or creates the file and replaces its tiles and metadata tables.
    explicit TMBTiles(const std::filesystem::path& dbFileName);
    // Commits tiles still pending, then closes the database.
    ~TMBTiles();
    TMBTiles(const TMBTiles&) = delete;
    TMBTiles& operator=(const TMBTiles&) = delete;

    // Whether the next Write closes its batch (the exporter sets it at the end of each level).
    bool Finished() const { return finished_; }
    void SetFinished(bool finished) { finished_ = finished; }

    // Stores one tile; y counts from the north and is stored counted from the south. A tile
    // written again replaces the earlier one.
    void Write(std::int32_t x, std::int32_t y, std::int32_t z, std::string_view tileData);

    // Writes the metadata rows and commits everything. A second call fails on the unique name.
    void finishAtlasCreation(const TGLatLngBounds& bounds);

    // "created on<date time> By vantorel"; the time is left out at midnight exactly.
    static std::string Description(const std::tm& localTime);

  private:
    std::unique_ptr<TSQLiteDatabase> db_;
    TileBatch batch_;
    SqliteStatement insertTile_;
    bool finished_ = false;
    std::int64_t pngTiles_ = 0;
    std::int64_t jpegTiles_ = 0;
};

}  // namespace engine
