#pragma once
// Decoding of tile files into plain RGB pixels for the stitch: PNG (any colour type; the
// transparency is not looked at) and JPEG (grey, colour), without the raster library's
// per-file open.
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace raster {

// Pixels row by row, three bytes (red, green, blue) a pixel.
struct TileImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;

    bool Empty() const { return width <= 0 || height <= 0; }
};

enum class TileFormat { Unknown, Png, Jpeg };
TileFormat DetectTileFormat(std::string_view bytes);

// One decoder per thread: it keeps the JPEG decompressor between tiles. Sides above
// engine::kMaxTileSide are refused from the header, before any buffer is sized.
class TileDecoder {
  public:
    TileDecoder();
    ~TileDecoder();
    TileDecoder(const TileDecoder&) = delete;
    TileDecoder& operator=(const TileDecoder&) = delete;

    // False with a reason for bodies that are no PNG or do not decode.
    bool DecodePng(std::string_view bytes, TileImage& image, std::string* error = nullptr);
    bool DecodeJpeg(std::string_view bytes, TileImage& image, std::string* error = nullptr);
    // By the body's signature.
    bool Decode(std::string_view bytes, TileImage& image, std::string* error = nullptr);

  private:
    // A failed call may leave the decompressor unusable for later tiles: it is replaced.
    void RenewJpeg();

    void* jpeg_ = nullptr;  // the JPEG library's decompressor handle
};

}  // namespace raster
