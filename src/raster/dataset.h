#pragma once
// Owners for the raster library's handles: an open dataset (flushed and closed once, on Close or
// at scope exit) and a name=value option list.
#include <gdal.h>

#include <string>
#include <string_view>

#include "engine/image/image_codec.h"

namespace raster {

class Dataset {
  public:
    Dataset() = default;
    explicit Dataset(GDALDatasetH handle) : handle_(handle) {}
    ~Dataset() { Close(); }
    Dataset(Dataset&& other) noexcept;
    Dataset& operator=(Dataset&& other) noexcept;
    Dataset(const Dataset&) = delete;
    Dataset& operator=(const Dataset&) = delete;

    GDALDatasetH get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }
    int Width() const;
    int Height() const;
    int BandCount() const;

    // Flushes the cached blocks and closes; nothing happens without a dataset. False (with the
    // library's message) when the library reported an error while writing the last blocks.
    bool Close(std::string* error = nullptr);

  private:
    GDALDatasetH handle_ = nullptr;
};

class OptionList {
  public:
    OptionList() = default;
    ~OptionList();
    OptionList(OptionList&& other) noexcept;
    OptionList& operator=(OptionList&& other) noexcept;
    OptionList(const OptionList&) = delete;
    OptionList& operator=(const OptionList&) = delete;

    // Adds the pair, or replaces the value of a name already in the list.
    OptionList& Set(std::string_view name, std::string_view value);
    // "" when the name is not in the list.
    std::string Get(std::string_view name) const;
    int Count() const;
    bool Empty() const { return Count() == 0; }
    // The library's null-terminated list (null when empty).
    char** get() const { return list_; }

  private:
    char** list_ = nullptr;
};

// The message of the library's last error on this thread, or `fallback` when it gave none.
std::string LastGdalError(std::string_view fallback);

// The one way the raster library reads a small image (a tile) into straight RGBA: three bands
// or more give red, green, blue; one grey band gives all three; a palette gives its colours and
// alpha; alpha is opaque otherwise. Sides above engine::kMaxTileSide are refused before any
// buffer is sized. False with `message` set when the image cannot be read.
bool ReadDatasetRgba(GDALDatasetH dataset, engine::RgbaImage& image, std::string* message);

}  // namespace raster
