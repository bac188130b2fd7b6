#pragma once
// What the three tile-database writers share: the database file opened with its folder created,
// and tiles committed in batches so that an export of many tiles needs few commits.
#include <filesystem>
#include <memory>

#include "engine/tiledb/sqlite_db.h"

namespace engine {

// Creates the file's folder with all missing parents and opens or creates the database.
std::unique_ptr<TSQLiteDatabase> OpenTileDatabase(const std::filesystem::path& file);

class TileBatch {
  public:
    TileBatch(TSQLiteDatabase& db, int batchSize) : db_(db), batchSize_(batchSize) {}

    // Before a tile's statements: opens a transaction unless one is open. A failed statement
    // leaves the transaction open, so the next tile goes on in it rather than beginning anew.
    void BeforeWrite();
    // After a tile was stored: commits when the batch is full or the caller closes it.
    void AfterWrite(bool closeBatch);
    // Commits the tiles still pending, if any.
    void CommitPending();
    // For destructors: commits what is pending and swallows a failure.
    void CommitPendingNoThrow() noexcept;

    int count() const { return count_; }

  private:
    TSQLiteDatabase& db_;
    int batchSize_;
    int count_ = 0;
};

}  // namespace engine
