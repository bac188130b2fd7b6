#pragma once
// The big raster of one stitched zoom level. It is built under a unique temporary name in the
// output folder, flushed to the disk and renamed into place only when complete, so a
// cancelled, failed or killed level never leaves a partial image under the final name (and
// the next stitch to that name removes what a killed one left beside it):
// - GeoTIFF: tiled with the tile size as block size (each map tile fills one block, written
//   once), compressed on all processors, BigTIFF when needed;
// - BMP: written directly by its driver;
// - JPEG and PNG: their drivers cannot be written tile by tile, so the tiles go into an
//   uncompressed temporary GeoTIFF that is converted in one pass when the level is finished.
#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "engine/core/atomic_file.h"
#include "engine/core/core_types.h"
#include "raster/dataset.h"
#include "raster/gdal_tool.h"

namespace raster {

// The JPEG format's largest width and height.
constexpr int kMaxJpegSide = 65535;

// The projection stored in GeoTIFF output: EPSG:3857 as the system has always written it.
extern const std::string_view kPseudoMercatorWkt;
// The projection of images stitched on the equirectangular (geographic) tile grid: EPSG:4326.
extern const std::string_view kGeographicWkt;

struct OutputImageSettings {
    engine::TImgType type = engine::TImgType::itTIFF;  // itBMP, itJPG, itPNG or itTIFF
    int width = 0;
    int height = 0;
    int tileSize = 256;
    std::string compressName = "NONE";  // GeoTIFF: JPEG, LZW, PACKBITS, DEFLATE or NONE
    int imageQuality = 90;              // 1 to 100
    std::uint32_t background = 0;       // 0x00BBGGRR, for positions without a tile
    std::string projection;             // GeoTIFF; empty: kPseudoMercatorWkt
};

// Creation options of GeoTIFF output: tiling, then the compression and its settings in the
// order COMPRESS, PREDICTOR or INTERLEAVE, JPEG_QUALITY or ZLEVEL, BIGTIFF, NUM_THREADS.
OptionList GeoTiffCreationOptions(std::string_view compressName, int imageQuality, int tileSize);
// The uncompressed temporary GeoTIFF behind JPEG and PNG output.
OptionList TemporaryGeoTiffOptions(int tileSize);
// Options of the final JPEG ("QUALITY") or PNG ("ZLEVEL") copy.
OptionList ConversionOptions(engine::TImgType type, int imageQuality);

class OutputImage {
  public:
    // Creates the raster (three byte bands) for `image`; null with `error` set on failure.
    static std::unique_ptr<OutputImage> Create(TGDALTool& tool, const std::filesystem::path& image,
                                               const OutputImageSettings& settings,
                                               std::string* error = nullptr);
    // Without Finish, the temporary files are removed and no image appears.
    ~OutputImage();
    OutputImage(const OutputImage&) = delete;
    OutputImage& operator=(const OutputImage&) = delete;

    const std::filesystem::path& image() const { return image_; }
    // The file being written now (a temporary name beside the image).
    const std::filesystem::path& rasterFile() const { return raster_->path(); }
    Dataset& dataset() { return dataset_; }

    // The tile file at tile column and row of the image (offsets in tiles).
    bool WriteTile(const std::filesystem::path& tileFile, int column, int row);
    // The background colour at a tile position without a tile.
    bool FillTile(int column, int row);

    // Completes the image: GeoTIFF gets the geotransform and the projection; JPEG and PNG are
    // converted with `progress` (false from it cancels); then the file is renamed into place.
    // The caller writes the side files afterwards, once the image is closed.
    bool Finish(const std::array<double, 6>& geoTransform, const ProgressFn& progress = {},
                std::string* error = nullptr);
    // Closes and removes everything written so far (cancellation).
    void Abandon();

  private:
    // Only Create makes one; the key keeps the constructor usable by std::make_unique.
    struct Key {};

  public:
    OutputImage(Key, TGDALTool& tool, std::filesystem::path image, OutputImageSettings settings);

  private:
    void RemoveTemporaries();

    TGDALTool& tool_;
    std::filesystem::path image_;
    OutputImageSettings settings_;
    std::unique_ptr<engine::PendingFile> raster_;
    std::unique_ptr<engine::PendingFile> copy_;  // the JPEG or PNG converted from raster_
    Dataset dataset_;
    bool done_ = false;
};

}  // namespace raster
