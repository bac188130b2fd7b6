#pragma once
// The stitching worker: one background thread that turns a loaded download task into one large
// image per chosen zoom level (BMP, JPEG, PNG or GeoTIFF with its side files) or exports the
// task's tiles (MBTiles, OruxMaps, RMaps, KML ground overlays, ArcGIS exploded cache). It talks
// to the stitch dialog only through ICombineEvents, called on the worker's thread; the dialog
// turns them into queued signals.
#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "engine/core/core_types.h"
#include "engine/tasks/profiles.h"
#include "raster/gdal_tool.h"
#include "raster/georeference.h"

namespace engine {
class TSettings;
}

namespace raster {

// The output kind; its value is the index of the dialog's output-kind list.
enum class TImageCombineType : std::uint8_t {
    icBMP,
    icJPG,
    icPNG,
    icGeoTIF,
    icMBTiles,
    icOruxMaps,
    icRMaps,
    icGoogleEarth,
    icArcGIS,
};

// How a run ended, carried by the end event so that the dialog never reports a cancelled or
// failed run as done. NoTiles: the run looked for tiles and found none of them in the task's
// tile folder (another folder, or tiles stored under other numbers).
enum class CombineResult { Completed, Cancelled, Failed, NoTiles };

class ICombineEvents {
  public:
    virtual ~ICombineEvents() = default;
    // A level starts (`logFile` empty for the exports without a log); also at the start of a
    // conversion, with a count of 100 and no log.
    virtual void Begin(std::int64_t tileCount, const std::filesystem::path& logFile) = 0;
    // The position counter of the level, or the percentage of a conversion; `cancelled` once
    // when the run stops on request.
    virtual void Progress(std::int64_t counter, bool cancelled) = 0;
    // A level's JPEG or PNG conversion starts.
    virtual void ConvertBegin(const std::filesystem::path& logFile) = 0;
    // Once, when the run ends for any reason: the log and the output of the last level started.
    virtual void ConvertCompleted(const std::filesystem::path& logFile,
                                  const std::filesystem::path& output, CombineResult result) = 0;
    // Never sent by the worker; kept so that the dialog's handler set is complete.
    virtual void Completed() {}
    // A message the user must see (an image too large for its format, a refused export); the
    // worker waits until it returns.
    virtual void ShowInfo(const std::string& message) = 0;
};

// The settings the worker reads; the dialog stores them just before it starts a run.
struct CombineSettings {
    std::string compressName = "NONE";  // GeoTIFF: JPEG, LZW, PACKBITS, DEFLATE, NONE
    int imageQuality = 90;              // 1 to 100
    std::uint32_t noDataValue = 0;      // background colour 0x00BBGGRR
    bool byRectangle = true;            // no clipping to the area polygon
    // Stands in for missing tiles of the TianDiTu road map; empty: such tiles count as missing.
    std::filesystem::path tiandituMissingTile;
    int threads = 0;  // tile readers; 0: one per processor
};
// The stored settings, with the stand-in tile installed in the program's data folder.
CombineSettings CombineSettingsFrom(const engine::TSettings& settings);

// Texts shown by the worker.
extern const char* const kJpegTooLargeMessage;
extern const char* const kBmpTooLargeMessage;
extern const char* const kExportGridMessage;
// Shown when a run found none of its tiles in `tileFolder`.
std::string NoTilesMessage(const std::filesystem::path& tileFolder);

class TCombineTile {
  public:
    // `profiles` must outlive the worker; it is only read.
    TCombineTile(const engine::TProfiles& profiles, std::filesystem::path outputDir,
                 std::string outPrefix, engine::TImgType outImageType, ICombineEvents& events);
    // Asks a running worker to stop and waits for its thread.
    ~TCombineTile();
    TCombineTile(const TCombineTile&) = delete;
    TCombineTile& operator=(const TCombineTile&) = delete;

    void SetZoomLevels(const engine::TZoomLevelArray& levels) { FZoomLevels = levels; }
    void SetTileBounds(const engine::TTileBounds& bounds) { FTileBounds = bounds; }
    void SetImageCombineType(TImageCombineType type) { FImageCombineType = type; }
    void SetSettings(CombineSettings settings) { settings_ = std::move(settings); }

    // Runs Execute on the worker's own thread; once per object.
    void Start();
    // Waits until the thread has ended.
    void WaitFor();
    // A request: seen before every tile position, between levels and during a conversion.
    void Cancel() { FCanceled = true; }
    bool Canceled() const { return FCanceled; }

    // The whole run on the calling thread.
    void Execute();

  private:
    struct Level;
    struct Task;

    void CombineToImage();
    void ExportTileDatabase();
    void ExportKmlOverlay();
    void ExportArcGISCache();

    // Also notes the task's tile folder for the end of the run.
    Task LoadTask(bool forDatabase);
    bool RefuseGrid(const Task& task);
    Level LevelOf(const Task& task, int zoom, bool webMercatorOnly) const;
    void AddGroundOverlay(std::string& kml, const std::string& prefix, const std::string& ext,
                          std::int32_t x, std::int32_t y, int z) const;
    bool CancelRequested(std::int64_t counter);
    void StepProgress(std::int64_t& counter, std::int64_t count);
    // Visits the level's positions row by row, west to east, stepping the progress; `kept` is
    // false for a position the area mask leaves out. A row that throws is logged and the walk
    // goes on with the next one. False once a cancellation stopped the walk.
    bool WalkLevel(const Level& level, std::int64_t& counter,
                   const std::function<void(std::int64_t x, std::int64_t y, bool kept)>& visit);

    // What the end event reports: the log and output of the last level started; and how many
    // tile files the run looked for and found, so that a run that found none says so.
    struct EndState {
        std::filesystem::path log;
        std::filesystem::path output;
        CombineResult result = CombineResult::Completed;
        std::filesystem::path tileFolder;
        std::int64_t sought = 0;
        std::int64_t found = 0;
    };
    // One tile file looked for.
    void CountTile(bool found) {
        ++end_.sought;
        end_.found += found ? 1 : 0;
    }

    const engine::TProfiles& FProfiles;
    std::filesystem::path FOutPutDir;
    std::string FOutPrefix;
    engine::TImgType FOutImageType;
    ICombineEvents& events_;
    engine::TZoomLevelArray FZoomLevels{};
    engine::TTileBounds FTileBounds{};
    TImageCombineType FImageCombineType = TImageCombineType::icGeoTIF;
    CombineSettings settings_;
    std::atomic<bool> FCanceled{false};
    TGDALTool FGDALTool;
    EndState end_;
    std::thread thread_;
};

}  // namespace raster
