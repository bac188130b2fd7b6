#include "installed_files.h"

#include <QDir>

#include "engine/download/installed_data.h"

namespace app {

QString InstalledDataFile(const QString& name) {
    const auto found = engine::InstalledDataFile(name.toStdString());
    if (!found.empty()) {
        return QString::fromStdString(found.string());
    }
    // Where the file would be in the source's data folder, so that a caller names a path.
    return QStringLiteral(VANTOREL_SOURCE_DIR "/resources/") + name;
}

QString InstalledReadme() {
    return InstalledDataFile(QStringLiteral("README.md"));
}

}  // namespace app
