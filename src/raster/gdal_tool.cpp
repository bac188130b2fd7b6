#include "raster/gdal_tool.h"

#include <cpl_error.h>

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

bool TGDALTool::WritePixels(Dataset& destination, const TileImage& image, int x, int y) {
    if (!destination || image.Empty() || destination.BandCount() < 3) {
        return false;
    }
    // Interleaved buffer: pixel spacing 3, line spacing 3 x width, band spacing 1.
    std::array<int, 3> bands{1, 2, 3};
    return GDALDatasetRasterIO(destination.get(), GF_Write, x, y, image.width, image.height,
                               const_cast<std::uint8_t*>(image.rgb.data()), image.width,
                               image.height, GDT_Byte, 3, bands.data(), 3, 3 * image.width,
                               1) == CE_None;
}

bool TGDALTool::FillRect(Dataset& destination, int x, int y, int width, int height,
                         std::uint32_t colour) {
    if (!destination || width <= 0 || height <= 0 || destination.BandCount() < 3) {
        return false;
    }
    TileImage block;
    block.width = width;
    block.height = height;
    block.rgb.resize(static_cast<std::size_t>(width) * height * 3);
    const std::uint8_t rgb[3] = {static_cast<std::uint8_t>(colour & 0xFF),
                                 static_cast<std::uint8_t>((colour >> 8) & 0xFF),
                                 static_cast<std::uint8_t>((colour >> 16) & 0xFF)};
    for (std::size_t i = 0; i < block.rgb.size(); i += 3) {
        block.rgb[i] = rgb[0];
        block.rgb[i + 1] = rgb[1];
        block.rgb[i + 2] = rgb[2];
    }
    return WritePixels(destination, block, x, y);
}

bool TGDALTool::WriteImage(const std::filesystem::path& pngFile, Dataset& destination, int offsetX,
                           int offsetY) {
    std::string bytes;
    std::string error;
    if (!ReadFile(pngFile, bytes)) {
        return Fail("cannot read " + pngFile.string());
    }
    if (!decoder_.DecodePng(bytes, image_, &error)) {
        return Fail(error + " " + pngFile.string());
    }
    return WritePixels(destination, image_, offsetX * image_.width, offsetY * image_.height);
}

bool TGDALTool::WriteJPEGImage(const std::filesystem::path& jpegFile, Dataset& destination,
                               int offsetX, int offsetY) {
    std::string bytes;
    std::string error;
    if (!ReadFile(jpegFile, bytes)) {
        return Fail("cannot read " + jpegFile.string());
    }
    if (!decoder_.DecodeJpeg(bytes, image_, &error)) {
        return Fail(error + " " + jpegFile.string());
    }
    return WritePixels(destination, image_, offsetX * image_.width, offsetY * image_.height);
}

bool TGDALTool::WriteImage(Dataset source, Dataset& destination, int offsetX, int offsetY) {
    if (!source) {
        return false;
    }
    const int width = source.Width();
    const int height = source.Height();
    const int count = source.BandCount();
    if (width <= 0 || height <= 0 || count <= 0) {
        return Fail("the tile has no pixels");
    }
    if (width > engine::kMaxTileSide || height > engine::kMaxTileSide) {
        return Fail("unusable image size");  // no tile: refused before any buffer is sized
    }
    image_.width = width;
    image_.height = height;
    image_.rgb.assign(static_cast<std::size_t>(width) * height * 3, 0);
    GDALRasterBandH first = GDALGetRasterBand(source.get(), 1);
    GDALColorTableH palette = count < 3 ? GDALGetRasterColorTable(first) : nullptr;
    CPLErr rc = CE_None;
    if (palette != nullptr) {
        std::vector<std::uint8_t> index(static_cast<std::size_t>(width) * height);
        rc = GDALRasterIO(first, GF_Read, 0, 0, width, height, index.data(), width, height,
                          GDT_Byte, 0, 0);
        const int entries = GDALGetColorEntryCount(palette);
        for (std::size_t i = 0; i < index.size(); ++i) {
            if (index[i] < entries) {
                const GDALColorEntry* e = GDALGetColorEntry(palette, index[i]);
                image_.rgb[i * 3] = static_cast<std::uint8_t>(e->c1);
                image_.rgb[i * 3 + 1] = static_cast<std::uint8_t>(e->c2);
                image_.rgb[i * 3 + 2] = static_cast<std::uint8_t>(e->c3);
            }
        }
    } else {
        // A grey tile (with or without alpha) gives its one band to red, green and blue.
        std::array<int, 3> bands =
            count >= 3 ? std::array<int, 3>{1, 2, 3} : std::array<int, 3>{1, 1, 1};
        rc = GDALDatasetRasterIO(source.get(), GF_Read, 0, 0, width, height, image_.rgb.data(),
                                 width, height, GDT_Byte, 3, bands.data(), 3, 3 * width, 1);
    }
    source.Close();
    if (rc != CE_None) {
        return Fail(LastGdalError("cannot read the tile"));
    }
    return WritePixels(destination, image_, offsetX * width, offsetY * height);
}

bool TGDALTool::WriteTileFile(const std::filesystem::path& tileFile, Dataset& destination,
                              int offsetX, int offsetY) {
    std::string bytes;
    if (!ReadFile(tileFile, bytes)) {
        return Fail("cannot read " + tileFile.string());
    }
    std::string error;
    const TileBodyKind kind = SniffTileBody(bytes);
    if (kind == TileBodyKind::Png || kind == TileBodyKind::Jpeg) {
        if (!decoder_.Decode(bytes, image_, &error)) {
            return Fail(error + " " + tileFile.string());
        }
        return WritePixels(destination, image_, offsetX * image_.width, offsetY * image_.height);
    }
    // Nothing but the formats a tile can have: a raster description among the tiles must not
    // make the library read other files into the image.
    engine::RgbaImage rgba;
    if (DecodeTileBody(bytes, rgba, &error) != engine::DecodeStatus::Ok) {
        return Fail(error + " " + tileFile.string());
    }
    image_.width = rgba.width;
    image_.height = rgba.height;
    image_.rgb.resize(rgba.pixels.size() / 4 * 3);
    for (std::size_t i = 0, o = 0; i < rgba.pixels.size(); i += 4, o += 3) {
        image_.rgb[o] = rgba.pixels[i];
        image_.rgb[o + 1] = rgba.pixels[i + 1];
        image_.rgb[o + 2] = rgba.pixels[i + 2];
    }
    return WritePixels(destination, image_, offsetX * image_.width, offsetY * image_.height);
}

}  // namespace raster
