// The image stitch: every position of a level's tile range goes, in row order, into one big
// raster. Reading and decoding run on a few threads ahead of the writer (at most about two
// tile rows in flight); the raster is written by this thread only, one whole tile block at a
// time, so memory does not grow with the image width.
#include <algorithm>
#include <limits>
#include <system_error>
#include <thread>

#include "engine/core/catalogue.h"
#include "engine/core/number_format.h"
#include "engine/image/image_codec.h"
#include "engine/log/logger.h"
#include "raster/combine/combine_internal.h"
#include "raster/combine/ordered_work.h"
#include "raster/combine/tile_file.h"
#include "raster/output_image.h"
#include "raster/tile_body.h"

namespace raster {
namespace {

using engine::TImgType;

struct TileJob {
    int column = 0;  // offsets in tiles within the image
    int row = 0;
    std::filesystem::path tile;
    std::filesystem::path overlay;
    enum class State { Missing, Decoded, Damaged } state = State::Missing;
    std::filesystem::path used;  // the file actually read (a stand-in for a missing tile)
    engine::RgbaImage image;
    std::vector<std::string> notes;  // log lines about this position, written in tile order
};

std::string SizeText(const engine::RgbaImage& image) {
    return engine::FormatInt(image.width) + "x" + engine::FormatInt(image.height);
}

// Reads and decodes one tile with the labels drawn over it, at the task's tile size. A tile
// that does not decode whole is left as background; one of another size is scaled into its own
// place; both are noted for the log, as is a label tile that does not decode.
void DecodeTile(TileJob& job, int tileSize, const std::filesystem::path& missingStandIn) {
    thread_local std::string buffer;
    thread_local engine::RgbaImage overlay;
    auto bytes = ReadTileFile(job.tile, buffer);
    job.used = job.tile;
    if (!bytes && !missingStandIn.empty()) {
        bytes = ReadTileFile(missingStandIn, buffer);
        job.used = missingStandIn;
    }
    if (!bytes) {
        job.state = TileJob::State::Missing;
        return;
    }
    std::string reason;
    if (DecodeTileBody(*bytes, job.image, &reason) != engine::DecodeStatus::Ok) {
        job.state = TileJob::State::Damaged;
        job.notes.push_back("图片 " + job.used.string() + " 已损坏：" + reason);
        return;
    }
    if (job.image.width != tileSize || job.image.height != tileSize) {
        job.notes.push_back("图片 " + job.used.string() + " 大小为 " + SizeText(job.image) +
                            "，不是 " + engine::FormatInt(tileSize) + " 像素，已缩放");
        job.image = engine::ScaleBilinear(job.image, tileSize, tileSize);
    }
    if (!job.overlay.empty()) {
        if (auto top = ReadTileFile(job.overlay, buffer)) {
            if (DecodeTileBody(*top, overlay, &reason) != engine::DecodeStatus::Ok) {
                job.notes.push_back("图片 " + job.overlay.string() + " 已损坏：" + reason);
            } else {
                if (overlay.width != tileSize || overlay.height != tileSize) {
                    job.notes.push_back("图片 " + job.overlay.string() + " 大小为 " +
                                        SizeText(overlay) + "，不是 " +
                                        engine::FormatInt(tileSize) + " 像素，已缩放");
                    overlay = engine::ScaleBilinear(overlay, tileSize, tileSize);
                }
                engine::DrawOver(job.image, overlay);
            }
        }
    }
    job.state = TileJob::State::Decoded;
}

// Each tile fills whole blocks that are written once and never read again, so a big block
// cache only holds finished blocks longer: the stitch caps it, which keeps memory the same for
// any image width, and gives the caller's size back afterwards.
class BlockCacheCap {
  public:
    explicit BlockCacheCap(std::int64_t bytes) : previous_(GDALGetCacheMax64()) {
        if (previous_ > bytes) {
            GDALSetCacheMax64(bytes);
        }
    }
    ~BlockCacheCap() { GDALSetCacheMax64(previous_); }
    BlockCacheCap(const BlockCacheCap&) = delete;
    BlockCacheCap& operator=(const BlockCacheCap&) = delete;

  private:
    std::int64_t previous_;
};

std::int64_t BmpFileSize(std::int64_t width, std::int64_t height) {
    return ((width * 3 + 3) / 4 * 4) * height + 54;
}

}  // namespace

void TCombineTile::CombineToImage() {
    const Task task = LoadTask(false);
    const int ts = task.tileSize;
    const std::string ext(engine::ImgFileExt(FOutImageType));
    const bool conversion = FOutImageType == TImgType::itJPG || FOutImageType == TImgType::itPNG;
    const std::filesystem::path standIn = task.mapType == engine::TMapType::mtTDTRoadMap
                                              ? settings_.tiandituMissingTile
                                              : std::filesystem::path();
    const unsigned cpus = std::max(1u, std::thread::hardware_concurrency());
    const int threads = settings_.threads > 0 ? settings_.threads : static_cast<int>(cpus);
    const BlockCacheCap cacheCap(std::int64_t{64} << 20);

    for (int z = 0; z < engine::kZoomLevelCount && !FCanceled; ++z) {
        if (!FZoomLevels[z].Checked) {
            continue;
        }
        const Level level = LevelOf(task, z, false);
        if (level.count == 0 || task.points.empty()) {
            continue;
        }
        const std::int64_t width = level.columns * ts;
        const std::int64_t height = level.rows * ts;
        if (FOutImageType == TImgType::itJPG && (width > kMaxJpegSide || height > kMaxJpegSide)) {
            events_.ShowInfo(kJpegTooLargeMessage);
            continue;
        }
        if (FOutImageType == TImgType::itBMP &&
            BmpFileSize(width, height) > std::int64_t{std::numeric_limits<std::uint32_t>::max()}) {
            events_.ShowInfo(kBmpTooLargeMessage);
            continue;
        }
        const std::filesystem::path levelDir =
            FOutPutDir / (FOutPrefix + "_L" + engine::FormatInt(z));
        std::filesystem::create_directories(levelDir);
        const std::filesystem::path image = levelDir / (FOutPrefix + ext);
        std::filesystem::remove(image);
        std::filesystem::path log = image;
        log.replace_extension(".log");
        end_.log = log;
        end_.output = image;
        events_.Begin(level.count, log);

        // The range stitched, so that the image, its geotransform and its side files agree.
        const LevelExtent extent = LevelExtentOf(level.range, z, ts, level.grid);
        const std::array<double, 6> geoTransform = GeoTransformOf(extent);

        OutputImageSettings out;
        out.type = FOutImageType;
        out.width = width > std::numeric_limits<int>::max() ? 0 : static_cast<int>(width);
        out.height = height > std::numeric_limits<int>::max() ? 0 : static_cast<int>(height);
        out.tileSize = ts;
        out.compressName = FOutImageType == TImgType::itTIFF ? settings_.compressName : "NONE";
        out.imageQuality = settings_.imageQuality;
        out.background = settings_.noDataValue;
        if (level.grid == TileGrid::Geographic) {
            out.projection = std::string(kGeographicWkt);
        }
        std::string error;
        std::unique_ptr<OutputImage> output = OutputImage::Create(FGDALTool, image, out, &error);
        if (!output) {
            engine::AppendLog("GDALCreate 错误！", log);
            end_.result = CombineResult::Failed;
            return;
        }
        FGDALTool.SetLog([&log](const std::string& line) { engine::AppendLog(line, log); });

        const auto& r = level.range;
        const std::size_t capacity =
            static_cast<std::size_t>(std::clamp<std::int64_t>(2 * level.columns, 2 * threads, 256));
        std::vector<engine::RgbaImage> spare;  // decoded buffers handed back for reuse
        bool writeFailed = false;
        auto write = [&](TileJob job) {
            const int x = job.column * ts;
            const int y = job.row * ts;
            for (const std::string& note : job.notes) {
                engine::AppendLog(note, log);
            }
            CountTile(job.state != TileJob::State::Missing && job.used == job.tile);
            switch (job.state) {
                case TileJob::State::Decoded:
                    writeFailed |= !TGDALTool::WritePixels(output->dataset(), job.image, x, y);
                    break;
                case TileJob::State::Missing:
                    engine::AppendLog("图片 " + job.tile.string() + " 不存在", log);
                    output->FillTile(job.column, job.row);
                    break;
                case TileJob::State::Damaged:
                    output->FillTile(job.column, job.row);
                    break;
            }
            spare.push_back(std::move(job.image));
        };
        OrderedWork<TileJob> pool(threads, capacity,
                                  [ts, &standIn](TileJob& job) { DecodeTile(job, ts, standIn); });

        std::int64_t counter = 1;
        const bool cancelled =
            !WalkLevel(level, counter, [&](std::int64_t x, std::int64_t y, bool kept) {
                const int column = static_cast<int>(x - r.MinCol);
                // Baidu rows grow northwards: the image's top row is the range's last one.
                const int row = static_cast<int>(task.baiduNumbering ? r.MaxRow - y : y - r.MinRow);
                if (!kept) {
                    output->FillTile(column, row);
                    return;
                }
                TileJob job;
                job.column = column;
                job.row = row;
                job.tile =
                    task.TileFile(z, static_cast<std::int32_t>(x), static_cast<std::int32_t>(y));
                job.overlay =
                    task.OverlayFile(z, static_cast<std::int32_t>(x), static_cast<std::int32_t>(y));
                if (!spare.empty()) {
                    job.image = std::move(spare.back());
                    spare.pop_back();
                }
                if (pool.Full()) {
                    write(pool.Next());
                }
                pool.Submit(std::move(job));
            });
        while (pool.Pending() > 0) {
            write(pool.Next());
        }
        if (writeFailed) {
            engine::AppendLog("WriteImage:" + LastGdalError("cannot write a tile"), log);
        }
        FGDALTool.SetLog({});
        if (cancelled) {
            output->Abandon();
            return;
        }

        ProgressFn progress;
        int lastPercent = -1;
        if (conversion) {
            events_.ConvertBegin(log);
            progress = [this, &lastPercent](double fraction) {
                const int percent = static_cast<int>(fraction * 100);
                if (percent != lastPercent) {
                    lastPercent = percent;
                    if (percent == 0) {
                        events_.Begin(100, {});
                    } else {
                        events_.Progress(percent, false);
                    }
                }
                return !FCanceled;
            };
        }
        if (!output->Finish(geoTransform, progress, &error)) {
            if (FCanceled) {
                events_.Progress(std::max(lastPercent, 0), true);
                end_.result = CombineResult::Cancelled;
                return;
            }
            engine::AppendLog("Finish:" + error, log);
            end_.result = CombineResult::Failed;
            continue;
        }
        // After the image is closed, so that the library cannot overwrite them.
        std::array<double, 6> written{};
        if (!WriteGeoreferenceFiles(image, extent, FOutImageType, written, &error)) {
            engine::AppendLog(error, log);
        }
    }
}

}  // namespace raster
