#pragma once
// Small tile files made with the raster library, pixel reads and gdalinfo, for the raster tests.
#include <gdal.h>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "support/child_process.h"
#include "support/temp_dir.h"

namespace raster::test {

using Rgb = std::array<int, 3>;
using PixelFn = std::function<std::vector<int>(int x, int y)>;  // one value per band

// A tile file of the driver's format ("PNG", "JPEG", "GTiff") with `bands` bands whose values
// come from `pixel`; `palette` (index to colour) makes a one-band paletted image.
inline void MakeImage(const std::filesystem::path& file, const std::string& driver, int width,
                      int height, int bands, const PixelFn& pixel,
                      const std::vector<Rgb>& palette = {}) {
    GDALAllRegister();
    std::filesystem::create_directories(file.parent_path());
    GDALDatasetH mem =
        GDALCreate(GDALGetDriverByName("MEM"), "", width, height, bands, GDT_Byte, nullptr);
    ASSERT_NE(mem, nullptr);
    std::vector<std::uint8_t> plane(static_cast<std::size_t>(width) * height);
    for (int b = 0; b < bands; ++b) {
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                plane[y * width + x] = static_cast<std::uint8_t>(pixel(x, y)[b]);
            }
        }
        ASSERT_EQ(GDALRasterIO(GDALGetRasterBand(mem, b + 1), GF_Write, 0, 0, width, height,
                               plane.data(), width, height, GDT_Byte, 0, 0),
                  CE_None);
    }
    if (!palette.empty()) {
        GDALColorTableH table = GDALCreateColorTable(GPI_RGB);
        for (std::size_t i = 0; i < palette.size(); ++i) {
            GDALColorEntry e{static_cast<short>(palette[i][0]), static_cast<short>(palette[i][1]),
                             static_cast<short>(palette[i][2]), 255};
            GDALSetColorEntry(table, static_cast<int>(i), &e);
        }
        GDALSetRasterColorTable(GDALGetRasterBand(mem, 1), table);
        GDALDestroyColorTable(table);
    }
    if (bands == 4) {
        GDALSetRasterColorInterpretation(GDALGetRasterBand(mem, 4), GCI_AlphaBand);
    }
    GDALDatasetH out = GDALCreateCopy(GDALGetDriverByName(driver.c_str()), file.c_str(), mem, FALSE,
                                      nullptr, nullptr, nullptr);
    ASSERT_NE(out, nullptr) << CPLGetLastErrorMsg();
    GDALClose(out);
    GDALClose(mem);
    std::filesystem::path aux = file;
    aux += ".aux.xml";
    std::filesystem::remove(aux);
}

// A distinct colour for every pixel of a 256-pixel tile, so that misplaced pixels show.
inline std::vector<int> Pattern(int x, int y) {
    return {x, y, (x + y) % 256};
}

// Bands 1 to 3 at one pixel of an image file.
inline Rgb ReadPixel(const std::filesystem::path& file, int x, int y) {
    GDALAllRegister();
    Rgb rgb{-1, -1, -1};
    GDALDatasetH ds = GDALOpen(file.c_str(), GA_ReadOnly);
    if (ds == nullptr) {
        ADD_FAILURE() << "cannot open " << file;
        return rgb;
    }
    for (int b = 0; b < 3 && b < GDALGetRasterCount(ds); ++b) {
        std::uint8_t value = 0;
        if (GDALRasterIO(GDALGetRasterBand(ds, b + 1), GF_Read, x, y, 1, 1, &value, 1, 1, GDT_Byte,
                         0, 0) == CE_None) {
            rgb[b] = value;
        }
    }
    GDALClose(ds);
    return rgb;
}

inline nlohmann::json GdalInfo(const std::filesystem::path& file) {
    const auto result = testsupport::RunChild({"gdalinfo", "-json", file.string()});
    EXPECT_EQ(result.exitCode, 0) << "gdalinfo (package gdal-bin) is needed: " << result.errors;
    if (result.exitCode != 0) {
        return nlohmann::json::object();
    }
    return nlohmann::json::parse(result.output);
}

// Names of the files in a folder, sorted.
inline std::vector<std::string> FilesIn(const std::filesystem::path& dir) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace raster::test
