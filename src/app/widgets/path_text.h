#pragma once
// File names between Qt texts and the libraries' paths (UTF-8 bytes on this system).
#include <QString>
#include <filesystem>

namespace rasterui {

inline std::filesystem::path ToPath(const QString& text) {
    return std::filesystem::path(text.toStdString());
}

inline QString FromPath(const std::filesystem::path& path) {
    return QString::fromStdString(path.string());
}

}  // namespace rasterui
