// Label merges: a label tile and a base tile of any bytes (the input cut at a marker) merge
// or are refused, at any tile size the first byte picks.
#include "engine/image/merge_tile_images.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const int tileSize = 16 << (data[0] % 5);  // 16 to 256
    const auto format =
        (data[0] & 0x80) != 0 ? engine::ImageFormat::Png : engine::ImageFormat::Jpeg;
    const auto parts = fuzz::SplitInput(fuzz::AsText(data + 1, size - 1), "|MERGE|", 2);
    const std::string_view top = parts[0];
    const std::string_view bottom = parts.size() > 1 ? parts[1] : parts[0];
    std::string problem;
    (void)engine::MergeTileImageBytes(top, bottom, format, tileSize, &problem);
    return 0;
}
