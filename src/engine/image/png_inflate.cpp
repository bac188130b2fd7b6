#include "engine/image/png_inflate.h"

#include <libdeflate.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace engine {
namespace {

enum ColourType : int { kGrey = 0, kRgb = 2, kPalette = 3, kGreyAlpha = 4, kRgba = 6 };

std::uint32_t Be32(const unsigned char* p) {
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) |
           p[3];
}

std::uint32_t Be16(const unsigned char* p) {
    return (std::uint32_t{p[0]} << 8) | p[1];
}

bool ChunkIs(const unsigned char* type, const char (&name)[5]) {
    return std::memcmp(type, name, 4) == 0;
}

// One decompressor per thread: allocating one per tile would cost more than a small inflate.
class Inflater {
  public:
    Inflater() : handle_(libdeflate_alloc_decompressor()) {}
    ~Inflater() {
        if (handle_ != nullptr) {
            libdeflate_free_decompressor(handle_);
        }
    }
    Inflater(const Inflater&) = delete;
    Inflater& operator=(const Inflater&) = delete;
    libdeflate_decompressor* get() const { return handle_; }

  private:
    libdeflate_decompressor* handle_;
};

// libpng's own test for a gamma it treats as sRGB's (png_gamma_not_sRGB): anything else makes
// it convert the pixels, which this decoder does not.
bool GammaIsSrgb(std::uint32_t gamma) {
    if (gamma == 0 || gamma >= 100000) {
        return false;
    }
    const std::uint64_t times22 = (std::uint64_t{gamma} * 11 + 2) / 5;
    return times22 >= 95000 && times22 <= 105000;
}

struct Header {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    int colourType = 0;
    int channels = 0;
};

// The chunks this decoder reads; any other critical chunk, or a known one out of place, declines.
struct Chunks {
    Header header;
    std::array<std::uint8_t, 256 * 4> palette{};  // RGBA, opaque unless tRNS says otherwise
    int paletteSize = 0;
    bool seenTransparency = false;
    bool hasKey = false;  // tRNS of a grey or RGB image: the one colour that is transparent
    std::array<std::uint8_t, 3> key{};
    std::string_view idat;  // the first IDAT, or all of them joined in `joined`
    std::string* joined = nullptr;
};

bool ReadHeader(const unsigned char* data, std::uint32_t length, Header& header) {
    if (length != 13) {
        return false;
    }
    header.width = Be32(data);
    header.height = Be32(data + 4);
    const int depth = data[8];
    header.colourType = data[9];
    if (depth != 8 || data[10] != 0 || data[11] != 0 || data[12] != 0) {
        return false;  // other depths, unknown methods, interlace
    }
    switch (header.colourType) {
        case kGrey:
        case kPalette:
            header.channels = 1;
            return true;
        case kGreyAlpha:
            header.channels = 2;
            return true;
        case kRgb:
            header.channels = 3;
            return true;
        case kRgba:
            header.channels = 4;
            return true;
        default:
            return false;
    }
}

bool ReadTransparency(const unsigned char* data, std::uint32_t length, Chunks& chunks) {
    switch (chunks.header.colourType) {
        case kPalette:
            if (chunks.paletteSize == 0 || length > std::uint32_t(chunks.paletteSize)) {
                return false;
            }
            for (std::uint32_t i = 0; i < length; ++i) {
                chunks.palette[i * 4 + 3] = data[i];
            }
            return true;
        case kGrey:
        case kRgb: {
            const std::uint32_t samples = chunks.header.colourType == kGrey ? 1 : 3;
            if (length != samples * 2) {
                return false;
            }
            for (std::uint32_t i = 0; i < samples; ++i) {
                const std::uint32_t value = Be16(data + i * 2);
                if (value > 255) {
                    return false;  // out of range for 8 bits: libpng's warning, libpng's way
                }
                chunks.key[i] = static_cast<std::uint8_t>(value);
            }
            if (samples == 1) {
                chunks.key[1] = chunks.key[2] = chunks.key[0];
            }
            chunks.hasKey = true;
            return true;
        }
        default:
            return false;  // images with an alpha channel have no tRNS
    }
}

// Walks the chunks up to IEND, checking every CRC as libpng does.
bool ReadChunks(std::string_view bytes, Chunks& chunks) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t size = bytes.size();
    std::size_t at = 8;
    bool first = true;
    bool inIdat = false;
    bool idatDone = false;
    for (;;) {
        if (size - at < 12) {
            return false;  // cut short before IEND
        }
        const std::uint32_t length = Be32(p + at);
        if (length > 0x7FFFFFFFu || size - at - 12 < length) {
            return false;
        }
        const unsigned char* type = p + at + 4;
        const unsigned char* data = p + at + 8;
        for (int i = 0; i < 4; ++i) {
            const unsigned char letter = type[i] | 0x20;
            if (letter < 'a' || letter > 'z') {
                return false;  // not a chunk name: libpng refuses the file
            }
        }
        if (libdeflate_crc32(0, type, std::size_t{length} + 4) != Be32(data + length)) {
            return false;
        }
        const bool isIdat = ChunkIs(type, "IDAT");
        if (inIdat && !isIdat) {
            inIdat = false;
            idatDone = true;
        }
        if (first != ChunkIs(type, "IHDR")) {
            return false;
        }
        if (first) {
            if (!ReadHeader(data, length, chunks.header)) {
                return false;
            }
            first = false;
        } else if (isIdat) {
            if (idatDone || (chunks.header.colourType == kPalette && chunks.paletteSize == 0)) {
                return false;
            }
            const std::string_view piece(reinterpret_cast<const char*>(data), length);
            if (!inIdat) {
                chunks.idat = piece;
                inIdat = true;
            } else {
                if (chunks.idat.data() != chunks.joined->data()) {
                    chunks.joined->assign(chunks.idat);
                }
                chunks.joined->append(piece);
                chunks.idat = *chunks.joined;
            }
        } else if (ChunkIs(type, "IEND")) {
            return idatDone && length == 0;
        } else if (ChunkIs(type, "PLTE")) {
            const int colourType = chunks.header.colourType;
            if (idatDone || chunks.paletteSize != 0 || length == 0 || length % 3 != 0 ||
                length > 256 * 3 || colourType == kGrey || colourType == kGreyAlpha) {
                return false;
            }
            chunks.paletteSize = static_cast<int>(length / 3);
            for (int i = 0; i < chunks.paletteSize; ++i) {
                std::memcpy(&chunks.palette[std::size_t(i) * 4], data + i * 3, 3);
                chunks.palette[std::size_t(i) * 4 + 3] = 255;
            }
        } else if (ChunkIs(type, "tRNS")) {
            if (idatDone || chunks.seenTransparency || !ReadTransparency(data, length, chunks)) {
                return false;
            }
            chunks.seenTransparency = true;
        } else if (ChunkIs(type, "gAMA")) {
            if (length != 4 || !GammaIsSrgb(Be32(data))) {
                return false;
            }
        } else if (ChunkIs(type, "iCCP") || (type[0] & 0x20) == 0) {
            return false;  // a colour profile, or a critical chunk this decoder does not know
        }
        at += 12 + std::size_t{length};
    }
}

// Undoes the row filters in place; `previous` is the row above (zeros for the first row).
bool Unfilter(int filter, std::uint8_t* row, const std::uint8_t* previous, std::size_t stride,
              std::size_t bpp) {
    switch (filter) {
        case 0:
            return true;
        case 1:
            for (std::size_t i = bpp; i < stride; ++i) {
                row[i] = static_cast<std::uint8_t>(row[i] + row[i - bpp]);
            }
            return true;
        case 2:
            for (std::size_t i = 0; i < stride; ++i) {
                row[i] = static_cast<std::uint8_t>(row[i] + previous[i]);
            }
            return true;
        case 3:
            for (std::size_t i = 0; i < bpp; ++i) {
                row[i] = static_cast<std::uint8_t>(row[i] + (previous[i] >> 1));
            }
            for (std::size_t i = bpp; i < stride; ++i) {
                row[i] = static_cast<std::uint8_t>(row[i] + ((row[i - bpp] + previous[i]) >> 1));
            }
            return true;
        case 4:
            for (std::size_t i = 0; i < bpp; ++i) {
                row[i] = static_cast<std::uint8_t>(row[i] + previous[i]);
            }
            for (std::size_t i = bpp; i < stride; ++i) {
                const int a = row[i - bpp], b = previous[i], c = previous[i - bpp];
                const int pa = std::abs(b - c), pb = std::abs(a - c), pc = std::abs(a + b - 2 * c);
                const int predicted = pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
                row[i] = static_cast<std::uint8_t>(row[i] + predicted);
            }
            return true;
        default:
            return false;
    }
}

// One unfiltered row into RGBA pixels; false for a palette index beyond the palette.
bool Expand(const Chunks& chunks, const std::uint8_t* row, std::uint8_t* out, std::size_t width) {
    switch (chunks.header.colourType) {
        case kRgba:
            std::memcpy(out, row, width * 4);
            return true;
        case kRgb:
            for (std::size_t x = 0; x < width; ++x, row += 3, out += 4) {
                out[0] = row[0];
                out[1] = row[1];
                out[2] = row[2];
                out[3] = chunks.hasKey && std::memcmp(row, chunks.key.data(), 3) == 0 ? 0 : 255;
            }
            return true;
        case kGrey:
            for (std::size_t x = 0; x < width; ++x, ++row, out += 4) {
                out[0] = out[1] = out[2] = row[0];
                out[3] = chunks.hasKey && row[0] == chunks.key[0] ? 0 : 255;
            }
            return true;
        case kGreyAlpha:
            for (std::size_t x = 0; x < width; ++x, row += 2, out += 4) {
                out[0] = out[1] = out[2] = row[0];
                out[3] = row[1];
            }
            return true;
        case kPalette:
            for (std::size_t x = 0; x < width; ++x, ++row, out += 4) {
                if (row[0] >= chunks.paletteSize) {
                    return false;
                }
                std::memcpy(out, &chunks.palette[std::size_t{row[0]} * 4], 4);
            }
            return true;
        default:
            return false;
    }
}

}  // namespace

bool DecodePlainPng(std::string_view bytes, RgbaImage& image, std::int64_t maxSide) {
    thread_local Inflater inflater;
    thread_local std::string joined;
    thread_local std::vector<std::uint8_t> previous;
    if (inflater.get() == nullptr || SniffImageFormat(bytes) != ImageFormat::Png) {
        return false;
    }
    Chunks chunks;
    chunks.joined = &joined;
    if (!ReadChunks(bytes, chunks)) {
        return false;
    }
    const Header& header = chunks.header;
    if (header.width == 0 || header.height == 0 || header.width > maxSide ||
        header.height > maxSide || std::int64_t{header.width} * header.height > kMaxDecodedPixels) {
        return false;
    }
    const std::size_t width = header.width;
    const std::size_t height = header.height;
    const std::size_t bpp = static_cast<std::size_t>(header.channels);
    const std::size_t stride = width * bpp;
    const std::size_t rawSize = (stride + 1) * height;
    const std::size_t pixelSize = width * height * 4;
    // The rows are inflated into the end of the image's own buffer and expanded to RGBA from the
    // front, one row behind: a row's output never reaches the next row still to be read, so no
    // second image-sized buffer is needed.
    image.pixels.resize(std::max(rawSize, pixelSize));
    std::uint8_t* const raw = image.pixels.data() + (image.pixels.size() - rawSize);
    std::size_t usedIn = 0;
    std::size_t usedOut = 0;
    const bool inflated =
        libdeflate_zlib_decompress_ex(inflater.get(), chunks.idat.data(), chunks.idat.size(), raw,
                                      rawSize, &usedIn, &usedOut) == LIBDEFLATE_SUCCESS &&
        usedIn == chunks.idat.size() && usedOut == rawSize;
    if (joined.capacity() > (std::size_t{1} << 20)) {
        std::string().swap(joined);  // one large image's joined data is not kept for the thread
    }
    if (!inflated) {
        return false;  // too little or too much image data: libpng's to judge
    }
    previous.assign(stride, 0);
    for (std::size_t y = 0; y < height; ++y) {
        std::uint8_t* row = raw + y * (stride + 1);
        if (!Unfilter(row[0], row + 1, previous.data(), stride, bpp)) {
            return false;
        }
        std::memcpy(previous.data(), row + 1, stride);
        if (!Expand(chunks, previous.data(), image.pixels.data() + y * width * 4, width)) {
            return false;
        }
    }
    image.pixels.resize(pixelSize);
    image.width = static_cast<int>(width);
    image.height = static_cast<int>(height);
    return true;
}

}  // namespace engine
