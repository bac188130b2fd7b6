#include "geodata/export/compound_file.h"

#include <cstdint>
#include <stdexcept>
#include <vector>

namespace geodata {
namespace {

constexpr std::size_t kSector = 512;
constexpr std::size_t kIdsPerSector = kSector / 4;
constexpr std::size_t kHeaderDifat = 109;
constexpr std::size_t kSmallStreamCutoff = 4096;
constexpr std::uint32_t kFree = 0xFFFFFFFF;  // also "no sibling, no child"
constexpr std::uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr std::uint32_t kFatSector = 0xFFFFFFFD;
constexpr std::uint32_t kDifatSector = 0xFFFFFFFC;

void Put16(std::string& out, std::uint16_t value) {
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>(value >> 8);
}

void Put32(std::string& out, std::uint32_t value) {
    Put16(out, static_cast<std::uint16_t>(value & 0xFFFF));
    Put16(out, static_cast<std::uint16_t>(value >> 16));
}

std::uint32_t Id(std::size_t sector) {
    if (sector >= kDifatSector) {
        throw std::length_error("the worksheet is too large for one file");
    }
    return static_cast<std::uint32_t>(sector);
}

// One 128-byte directory entry; an empty `name` gives an unused entry.
void PutEntry(std::string& out, std::u16string_view name, std::uint8_t type, std::uint32_t child,
              std::uint32_t start, std::uint32_t size) {
    const std::size_t begin = out.size();
    for (const char16_t c : name) {
        Put16(out, static_cast<std::uint16_t>(c));
    }
    out.resize(begin + 64, '\0');
    Put16(out, static_cast<std::uint16_t>(name.empty() ? 0 : (name.size() + 1) * 2));
    out += static_cast<char>(type);
    out += static_cast<char>(name.empty() ? 0 : 1);  // black in the red-black tree
    Put32(out, kFree);                               // left sibling
    Put32(out, kFree);                               // right sibling
    Put32(out, child);
    out.resize(begin + 116, '\0');  // class id, state bits, creation and modification times
    Put32(out, start);
    Put32(out, size);
    Put32(out, 0);  // size, high half (version 3: unused)
}

}  // namespace

std::string BuildCompoundFile(std::u16string_view name, std::string_view data) {
    if (name.empty() || name.size() > 31) {
        throw std::invalid_argument("a compound-file stream name has 1 to 31 characters");
    }
    const std::size_t size = std::max(data.size(), kSmallStreamCutoff);
    const std::size_t streamSectors = (size + kSector - 1) / kSector;
    // Sectors: the stream, one directory sector, the allocation table, then the table's
    // continuation of its own sector list when the header's 109 places do not suffice.
    std::size_t fatSectors = 1;
    std::size_t difatSectors = 0;
    for (;;) {
        difatSectors = fatSectors > kHeaderDifat
                           ? (fatSectors - kHeaderDifat + kIdsPerSector - 2) / (kIdsPerSector - 1)
                           : 0;
        const std::size_t total = streamSectors + 1 + fatSectors + difatSectors;
        if (fatSectors * kIdsPerSector >= total) {
            break;
        }
        ++fatSectors;
    }
    const std::size_t directory = streamSectors;
    const std::size_t firstFat = directory + 1;
    const std::size_t firstDifat = firstFat + fatSectors;
    const std::uint32_t streamSize = static_cast<std::uint32_t>(size);
    if (streamSize != size) {
        throw std::length_error("the worksheet is too large for one file");
    }

    std::vector<std::uint32_t> fat(fatSectors * kIdsPerSector, kFree);
    for (std::size_t i = 0; i < streamSectors; ++i) {
        fat[i] = i + 1 < streamSectors ? Id(i + 1) : kEndOfChain;
    }
    fat[directory] = kEndOfChain;
    for (std::size_t i = 0; i < fatSectors; ++i) {
        fat[firstFat + i] = kFatSector;
    }
    for (std::size_t i = 0; i < difatSectors; ++i) {
        fat[firstDifat + i] = kDifatSector;
    }

    std::string out;
    out.reserve((1 + firstDifat + difatSectors) * kSector);
    out += "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";
    out.append(16, '\0');  // class id
    Put16(out, 0x003E);    // minor version
    Put16(out, 3);         // major version
    Put16(out, 0xFFFE);    // little-endian
    Put16(out, 9);         // sectors of 2^9 bytes
    Put16(out, 6);         // small sectors of 2^6 bytes
    out.append(6, '\0');
    Put32(out, 0);  // directory sectors (version 3: always 0)
    Put32(out, Id(fatSectors));
    Put32(out, Id(directory));
    Put32(out, 0);  // transaction signature
    Put32(out, static_cast<std::uint32_t>(kSmallStreamCutoff));
    Put32(out, kEndOfChain);  // no small-stream table
    Put32(out, 0);
    Put32(out, difatSectors > 0 ? Id(firstDifat) : kEndOfChain);
    Put32(out, Id(difatSectors));
    for (std::size_t i = 0; i < kHeaderDifat; ++i) {
        Put32(out, i < fatSectors ? Id(firstFat + i) : kFree);
    }

    out += data;
    out.resize(kSector + streamSectors * kSector, '\0');

    PutEntry(out, u"Root Entry", 5, 1, kEndOfChain, 0);
    PutEntry(out, name, 2, kFree, 0, streamSize);
    PutEntry(out, {}, 0, kFree, 0, 0);
    PutEntry(out, {}, 0, kFree, 0, 0);

    for (const std::uint32_t id : fat) {
        Put32(out, id);
    }
    for (std::size_t d = 0; d < difatSectors; ++d) {
        for (std::size_t i = 0; i + 1 < kIdsPerSector; ++i) {
            const std::size_t listed = kHeaderDifat + d * (kIdsPerSector - 1) + i;
            Put32(out, listed < fatSectors ? Id(firstFat + listed) : kFree);
        }
        Put32(out, d + 1 < difatSectors ? Id(firstDifat + d + 1) : kEndOfChain);
    }
    return out;
}

}  // namespace geodata
