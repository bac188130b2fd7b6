// The quick PNG decoder against libpng itself: over a table of small files of every colour
// type, bit depth and chunk that matters, a tile decodes to libpng's pixels and status, and the
// quick path is taken exactly for the plain 8-bit files it is meant for.
#include "engine/image/png_inflate.h"

#include <png.h>
#include <zlib.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/image/image_codec.h"

namespace {

using namespace engine;

void PutBe32(std::string& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(static_cast<char>((value >> shift) & 0xFF));
    }
}

std::string Chunk(const std::string& type, const std::string& data) {
    std::string out;
    PutBe32(out, static_cast<std::uint32_t>(data.size()));
    const std::string body = type + data;
    out += body;
    PutBe32(out, static_cast<std::uint32_t>(
                     crc32(0, reinterpret_cast<const Bytef*>(body.data()), body.size())));
    return out;
}

std::string Be(std::initializer_list<std::uint32_t> values, int bytes) {
    std::string out;
    for (std::uint32_t v : values) {
        for (int shift = (bytes - 1) * 8; shift >= 0; shift -= 8) {
            out.push_back(static_cast<char>((v >> shift) & 0xFF));
        }
    }
    return out;
}

std::string Deflate(const std::string& raw) {
    uLongf size = compressBound(raw.size());
    std::string out(size, '\0');
    compress2(reinterpret_cast<Bytef*>(out.data()), &size,
              reinterpret_cast<const Bytef*>(raw.data()), raw.size(), 6);
    out.resize(size);
    return out;
}

struct PngSpec {
    int colourType = 6;
    int depth = 8;
    bool interlaced = false;
    std::uint32_t width = 33;
    std::uint32_t height = 25;
    std::string beforeIdat;  // chunks between IHDR and the image data
    std::string afterIdat;   // chunks between the image data and IEND
    int idatPieces = 1;
    int maxIndex = 256;        // 8-bit images: sample values below this
    bool plainFilter = false;  // every row unfiltered (keeps palette indices as written)
    std::string rawTail;       // bytes added to the raw image data before deflating
    bool breakIdatCrc = false;
    bool dropIend = false;
    int badFilterRow = -1;  // this row gets filter type 5
};

int Channels(int colourType) {
    switch (colourType) {
        case 2:
            return 3;
        case 4:
            return 2;
        case 6:
            return 4;
        default:
            return 1;
    }
}

// Filtered scanlines of pseudo-random samples, each row with the next of the five filters.
std::string RawRows(const PngSpec& spec, std::uint32_t width, std::uint32_t height,
                    std::mt19937& random) {
    const std::size_t stride =
        (std::size_t{width} * Channels(spec.colourType) * spec.depth + 7) / 8;
    std::string raw;
    for (std::uint32_t y = 0; y < height; ++y) {
        const int filter = spec.badFilterRow == int(y) ? 5 : spec.plainFilter ? 0 : int(y % 5);
        raw.push_back(static_cast<char>(filter));
        for (std::size_t i = 0; i < stride; ++i) {
            const int limit = spec.depth == 8 ? spec.maxIndex : 256;
            raw.push_back(static_cast<char>(random() % limit));
        }
    }
    return raw;
}

std::string MakePng(const PngSpec& spec) {
    std::mt19937 random(spec.colourType * 131 + spec.depth);
    std::string raw;
    if (!spec.interlaced) {
        raw = RawRows(spec, spec.width, spec.height, random);
    } else {
        static constexpr int kPasses[7][4] = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8},
                                              {2, 0, 4, 4}, {0, 2, 2, 4}, {1, 0, 2, 2},
                                              {0, 1, 1, 2}};
        for (const auto& pass : kPasses) {
            const std::uint32_t w = spec.width > std::uint32_t(pass[0])
                                        ? (spec.width - pass[0] + pass[2] - 1) / pass[2]
                                        : 0;
            const std::uint32_t h = spec.height > std::uint32_t(pass[1])
                                        ? (spec.height - pass[1] + pass[3] - 1) / pass[3]
                                        : 0;
            if (w > 0 && h > 0) {
                raw += RawRows(spec, w, h, random);
            }
        }
    }
    const std::string compressed = Deflate(raw + spec.rawTail);
    std::string png = "\x89PNG\r\n\x1a\n";
    png += Chunk("IHDR", Be({spec.width, spec.height}, 4) +
                             Be({std::uint32_t(spec.depth), std::uint32_t(spec.colourType), 0, 0,
                                 spec.interlaced ? 1u : 0u},
                                1));
    png += spec.beforeIdat;
    const std::size_t piece = compressed.size() / spec.idatPieces + 1;
    for (std::size_t at = 0; at < compressed.size(); at += piece) {
        std::string idat = Chunk("IDAT", compressed.substr(at, piece));
        if (spec.breakIdatCrc) {
            idat.back() ^= 0x01;
        }
        png += idat;
    }
    png += spec.afterIdat;
    if (!spec.dropIend) {
        png += Chunk("IEND", "");
    }
    return png;
}

std::string Palette(int entries) {
    std::string data;
    for (int i = 0; i < entries; ++i) {
        data.push_back(static_cast<char>(i * 3));
        data.push_back(static_cast<char>(255 - i));
        data.push_back(static_cast<char>(i * 7));
    }
    return Chunk("PLTE", data);
}

// libpng's simplified reader, as the engine used it before the quick path.
bool LibpngRgba(const std::string& bytes, RgbaImage& image) {
    png_image png;
    std::memset(&png, 0, sizeof(png));
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&png, bytes.data(), bytes.size())) {
        png_image_free(&png);
        return false;
    }
    png.format = PNG_FORMAT_RGBA;
    image = RgbaImage(static_cast<int>(png.width), static_cast<int>(png.height));
    return png_image_finish_read(&png, nullptr, image.pixels.data(), 0, nullptr) != 0;
}

struct Case {
    const char* name;
    PngSpec spec;
    bool quick;  // whether the quick path takes it
};

std::vector<Case> Cases() {
    auto with = [](auto change) {
        PngSpec spec;
        change(spec);
        return spec;
    };
    return {
        {"rgba", with([](PngSpec&) {}), true},
        {"rgb", with([](PngSpec& s) { s.colourType = 2; }), true},
        {"rgb with a transparent colour", with([](PngSpec& s) {
             s.colourType = 2;
             s.plainFilter = true;
             s.maxIndex = 2;
             s.beforeIdat = Chunk("tRNS", Be({0, 1, 0}, 2));
         }),
         true},
        {"grey", with([](PngSpec& s) { s.colourType = 0; }), true},
        {"grey with a transparent value", with([](PngSpec& s) {
             s.colourType = 0;
             s.plainFilter = true;
             s.maxIndex = 4;
             s.beforeIdat = Chunk("tRNS", Be({0}, 2));
         }),
         true},
        {"grey and alpha", with([](PngSpec& s) { s.colourType = 4; }), true},
        {"palette of 256 with part transparency", with([](PngSpec& s) {
             s.colourType = 3;
             s.beforeIdat = Palette(256) + Chunk("tRNS", std::string("\x00\x80\xff\x10", 4));
         }),
         true},
        {"small palette", with([](PngSpec& s) {
             s.colourType = 3;
             s.plainFilter = true;
             s.maxIndex = 16;
             s.beforeIdat = Palette(16);
         }),
         true},
        {"index beyond the palette", with([](PngSpec& s) {
             s.colourType = 3;
             s.plainFilter = true;
             s.maxIndex = 20;
             s.beforeIdat = Palette(16);
         }),
         false},
        {"rgb with a suggested palette", with([](PngSpec& s) {
             s.colourType = 2;
             s.beforeIdat = Palette(8);
         }),
         true},
        {"image data in three chunks", with([](PngSpec& s) { s.idatPieces = 3; }), true},
        {"text chunks", with([](PngSpec& s) {
             s.beforeIdat = Chunk("tEXt", std::string("Title\0tile", 10));
             s.afterIdat = Chunk("tIME", Be({2026}, 2) + Be({12, 11, 9, 0, 0}, 1));
         }),
         true},
        {"sRGB gamma", with([](PngSpec& s) { s.beforeIdat = Chunk("gAMA", Be({45455}, 4)); }),
         true},
        {"linear gamma", with([](PngSpec& s) { s.beforeIdat = Chunk("gAMA", Be({100000}, 4)); }),
         false},
        {"gamma just outside sRGB's", with([](PngSpec& s) {
             s.colourType = 2;
             s.beforeIdat = Chunk("gAMA", Be({43000}, 4));
         }),
         false},
        {"16-bit rgb", with([](PngSpec& s) {
             s.colourType = 2;
             s.depth = 16;
         }),
         false},
        {"16-bit grey with a transparent value", with([](PngSpec& s) {
             s.colourType = 0;
             s.depth = 16;
             s.beforeIdat = Chunk("tRNS", Be({300}, 2));
         }),
         false},
        {"4-bit grey", with([](PngSpec& s) {
             s.colourType = 0;
             s.depth = 4;
         }),
         false},
        {"2-bit palette", with([](PngSpec& s) {
             s.colourType = 3;
             s.depth = 2;
             s.beforeIdat = Palette(4);
         }),
         false},
        {"interlaced", with([](PngSpec& s) {
             s.interlaced = true;
             s.width = 13;
             s.height = 11;
         }),
         false},
        {"8-bit transparent value out of range", with([](PngSpec& s) {
             s.colourType = 0;
             s.beforeIdat = Chunk("tRNS", Be({300}, 2));
         }),
         false},
        {"broken image data checksum", with([](PngSpec& s) { s.breakIdatCrc = true; }), false},
        {"no end chunk", with([](PngSpec& s) { s.dropIend = true; }), false},
        {"unknown filter type", with([](PngSpec& s) { s.badFilterRow = 2; }), false},
        {"too much image data", with([](PngSpec& s) { s.rawTail = std::string(40, '\x01'); }),
         false},
        {"unknown critical chunk", with([](PngSpec& s) { s.beforeIdat = Chunk("QUUX", "x"); }),
         false},
        {"chunk name that is not letters",
         with([](PngSpec& s) { s.beforeIdat = Chunk("tRN\xa7", std::string(2, '\0')); }), false},
        {"palette image without a palette", with([](PngSpec& s) { s.colourType = 3; }), false},
    };
}

TEST(PlainPngDecode, GivesLibpngsPixelsAndTakesOnlyThePlainFiles) {
    for (const Case& c : Cases()) {
        SCOPED_TRACE(c.name);
        const std::string png = MakePng(c.spec);
        RgbaImage expected;
        const bool libpngDecodes = LibpngRgba(png, expected);

        RgbaImage quick;
        EXPECT_EQ(DecodePlainPng(png, quick, kMaxTileSide), c.quick);
        if (c.quick) {
            ASSERT_TRUE(libpngDecodes);
            EXPECT_EQ(quick.width, expected.width);
            EXPECT_EQ(quick.height, expected.height);
            EXPECT_EQ(quick.pixels, expected.pixels);
        }

        RgbaImage tile;
        const DecodeStatus status = DecodeTileImage(png, tile);
        EXPECT_EQ(status == DecodeStatus::Ok, libpngDecodes);
        if (libpngDecodes && status == DecodeStatus::Ok) {
            EXPECT_EQ(tile.pixels, expected.pixels);
        }
    }
}

TEST(PlainPngDecode, DeclinesASideBeyondTheLimitBeforeSizingABuffer) {
    PngSpec spec;
    spec.width = 40;
    const std::string png = MakePng(spec);
    RgbaImage image;
    EXPECT_FALSE(DecodePlainPng(png, image, 32));
    EXPECT_TRUE(image.pixels.empty());
    EXPECT_TRUE(DecodePlainPng(png, image, 40));
}

}  // namespace
