#include "engine/image/merge_tile_images.h"

#include "engine/core/atomic_file.h"
#include "engine/core/text_helpers.h"

namespace engine {
namespace {

constexpr int kMergeJpegQuality = 100;

}  // namespace

ImageFormat MergeOutputFormat(const std::filesystem::path& bottomFile) {
    const std::string extension = LowerAscii(bottomFile.extension().string());
    if (extension == ".jpg") {
        return ImageFormat::Jpeg;
    }
    if (extension == ".png") {
        return ImageFormat::Png;
    }
    return ImageFormat::Unknown;
}

std::optional<std::string> MergeTileImageBytes(std::string_view top, std::string_view bottom,
                                               ImageFormat format, int size, std::string* problem) {
    if (problem != nullptr) {
        problem->clear();
    }
    if (size <= 0 || format == ImageFormat::Unknown) {
        return std::nullopt;
    }
    auto note = [problem](const std::string& text) {
        if (problem != nullptr) {
            *problem += (problem->empty() ? "" : "; ") + text;
        }
    };
    // Per-thread images: merging tile after tile reuses their memory.
    thread_local RgbaImage canvas, topImage;
    std::string reason;
    if (DecodeTileImage(bottom, canvas, &reason) != DecodeStatus::Ok) {
        note("base tile: " + reason);
        return std::nullopt;
    }
    if (DecodeTileImage(top, topImage, &reason) != DecodeStatus::Ok) {
        note("label tile: " + reason);
        return std::nullopt;
    }
    auto fit = [&](RgbaImage& image, const char* which) {
        if (image.width != size || image.height != size) {
            note(std::string(which) + " is " + std::to_string(image.width) + "x" +
                 std::to_string(image.height) + ", scaled to " + std::to_string(size));
            image = ScaleBilinear(image, size, size);
        }
    };
    // The canvas starts transparent, so drawing the base tile onto it gives the base tile.
    fit(canvas, "base tile");
    fit(topImage, "label tile");
    DrawOver(canvas, topImage);
    return EncodeImage(canvas, format, kMergeJpegQuality);
}

bool MergeTileImages(const std::filesystem::path& TopFile, const std::filesystem::path& BottomFile,
                     const std::filesystem::path& OutFile, int Size) {
    const ImageFormat format = MergeOutputFormat(BottomFile);
    if (format == ImageFormat::Unknown || Size <= 0) {
        return false;
    }
    std::string top, bottom;
    if (!ReadFileBytes(TopFile, top) || !ReadFileBytes(BottomFile, bottom)) {
        return false;
    }
    const std::optional<std::string> merged = MergeTileImageBytes(top, bottom, format, Size);
    return merged && WriteFileAtomic(OutFile, *merged);
}

}  // namespace engine
