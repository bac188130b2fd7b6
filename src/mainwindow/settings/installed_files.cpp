#include "mainwindow/settings/installed_files.h"

#include <QDir>
#include <QFileInfo>
#include <filesystem>

namespace mainwindow {
namespace {

QString InstalledFolder() {
    std::error_code ec;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) {
        return {};
    }
    const auto folder = exe.parent_path() / ".." / "share" / "vantorel";
    if (!std::filesystem::is_directory(folder, ec)) {
        return {};
    }
    return QString::fromStdString(folder.lexically_normal().string());
}

}  // namespace

QString InstalledDataFolder() {
    const QString installed = InstalledFolder();
    return installed.isEmpty() ? QStringLiteral(VANTOREL_SOURCE_DIR "/resources") : installed;
}

QString InstalledDataFile(const QString& name) {
    return QDir(InstalledDataFolder()).filePath(name);
}

QString InstalledReadme() {
    const QString installed = InstalledFolder();
    return installed.isEmpty() ? QStringLiteral(VANTOREL_SOURCE_DIR "/README.md")
                               : QDir(installed).filePath(QStringLiteral("README.md"));
}

}  // namespace mainwindow
