// The tile exports: tiles copied or stored as they are (decoded only where labels are drawn
// over them) into an ArcGIS exploded cache, KML ground overlays or a tile database.
#include <algorithm>
#include <cstdio>
#include <memory>
#include <thread>

#include "engine/core/atomic_file.h"
#include "engine/core/catalogue.h"
#include "engine/core/number_format.h"
#include "engine/core/text_helpers.h"
#include "engine/core/tile_math.h"
#include "engine/core/xml_escape.h"
#include "engine/download/tile_path.h"
#include "engine/image/merge_tile_images.h"
#include "engine/log/logger.h"
#include "engine/tiledb/mbtiles.h"
#include "engine/tiledb/oruxmaps_sqlite.h"
#include "engine/tiledb/rmaps_sqlite.h"
#include "raster/combine/combine_internal.h"
#include "raster/combine/ordered_work.h"
#include "raster/combine/tile_file.h"

namespace raster {
namespace {

// The tile's bytes with the label tile drawn over it when there is one; nothing when the tile
// does not exist. A base or label tile that is damaged, too large or of another size is named
// in `note` for the log: the base tile then goes out as it is stored (or scaled, when only its
// size differs).
std::optional<std::string> TileBytes(const std::filesystem::path& tile,
                                     const std::filesystem::path& overlay, int tileSize,
                                     std::string& note) {
    thread_local std::string buffer;
    thread_local std::string topBuffer;
    note.clear();
    const auto bytes = ReadTileFile(tile, buffer);
    if (!bytes) {
        return std::nullopt;
    }
    if (!overlay.empty()) {
        if (const auto top = ReadTileFile(overlay, topBuffer)) {
            std::string problem;
            auto merged = engine::MergeTileImageBytes(*top, *bytes, engine::MergeOutputFormat(tile),
                                                      tileSize, &problem);
            if (!problem.empty()) {
                note = "图片 " + tile.string() + "：" + problem;
            }
            if (merged) {
                return merged;
            }
        }
    }
    return std::string(*bytes);
}

std::string Hex8(std::int64_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "%08llX", static_cast<unsigned long long>(value));
    return text;
}

std::string Pad2(int value) {
    return (value < 10 ? "0" : "") + engine::FormatInt(value);
}

}  // namespace

void TCombineTile::ExportArcGISCache() {
    const Task task = LoadTask(false);
    const std::filesystem::path cacheDir = FOutPutDir / (FOutPrefix + "_ArcGIS瓦片");
    end_.output = cacheDir / "conf.xml";
    if (RefuseGrid(task)) {
        return;
    }
    std::filesystem::create_directories(cacheDir);
    for (int z = 0; z < engine::kZoomLevelCount && !FCanceled; ++z) {
        if (!FZoomLevels[z].Checked) {
            continue;
        }
        const Level level = LevelOf(task, z, false);
        std::int64_t counter = 1;
        events_.Begin(level.count, {});
        std::string error;
        if (!WriteArcGISCacheConfig(cacheDir, task.box, FZoomLevels, task.tileType, task.tileSize,
                                    &error)) {
            throw std::runtime_error(error);
        }
        const auto& r = level.range;
        const std::filesystem::path levelDir = cacheDir / "_alllayers" / ("L" + Pad2(z));
        for (std::int64_t y = r.MinRow; y <= r.MaxRow && level.count > 0; ++y) {
            for (std::int64_t x = r.MinCol; x <= r.MaxCol; ++x) {
                if (CancelRequested(counter)) {
                    return;
                }
                StepProgress(counter, level.count);
                const auto xi = static_cast<std::int32_t>(x);
                const auto yi = static_cast<std::int32_t>(y);
                std::string note;
                const auto bytes = TileBytes(task.TileFile(z, xi, yi), task.OverlayFile(z, xi, yi),
                                             task.tileSize, note);
                if (!note.empty()) {
                    engine::AppendLog(note);
                }
                CountTile(bytes.has_value());
                if (!bytes) {
                    continue;
                }
                const std::filesystem::path rowDir = levelDir / ("R" + Hex8(y));
                std::filesystem::create_directories(rowDir);
                if (!engine::WriteFileAtomic(rowDir / ("C" + Hex8(x) + task.tileExt), *bytes,
                                             &error)) {
                    throw std::runtime_error(error);
                }
            }
        }
    }
}

void TCombineTile::AddGroundOverlay(std::string& kml, const std::string& prefix,
                                    const std::string& ext, std::int32_t x, std::int32_t y,
                                    int z) const {
    double west = 0, north = 0, east = 0, south = 0;
    engine::TileXYToLatLng(x, y, z, west, north);
    engine::TileXYToLatLng(std::int64_t{x} + 1, std::int64_t{y} + 1, z, east, south);
    std::string link = prefix;
    std::replace(link.begin(), link.end(), '\\', '/');
    const std::string Z = engine::FormatInt(z);
    const std::string X = engine::FormatInt(x);
    const std::string Y = engine::FormatInt(y);
    kml += "        <GroundOverlay>\r\n";
    kml += "            <name>Tile z=" + Z + " x=" + X + " y=" + Y + "</name>\r\n";
    kml += "            <Icon>\r\n";
    kml += "                <href>" + link + Z + "/" + X + "/" + Y + ext + "</href>\r\n";
    kml += "            </Icon>\r\n";
    kml += "            <LatLonBox>\r\n";
    kml += "                <north>" + engine::FormatFloat(north) + "</north>\r\n";
    kml += "                <south>" + engine::FormatFloat(south) + "</south>\r\n";
    kml += "                <east>" + engine::FormatFloat(east) + "</east>\r\n";
    kml += "                <west>" + engine::FormatFloat(west) + "</west>\r\n";
    kml += "                <rotation>0</rotation>\r\n";
    kml += "            </LatLonBox>\r\n";
    kml += "        </GroundOverlay>\r\n";
}

void TCombineTile::ExportKmlOverlay() {
    const Task task = LoadTask(false);
    const std::filesystem::path baseDir = FOutPutDir / FOutPrefix;
    const std::filesystem::path log = baseDir / ".log";
    end_.log = log;
    end_.output = baseDir;
    if (RefuseGrid(task)) {
        return;
    }
    std::filesystem::create_directories(baseDir);
    for (int z = 0; z < engine::kZoomLevelCount && !FCanceled; ++z) {
        if (!FZoomLevels[z].Checked) {
            continue;
        }
        const std::string levelName = FOutPrefix + "_L" + engine::FormatInt(z);
        const std::filesystem::path levelDir = FOutPutDir / levelName;
        const std::filesystem::path kmlFile =
            levelDir / (FOutPrefix + engine::FormatInt(z) + ".kml");
        const Level level = LevelOf(task, z, false);
        std::int64_t counter = 1;
        events_.Begin(level.count, log);
        std::string body;
        bool cancelled = false;
        const auto& r = level.range;
        for (std::int64_t y = r.MinRow; y <= r.MaxRow && level.count > 0 && !cancelled; ++y) {
            for (std::int64_t x = r.MinCol; x <= r.MaxCol; ++x) {
                if (CancelRequested(counter)) {
                    cancelled = true;
                    break;
                }
                StepProgress(counter, level.count);
                const auto xi = static_cast<std::int32_t>(x);
                const auto yi = static_cast<std::int32_t>(y);
                thread_local std::string buffer;
                const auto bytes = ReadTileFile(task.TileFile(z, xi, yi), buffer);
                CountTile(bytes.has_value());
                if (!bytes) {
                    continue;
                }
                const std::filesystem::path dest = engine::TilePath(
                    levelDir, "", engine::TTile{xi, yi, static_cast<std::int8_t>(z)}, task.tileExt);
                std::filesystem::create_directories(dest.parent_path());
                std::string error;
                if (!engine::WriteFileAtomic(dest, *bytes, &error)) {
                    throw std::runtime_error(error);
                }
                AddGroundOverlay(body, "", task.tileExt, xi, yi, z);
            }
        }
        // A cancelled level still gets the file with the overlays written so far.
        std::string text =
            std::string(engine::kUtf8Bom) + "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n";
        text += "<kml xmlns=\"http://earth.google.com/kml/2.0\">\r\n";
        text += "    <Folder>\r\n";
        text += "        <name>" + engine::EscapeXmlText(levelName) + "</name>\r\n";
        text += body;
        text += "    </Folder>\r\n</kml>\r\n";
        std::filesystem::create_directories(levelDir);
        std::string error;
        if (!engine::WriteFileAtomic(kmlFile, text, &error)) {
            throw std::runtime_error(error);
        }
        end_.output = kmlFile;
        if (cancelled) {
            return;
        }
    }
}

void TCombineTile::ExportTileDatabase() {
    const Task task = LoadTask(true);
    const auto kind = FImageCombineType;
    std::filesystem::path dbFile;
    if (kind == TImageCombineType::icMBTiles) {
        dbFile = FOutPutDir / (FOutPrefix + "_MBTiles") / (FOutPrefix + ".mbtiles");
    } else if (kind == TImageCombineType::icOruxMaps) {
        dbFile = FOutPutDir / (FOutPrefix + "_OruxMaps") / "OruxMapsImages.db";
    } else {
        dbFile = FOutPutDir / (FOutPrefix + "_RMaps") / (FOutPrefix + ".sqlitedb");
    }
    end_.output = dbFile;
    if (RefuseGrid(task)) {
        return;
    }
    // The database is built under a temporary name beside its final one, flushed to the disk
    // and renamed into place when it is complete, so an earlier export stays whole until then
    // and neither a crash nor a power loss leaves a half-written database under the real name.
    // What an export killed before its rename left there goes first.
    std::filesystem::create_directories(dbFile.parent_path());
    engine::RemoveLeftoverTemporaries(dbFile);
    engine::PendingFile temp(dbFile);
    if (temp.path().empty()) {
        throw std::runtime_error(temp.error());
    }
    std::unique_ptr<engine::TMBTiles> mbtiles;
    std::unique_ptr<engine::TOruxMapsSqlite> orux;
    std::unique_ptr<engine::TRMapsSQLite> rmaps;
    if (kind == TImageCombineType::icMBTiles) {
        mbtiles = std::make_unique<engine::TMBTiles>(temp.path());
    } else if (kind == TImageCombineType::icOruxMaps) {
        orux = std::make_unique<engine::TOruxMapsSqlite>(temp.path(), FOutPrefix);
    } else {
        rmaps = std::make_unique<engine::TRMapsSQLite>(temp.path());
    }

    struct Job {
        std::int32_t x = 0;
        std::int32_t y = 0;
        bool finished = false;
        std::filesystem::path tile;
        std::filesystem::path overlay;
        std::optional<std::string> bytes;
        std::string note;  // a damaged or odd-sized tile, for the log
    };
    // Tiles go to the readers in chunks, so that handing them over costs little next to
    // reading them; two readers keep the database busy, drawing labels takes every processor.
    using Chunk = std::vector<Job>;
    constexpr std::size_t kChunk = 64;
    const unsigned cpus = std::max(1u, std::thread::hardware_concurrency());
    const int threads = settings_.threads > 0        ? settings_.threads
                        : task.overlayFolder.empty() ? 2
                                                     : static_cast<int>(cpus);
    const int tileSize = task.tileSize;

    engine::TGLatLngBounds bounds{};
    for (int z = 0; z < engine::kZoomLevelCount && !FCanceled; ++z) {
        if (!FZoomLevels[z].Checked) {
            continue;
        }
        const Level level = LevelOf(task, z, true);
        const auto& r = level.range;
        std::int64_t counter = 1;
        events_.Begin(level.count, {});
        const LevelExtent extent = LevelExtentOf(r, z, tileSize);
        bounds.NorthEast = {extent.north, extent.east};
        bounds.SouthWest = {extent.south, extent.west};
        if (orux) {
            orux->AddConfigLevel(r, z, tileSize);
        }
        if (task.points.empty() || level.count == 0) {
            continue;
        }
        auto store = [&](Job&& job) {
            if (!job.note.empty()) {
                engine::AppendLog(job.note);
            }
            CountTile(job.bytes.has_value());
            if (!job.bytes) {
                return;
            }
            try {
                if (mbtiles) {
                    mbtiles->SetFinished(job.finished);
                    mbtiles->Write(job.x, job.y, z, *job.bytes);
                } else if (orux) {
                    orux->SetFinished(job.finished);
                    orux->Write(job.x - r.MinCol, job.y - r.MinRow, z, *job.bytes);
                } else {
                    rmaps->SetFinished(job.finished);
                    rmaps->Write(job.x, job.y, z, 0, *job.bytes);
                }
            } catch (const std::exception& e) {
                engine::AppendLog(std::string("loop col:") + e.what());
            }
        };
        const auto read = [tileSize](Job& job) {
            job.bytes = TileBytes(job.tile, job.overlay, tileSize, job.note);
        };
        OrderedWork<Chunk> pool(threads, 2 * static_cast<std::size_t>(threads) + 2,
                                [&read](Chunk& chunk) {
                                    for (Job& job : chunk) {
                                        read(job);
                                    }
                                });
        Chunk chunk;
        const auto hand = [&] {
            if (pool.Full()) {
                for (Job& done : pool.Next()) {
                    store(std::move(done));
                }
            }
            pool.Submit(std::move(chunk));
            chunk = Chunk();
            chunk.reserve(kChunk);
        };
        WalkLevel(level, counter, [&](std::int64_t x, std::int64_t y, bool kept) {
            if (!kept) {
                return;
            }
            Job job;
            job.x = static_cast<std::int32_t>(x);
            job.y = static_cast<std::int32_t>(y);
            job.finished = counter >= level.count;
            job.tile = task.TileFile(z, job.x, job.y);
            job.overlay = task.OverlayFile(z, job.x, job.y);
            chunk.push_back(std::move(job));
            if (chunk.size() >= kChunk) {
                hand();
            }
        });
        if (!chunk.empty()) {
            hand();
        }
        while (pool.Pending() > 0) {
            for (Job& done : pool.Next()) {
                store(std::move(done));
            }
        }
    }
    // Also after a cancellation: the database keeps what was written, with its metadata.
    if (mbtiles) {
        mbtiles->finishAtlasCreation(bounds);
    } else if (orux) {
        orux->finishAtlasCreation(bounds);
    } else {
        rmaps->UpdateTileMetaInfo();
    }
    mbtiles.reset();
    orux.reset();
    rmaps.reset();
    std::string error;
    if (!temp.Commit(&error)) {
        throw std::runtime_error(error);
    }
}

}  // namespace raster
