#pragma once
// Tile bodies of every kind a tile can have (PNG, JPEG, GIF, BMP) decoded into RGBA pixels for
// the stitch. A tile comes from a web server no one here controls, so nothing else is opened:
// GIF and BMP go to the raster library's drivers of those two formats alone, from memory, and
// only after their headers show a size a tile can have.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "engine/image/image_codec.h"

namespace raster {

enum class TileBodyKind { Unknown, Png, Jpeg, Gif, Bmp };
TileBodyKind SniffTileBody(std::string_view bytes);

struct DeclaredSize {
    std::int64_t width = 0;
    std::int64_t height = 0;
    std::int64_t pixels = 0;  // summed over every image a GIF holds
};
// What a GIF's or BMP's header declares, found without decoding anything; nothing when the
// header is cut short, damaged or of another kind.
std::optional<DeclaredSize> DeclaredGifBmpSize(std::string_view bytes);

// Any tile body into `image` (reused). Sides above engine::kMaxTileSide are refused before any
// buffer is sized; `reason` gets a short text for any status but Ok.
engine::DecodeStatus DecodeTileBody(std::string_view bytes, engine::RgbaImage& image,
                                    std::string* reason = nullptr);

}  // namespace raster
