#pragma once
// PNG and JPEG decoding and encoding for tiles, in memory and on disk. Pixels are straight
// (not premultiplied) RGBA, four bytes each, rows top to bottom without padding.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace engine {

struct RgbaImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;  // width * height * 4

    RgbaImage() = default;
    RgbaImage(int w, int h) : width(w), height(h), pixels(std::size_t(w) * std::size_t(h) * 4) {}
    bool empty() const { return width <= 0 || height <= 0; }
    std::uint8_t* At(int x, int y) { return &pixels[(std::size_t(y) * width + x) * 4]; }
    const std::uint8_t* At(int x, int y) const { return &pixels[(std::size_t(y) * width + x) * 4]; }
};

enum class ImageFormat { Unknown, Png, Jpeg };

// The largest image the decoders accept (pixels); larger headers are refused before any
// allocation, so a damaged or hostile file cannot exhaust memory.
inline constexpr std::int64_t kMaxDecodedPixels = std::int64_t(1) << 26;

// The largest side of a tile: a tile header claiming more is damaged or hostile.
inline constexpr int kMaxTileSide = 4096;

// By the first bytes: the PNG signature or the JPEG start-of-image marker.
ImageFormat SniffImageFormat(std::string_view bytes);

// How decoding a tile ended.
enum class DecodeStatus {
    Ok,
    NotImage,  // no PNG or JPEG signature
    TooLarge,  // the header claims a side above kMaxTileSide (refused before any buffer is sized)
    Damaged,   // an unreadable header, a broken or cut-off body
};

// A PNG or JPEG tile body, by its signature, into `image` (reused). `reason` gets a short
// English text for any status but Ok. A decode that ended early counts as Damaged.
DecodeStatus DecodeTileImage(std::string_view bytes, RgbaImage& image,
                             std::string* reason = nullptr);

// Whether a warning of the JPEG library means that the picture was not decoded whole: the body,
// or a scan inside it, ended early and the rest of the image is grey.
bool JpegWarningLeavesPartOfImage(std::string_view message);

// Each returns false for bytes that are not a complete image of its kind. `image` is reused:
// decoding many tiles into one object allocates once.
bool DecodePng(std::string_view bytes, RgbaImage& image);
bool DecodeJpeg(std::string_view bytes, RgbaImage& image);
bool DecodeImage(std::string_view bytes, RgbaImage& image);  // PNG or JPEG by signature
std::optional<RgbaImage> DecodeImage(std::string_view bytes);

// Encoders: nothing on failure. JPEG drops the alpha channel; from quality 90 on it keeps
// full-resolution colour (4:4:4), below it halves colour resolution (4:2:0).
std::optional<std::string> EncodePng(const RgbaImage& image);
std::optional<std::string> EncodeJpeg(const RgbaImage& image, int quality);
std::optional<std::string> EncodeImage(const RgbaImage& image, ImageFormat format, int jpegQuality);

std::optional<RgbaImage> ReadImageFile(const std::filesystem::path& file);
bool ReadImageFile(const std::filesystem::path& file, RgbaImage& image);  // reuses `image`
// Encodes and writes atomically (temporary file beside the target, then a rename).
bool WriteImageFile(const std::filesystem::path& file, const RgbaImage& image, ImageFormat format,
                    int jpegQuality, std::string* error = nullptr);

// Bilinear scaling over premultiplied colour, so transparent pixels do not bleed their colour
// into visible ones. The same size gives a copy.
RgbaImage ScaleBilinear(const RgbaImage& source, int width, int height);

// Draws `top` over `bottom` (source-over with straight alpha); both must have the same size.
void DrawOver(RgbaImage& bottom, const RgbaImage& top);

}  // namespace engine
