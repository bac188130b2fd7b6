#include "engine/tiledb/rmaps_sqlite.h"

namespace engine {
namespace {

void CreateTileTable(TSQLiteDatabase& db) {
    db.Execute(
        "CREATE TABLE IF NOT EXISTS tiles (x int, y int, z int, s int, image blob, PRIMARY KEY "
        "(x,y,z,s));");
    db.Execute("CREATE INDEX IF NOT EXISTS IND on tiles (x,y,z,s);");
}

std::int64_t FirstValueOr(TSQLiteDatabase& db, std::string_view sql, std::int64_t none) {
    auto query = db.Prepare(sql);
    return query.Step() ? query.ColumnInt(0) : none;
}

}  // namespace

TDBSQLite3::TDBSQLite3(const std::filesystem::path& dbFileName)
    : db_(OpenTileDatabase(dbFileName)), batch_(*db_, kBatchSize) {
    if (db_->TableExists("tiles")) {
        db_->Execute("DROP TABLE tiles;");
    }
    CreateTileTable(*db_);
    insertTile_ = db_->Prepare("INSERT INTO tiles(x,y,z,s,image) VALUES (?,?,?,0,?);");
}

TDBSQLite3::~TDBSQLite3() {
    insertTile_ = SqliteStatement();
    batch_.CommitPendingNoThrow();
}

void TDBSQLite3::Write(std::int32_t x, std::int32_t y, std::int32_t z, std::int32_t s,
                       std::string_view tileData) {
    batch_.BeforeWrite();
    // The row always has s = 0; its image is set only when the caller's s selects that row.
    insertTile_.BindInt(1, x).BindInt(2, y).BindInt(3, z);
    if (s == 0) {
        insertTile_.BindBlob(4, tileData);
    } else {
        insertTile_.BindNull(4);
    }
    insertTile_.Run();
    batch_.AfterWrite(finished_);
}

TRMapsSQLite::TRMapsSQLite(const std::filesystem::path& dbFileName) : TDBSQLite3(dbFileName) {
    auto& database = db();
    CreateTileTable(database);
    if (database.TableExists("info")) {
        database.Execute("DROP TABLE info;");
    }
    database.Execute("CREATE TABLE IF NOT EXISTS info (minzoom int,maxzoom int);");
    if (database.TableExists("android_metadata")) {
        database.Execute("DROP TABLE android_metadata");
    }
    database.Execute("CREATE TABLE IF NOT EXISTS android_metadata (locale TEXT)");
    database.Execute("INSERT INTO android_metadata VALUES ('zh_CN')");
}

void TRMapsSQLite::Write(std::int32_t x, std::int32_t y, std::int32_t z, std::int32_t s,
                         std::string_view tileData) {
    TDBSQLite3::Write(x, y, 17 - z, s, tileData);
}

void TRMapsSQLite::UpdateTileMetaInfo() {
    auto& database = db();
    const auto minZoom =
        FirstValueOr(database, "SELECT DISTINCT z FROM tiles ORDER BY z ASC LIMIT 1;", -1);
    const auto maxZoom =
        FirstValueOr(database, "SELECT DISTINCT z FROM tiles ORDER BY z DESC LIMIT 1;", -1);
    auto insert = database.Prepare("INSERT INTO info (minzoom,maxzoom) VALUES (?,?);");
    insert.BindInt(1, minZoom).BindInt(2, maxZoom).Run();
    CommitPending();
}

}  // namespace engine
