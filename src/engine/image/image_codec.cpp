#include "engine/image/image_codec.h"

#include <png.h>
#include <turbojpeg.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "engine/core/atomic_file.h"
#include "engine/core/text_helpers.h"
#include "engine/image/png_inflate.h"

namespace engine {
namespace {

bool SizeAcceptable(std::int64_t width, std::int64_t height) {
    return width > 0 && height > 0 && width <= 65535 && height <= 65535 &&
           width * height <= kMaxDecodedPixels;
}

// One TurboJPEG handle per thread and direction: creating one per tile would cost more than
// decoding a small tile.
class TjHandle {
  public:
    using Init = tjhandle (*)();
    explicit TjHandle(Init init) : init_(init), handle_(init()) {}
    ~TjHandle() { Destroy(); }
    TjHandle(const TjHandle&) = delete;
    TjHandle& operator=(const TjHandle&) = delete;
    tjhandle get() const { return handle_; }
    // A handle whose call failed may keep the library's half-read state (after some header
    // errors it rejects every later image): a failed call gets a fresh handle.
    void Renew() {
        Destroy();
        handle_ = init_();
    }

  private:
    void Destroy() {
        if (handle_ != nullptr) {
            tjDestroy(handle_);
            handle_ = nullptr;
        }
    }
    Init init_;
    tjhandle handle_;
};

TjHandle& Decompressor() {
    thread_local TjHandle handle(tjInitDecompress);
    return handle;
}

TjHandle& Compressor() {
    thread_local TjHandle handle(tjInitCompress);
    return handle;
}

struct TjBuffer {
    unsigned char* data = nullptr;
    ~TjBuffer() {
        if (data != nullptr) {
            tjFree(data);
        }
    }
};

void SetReason(std::string* reason, std::string text) {
    if (reason != nullptr) {
        *reason = std::move(text);
    }
}

std::string SizeText(std::int64_t width, std::int64_t height) {
    return std::to_string(width) + "x" + std::to_string(height);
}

// Both decoders refuse a header beyond `maxSide` before sizing any buffer.
DecodeStatus PngInto(std::string_view bytes, RgbaImage& image, std::int64_t maxSide,
                     std::string* reason) {
    if (SniffImageFormat(bytes) != ImageFormat::Png) {
        SetReason(reason, "no PNG signature");
        return DecodeStatus::NotImage;
    }
    if (DecodePlainPng(bytes, image, maxSide)) {
        return DecodeStatus::Ok;
    }
    png_image png;
    std::memset(&png, 0, sizeof(png));
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&png, bytes.data(), bytes.size())) {
        SetReason(reason, std::string("PNG: ") + png.message);
        png_image_free(&png);
        return DecodeStatus::Damaged;
    }
    if (!SizeAcceptable(png.width, png.height) || png.width > maxSide || png.height > maxSide) {
        SetReason(reason, "PNG: declared size " + SizeText(png.width, png.height));
        png_image_free(&png);
        return DecodeStatus::TooLarge;
    }
    png.format = PNG_FORMAT_RGBA;
    const int width = static_cast<int>(png.width);
    const int height = static_cast<int>(png.height);
    image.width = width;
    image.height = height;
    image.pixels.resize(std::size_t(width) * std::size_t(height) * 4);
    // finish_read frees the image's resources whatever it returns.
    if (!png_image_finish_read(&png, nullptr, image.pixels.data(), 0, nullptr)) {
        SetReason(reason, std::string("PNG: ") + png.message);
        image = RgbaImage();
        return DecodeStatus::Damaged;
    }
    return DecodeStatus::Ok;
}

DecodeStatus JpegInto(std::string_view bytes, RgbaImage& image, std::int64_t maxSide,
                      std::string* reason) {
    if (SniffImageFormat(bytes) != ImageFormat::Jpeg) {
        SetReason(reason, "no JPEG signature");
        return DecodeStatus::NotImage;
    }
    TjHandle& tj = Decompressor();
    if (tj.get() == nullptr) {
        tj.Renew();
        if (tj.get() == nullptr) {
            SetReason(reason, "JPEG: no decompressor");
            return DecodeStatus::Damaged;
        }
    }
    tjhandle handle = tj.get();
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto size = static_cast<unsigned long>(bytes.size());
    int width = 0, height = 0, subsampling = 0, colorspace = 0;
    if (tjDecompressHeader3(handle, data, size, &width, &height, &subsampling, &colorspace) != 0) {
        SetReason(reason, std::string("JPEG: ") + tjGetErrorStr2(handle));
        tj.Renew();
        return DecodeStatus::Damaged;
    }
    if (!SizeAcceptable(width, height) || width > maxSide || height > maxSide) {
        SetReason(reason, "JPEG: declared size " + SizeText(width, height));
        return DecodeStatus::TooLarge;
    }
    image.width = width;
    image.height = height;
    image.pixels.resize(std::size_t(width) * std::size_t(height) * 4);
    if (tjDecompress2(handle, data, size, image.pixels.data(), width, 0, height, TJPF_RGBA, 0) !=
        0) {
        // Minor flaws that the decoder only warns about still give the whole picture; a file
        // or a scan that ends early does not.
        const std::string message = tjGetErrorStr2(handle);
        const bool warningOnly =
            tjGetErrorCode(handle) == TJERR_WARNING && !JpegWarningLeavesPartOfImage(message);
        if (!warningOnly) {
            SetReason(reason, "JPEG: " + message);
            tj.Renew();
            image = RgbaImage();
            return DecodeStatus::Damaged;
        }
    }
    return DecodeStatus::Ok;
}

}  // namespace

ImageFormat SniffImageFormat(std::string_view bytes) {
    static constexpr unsigned char kPng[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    if (bytes.size() >= 8 && std::memcmp(bytes.data(), kPng, 8) == 0) {
        return ImageFormat::Png;
    }
    if (bytes.size() >= 3 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
        static_cast<unsigned char>(bytes[1]) == 0xD8 &&
        static_cast<unsigned char>(bytes[2]) == 0xFF) {
        return ImageFormat::Jpeg;
    }
    return ImageFormat::Unknown;
}

bool JpegWarningLeavesPartOfImage(std::string_view message) {
    // "Premature end of JPEG file" (the body is cut short) and "Corrupt JPEG data: premature
    // end of data segment" (a scan breaks off at a stray marker).
    return FindNoCase(message, "premature end") != std::string_view::npos;
}

bool DecodePng(std::string_view bytes, RgbaImage& image) {
    return PngInto(bytes, image, 65535, nullptr) == DecodeStatus::Ok;
}

bool DecodeJpeg(std::string_view bytes, RgbaImage& image) {
    return JpegInto(bytes, image, 65535, nullptr) == DecodeStatus::Ok;
}

bool DecodeImage(std::string_view bytes, RgbaImage& image) {
    switch (SniffImageFormat(bytes)) {
        case ImageFormat::Png:
            return DecodePng(bytes, image);
        case ImageFormat::Jpeg:
            return DecodeJpeg(bytes, image);
        case ImageFormat::Unknown:
            break;
    }
    return false;
}

DecodeStatus DecodeTileImage(std::string_view bytes, RgbaImage& image, std::string* reason) {
    switch (SniffImageFormat(bytes)) {
        case ImageFormat::Png:
            return PngInto(bytes, image, kMaxTileSide, reason);
        case ImageFormat::Jpeg:
            return JpegInto(bytes, image, kMaxTileSide, reason);
        case ImageFormat::Unknown:
            break;
    }
    SetReason(reason, "no PNG or JPEG image");
    return DecodeStatus::NotImage;
}

std::optional<RgbaImage> DecodeImage(std::string_view bytes) {
    RgbaImage image;
    if (!DecodeImage(bytes, image)) {
        return std::nullopt;
    }
    return image;
}

std::optional<std::string> EncodePng(const RgbaImage& image) {
    if (image.empty() || image.pixels.size() != std::size_t(image.width) * image.height * 4) {
        return std::nullopt;
    }
    png_image png;
    std::memset(&png, 0, sizeof(png));
    png.version = PNG_IMAGE_VERSION;
    png.width = static_cast<png_uint_32>(image.width);
    png.height = static_cast<png_uint_32>(image.height);
    png.format = PNG_FORMAT_RGBA;
    // One pass into a per-thread buffer of the largest possible size: asking for the size
    // first would compress everything twice.
    thread_local std::vector<char> scratch;
    png_alloc_size_t size = PNG_IMAGE_PNG_SIZE_MAX(png);
    if (scratch.size() < size) {
        scratch.resize(size);
    }
    if (!png_image_write_to_memory(&png, scratch.data(), &size, 0, image.pixels.data(), 0,
                                   nullptr)) {
        png_image_free(&png);
        return std::nullopt;
    }
    return std::string(scratch.data(), size);
}

std::optional<std::string> EncodeJpeg(const RgbaImage& image, int quality) {
    if (image.empty() || image.pixels.size() != std::size_t(image.width) * image.height * 4) {
        return std::nullopt;
    }
    TjHandle& tj = Compressor();
    if (tj.get() == nullptr) {
        tj.Renew();
        if (tj.get() == nullptr) {
            return std::nullopt;
        }
    }
    tjhandle handle = tj.get();
    // At high quality keep full colour resolution: halved chroma smears coloured label text.
    const int subsampling = quality >= 90 ? TJSAMP_444 : TJSAMP_420;
    // A per-thread output buffer of the worst-case size, so that encoding many tiles does not
    // allocate and release a large block each time.
    thread_local TjBuffer buffer;
    thread_local unsigned long capacity = 0;
    const unsigned long needed = tjBufSize(image.width, image.height, subsampling);
    if (needed == static_cast<unsigned long>(-1)) {
        return std::nullopt;
    }
    if (capacity < needed) {
        if (buffer.data != nullptr) {
            tjFree(buffer.data);
        }
        buffer.data = tjAlloc(static_cast<int>(needed));
        capacity = buffer.data != nullptr ? needed : 0;
        if (buffer.data == nullptr) {
            return std::nullopt;
        }
    }
    unsigned long size = capacity;
    if (tjCompress2(handle, image.pixels.data(), image.width, 0, image.height, TJPF_RGBX,
                    &buffer.data, &size, subsampling, std::clamp(quality, 1, 100),
                    TJFLAG_NOREALLOC) != 0) {
        tj.Renew();
        return std::nullopt;
    }
    return std::string(reinterpret_cast<const char*>(buffer.data), size);
}

std::optional<std::string> EncodeImage(const RgbaImage& image, ImageFormat format,
                                       int jpegQuality) {
    switch (format) {
        case ImageFormat::Png:
            return EncodePng(image);
        case ImageFormat::Jpeg:
            return EncodeJpeg(image, jpegQuality);
        case ImageFormat::Unknown:
            break;
    }
    return std::nullopt;
}

std::optional<RgbaImage> ReadImageFile(const std::filesystem::path& file) {
    std::string bytes;
    if (!ReadFileBytes(file, bytes)) {
        return std::nullopt;
    }
    return DecodeImage(bytes);
}

bool ReadImageFile(const std::filesystem::path& file, RgbaImage& image) {
    std::string bytes;
    return ReadFileBytes(file, bytes) && DecodeImage(bytes, image);
}

bool WriteImageFile(const std::filesystem::path& file, const RgbaImage& image, ImageFormat format,
                    int jpegQuality, std::string* error) {
    const std::optional<std::string> bytes = EncodeImage(image, format, jpegQuality);
    if (!bytes) {
        if (error != nullptr) {
            *error = "cannot encode the image";
        }
        return false;
    }
    return WriteFileAtomic(file, *bytes, error);
}

RgbaImage ScaleBilinear(const RgbaImage& source, int width, int height) {
    if (width <= 0 || height <= 0 || source.empty()) {
        return RgbaImage();
    }
    if (width == source.width && height == source.height) {
        return source;
    }
    // Source positions and weights of every column, computed once.
    struct Tap {
        int i0, i1;
        float w1;
    };
    auto taps = [](int out, int in) {
        std::vector<Tap> result(static_cast<std::size_t>(out));
        const float scale = static_cast<float>(in) / static_cast<float>(out);
        for (int o = 0; o < out; ++o) {
            float s = (static_cast<float>(o) + 0.5f) * scale - 0.5f;
            s = std::clamp(s, 0.0f, static_cast<float>(in - 1));
            const int i0 = static_cast<int>(s);
            result[std::size_t(o)] = {i0, std::min(i0 + 1, in - 1), s - static_cast<float>(i0)};
        }
        return result;
    };
    const std::vector<Tap> xs = taps(width, source.width);
    const std::vector<Tap> ys = taps(height, source.height);
    RgbaImage out(width, height);
    for (int y = 0; y < height; ++y) {
        const Tap ty = ys[std::size_t(y)];
        for (int x = 0; x < width; ++x) {
            const Tap tx = xs[std::size_t(x)];
            const std::uint8_t* p[4] = {source.At(tx.i0, ty.i0), source.At(tx.i1, ty.i0),
                                        source.At(tx.i0, ty.i1), source.At(tx.i1, ty.i1)};
            const float w[4] = {(1 - tx.w1) * (1 - ty.w1), tx.w1 * (1 - ty.w1), (1 - tx.w1) * ty.w1,
                                tx.w1 * ty.w1};
            float alpha = 0, rgb[3] = {0, 0, 0};
            for (int k = 0; k < 4; ++k) {
                const float a = w[k] * p[k][3];
                alpha += a;
                for (int c = 0; c < 3; ++c) {
                    rgb[c] += a * p[k][c];
                }
            }
            std::uint8_t* d = out.At(x, y);
            if (alpha <= 0) {
                d[0] = d[1] = d[2] = d[3] = 0;
                continue;
            }
            for (int c = 0; c < 3; ++c) {
                d[c] = static_cast<std::uint8_t>(std::clamp(std::lround(rgb[c] / alpha), 0L, 255L));
            }
            d[3] = static_cast<std::uint8_t>(std::clamp(std::lround(alpha), 0L, 255L));
        }
    }
    return out;
}

void DrawOver(RgbaImage& bottom, const RgbaImage& top) {
    if (bottom.width != top.width || bottom.height != top.height) {
        return;
    }
    const std::size_t count = bottom.pixels.size() / 4;
    std::uint8_t* d = bottom.pixels.data();
    const std::uint8_t* s = top.pixels.data();
    for (std::size_t i = 0; i < count; ++i, d += 4, s += 4) {
        const unsigned as = s[3];
        if (as == 0) {
            continue;
        }
        if (as == 255) {
            std::memcpy(d, s, 4);
            continue;
        }
        const unsigned ad = d[3];
        // Alpha and colours scaled by 255 to keep the arithmetic in integers.
        const unsigned bottomShare = ad * (255 - as);
        const unsigned alpha255 = as * 255 + bottomShare;
        for (int c = 0; c < 3; ++c) {
            const unsigned numerator = s[c] * as * 255 + d[c] * bottomShare;
            d[c] = static_cast<std::uint8_t>((numerator + alpha255 / 2) / alpha255);
        }
        d[3] = static_cast<std::uint8_t>((alpha255 + 127) / 255);
    }
}

}  // namespace engine
