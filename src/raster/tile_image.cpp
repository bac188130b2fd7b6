#include "raster/tile_image.h"

#include <png.h>
#include <turbojpeg.h>

#include <cstring>

#include "engine/image/image_codec.h"

namespace raster {
namespace {

void SetError(std::string* error, std::string text) {
    if (error != nullptr) {
        *error = std::move(text);
    }
}

// Tiles are small; anything beyond this is a damaged or hostile header, not a tile.
constexpr int kMaxTileSide = engine::kMaxTileSide;

}  // namespace

TileFormat DetectTileFormat(std::string_view bytes) {
    if (bytes.size() >= 2) {
        const auto b0 = static_cast<unsigned char>(bytes[0]);
        const auto b1 = static_cast<unsigned char>(bytes[1]);
        if (b0 == 0x89 && b1 == 0x50) {
            return TileFormat::Png;
        }
        if (b0 == 0xFF && b1 == 0xD8) {
            return TileFormat::Jpeg;
        }
    }
    return TileFormat::Unknown;
}

TileDecoder::TileDecoder() : jpeg_(tjInitDecompress()) {}

TileDecoder::~TileDecoder() {
    if (jpeg_ != nullptr) {
        tjDestroy(jpeg_);
    }
}

void TileDecoder::RenewJpeg() {
    if (jpeg_ != nullptr) {
        tjDestroy(jpeg_);
    }
    jpeg_ = tjInitDecompress();
}

bool TileDecoder::DecodePng(std::string_view bytes, TileImage& image, std::string* error) {
    png_image png;
    std::memset(&png, 0, sizeof png);
    png.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_memory(&png, bytes.data(), bytes.size()) == 0) {
        SetError(error, std::string("PNG: ") + png.message);
        png_image_free(&png);
        return false;
    }
    if (png.width == 0 || png.height == 0 || png.width > kMaxTileSide ||
        png.height > kMaxTileSide) {
        SetError(error, "PNG: unusable image size");
        png_image_free(&png);
        return false;
    }
    // Read with alpha and drop it: the colour of a transparent pixel stays what the file holds
    // instead of being blended onto a background.
    png.format = PNG_FORMAT_RGBA;
    std::vector<std::uint8_t> rgba(PNG_IMAGE_SIZE(png));
    if (png_image_finish_read(&png, nullptr, rgba.data(), 0, nullptr) == 0) {
        SetError(error, std::string("PNG: ") + png.message);
        png_image_free(&png);
        return false;
    }
    image.width = static_cast<int>(png.width);
    image.height = static_cast<int>(png.height);
    const std::size_t pixels = static_cast<std::size_t>(image.width) * image.height;
    image.rgb.resize(pixels * 3);
    for (std::size_t i = 0; i < pixels; ++i) {
        image.rgb[i * 3] = rgba[i * 4];
        image.rgb[i * 3 + 1] = rgba[i * 4 + 1];
        image.rgb[i * 3 + 2] = rgba[i * 4 + 2];
    }
    png_image_free(&png);
    return true;
}

bool TileDecoder::DecodeJpeg(std::string_view bytes, TileImage& image, std::string* error) {
    if (jpeg_ == nullptr) {
        RenewJpeg();
    }
    if (jpeg_ == nullptr) {
        SetError(error, "JPEG: no decompressor");
        return false;
    }
    auto* data = reinterpret_cast<unsigned char*>(const_cast<char*>(bytes.data()));
    const auto size = static_cast<unsigned long>(bytes.size());
    int width = 0;
    int height = 0;
    int subsampling = 0;
    int colorspace = 0;
    if (tjDecompressHeader3(jpeg_, data, size, &width, &height, &subsampling, &colorspace) != 0) {
        SetError(error, std::string("JPEG: ") + tjGetErrorStr2(jpeg_));
        RenewJpeg();
        return false;
    }
    if (width <= 0 || height <= 0 || width > kMaxTileSide || height > kMaxTileSide) {
        SetError(error, "JPEG: unusable image size");
        return false;
    }
    image.rgb.resize(static_cast<std::size_t>(width) * height * 3);
    // Grey images come out with equal red, green and blue. Minor flaws the library only warns
    // about still give the whole picture; a body or a scan that ends early does not.
    if (tjDecompress2(jpeg_, data, size, image.rgb.data(), width, 0, height, TJPF_RGB, 0) != 0) {
        const std::string message = tjGetErrorStr2(jpeg_);
        if (tjGetErrorCode(jpeg_) == TJERR_FATAL || engine::JpegWarningLeavesPartOfImage(message)) {
            SetError(error, "JPEG: " + message);
            RenewJpeg();
            image = TileImage{};
            return false;
        }
    }
    image.width = width;
    image.height = height;
    return true;
}

bool TileDecoder::Decode(std::string_view bytes, TileImage& image, std::string* error) {
    switch (DetectTileFormat(bytes)) {
        case TileFormat::Png:
            return DecodePng(bytes, image, error);
        case TileFormat::Jpeg:
            return DecodeJpeg(bytes, image, error);
        case TileFormat::Unknown:
            break;
    }
    SetError(error, "no PNG or JPEG image");
    return false;
}

}  // namespace raster
