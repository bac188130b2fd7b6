#include "engine/image/merge_tile_images.h"

#include <cctype>

#include "engine/core/atomic_file.h"

namespace engine {
namespace {

constexpr int kMergeJpegQuality = 100;

}  // namespace

ImageFormat MergeOutputFormat(const std::filesystem::path& bottomFile) {
    std::string extension = bottomFile.extension().string();
    for (char& c : extension) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    if (extension == ".jpg") {
        return ImageFormat::Jpeg;
    }
    if (extension == ".png") {
        return ImageFormat::Png;
    }
    return ImageFormat::Unknown;
}

std::optional<std::string> MergeTileImageBytes(std::string_view top, std::string_view bottom,
                                               ImageFormat format, int size) {
    if (size <= 0 || format == ImageFormat::Unknown) {
        return std::nullopt;
    }
    // Per-thread images: merging tile after tile reuses their memory.
    thread_local RgbaImage canvas, topImage;
    if (!DecodeImage(bottom, canvas) || !DecodeImage(top, topImage)) {
        return std::nullopt;
    }
    // The canvas starts transparent, so drawing the base tile onto it gives the base tile.
    if (canvas.width != size || canvas.height != size) {
        canvas = ScaleBilinear(canvas, size, size);
    }
    if (topImage.width != size || topImage.height != size) {
        topImage = ScaleBilinear(topImage, size, size);
    }
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
