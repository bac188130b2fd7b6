#include "raster/combine/combine_tile.h"

#include <algorithm>
#include <cctype>
#include <limits>
#include <system_error>

#include "engine/core/catalogue.h"
#include "engine/core/number_format.h"
#include "engine/core/tile_math.h"
#include "engine/download/installed_data.h"
#include "engine/download/tile_path.h"
#include "engine/log/logger.h"
#include "engine/settings/settings.h"
#include "geodata/boundary/boundary_store.h"
#include "raster/combine/combine_internal.h"

namespace raster {

using engine::TImgType;
using engine::TMapType;

const char* const kJpegTooLargeMessage = "图片太大了，JPG不支持，请用GeoTif格式！";
const char* const kBmpTooLargeMessage = "图片太大了，BMP不支持，请用GeoTif格式！";
const char* const kExportGridMessage =
    "该任务的瓦片不在Web墨卡托网格上（百度地图或天地图经纬度网格），导出后位置不正确，请拼接成图片"
    "！";

std::string NoTilesMessage(const std::filesystem::path& tileFolder) {
    return "在地图路径“" + tileFolder.string() + "”中没有找到该任务的瓦片。";
}

CombineSettings CombineSettingsFrom(const engine::TSettings& settings) {
    CombineSettings s;
    s.compressName = settings.GetStrSetting(engine::StrSetting::CompressName);
    s.imageQuality = settings.GetIntSetting(engine::IntSetting::ImageQuality);
    s.noDataValue =
        static_cast<std::uint32_t>(settings.GetIntSetting(engine::IntSetting::NoDataValue));
    s.byRectangle = settings.GetBoolSetting(engine::BoolSetting::ByRectangle);
    s.tiandituMissingTile = engine::InstalledDataFile("404_TDT.png");
    return s;
}

std::filesystem::path TCombineTile::Task::TileFile(int z, std::int32_t x, std::int32_t y) const {
    return engine::TilePath(directory, tileFolder, engine::TTile{x, y, static_cast<std::int8_t>(z)},
                            tileExt);
}

std::filesystem::path TCombineTile::Task::OverlayFile(int z, std::int32_t x, std::int32_t y) const {
    if (overlayFolder.empty()) {
        return {};
    }
    return engine::TilePath(directory, overlayFolder,
                            engine::TTile{x, y, static_cast<std::int8_t>(z)}, ".png");
}

TCombineTile::TCombineTile(const engine::TProfiles& profiles, std::filesystem::path outputDir,
                           std::string outPrefix, engine::TImgType outImageType,
                           ICombineEvents& events)
    : FProfiles(profiles),
      FOutPutDir(std::move(outputDir)),
      FOutPrefix(std::move(outPrefix)),
      FOutImageType(outImageType),
      events_(events) {}

TCombineTile::~TCombineTile() {
    Cancel();
    WaitFor();
}

void TCombineTile::Start() {
    if (!thread_.joinable()) {
        thread_ = std::thread([this] { Execute(); });
    }
}

void TCombineTile::WaitFor() {
    if (thread_.joinable()) {
        thread_.join();
    }
}

void TCombineTile::Execute() {
    end_ = EndState{};
    try {
        switch (FImageCombineType) {
            case TImageCombineType::icMBTiles:
            case TImageCombineType::icOruxMaps:
            case TImageCombineType::icRMaps:
                ExportTileDatabase();
                break;
            case TImageCombineType::icGoogleEarth:
                ExportKmlOverlay();
                break;
            case TImageCombineType::icArcGIS:
                ExportArcGISCache();
                break;
            default:
                CombineToImage();
                break;
        }
    } catch (const std::exception& e) {
        engine::AppendLog(std::string("combine: ") + e.what());
        if (end_.result == CombineResult::Completed) {
            end_.result = CombineResult::Failed;
        }
    }
    if (FCanceled && end_.result == CombineResult::Completed) {
        end_.result = CombineResult::Cancelled;
    }
    if (end_.result == CombineResult::Completed && end_.sought > 0 && end_.found == 0) {
        events_.ShowInfo(NoTilesMessage(end_.tileFolder));
        end_.result = CombineResult::NoTiles;
    }
    events_.ConvertCompleted(end_.log, end_.output, end_.result);
}

TCombineTile::Task TCombineTile::LoadTask(bool forDatabase) {
    Task t;
    t.layer = std::clamp(FProfiles.MapTypeIndex(), 0, engine::kMapTypeCount - 1);
    t.mapType = engine::MapTypeOf(t.layer);
    t.tileType = engine::DefaultImgType(t.mapType);
    t.tileExt = std::string(engine::ImgFileExt(t.tileType));
    t.tileSize = FProfiles.TileSize() > 0 ? FProfiles.TileSize() : 256;
    t.directory = FProfiles.Directory();
    t.tileFolder = std::string(engine::MapTileFolders[t.layer]);
    end_.tileFolder = engine::LayerFolderPath(t.directory, t.tileFolder);
    // The database exports never merged the labels of layer 14.
    const bool labels = engine::HasOverlay(t.mapType) && !FProfiles.NoLabel() &&
                        !(forDatabase && t.mapType == TMapType::mtSosoTerrain);
    if (labels) {
        t.overlayFolder = std::string(engine::MapOverlayFolders[t.layer]);
    }
    t.points = geodata::TBoundary::StrToArray(FProfiles.Coordinates());
    engine::GetLatLngBounds(t.points, t.box);
    // The downloader numbers the tiles of every Baidu layer, the 3D one too, by the Baidu
    // projection.
    t.baiduNumbering = engine::IsBaiduMapType(t.mapType);
    const bool tianditu = t.layer >= engine::Ord(TMapType::mtTDTRoadMap) &&
                          t.layer <= engine::Ord(TMapType::mtTDTTerrain);
    if (t.baiduNumbering) {
        t.grid = TileGrid::Baidu;
    } else if (tianditu && FProfiles.TiandituIndex() > 0) {
        t.grid = TileGrid::Geographic;
    }
    const bool rectangle = geodata::TBoundary::IsRectangle(FProfiles.Coordinates());
    t.clip = !rectangle && !engine::IsBaiduMapType(t.mapType) && !settings_.byRectangle;
    return t;
}

bool TCombineTile::RefuseGrid(const Task& task) {
    if (task.grid != TileGrid::WebMercator) {
        events_.ShowInfo(kExportGridMessage);
        end_.result = CombineResult::Failed;
        return true;
    }
    return false;
}

TCombineTile::Level TCombineTile::LevelOf(const Task& task, int zoom, bool webMercatorOnly) const {
    Level level;
    level.zoom = zoom;
    level.grid = webMercatorOnly ? TileGrid::WebMercator : task.grid;
    if (task.baiduNumbering) {
        level.range = FTileBounds[zoom];
        level.range.Points.clear();
    } else {
        level.range = ClampToGrid(
            ComputeLevelExtent(task.box, zoom, task.tileSize, level.grid).range, zoom, level.grid);
    }
    level.range.zoom = zoom;
    const auto& r = level.range;
    if (r.MaxCol >= r.MinCol && r.MaxRow >= r.MinRow) {
        level.columns = std::int64_t{r.MaxCol} - r.MinCol + 1;
        level.rows = std::int64_t{r.MaxRow} - r.MinRow + 1;
        level.count = level.columns * level.rows;
    }
    if (task.clip && !task.points.empty()) {
        level.mask =
            std::make_unique<AreaMask>(FractionalTileCoordinates(task.points, zoom, level.grid));
    }
    return level;
}

bool TCombineTile::CancelRequested(std::int64_t counter) {
    if (!FCanceled) {
        return false;
    }
    events_.Progress(counter, true);
    end_.result = CombineResult::Cancelled;
    return true;
}

void TCombineTile::StepProgress(std::int64_t& counter, std::int64_t count) {
    if (counter % 10 == 0 || counter == count || counter < 10) {
        events_.Progress(counter, false);
    }
    ++counter;
}

bool TCombineTile::WalkLevel(
    const Level& level, std::int64_t& counter,
    const std::function<void(std::int64_t x, std::int64_t y, bool kept)>& visit) {
    const auto& r = level.range;
    std::vector<char> keep;
    for (std::int64_t y = r.MinRow; y <= r.MaxRow; ++y) {
        try {
            if (level.mask) {
                level.mask->Row(y, r.MinCol, r.MaxCol, keep);
            }
            for (std::int64_t x = r.MinCol; x <= r.MaxCol; ++x) {
                if (CancelRequested(counter)) {
                    return false;
                }
                StepProgress(counter, level.count);
                visit(x, y, !level.mask || keep[static_cast<std::size_t>(x - r.MinCol)]);
            }
        } catch (const std::exception& e) {
            engine::AppendLog(std::string("loop row:") + e.what());
        }
    }
    return true;
}

}  // namespace raster
