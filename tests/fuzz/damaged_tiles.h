#pragma once
// Tile bodies of the kinds found in old tile trees and hostile answers, built from sound tiles:
// a header the JPEG library rejects, a body cut short, a scan broken off, a header claiming a
// huge size, a raster description that names another file. Shared by the decoder and stitch tests
// and by the fuzz targets' seeds.
#include <cstdint>
#include <filesystem>
#include <string>

#include "engine/image/image_codec.h"

namespace damaged {

inline engine::RgbaImage Flat(int width, int height, std::uint8_t r, std::uint8_t g, std::uint8_t b,
                              std::uint8_t a = 255) {
    engine::RgbaImage image(width, height);
    for (std::size_t i = 0; i < image.pixels.size(); i += 4) {
        image.pixels[i] = r;
        image.pixels[i + 1] = g;
        image.pixels[i + 2] = b;
        image.pixels[i + 3] = a;
    }
    return image;
}

inline std::string Jpeg(int size, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return engine::EncodeJpeg(Flat(size, size, r, g, b), 95).value_or("");
}

inline std::string Png(int size, std::uint8_t r, std::uint8_t g, std::uint8_t b,
                       std::uint8_t a = 255) {
    return engine::EncodePng(Flat(size, size, r, g, b, a)).value_or("");
}

// Noise in every pixel gives a long scan, so cutting the body halfway leaves its headers whole
// and the decode ends early instead of failing on a header.
inline std::string NoisyJpeg(int size) {
    engine::RgbaImage image(size, size);
    unsigned seed = 12345;
    for (auto& v : image.pixels) {
        seed = seed * 1103515245u + 12345u;
        v = static_cast<std::uint8_t>(seed >> 24);
    }
    return engine::EncodeJpeg(image, 90).value_or("");
}

// The first quantisation table names table 5 (there are four): "Bogus DQT index".
inline std::string BogusDqt(std::string jpeg) {
    const std::size_t dqt = jpeg.find("\xFF\xDB");
    if (dqt != std::string::npos && dqt + 4 < jpeg.size()) {
        jpeg[dqt + 4] = 0x05;
    }
    return jpeg;
}

// The first part of a body, as a download that stopped half way leaves it.
inline std::string Cut(const std::string& bytes, double fraction = 0.5) {
    return bytes.substr(0, static_cast<std::size_t>(static_cast<double>(bytes.size()) * fraction));
}

// A restart marker in the middle of the scan, where none belongs: the scan breaks off there and
// the library gives the rest of the picture grey with a warning only.
inline std::string BrokenScan(std::string jpeg) {
    const std::size_t at = jpeg.size() / 2;
    if (at + 2 < jpeg.size()) {
        jpeg[at] = static_cast<char>(0xFF);
        jpeg[at + 1] = static_cast<char>(0xD3);
    }
    return jpeg;
}

// A sound JPEG whose frame header claims `width` x `height`.
inline std::string ClaimedJpegSize(std::string jpeg, int width, int height) {
    for (std::size_t i = 2; i + 8 < jpeg.size(); ++i) {
        const auto marker = static_cast<unsigned char>(jpeg[i + 1]);
        if (static_cast<unsigned char>(jpeg[i]) == 0xFF && (marker == 0xC0 || marker == 0xC2)) {
            jpeg[i + 5] = static_cast<char>(height >> 8);
            jpeg[i + 6] = static_cast<char>(height & 0xFF);
            jpeg[i + 7] = static_cast<char>(width >> 8);
            jpeg[i + 8] = static_cast<char>(width & 0xFF);
            break;
        }
    }
    return jpeg;
}

inline std::uint32_t Crc32(const std::string& bytes, std::size_t from, std::size_t count) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t i = from; i < from + count; ++i) {
        crc ^= static_cast<unsigned char>(bytes[i]);
        for (int k = 0; k < 8; ++k) {
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
        }
    }
    return ~crc;
}

// A sound PNG whose header chunk claims `width` x `height` (with its checksum mended).
inline std::string ClaimedPngSize(std::string png, std::uint32_t width, std::uint32_t height) {
    auto put = [&png](std::size_t at, std::uint32_t v) {
        for (int k = 0; k < 4; ++k) {
            png[at + k] = static_cast<char>((v >> (24 - 8 * k)) & 0xFF);
        }
    };
    put(16, width);
    put(20, height);
    put(29, Crc32(png, 12, 17));
    return png;
}

// A GIF whose screen is 16 pixels but whose one image claims `width` x `height`.
inline std::string ClaimedGifSize(int width, int height) {
    std::string gif = "GIF89a";
    gif += std::string("\x10\x00\x10\x00\x00\x00\x00", 7);
    gif += '\x2C';
    gif += std::string(4, '\0');
    gif += static_cast<char>(width & 0xFF);
    gif += static_cast<char>(width >> 8);
    gif += static_cast<char>(height & 0xFF);
    gif += static_cast<char>(height >> 8);
    gif += std::string("\x00\x02\x02\x4C\x01\x00\x3B", 7);
    return gif;
}

// A BMP header (24 bits a pixel) claiming `width` x `height`, with one row of pixels.
inline std::string ClaimedBmpSize(std::int32_t width, std::int32_t height) {
    std::string bmp(54, '\0');
    auto put = [&bmp](std::size_t at, std::uint32_t v) {
        for (int k = 0; k < 4; ++k) {
            bmp[at + k] = static_cast<char>((v >> (8 * k)) & 0xFF);
        }
    };
    bmp[0] = 'B';
    bmp[1] = 'M';
    put(2, 54 + 12);
    put(10, 54);
    put(14, 40);
    put(18, static_cast<std::uint32_t>(width));
    put(22, static_cast<std::uint32_t>(height));
    bmp[26] = 1;
    bmp[28] = 24;
    return bmp + std::string(12, '\x7F');
}

// A raster description in XML that draws `file` (any image on this machine) as its band.
inline std::string RasterDescriptionOf(const std::filesystem::path& file, int size) {
    const std::string s = std::to_string(size);
    std::string xml = "<VRTDataset rasterXSize=\"" + s + "\" rasterYSize=\"" + s + "\">\n";
    for (int band = 1; band <= 3; ++band) {
        const std::string b = std::to_string(band);
        xml += "  <VRTRasterBand dataType=\"Byte\" band=\"" + b + "\">\n";
        xml += "    <SimpleSource><SourceFilename relativeToVRT=\"0\">" + file.string() +
               "</SourceFilename><SourceBand>" + b + "</SourceBand></SimpleSource>\n";
        xml += "  </VRTRasterBand>\n";
    }
    return xml + "</VRTDataset>\n";
}

inline const std::string kHtml = "<html><body>404 Not Found</body></html>";

}  // namespace damaged
