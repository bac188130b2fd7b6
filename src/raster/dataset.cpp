#include "raster/dataset.h"

#include <cpl_error.h>
#include <cpl_string.h>

#include <array>
#include <utility>
#include <vector>

namespace raster {

Dataset::Dataset(Dataset&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}

Dataset& Dataset::operator=(Dataset&& other) noexcept {
    if (this != &other) {
        Close();
        handle_ = std::exchange(other.handle_, nullptr);
    }
    return *this;
}

int Dataset::Width() const {
    return handle_ != nullptr ? GDALGetRasterXSize(handle_) : 0;
}

int Dataset::Height() const {
    return handle_ != nullptr ? GDALGetRasterYSize(handle_) : 0;
}

int Dataset::BandCount() const {
    return handle_ != nullptr ? GDALGetRasterCount(handle_) : 0;
}

bool Dataset::Close(std::string* error) {
    if (handle_ == nullptr) {
        return true;
    }
    CPLErrorReset();
    GDALFlushCache(handle_);
    GDALClose(std::exchange(handle_, nullptr));
    if (CPLGetLastErrorType() >= CE_Failure) {
        if (error != nullptr) {
            *error = LastGdalError("cannot write the image");
        }
        return false;
    }
    return true;
}

OptionList::~OptionList() {
    CSLDestroy(list_);
}

OptionList::OptionList(OptionList&& other) noexcept : list_(std::exchange(other.list_, nullptr)) {}

OptionList& OptionList::operator=(OptionList&& other) noexcept {
    if (this != &other) {
        CSLDestroy(list_);
        list_ = std::exchange(other.list_, nullptr);
    }
    return *this;
}

OptionList& OptionList::Set(std::string_view name, std::string_view value) {
    list_ = CSLSetNameValue(list_, std::string(name).c_str(), std::string(value).c_str());
    return *this;
}

std::string OptionList::Get(std::string_view name) const {
    const char* value = CSLFetchNameValue(list_, std::string(name).c_str());
    return value != nullptr ? value : "";
}

int OptionList::Count() const {
    return CSLCount(list_);
}

std::string LastGdalError(std::string_view fallback) {
    const char* message = CPLGetLastErrorMsg();
    if (message != nullptr && *message != '\0') {
        return message;
    }
    return std::string(fallback);
}

bool ReadDatasetRgba(GDALDatasetH dataset, engine::RgbaImage& image, std::string* message) {
    const auto fail = [&](std::string text) {
        if (message != nullptr) {
            *message = std::move(text);
        }
        image = engine::RgbaImage();
        return false;
    };
    if (dataset == nullptr) {
        return fail("unreadable image");
    }
    const int width = GDALGetRasterXSize(dataset);
    const int height = GDALGetRasterYSize(dataset);
    const int bands = GDALGetRasterCount(dataset);
    if (width <= 0 || height <= 0 || bands <= 0 || width > engine::kMaxTileSide ||
        height > engine::kMaxTileSide) {
        return fail("unusable image size");
    }
    const std::size_t count = static_cast<std::size_t>(width) * height;
    image.width = width;
    image.height = height;
    image.pixels.assign(count * 4, 255);
    GDALRasterBandH first = GDALGetRasterBand(dataset, 1);
    GDALColorTableH palette = bands < 3 ? GDALGetRasterColorTable(first) : nullptr;
    CPLErr rc = CE_None;
    if (palette != nullptr) {
        std::vector<std::uint8_t> index(count);
        rc = GDALRasterIO(first, GF_Read, 0, 0, width, height, index.data(), width, height,
                          GDT_Byte, 0, 0);
        const int entries = GDALGetColorEntryCount(palette);
        for (std::size_t i = 0; i < count; ++i) {
            std::uint8_t* p = &image.pixels[i * 4];
            if (index[i] < entries) {
                const GDALColorEntry* e = GDALGetColorEntry(palette, index[i]);
                p[0] = static_cast<std::uint8_t>(e->c1);
                p[1] = static_cast<std::uint8_t>(e->c2);
                p[2] = static_cast<std::uint8_t>(e->c3);
                p[3] = static_cast<std::uint8_t>(e->c4);
            }
        }
    } else {
        // One grey band gives red, green and blue alike.
        std::array<int, 3> list =
            bands >= 3 ? std::array<int, 3>{1, 2, 3} : std::array<int, 3>{1, 1, 1};
        rc = GDALDatasetRasterIO(dataset, GF_Read, 0, 0, width, height, image.pixels.data(), width,
                                 height, GDT_Byte, 3, list.data(), 4, 4 * width, 1);
    }
    if (rc != CE_None) {
        return fail(LastGdalError("cannot read the image"));
    }
    return true;
}

}  // namespace raster
