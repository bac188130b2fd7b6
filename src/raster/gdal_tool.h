#pragma once
// The stitch's thin layer over the raster library: drivers by image type, creating, copying and
// opening datasets, and writing one tile's pixels into a big raster at its tile offset with a
// single call. Not shared between threads (each tool keeps its own pixel buffer).
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "engine/core/core_types.h"
#include "engine/image/image_codec.h"
#include "raster/dataset.h"

namespace raster {

// Called with the completed fraction (0 to 1); returning false stops the operation.
using ProgressFn = std::function<bool(double fraction)>;
// Receives one log line such as "WriteImage:<reason>".
using LogFn = std::function<void(const std::string& line)>;

class TGDALTool {
  public:
    // Registers the drivers.
    TGDALTool();

    // Registers every driver; safe to call again.
    static void AllRegister();
    // The library's block cache for the whole process, in bytes (set before a stitch starts).
    static void SetCacheMax(std::int64_t bytes);
    // The driver of an image type ("BMP", "JPEG", "PNG", "GTiff"); null when unknown.
    static GDALDriverH GetDriverByName(engine::TImgType type);

    // Byte bands; an invalid dataset (and `error` set) when the library refuses.
    Dataset CreateImage(GDALDriverH driver, const std::filesystem::path& file, int width,
                        int height, int bandCount, const OptionList& options,
                        std::string* error = nullptr);
    // Copies `source` into a new file of the driver's format, reporting progress.
    Dataset CreateCopy(GDALDriverH driver, const std::filesystem::path& file, const Dataset& source,
                       const OptionList& options, const ProgressFn& progress = {},
                       std::string* error = nullptr);
    Dataset Open(const std::filesystem::path& file);

    // Where the write operations report a tile that cannot be read or decoded.
    void SetLog(LogFn log) { log_ = std::move(log); }

    // A PNG tile file written at tile offsets (offsetX, offsetY): pixel offsets are the
    // offsets times the tile image's width and height.
    bool WriteImage(const std::filesystem::path& pngFile, Dataset& destination, int offsetX,
                    int offsetY);
    // A JPEG tile file (grey or colour) written the same way.
    bool WriteJPEGImage(const std::filesystem::path& jpegFile, Dataset& destination, int offsetX,
                        int offsetY);
    // The first three bands of an open tile dataset (one grey band, or a palette, gives all
    // three), written the same way; `source` is closed.
    bool WriteImage(Dataset source, Dataset& destination, int offsetX, int offsetY);
    // A PNG, JPEG, GIF or BMP tile file, by its signature; anything else is refused (never
    // opened by the library's other drivers), as is a side above engine::kMaxTileSide.
    bool WriteTileFile(const std::filesystem::path& tileFile, Dataset& destination, int offsetX,
                       int offsetY);

    // Decoded pixels (their red, green and blue) at pixel position (x, y) of bands 1 to 3.
    static bool WritePixels(Dataset& destination, const engine::RgbaImage& image, int x, int y);
    // A rectangle of one colour (0x00BBGGRR: red is the low byte) into bands 1 to 3.
    static bool FillRect(Dataset& destination, int x, int y, int width, int height,
                         std::uint32_t colour);

  private:
    bool Fail(std::string_view reason);

    bool WriteBody(const std::filesystem::path& file, engine::ImageFormat format,
                   Dataset& destination, int offsetX, int offsetY);

    engine::RgbaImage image_;  // reused between tiles
    LogFn log_;
};

}  // namespace raster
