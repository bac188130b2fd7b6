#include "engine/download/tile_path.h"

#include <string>

#include "engine/core/catalogue.h"
#include "engine/core/number_format.h"

namespace engine {

std::filesystem::path LayerFolderPath(const std::filesystem::path& outputDir,
                                      std::string_view folderText) {
    std::filesystem::path path = outputDir;
    std::size_t start = 0;
    while (start <= folderText.size()) {
        const std::size_t end = folderText.find_first_of("\\/", start);
        const std::string_view piece = folderText.substr(
            start, end == std::string_view::npos ? std::string_view::npos : end - start);
        // Empty pieces come from doubled or edge separators; "." and ".." would leave the
        // output folder, so they are dropped as well.
        if (!piece.empty() && piece != "." && piece != "..") {
            path /= std::string(piece);
        }
        if (end == std::string_view::npos) {
            break;
        }
        start = end + 1;
    }
    return path;
}

std::filesystem::path TileFolderPath(const std::filesystem::path& outputDir,
                                     std::string_view folderText, int z, std::int32_t x) {
    return LayerFolderPath(outputDir, folderText) / FormatInt(z) / FormatInt(x);
}

std::filesystem::path TilePath(const std::filesystem::path& outputDir, std::string_view folderText,
                               const TTile& tile, std::string_view ext) {
    std::string name = FormatInt(tile.y);
    name += ext;
    return TileFolderPath(outputDir, folderText, tile.z, tile.x) / name;
}

std::filesystem::path BaseTilePath(const std::filesystem::path& outputDir, TMapType mapType,
                                   const TTile& tile, TImgType type) {
    return TilePath(outputDir, MapTileFolders[Ord(mapType)], tile, ImgFileExt(type));
}

std::filesystem::path OverlayTilePath(const std::filesystem::path& outputDir, TMapType mapType,
                                      const TTile& tile, TImgType type) {
    if (!HasOverlay(mapType)) {
        return {};
    }
    return TilePath(outputDir, MapOverlayFolders[Ord(mapType)], tile, ImgFileExt(type));
}

}  // namespace engine
