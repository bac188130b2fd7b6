#include "raster/gdal_tool.h"

#include <cpl_error.h>

#include <algorithm>
#include <array>
#include <vector>

#include "engine/core/atomic_file.h"
#include "engine/core/catalogue.h"
#include "raster/tile_body.h"

namespace raster {
namespace {

int CPL_STDCALL ProgressTrampoline(double complete, const char* /*message*/, void* arg) {
    const auto& progress = *static_cast<const ProgressFn*>(arg);
    return progress(complete) ? TRUE : FALSE;
}

bool ReadFile(const std::filesystem::path& file, std::string& bytes) {
    std::error_code ec;
    return std::filesystem::is_regular_file(file, ec) && engine::ReadFileBytes(file, bytes);
}

}  // namespace

TGDALTool::TGDALTool() {
    AllRegister();
}

void TGDALTool::AllRegister() {
    GDALAllRegister();
}

void TGDALTool::SetCacheMax(std::int64_t bytes) {
    GDALSetCacheMax64(bytes);
}

GDALDriverH TGDALTool::GetDriverByName(engine::TImgType type) {
    const auto index = static_cast<std::size_t>(type);
    if (index >= engine::ImgGdalDrivers.size() || engine::ImgGdalDrivers[index].empty()) {
        return nullptr;
    }
    return GDALGetDriverByName(std::string(engine::ImgGdalDrivers[index]).c_str());
}

Dataset TGDALTool::CreateImage(GDALDriverH driver, const std::filesystem::path& file, int width,
                               int height, int bandCount, const OptionList& options,
                               std::string* error) {
    CPLErrorReset();
    Dataset ds(driver != nullptr ? GDALCreate(driver, file.c_str(), width, height, bandCount,
                                              GDT_Byte, options.get())
                                 : nullptr);
    if (!ds && error != nullptr) {
        *error = LastGdalError(driver == nullptr ? "no driver" : "cannot create the image");
    }
    return ds;
}

Dataset TGDALTool::CreateCopy(GDALDriverH driver, const std::filesystem::path& file,
                              const Dataset& source, const OptionList& options,
                              const ProgressFn& progress, std::string* error) {
    CPLErrorReset();
    GDALDatasetH copy = nullptr;
    if (driver != nullptr && source) {
        copy = progress ? GDALCreateCopy(driver, file.c_str(), source.get(), FALSE, options.get(),
                                         ProgressTrampoline, const_cast<ProgressFn*>(&progress))
                        : GDALCreateCopy(driver, file.c_str(), source.get(), FALSE, options.get(),
                                         nullptr, nullptr);
    }
    if (copy == nullptr && error != nullptr) {
        *error = LastGdalError(driver == nullptr ? "no driver" : "cannot copy the image");
    }
    return Dataset(copy);
}

Dataset TGDALTool::Open(const std::filesystem::path& file) {
    return Dataset(GDALOpen(file.c_str(), GA_ReadOnly));
}

bool TGDALTool::Fail(std::string_view reason) {
    if (log_) {
        log_("WriteImage:" + std::string(reason));
    }
    return false;
}

bool TGDALTool::WritePixels(Dataset& destination, const engine::RgbaImage& image, int x, int y) {
    if (!destination || image.empty() || destination.BandCount() < 3) {
        return false;
    }
    // Interleaved RGBA: pixel spacing 4, line spacing 4 x width, band spacing 1; alpha unread.
    std::array<int, 3> bands{1, 2, 3};
    return GDALDatasetRasterIO(destination.get(), GF_Write, x, y, image.width, image.height,
                               const_cast<std::uint8_t*>(image.pixels.data()), image.width,
                               image.height, GDT_Byte, 3, bands.data(), 4, 4 * image.width,
                               1) == CE_None;
}

bool TGDALTool::FillRect(Dataset& destination, int x, int y, int width, int height,
                         std::uint32_t colour) {
    if (!destination || width <= 0 || height <= 0 || destination.BandCount() < 3) {
        return false;
    }
    engine::RgbaImage block(width, height);
    const std::uint8_t rgba[4] = {static_cast<std::uint8_t>(colour & 0xFF),
                                  static_cast<std::uint8_t>((colour >> 8) & 0xFF),
                                  static_cast<std::uint8_t>((colour >> 16) & 0xFF), 255};
    for (std::size_t i = 0; i < block.pixels.size(); i += 4) {
        std::copy(rgba, rgba + 4, &block.pixels[i]);
    }
    return WritePixels(destination, block, x, y);
}

bool TGDALTool::WriteBody(const std::filesystem::path& file, engine::ImageFormat format,
                          Dataset& destination, int offsetX, int offsetY) {
    std::string bytes;
    if (!ReadFile(file, bytes)) {
        return Fail("cannot read " + file.string());
    }
    std::string error;
    if (engine::SniffImageFormat(bytes) != format) {
        return Fail(std::string(format == engine::ImageFormat::Png ? "PNG" : "JPEG") +
                    ": not an image of this kind " + file.string());
    }
    if (engine::DecodeTileImage(bytes, image_, &error) != engine::DecodeStatus::Ok) {
        return Fail(error + " " + file.string());
    }
    return WritePixels(destination, image_, offsetX * image_.width, offsetY * image_.height);
}

bool TGDALTool::WriteImage(const std::filesystem::path& pngFile, Dataset& destination, int offsetX,
                           int offsetY) {
    return WriteBody(pngFile, engine::ImageFormat::Png, destination, offsetX, offsetY);
}

bool TGDALTool::WriteJPEGImage(const std::filesystem::path& jpegFile, Dataset& destination,
                               int offsetX, int offsetY) {
    return WriteBody(jpegFile, engine::ImageFormat::Jpeg, destination, offsetX, offsetY);
}

bool TGDALTool::WriteImage(Dataset source, Dataset& destination, int offsetX, int offsetY) {
    if (!source) {
        return false;
    }
    if (source.Width() <= 0 || source.Height() <= 0 || source.BandCount() <= 0) {
        return Fail("the tile has no pixels");
    }
    std::string error;
    const bool read = ReadDatasetRgba(source.get(), image_, &error);
    source.Close();
    if (!read) {
        return Fail(error);
    }
    return WritePixels(destination, image_, offsetX * image_.width, offsetY * image_.height);
}

bool TGDALTool::WriteTileFile(const std::filesystem::path& tileFile, Dataset& destination,
                              int offsetX, int offsetY) {
    std::string bytes;
    if (!ReadFile(tileFile, bytes)) {
        return Fail("cannot read " + tileFile.string());
    }
    // Nothing but the formats a tile can have: a raster description among the tiles must not
    // make the library read other files into the image.
    std::string error;
    if (DecodeTileBody(bytes, image_, &error) != engine::DecodeStatus::Ok) {
        return Fail(error + " " + tileFile.string());
    }
    return WritePixels(destination, image_, offsetX * image_.width, offsetY * image_.height);
}

}  // namespace raster
