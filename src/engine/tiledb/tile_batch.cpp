#include "engine/tiledb/tile_batch.h"

#include <system_error>

namespace engine {

std::unique_ptr<TSQLiteDatabase> OpenTileDatabase(const std::filesystem::path& file) {
    if (file.has_parent_path()) {
        std::error_code ec;
        std::filesystem::create_directories(file.parent_path(), ec);
        if (ec) {
            throw SqliteError("cannot create folder " + file.parent_path().string() + ": " +
                              ec.message());
        }
    }
    auto db = std::make_unique<TSQLiteDatabase>(file);
    // Tiles of 10 to 30 KB fill few overflow pages at 16 KB a page: about half the page writes
    // of the 4 KB default. Takes effect only on a new file.
    db->Execute("PRAGMA page_size = 16384");
    // An export builds a new file that is of no use until it is finished: waiting for the disk
    // at every batch commit would cost more than the whole export of a warm tile tree. The
    // rollback journal stays in memory, so a failed batch can still be rolled back.
    db->Execute("PRAGMA synchronous = OFF");
    db->Execute("PRAGMA journal_mode = MEMORY");
    return db;
}

void TileBatch::BeforeWrite() {
    if (!db_.InTransaction()) {
        count_ = 0;
        db_.BeginTransaction();
    }
}

void TileBatch::AfterWrite(bool closeBatch) {
    ++count_;
    if (count_ >= batchSize_ || closeBatch) {
        db_.Commit();
        count_ = 0;
    }
}

void TileBatch::CommitPending() {
    if (db_.InTransaction()) {
        db_.Commit();
    }
    count_ = 0;
}

void TileBatch::CommitPendingNoThrow() noexcept {
    try {
        CommitPending();
    } catch (const std::exception&) {
        // The connection's close rolls the open transaction back.
    }
}

}  // namespace engine
