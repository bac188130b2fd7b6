#pragma once
// Writes a task's tiles as an offline map of the OruxMaps application: the tile database
// (tiles stored relative to each level's first column and row) and the XML calibration file
// "<map name>.otrk2.xml" beside it with one calibration block per zoom level.
// Database errors raise SqliteError; a calibration file that cannot be saved raises
// std::runtime_error.
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/core/core_types.h"
#include "engine/tiledb/sqlite_db.h"
#include "engine/tiledb/tile_batch.h"

namespace engine {

class TOruxMapsSqlite {
  public:
    static constexpr int kBatchSize = 2000;
    static constexpr std::string_view kCalibrationNamespace =
        "http://oruxtracker.com/app/res/calibration";

    TOruxMapsSqlite(const std::filesystem::path& dbFileName, std::string_view mapName);
    // Commits tiles still pending, then closes the database.
    ~TOruxMapsSqlite();
    TOruxMapsSqlite(const TOruxMapsSqlite&) = delete;
    TOruxMapsSqlite& operator=(const TOruxMapsSqlite&) = delete;

    bool Finished() const { return finished_; }
    void SetFinished(bool finished) { finished_ = finished; }

    // The calibration block of one level. `bounds` are the outer tile edges of the level's
    // range; the range is recovered from them exactly (an edge is not taken for the start of
    // the next tile).
    void AddConfigLevel(const TGLatLngBounds& bounds, std::int32_t zoomLevel,
                        std::int32_t tileSize);
    // The same from the level's tile range (MinCol to MaxCol, MinRow to MaxRow).
    void AddConfigLevel(const TTileBound& range, std::int32_t zoomLevel, std::int32_t tileSize);

    // Stores one tile; a tile written again replaces the earlier one.
    void Write(std::int32_t x, std::int32_t y, std::int32_t z, std::string_view tileData);

    // Saves the calibration file and commits what is pending. `bounds` is not used.
    void finishAtlasCreation(const TGLatLngBounds& bounds);

    std::filesystem::path CalibrationFile() const;
    const std::vector<std::string>& Configs() const { return configs_; }

  private:
    std::unique_ptr<TSQLiteDatabase> db_;
    TileBatch batch_;
    SqliteStatement insertTile_;
    bool finished_ = false;
    std::vector<std::string> configs_;
    std::filesystem::path path_;
    std::string mapName_;
};

}  // namespace engine
