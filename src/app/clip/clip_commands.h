#pragma once
// The argument lists of the two clipping tools and the file names of one clip, built from
// plain values so that they can be checked without running anything.
#include <QString>
#include <QStringList>

namespace rasterui {

struct WarpOptions {
    QString cutline;
    QString source;
    QString temporary;
    bool transparent = true;
    int red = 255, green = 255, blue = 255;  // outside the cutline unless transparent
    int cacheMB = 64;
};

// gdalwarp: always a GeoTIFF, cropped to the cutline, with an alpha band or a fill colour.
QStringList WarpArguments(const WarpOptions& options);

// The GDAL driver that writes a file of this name: by its extension, GTiff when unknown.
QString OutputDriverFor(const QString& fileName);

// Whether files of the driver hold an alpha band. BMP holds one or three bands, and a JPEG of
// four is read as CMYK, so a transparent clip into them fills the outside black instead.
bool DriverHoldsAlpha(const QString& driver);

// gdal_translate from the temporary GeoTIFF to `output` (written in the driver of
// `finalName`'s extension); LZW and, from 4 GiB of temporary data on, BigTIFF for GeoTIFF.
// A colour fill drops the no-data flag: a GeoTIFF holds one no-data value for all bands, so
// the fill's last component would mark every pixel with that value in any band as empty.
QStringList TranslateArguments(const QString& temporary, const QString& output,
                               const QString& finalName, int cacheMB, qint64 temporaryBytes,
                               bool colourFill);

// The clipped file: "裁剪_" + the source's file name, in the source's folder.
QString ClippedFileName(const QString& source);

// A new name in `folder`: a random 32-digit hexadecimal name with `suffix`.
QString UniqueFileName(const QString& folder, const QString& prefix, const QString& suffix);

}  // namespace rasterui
