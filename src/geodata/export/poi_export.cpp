#include "geodata/export/poi_export.h"

#include <zip.h>

#include <memory>
#include <stdexcept>
#include <utility>

#include "engine/core/atomic_file.h"
#include "engine/core/datum.h"
#include "engine/core/number_format.h"
#include "engine/core/text_helpers.h"
#include "engine/core/xml_escape.h"
#include "geodata/export/xls_writer.h"

namespace geodata {
namespace {

constexpr const char* kCrLf = "\r\n";

std::string JoinLines(const std::vector<std::string>& lines) {
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) {
            text += kCrLf;
        }
        text += lines[i];
    }
    return text;
}

struct ZipSourceDeleter {
    void operator()(zip_source_t* source) const { zip_source_free(source); }
};
struct ZipDiscarder {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};

[[noreturn]] void ThrowZip(const std::string& what, zip_error_t* error) {
    const std::string message = what + ": " + zip_error_strerror(error);
    zip_error_fini(error);
    throw std::runtime_error(message);
}

void ExportKmz(const std::filesystem::path& fileName, const std::vector<TPOIData>& pois,
               engine::TCoordType coordType, const std::filesystem::path& iconFile) {
    std::vector<std::pair<std::string, std::string>> entries;
    entries.emplace_back("doc.kml", BuildPOIDocKml(pois, coordType));
    std::error_code ec;
    if (!iconFile.empty() && std::filesystem::is_regular_file(iconFile, ec)) {
        std::string icon;
        if (!engine::ReadFileBytes(iconFile, icon)) {
            throw std::runtime_error("cannot read " + iconFile.string());
        }
        entries.emplace_back("files/marker-icon.png", std::move(icon));
    }
    std::string error;
    if (!engine::WriteFileAtomic(fileName, BuildZipArchive(entries), &error)) {
        throw std::runtime_error(error);
    }
}

void ExportXls(const std::filesystem::path& fileName, const std::vector<TPOIData>& pois,
               engine::TCoordType coordType) {
    if (pois.size() > 65535) {
        throw std::length_error("a worksheet holds at most 65535 places");
    }
    const std::string suffix = CoordTypeSuffix(coordType);
    TXlsWriter writer;
    const std::vector<std::string> header = {"编号", "经度" + suffix, "纬度" + suffix, "名称",
                                             "地址", "电话",          "标签",          "类别"};
    for (std::size_t col = 0; col < header.size(); ++col) {
        writer.SetCells(static_cast<std::uint8_t>(col), 0, header[col]);
    }
    for (std::size_t i = 0; i < pois.size(); ++i) {
        const auto& poi = pois[i];
        const auto position = ConvertPOICoord(poi.location, coordType);
        const std::vector<std::string> cells = {poi.uid,
                                                engine::FormatFloat(position.lng),
                                                engine::FormatFloat(position.lat),
                                                poi.name,
                                                poi.address,
                                                poi.telephone,
                                                poi.detail.tag,
                                                poi.detail._type};
        for (std::size_t col = 0; col < cells.size(); ++col) {
            writer.SetCells(static_cast<std::uint8_t>(col), static_cast<std::uint16_t>(i + 1),
                            cells[col]);
        }
    }
    writer.SaveToXls(fileName);
}

}  // namespace

std::string CoordTypeSuffix(engine::TCoordType coordType) {
    switch (coordType) {
        case engine::TCoordType::ctGPS:
            return "(GPS坐标)";
        case engine::TCoordType::ctBaidu:
            return "(百度坐标)";
        case engine::TCoordType::ctGoogle:
            return "(谷歌坐标)";
    }
    return {};
}

engine::TGLatLng ConvertPOICoord(const engine::TGLatLng& bd09, engine::TCoordType coordType) {
    switch (coordType) {
        case engine::TCoordType::ctGPS:
            return engine::GCJ02ToWGS84(engine::BD09ToGCJ02LatLng(bd09));
        case engine::TCoordType::ctBaidu:
            return bd09;
        case engine::TCoordType::ctGoogle:
            return engine::BD09ToGCJ02LatLng(bd09);
    }
    return bd09;
}

std::string KMLIconStyle() {
    return JoinLines({"\t\t\t<Style id=\"icon-1073\">", "\t\t\t<IconStyle>", "\t\t\t<Icon>",
                      "\t\t\t<href>files/marker-icon.png</href>", "\t\t\t</Icon>",
                      "\t\t\t</IconStyle>", "\t\t\t</Style>"});
}

std::string POIToPlacemark(const TPOIData& poi, engine::TCoordType coordType) {
    const auto position = ConvertPOICoord(poi.location, coordType);
    return JoinLines({"\t\t<Placemark>", "\t\t\t<name>" + engine::XmlCData(poi.name) + "</name>",
                      "\t\t\t<description>" + engine::XmlCData(poi.address) + "</description>",
                      "\t\t\t<styleUrl>#icon-1073</styleUrl>", "\t\t\t<Point>",
                      "\t\t\t\t<coordinates>" + engine::FormatFloat(position.lng) + "," +
                          engine::FormatFloat(position.lat) + ",0</coordinates>",
                      "\t\t\t</Point>", "\t\t</Placemark>"});
}

std::string BuildPOIDocKml(const std::vector<TPOIData>& pois, engine::TCoordType coordType) {
    std::vector<std::string> lines = {"<?xml version=\"1.0\" encoding=\"UTF-8\"?>",
                                      "<kml xmlns=\"http://www.opengis.net/kml/2.2\">",
                                      "\t<Document>", KMLIconStyle()};
    for (const auto& poi : pois) {
        lines.push_back(POIToPlacemark(poi, coordType));
    }
    lines.emplace_back("\t</Document>");
    lines.emplace_back("</kml>");
    std::string text(engine::kUtf8Bom);
    for (const auto& line : lines) {
        text += line;
        text += kCrLf;
    }
    return text;
}

void ExportPOIs(const std::filesystem::path& fileName, int exportKind,
                const std::vector<TPOIData>& pois, engine::TCoordType coordType,
                const std::filesystem::path& iconFile) {
    if (pois.empty()) {
        return;
    }
    if (exportKind == kExportKmz) {
        ExportKmz(fileName, pois, coordType, iconFile);
    } else if (exportKind == kExportXls) {
        ExportXls(fileName, pois, coordType);
    }
}

std::string BuildZipArchive(const std::vector<std::pair<std::string, std::string>>& entries) {
    zip_error_t error;
    zip_error_init(&error);
    std::unique_ptr<zip_source_t, ZipSourceDeleter> buffer(
        zip_source_buffer_create(nullptr, 0, 0, &error));
    if (!buffer) {
        ThrowZip("cannot create the archive buffer", &error);
    }
    std::unique_ptr<zip_t, ZipDiscarder> archive(
        zip_open_from_source(buffer.get(), ZIP_TRUNCATE, &error));
    if (!archive) {
        ThrowZip("cannot start the archive", &error);
    }
    zip_source_keep(buffer.get());  // the archive releases its reference on close
    for (const auto& [name, bytes] : entries) {
        zip_source_t* data = zip_source_buffer(archive.get(), bytes.data(), bytes.size(), 0);
        if (data == nullptr) {
            throw std::runtime_error("cannot add " + name + ": " + zip_strerror(archive.get()));
        }
        const zip_int64_t index =
            zip_file_add(archive.get(), name.c_str(), data, ZIP_FL_ENC_UTF_8 | ZIP_FL_OVERWRITE);
        if (index < 0) {
            zip_source_free(data);
            throw std::runtime_error("cannot add " + name + ": " + zip_strerror(archive.get()));
        }
        if (zip_set_file_compression(archive.get(), static_cast<zip_uint64_t>(index),
                                     ZIP_CM_DEFLATE, 0) != 0) {
            throw std::runtime_error("cannot compress " + name + ": " +
                                     zip_strerror(archive.get()));
        }
    }
    if (zip_close(archive.get()) != 0) {
        throw std::runtime_error(std::string("cannot pack the archive: ") +
                                 zip_strerror(archive.get()));
    }
    archive.release();  // closed: freed by zip_close

    zip_stat_t stat;
    if (zip_source_stat(buffer.get(), &stat) != 0 || zip_source_open(buffer.get()) != 0) {
        throw std::runtime_error("cannot read the packed archive back");
    }
    std::string bytes(static_cast<std::size_t>(stat.size), '\0');
    const zip_int64_t read = zip_source_read(buffer.get(), bytes.data(), stat.size);
    zip_source_close(buffer.get());
    if (read < 0 || static_cast<zip_uint64_t>(read) != stat.size) {
        throw std::runtime_error("cannot read the packed archive back");
    }
    return bytes;
}

}  // namespace geodata
