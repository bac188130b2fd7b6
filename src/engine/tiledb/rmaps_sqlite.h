#pragma once
// Writes a task's tiles as an RMaps ".sqlitedb" database: TDBSQLite3 is the plain tile table
// (x, y, z, s, image) filled in batches; TRMapsSQLite adds the RMaps conventions (zoom stored
// as 17 - zoom, the info table with the stored zoom range, android_metadata).
// Database errors raise SqliteError.
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string_view>

#include "engine/tiledb/sqlite_db.h"
#include "engine/tiledb/tile_batch.h"

namespace engine {

class TDBSQLite3 {
  public:
    static constexpr int kBatchSize = 1000;

    explicit TDBSQLite3(const std::filesystem::path& dbFileName);
    ~TDBSQLite3();
    TDBSQLite3(const TDBSQLite3&) = delete;
    TDBSQLite3& operator=(const TDBSQLite3&) = delete;

    bool Finished() const { return finished_; }
    void SetFinished(bool finished) { finished_ = finished; }

    // Stores a row (x, y, z, 0) and its image when s is 0; a row stored before fails on the
    // primary key. With another s the row keeps no image.
    void Write(std::int32_t x, std::int32_t y, std::int32_t z, std::int32_t s,
               std::string_view tileData);

  protected:
    TSQLiteDatabase& db() { return *db_; }
    void CommitPending() { batch_.CommitPending(); }

  private:
    std::unique_ptr<TSQLiteDatabase> db_;
    TileBatch batch_;
    SqliteStatement insertTile_;
    bool finished_ = false;
};

class TRMapsSQLite : public TDBSQLite3 {
  public:
    explicit TRMapsSQLite(const std::filesystem::path& dbFileName);

    // `z` is the map's zoom level; it is stored as 17 - z.
    void Write(std::int32_t x, std::int32_t y, std::int32_t z, std::int32_t s,
               std::string_view tileData);

    // Inserts the info row with the smallest and largest stored z (-1 each without tiles)
    // and commits what is pending.
    void UpdateTileMetaInfo();
};

}  // namespace engine
