#include "clip_commands.h"

#include <QDir>
#include <QFileInfo>
#include <QUuid>

namespace rasterui {

QStringList WarpArguments(const WarpOptions& o) {
    QStringList args{QStringLiteral("--config"), QStringLiteral("GDAL_CACHEMAX"),
                     QString::number(o.cacheMB), QStringLiteral("-wm"),
                     QStringLiteral("200"),      QStringLiteral("-overwrite"),
                     QStringLiteral("-of"),      QStringLiteral("GTiff")};
    if (o.transparent) {
        args << QStringLiteral("-dstalpha");
    } else {
        args << QStringLiteral("-dstnodata")
             << QStringLiteral("%1 %2 %3").arg(o.red).arg(o.green).arg(o.blue);
    }
    args << QStringLiteral("-crop_to_cutline") << QStringLiteral("-cutline") << o.cutline
         << o.source << o.temporary;
    return args;
}

QString OutputDriverFor(const QString& fileName) {
    const QString ext = QFileInfo(fileName).suffix().toLower();
    if (ext == QStringLiteral("png")) {
        return QStringLiteral("PNG");
    }
    if (ext == QStringLiteral("jpg") || ext == QStringLiteral("jpeg")) {
        return QStringLiteral("JPEG");
    }
    if (ext == QStringLiteral("bmp")) {
        return QStringLiteral("BMP");
    }
    return QStringLiteral("GTiff");
}

bool DriverHoldsAlpha(const QString& driver) {
    return driver == QStringLiteral("GTiff") || driver == QStringLiteral("PNG");
}

QStringList TranslateArguments(const QString& temporary, const QString& output,
                               const QString& finalName, int cacheMB, qint64 temporaryBytes,
                               bool colourFill) {
    const QString driver = OutputDriverFor(finalName);
    QStringList args{QStringLiteral("-of"), driver, temporary, output};
    if (colourFill) {
        args << QStringLiteral("-a_nodata") << QStringLiteral("none");
    }
    if (driver == QStringLiteral("GTiff")) {
        args << QStringLiteral("-co") << QStringLiteral("compress=lzw");
        if (temporaryBytes >= (qint64{1} << 32)) {
            args << QStringLiteral("-co") << QStringLiteral("BIGTIFF=YES");
        }
    }
    args << QStringLiteral("--config") << QStringLiteral("GDAL_CACHEMAX")
         << QString::number(cacheMB);
    return args;
}

QString ClippedFileName(const QString& source) {
    const QFileInfo info(source);
    return QDir(info.absolutePath()).filePath(QStringLiteral("裁剪_") + info.fileName());
}

QString UniqueFileName(const QString& folder, const QString& prefix, const QString& suffix) {
    return QDir(folder).filePath(prefix + QUuid::createUuid().toString(QUuid::Id128) + suffix);
}

}  // namespace rasterui
