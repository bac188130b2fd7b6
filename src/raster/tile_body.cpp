#include "raster/tile_body.h"

#include <cpl_error.h>
#include <cpl_vsi.h>
#include <gdal.h>

#include <array>
#include <atomic>
#include <cstring>
#include <vector>

#include "raster/dataset.h"

namespace raster {
namespace {

using engine::DecodeStatus;

DecodeStatus Refuse(std::string* reason, DecodeStatus status, std::string text) {
    if (reason != nullptr) {
        *reason = std::move(text);
    }
    return status;
}

unsigned Byte(std::string_view bytes, std::size_t at) {
    return static_cast<unsigned char>(bytes[at]);
}

unsigned U16(std::string_view bytes, std::size_t at) {
    return Byte(bytes, at) | (Byte(bytes, at + 1) << 8);
}

std::int64_t I32(std::string_view bytes, std::size_t at) {
    const std::uint32_t u = static_cast<std::uint32_t>(U16(bytes, at)) |
                            (static_cast<std::uint32_t>(U16(bytes, at + 2)) << 16);
    return static_cast<std::int32_t>(u);
}

std::optional<DeclaredSize> GifSize(std::string_view b) {
    if (b.size() < 13) {
        return std::nullopt;
    }
    DeclaredSize size{U16(b, 6), U16(b, 8), 0};
    std::size_t at = 13;
    if ((Byte(b, 10) & 0x80) != 0) {
        at += 3u << ((Byte(b, 10) & 7) + 1);
    }
    // Skips data sub-blocks; false when the body ends first.
    auto skipBlocks = [&]() {
        while (at < b.size()) {
            const unsigned length = Byte(b, at++);
            if (length == 0) {
                return true;
            }
            at += length;
        }
        return false;
    };
    // Every image of the body counts: the library's driver reads them all into memory. A body
    // that ends early holds no further images.
    while (at < b.size()) {
        const unsigned marker = Byte(b, at++);
        if (marker == 0x3B) {
            break;
        }
        if (marker == 0x21) {
            ++at;  // extension label
            if (!skipBlocks()) {
                break;
            }
        } else if (marker == 0x2C) {
            if (at + 9 > b.size()) {
                break;
            }
            const std::int64_t width = U16(b, at + 4);
            const std::int64_t height = U16(b, at + 6);
            const unsigned flags = Byte(b, at + 8);
            at += 9;
            size.width = std::max(size.width, width);
            size.height = std::max(size.height, height);
            size.pixels += width * height;
            if ((flags & 0x80) != 0) {
                at += 3u << ((flags & 7) + 1);
            }
            ++at;  // LZW code size
            if (!skipBlocks()) {
                break;
            }
        } else {
            return std::nullopt;
        }
    }
    if (size.pixels == 0) {
        size.pixels = size.width * size.height;
    }
    return size;
}

std::optional<DeclaredSize> BmpSize(std::string_view b) {
    if (b.size() < 26) {
        return std::nullopt;
    }
    const std::int64_t header = I32(b, 14);
    DeclaredSize size;
    if (header == 12) {
        size.width = U16(b, 18);
        size.height = U16(b, 20);
    } else if (header >= 16) {
        size.width = I32(b, 18);
        size.height = I32(b, 22);
        // Rows stored top-down carry a negative height.
        size.height = size.height < 0 ? -size.height : size.height;
    } else {
        return std::nullopt;
    }
    if (size.width <= 0 || size.height <= 0) {
        return std::nullopt;
    }
    size.pixels = size.width * size.height;
    return size;
}

// A name under the library's in-memory file system that no other call uses at the same time.
std::string MemoryFileName(TileBodyKind kind) {
    static std::atomic<std::uint64_t> counter{0};
    return "/vsimem/tile-body-" + std::to_string(counter++) +
           (kind == TileBodyKind::Gif ? ".gif" : ".bmp");
}

// Quiets the library's error printing on this thread while a tile is read.
class QuietErrors {
  public:
    QuietErrors() {
        CPLPushErrorHandler(CPLQuietErrorHandler);
        CPLErrorReset();
    }
    ~QuietErrors() { CPLPopErrorHandler(); }
    QuietErrors(const QuietErrors&) = delete;
    QuietErrors& operator=(const QuietErrors&) = delete;
};

std::string LibraryMessage(const char* fallback) {
    const char* message = CPLGetLastErrorMsg();
    return message != nullptr && *message != '\0' ? message : fallback;
}

DecodeStatus DecodeWithDriver(std::string_view bytes, TileBodyKind kind, engine::RgbaImage& image,
                              std::string* reason) {
    static const bool registered = (GDALAllRegister(), true);
    (void)registered;
    const QuietErrors quiet;
    const std::string name = MemoryFileName(kind);
    // The library only reads the buffer: it does not take ownership (last argument).
    VSILFILE* file = VSIFileFromMemBuffer(name.c_str(),
                                          reinterpret_cast<GByte*>(const_cast<char*>(bytes.data())),
                                          bytes.size(), FALSE);
    if (file == nullptr) {
        return Refuse(reason, DecodeStatus::Damaged, "cannot hold the tile in memory");
    }
    VSIFCloseL(file);
    const char* const gif[] = {"GIF", nullptr};
    const char* const bmp[] = {"BMP", nullptr};
    GDALDatasetH ds = GDALOpenEx(name.c_str(), GDAL_OF_RASTER | GDAL_OF_READONLY,
                                 kind == TileBodyKind::Gif ? gif : bmp, nullptr, nullptr);
    DecodeStatus status = DecodeStatus::Damaged;
    std::string message = "unreadable image";
    if (ds != nullptr) {
        if (ReadDatasetRgba(ds, image, &message)) {
            status = DecodeStatus::Ok;
        }
        GDALClose(ds);
    } else {
        message = LibraryMessage("unreadable image");
    }
    VSIUnlink(name.c_str());
    VSIUnlink((name + ".aux.xml").c_str());
    if (status != DecodeStatus::Ok) {
        return Refuse(reason, status, (kind == TileBodyKind::Gif ? "GIF: " : "BMP: ") + message);
    }
    return status;
}

}  // namespace

TileBodyKind SniffTileBody(std::string_view bytes) {
    switch (engine::SniffImageFormat(bytes)) {
        case engine::ImageFormat::Png:
            return TileBodyKind::Png;
        case engine::ImageFormat::Jpeg:
            return TileBodyKind::Jpeg;
        case engine::ImageFormat::Unknown:
            break;
    }
    if (bytes.size() >= 6 && (bytes.substr(0, 6) == "GIF87a" || bytes.substr(0, 6) == "GIF89a")) {
        return TileBodyKind::Gif;
    }
    if (bytes.size() >= 2 && bytes.substr(0, 2) == "BM") {
        return TileBodyKind::Bmp;
    }
    return TileBodyKind::Unknown;
}

std::optional<DeclaredSize> DeclaredGifBmpSize(std::string_view bytes) {
    switch (SniffTileBody(bytes)) {
        case TileBodyKind::Gif:
            return GifSize(bytes);
        case TileBodyKind::Bmp:
            return BmpSize(bytes);
        default:
            return std::nullopt;
    }
}

engine::DecodeStatus DecodeTileBody(std::string_view bytes, engine::RgbaImage& image,
                                    std::string* reason) {
    const TileBodyKind kind = SniffTileBody(bytes);
    if (kind == TileBodyKind::Png || kind == TileBodyKind::Jpeg) {
        return engine::DecodeTileImage(bytes, image, reason);
    }
    if (kind == TileBodyKind::Unknown) {
        return Refuse(reason, DecodeStatus::NotImage, "no PNG, JPEG, GIF or BMP image");
    }
    const std::optional<DeclaredSize> size = DeclaredGifBmpSize(bytes);
    if (!size) {
        return Refuse(reason, DecodeStatus::Damaged,
                      kind == TileBodyKind::Gif ? "GIF: damaged header" : "BMP: damaged header");
    }
    constexpr std::int64_t kSide = engine::kMaxTileSide;
    if (size->width > kSide || size->height > kSide || size->pixels > kSide * kSide) {
        return Refuse(reason, DecodeStatus::TooLarge,
                      std::string(kind == TileBodyKind::Gif ? "GIF" : "BMP") + ": declared size " +
                          std::to_string(size->width) + "x" + std::to_string(size->height));
    }
    return DecodeWithDriver(bytes, kind, image, reason);
}

}  // namespace raster
