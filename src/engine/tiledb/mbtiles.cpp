#include "engine/tiledb/mbtiles.h"

#include <array>
#include <utility>

#include "engine/core/number_format.h"

namespace engine {
namespace {

bool IsJpeg(std::string_view data) {
    return data.size() >= 2 && static_cast<unsigned char>(data[0]) == 0xFF &&
           static_cast<unsigned char>(data[1]) == 0xD8;
}

}  // namespace

TMBTiles::TMBTiles(const std::filesystem::path& dbFileName)
    : db_(OpenTileDatabase(dbFileName)), batch_(*db_, kBatchSize) {
    if (db_->TableExists("tiles")) {
        db_->Execute("DROP TABLE tiles;");
    }
    if (db_->TableExists("metadata")) {
        db_->Execute("DROP TABLE metadata;");
    }
    db_->Execute(
        "CREATE TABLE IF NOT EXISTS tiles (zoom_level integer, tile_column integer, tile_row "
        "integer, tile_data blob);");
    // Unique, so that INSERT OR REPLACE replaces a tile written twice instead of adding a row.
    db_->Execute(
        "CREATE UNIQUE INDEX IF NOT EXISTS tiles_idx on tiles (zoom_level, tile_column, "
        "tile_row)");
    db_->Execute("CREATE TABLE IF NOT EXISTS metadata (name text, value text);");
    db_->Execute("CREATE UNIQUE INDEX IF NOT EXISTS metadata_idx  ON metadata (name);");
    // One statement per tile with the blob bound: the same rows as an insert followed by an
    // update of the blob, at half the work.
    insertTile_ = db_->Prepare(
        "INSERT or REPLACE INTO tiles (tile_column,tile_row,zoom_level,tile_data) VALUES "
        "(?,?,?,?)");
}

TMBTiles::~TMBTiles() {
    insertTile_ = SqliteStatement();
    batch_.CommitPendingNoThrow();
}

void TMBTiles::Write(std::int32_t x, std::int32_t y, std::int32_t z, std::string_view tileData) {
    if (z < 0 || z > 30) {
        throw SqliteError("zoom level out of range: " + FormatInt(z));
    }
    batch_.BeforeWrite();
    const std::int64_t row = (std::int64_t{1} << z) - y - 1;
    insertTile_.BindInt(1, x).BindInt(2, row).BindInt(3, z).BindBlob(4, tileData);
    insertTile_.Run();
    (IsJpeg(tileData) ? jpegTiles_ : pngTiles_) += 1;
    batch_.AfterWrite(finished_);
}

std::string TMBTiles::Description(const std::tm& t) {
    std::string text = "created on" + FormatInt(t.tm_year + 1900) + "/" + FormatInt(t.tm_mon + 1) +
                       "/" + FormatInt(t.tm_mday);
    if (t.tm_hour != 0 || t.tm_min != 0 || t.tm_sec != 0) {
        const auto two = [](int v) { return (v < 10 ? "0" : "") + FormatInt(v); };
        text += " " + FormatInt(t.tm_hour) + ":" + two(t.tm_min) + ":" + two(t.tm_sec);
    }
    return text + " By vantorel";
}

void TMBTiles::finishAtlasCreation(const TGLatLngBounds& bounds) {
    const std::string boundsText =
        FormatFixed(bounds.SouthWest.lng, 4) + "," + FormatFixed(bounds.SouthWest.lat, 4) + "," +
        FormatFixed(bounds.NorthEast.lng, 4) + "," + FormatFixed(bounds.NorthEast.lat, 4);
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    // The tiles' real type: JPEG layers give "jpg", so that readers decode them correctly.
    const std::string format = jpegTiles_ > pngTiles_ ? "jpg" : "png";
    const std::array<std::pair<std::string_view, std::string>, 6> rows = {{
        {"bounds", boundsText},
        {"name", "test"},
        {"type", "baselayer"},
        {"version", "1.1"},
        {"description", Description(local)},
        {"format", format},
    }};
    if (!db_->InTransaction()) {
        db_->BeginTransaction();
    }
    for (const auto& [name, value] : rows) {
        db_->Execute("INSERT INTO metadata (name,value) VALUES (" + QuoteSqlLiteral(name) + "," +
                     QuoteSqlLiteral(value) + ");");
    }
    batch_.CommitPending();
}

}  // namespace engine
