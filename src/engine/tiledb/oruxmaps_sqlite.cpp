#include "engine/tiledb/oruxmaps_sqlite.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <stdexcept>

#include "engine/core/atomic_file.h"
#include "engine/core/number_format.h"
#include "engine/core/text_helpers.h"
#include "engine/core/tile_math.h"
#include "engine/core/xml_escape.h"

namespace engine {
namespace {

std::string TrackerStart(std::string_view versionCode) {
    return "<OruxTracker xmlns=\"" + std::string(TOruxMapsSqlite::kCalibrationNamespace) +
           "\" versionCode=\"" + std::string(versionCode) + "\">";
}

// Fractional Web Mercator tile coordinates in double precision, with values within a
// millionth of a tile taken as the tile edge itself.
double Snap(double v) {
    const double r = std::round(v);
    return std::abs(v - r) < 1e-6 ? r : v;
}

double TileColumn(double lng, double n) {
    return Snap((lng + 180.0) / 360.0 * n);
}

double TileRow(double lat, double n) {
    const double r = lat * std::numbers::pi / 180.0;
    return Snap((1.0 - std::asinh(std::tan(r)) / std::numbers::pi) / 2.0 * n);
}

std::int32_t Clamp(double v, double n) {
    return static_cast<std::int32_t>(std::clamp(v, 0.0, n - 1));
}

}  // namespace

TOruxMapsSqlite::TOruxMapsSqlite(const std::filesystem::path& dbFileName, std::string_view mapName)
    : db_(OpenTileDatabase(dbFileName)),
      batch_(*db_, kBatchSize),
      path_(dbFileName.parent_path()),
      mapName_(mapName) {
    if (db_->TableExists("tiles")) {
        db_->Execute("DROP TABLE tiles;");
    }
    if (db_->TableExists("android_metadata")) {
        db_->Execute("DROP TABLE android_metadata;");
    }
    db_->Execute("CREATE TABLE IF NOT EXISTS android_metadata (locale TEXT)");
    db_->Execute("INSERT INTO android_metadata VALUES ('zh_CN')");
    db_->Execute(
        "CREATE TABLE IF NOT EXISTS tiles (x int, y int, z int, image blob, PRIMARY KEY "
        "(x,y,z))");
    db_->Execute("CREATE INDEX IF NOT EXISTS IND on tiles (x,y,z)");
    insertTile_ = db_->Prepare("INSERT or REPLACE INTO tiles (x,y,z,image) VALUES (?,?,?,?)");
    configs_.push_back("<?xml version=\"1.0\" encoding=\"UTF-8\"?>" + TrackerStart("3.0") +
                       "<MapCalibration layers=\"true\" layerLevel=\"0\"><MapName>" +
                       XmlCData(mapName_) + "</MapName>");
}

TOruxMapsSqlite::~TOruxMapsSqlite() {
    insertTile_ = SqliteStatement();
    batch_.CommitPendingNoThrow();
}

std::filesystem::path TOruxMapsSqlite::CalibrationFile() const {
    return path_ / (mapName_ + ".otrk2.xml");
}

void TOruxMapsSqlite::AddConfigLevel(const TGLatLngBounds& bounds, std::int32_t zoomLevel,
                                     std::int32_t tileSize) {
    const double n = std::ldexp(1.0, zoomLevel);
    const double west = TileColumn(std::min(bounds.SouthWest.lng, bounds.NorthEast.lng), n);
    const double east = TileColumn(std::max(bounds.SouthWest.lng, bounds.NorthEast.lng), n);
    const double north = TileRow(std::max(bounds.SouthWest.lat, bounds.NorthEast.lat), n);
    const double south = TileRow(std::min(bounds.SouthWest.lat, bounds.NorthEast.lat), n);
    TTileBound range;
    range.MinCol = Clamp(std::floor(west), n);
    range.MaxCol = std::max(range.MinCol, Clamp(std::ceil(east) - 1, n));
    range.MinRow = Clamp(std::floor(north), n);
    range.MaxRow = std::max(range.MinRow, Clamp(std::ceil(south) - 1, n));
    AddConfigLevel(range, zoomLevel, tileSize);
}

void TOruxMapsSqlite::AddConfigLevel(const TTileBound& range, std::int32_t zoomLevel,
                                     std::int32_t tileSize) {
    const std::int64_t s = tileSize;
    const std::int64_t width = (std::int64_t{range.MaxCol} - range.MinCol + 1) * s;
    const std::int64_t height = (std::int64_t{range.MaxRow} - range.MinRow + 1) * s;
    const std::int64_t columns = (s + width - 1) / s;
    const std::int64_t rows = (s + height - 1) / s;
    double neLng = 0, neLat = 0, swLng = 0, swLat = 0;
    TileXYToLatLng(std::int64_t{range.MaxCol} + 1, range.MinRow, zoomLevel, neLng, neLat);
    TileXYToLatLng(range.MinCol, std::int64_t{range.MaxRow} + 1, zoomLevel, swLng, swLat);
    const double maxLat = std::max(neLat, swLat);
    const double minLat = std::min(neLat, swLat);
    const double maxLon = std::max(neLng, swLng);
    const double minLon = std::min(neLng, swLng);
    const auto f12 = [](double v) { return FormatFixed(v, 12); };
    const auto point = [](std::string_view corner, double lon, double lat) {
        return "<CalibrationPoint corner=\"" + std::string(corner) + "\" lon=\"" +
               FormatFixed(lon, 6) + "\" lat=\"" + FormatFixed(lat, 6) + "\"/>";
    };
    std::string line = TrackerStart("2.1");
    line += "<MapCalibration layers=\"false\" layerLevel=\"" + FormatInt(zoomLevel) + "\">";
    line += "<MapName>" + XmlCData(mapName_ + FormatInt(zoomLevel)) + "</MapName>";
    line += "<MapChunks xMax=\"" + FormatInt(columns) + "\" yMax=\"" + FormatInt(rows) +
            "\" datum=\"WGS84\" projection=\"Mercator\" img_height=\"" + FormatInt(s) +
            "\" img_width=\"" + FormatInt(s) + "\"/>";
    line +=
        "<MapDimensions height=\"" + FormatInt(height) + "\" width=\"" + FormatInt(width) + "\" />";
    line += "<MapBounds minLat=\"" + f12(minLat) + "\" maxLat=\"" + f12(maxLat) + "\" minLon=\"" +
            f12(minLon) + "\" maxLon=\"" + f12(maxLon) + "\"/>";
    line += "<CalibrationPoints>";
    line += point("TL", minLon, maxLat);
    line += point("BR", maxLon, minLat);
    line += point("TR", maxLon, maxLat);
    line += point("BL", minLon, minLat);
    line += "</CalibrationPoints></MapCalibration></OruxTracker>";
    configs_.push_back(std::move(line));
}

void TOruxMapsSqlite::Write(std::int32_t x, std::int32_t y, std::int32_t z,
                            std::string_view tileData) {
    batch_.BeforeWrite();
    insertTile_.BindInt(1, x).BindInt(2, y).BindInt(3, z).BindBlob(4, tileData);
    insertTile_.Run();
    batch_.AfterWrite(finished_);
}

void TOruxMapsSqlite::finishAtlasCreation(const TGLatLngBounds& /*bounds*/) {
    configs_.push_back("</MapCalibration></OruxTracker>");
    std::string text(kUtf8Bom);
    for (const auto& line : configs_) {
        text += line;
        text += "\r\n";
    }
    std::string error;
    const bool saved =
        WriteFileAtomic(CalibrationFile(), text, &error, {.mode = {}, .durable = true});
    batch_.CommitPending();
    if (!saved) {
        throw std::runtime_error("cannot save the calibration file: " + error);
    }
}

}  // namespace engine
