#pragma once
// Export of the places found by the place search, in a datum the user picks: a KMZ archive
// (doc.kml and the marker icon) or an XLS worksheet.
#include <filesystem>
#include <string>
#include <vector>

#include "engine/core/core_types.h"
#include "geodata/search/poi_data.h"

namespace geodata {

constexpr int kExportKmz = 0;
constexpr int kExportXls = 1;

// Suffix of the coordinate columns: "(GPS坐标)", "(百度坐标)", "(谷歌坐标)".
std::string CoordTypeSuffix(engine::TCoordType coordType);

// A BD-09 position in the chosen datum.
engine::TGLatLng ConvertPOICoord(const engine::TGLatLng& bd09, engine::TCoordType coordType);

// The style block of doc.kml and the placemark block of one place (lines joined by CR LF).
std::string KMLIconStyle();
std::string POIToPlacemark(const TPOIData& poi, engine::TCoordType coordType);

// doc.kml of the places, UTF-8 with a byte-order mark and CR LF line ends.
std::string BuildPOIDocKml(const std::vector<TPOIData>& pois, engine::TCoordType coordType);

// Writes the file of `exportKind` (kExportKmz or kExportXls); nothing for an empty list or
// another kind. The KMZ carries `iconFile` as files/marker-icon.png when that file exists; the
// archive is built in memory and the target replaced atomically. Errors throw
// std::runtime_error (std::length_error for more places than a worksheet has rows).
void ExportPOIs(const std::filesystem::path& fileName, int exportKind,
                const std::vector<TPOIData>& pois, engine::TCoordType coordType,
                const std::filesystem::path& iconFile);

// A zip archive with deflate compression of (entry name, bytes) pairs, in memory.
std::string BuildZipArchive(const std::vector<std::pair<std::string, std::string>>& entries);

}  // namespace geodata
