#include "raster/output_image.h"

#include <algorithm>
#include <system_error>
#include <utility>

#include "engine/core/atomic_file.h"
#include "engine/core/number_format.h"
#include "engine/core/text_helpers.h"

namespace raster {
namespace {

// Tiled TIFF blocks must be multiples of 16 pixels; other tile sizes keep the library's tiling.
void AddTiling(OptionList& options, int tileSize) {
    options.Set("TILED", "YES");
    if (tileSize >= 16 && tileSize % 16 == 0) {
        options.Set("BLOCKXSIZE", engine::FormatInt(tileSize));
        options.Set("BLOCKYSIZE", engine::FormatInt(tileSize));
    }
}

// The library may put its own side file beside a temporary raster.
void RemoveAuxBeside(const std::filesystem::path& file) {
    if (file.empty()) {
        return;
    }
    std::error_code ec;
    std::filesystem::path aux = file;
    aux += ".aux.xml";
    std::filesystem::remove(aux, ec);
}

bool SetError(std::string* error, std::string text) {
    if (error != nullptr) {
        *error = std::move(text);
    }
    return false;
}

}  // namespace

const std::string_view kPseudoMercatorWkt =
    "PROJCS[\"WGS 84 / Pseudo-Mercator\",GEOGCS[\"WGS 84\",DATUM[\"WGS_1984\", SPHEROID[\"WGS "
    "84\",6378137,298.257223563,AUTHORITY[\"EPSG\",\"7030\"]],AUTHORITY[\"EPSG\",\"6326\"]],"
    "PRIMEM[\"Greenwich\",0,AUTHORITY[\"EPSG\",\"8901\"]],UNIT[\"degree\",0.01745329251994328,"
    "AUTHORITY[\"EPSG\",\"9122\"]],AUTHORITY[\"EPSG\",\"4326\"]],UNIT[\"metre\",1,AUTHORITY["
    "\"EPSG\",\"9001\"]],PROJECTION[\"Mercator_1SP\"],PARAMETER[\"central_meridian\",0],"
    "PARAMETER[\"scale_factor\",1],PARAMETER[\"false_easting\",0],PARAMETER[\"false_northing\","
    "0], EXTENSION[\"PROJ4\",\"+proj=merc +a=6378137 +b=6378137 +lat_ts=0.0 +lon_0=0.0 "
    "+x_0=0.0 +y_0=0 +k=1.0 +units=m +nadgrids=@null +wktext+no_defs\"],AUTHORITY[\"EPSG\","
    "\"3857\"],AXIS[\"X\",EAST],AXIS[\"Y\",NORTH]]";

const std::string_view kGeographicWkt =
    "GEOGCS[\"WGS 84\",DATUM[\"WGS_1984\",SPHEROID[\"WGS 84\",6378137,298.257223563,"
    "AUTHORITY[\"EPSG\",\"7030\"]],AUTHORITY[\"EPSG\",\"6326\"]],PRIMEM[\"Greenwich\",0,"
    "AUTHORITY[\"EPSG\",\"8901\"]],UNIT[\"degree\",0.0174532925199433,AUTHORITY[\"EPSG\","
    "\"9122\"]],AXIS[\"Latitude\",NORTH],AXIS[\"Longitude\",EAST],AUTHORITY[\"EPSG\","
    "\"4326\"]]";

OptionList GeoTiffCreationOptions(std::string_view compressName, int imageQuality, int tileSize) {
    OptionList options;
    AddTiling(options, tileSize);
    const std::string compress = engine::UpperAscii(compressName);
    if (compress.empty() || compress == "NONE") {
        // Uncompressed sizes are known in advance; the library's default switches to BigTIFF.
        return options;
    }
    options.Set("COMPRESS", compress);
    if (compress == "DEFLATE" || compress == "LZW") {
        options.Set("PREDICTOR", "2");
    } else if (compress == "PACKBITS") {
        options.Set("INTERLEAVE", "BAND");
    }
    if (compress == "JPEG") {
        options.Set("JPEG_QUALITY", engine::FormatInt(std::clamp(imageQuality, 1, 100)));
    } else if (compress == "DEFLATE") {
        options.Set("ZLEVEL", engine::FormatInt(std::clamp(imageQuality / 10, 1, 9)));
    }
    // Compressed sizes are not known in advance: BigTIFF whenever the image might pass 4 GiB.
    options.Set("BIGTIFF", "IF_SAFER");
    options.Set("NUM_THREADS", "ALL_CPUS");
    return options;
}

OptionList TemporaryGeoTiffOptions(int tileSize) {
    OptionList options;
    AddTiling(options, tileSize);
    // Blocks never written read back as black without being written out at close.
    options.Set("SPARSE_OK", "TRUE");
    return options;
}

OptionList ConversionOptions(engine::TImgType type, int imageQuality) {
    OptionList options;
    if (type == engine::TImgType::itJPG) {
        options.Set("QUALITY", engine::FormatInt(std::clamp(imageQuality, 1, 100)));
    } else if (type == engine::TImgType::itPNG) {
        options.Set("ZLEVEL", engine::FormatInt(std::clamp((100 - imageQuality) / 10, 1, 9)));
    }
    return options;
}

OutputImage::OutputImage(Key, TGDALTool& tool, std::filesystem::path image,
                         OutputImageSettings settings)
    : tool_(tool), image_(std::move(image)), settings_(std::move(settings)) {}

std::unique_ptr<OutputImage> OutputImage::Create(TGDALTool& tool,
                                                 const std::filesystem::path& image,
                                                 const OutputImageSettings& settings,
                                                 std::string* error) {
    using engine::TImgType;
    const TImgType type = settings.type;
    if (type != TImgType::itBMP && type != TImgType::itJPG && type != TImgType::itPNG &&
        type != TImgType::itTIFF) {
        SetError(error, "unsupported image type");
        return nullptr;
    }
    if (settings.width <= 0 || settings.height <= 0) {
        SetError(error, "empty image");
        return nullptr;
    }
    auto out = std::make_unique<OutputImage>(Key{}, tool, image, settings);
    const bool direct = type == TImgType::itBMP || type == TImgType::itTIFF;
    const OptionList options =
        type == TImgType::itTIFF  ? GeoTiffCreationOptions(settings.compressName,
                                                           settings.imageQuality, settings.tileSize)
        : type == TImgType::itBMP ? OptionList()
                                  : TemporaryGeoTiffOptions(settings.tileSize);
    const GDALDriverH driver = TGDALTool::GetDriverByName(direct ? type : TImgType::itTIFF);
    // What a stitch killed before its rename left beside the image goes first.
    engine::RemoveLeftoverTemporaries(image);
    out->raster_ = std::make_unique<engine::PendingFile>(image);
    if (out->raster_->path().empty()) {
        SetError(error, out->raster_->error());
        return nullptr;
    }
    out->dataset_ = tool.CreateImage(driver, out->raster_->path(), settings.width, settings.height,
                                     3, options, error);
    if (!out->dataset_) {
        out->RemoveTemporaries();
        return nullptr;
    }
    return out;
}

OutputImage::~OutputImage() {
    if (!done_) {
        Abandon();
    }
}

bool OutputImage::WriteTile(const std::filesystem::path& tileFile, int column, int row) {
    return tool_.WriteTileFile(tileFile, dataset_, column, row);
}

bool OutputImage::FillTile(int column, int row) {
    // A new raster reads as black where nothing was written.
    if ((settings_.background & 0xFFFFFF) == 0) {
        return true;
    }
    const int size = settings_.tileSize;
    const int x = column * size;
    const int y = row * size;
    const int width = std::min(size, settings_.width - x);
    const int height = std::min(size, settings_.height - y);
    return TGDALTool::FillRect(dataset_, x, y, width, height, settings_.background);
}

bool OutputImage::Finish(const std::array<double, 6>& geoTransform, const ProgressFn& progress,
                         std::string* error) {
    using engine::TImgType;
    if (done_ || !dataset_) {
        return SetError(error, "the image is already closed");
    }
    const TImgType type = settings_.type;
    if (type == TImgType::itTIFF) {
        // A georeferencing failure still leaves a usable image; the side files carry it too.
        std::array<double, 6> gt = geoTransform;
        GDALSetGeoTransform(dataset_.get(), gt.data());
        const std::string projection =
            settings_.projection.empty() ? std::string(kPseudoMercatorWkt) : settings_.projection;
        GDALSetProjection(dataset_.get(), projection.c_str());
    }
    engine::PendingFile* result = raster_.get();
    if (type == TImgType::itJPG || type == TImgType::itPNG) {
        // Flush the tiles before the copy reads them back.
        GDALFlushCache(dataset_.get());
        copy_ = std::make_unique<engine::PendingFile>(image_);
        if (copy_->path().empty()) {
            SetError(error, copy_->error());
            Abandon();
            return false;
        }
        // The copy reads the tiled raster one scanline at a time: unless a whole row of tiles
        // stays in the block cache, each tile would be read back once per pixel row. The cache
        // grows for the copy only; the JPEG side limit keeps that row at 50 MB at most.
        const std::int64_t previousCache = GDALGetCacheMax64();
        const std::int64_t rowOfTiles =
            std::int64_t{settings_.width} * std::min(settings_.tileSize, settings_.height) * 3;
        if (rowOfTiles + (std::int64_t{32} << 20) > previousCache) {
            GDALSetCacheMax64(rowOfTiles + (std::int64_t{32} << 20));
        }
        Dataset copy =
            tool_.CreateCopy(TGDALTool::GetDriverByName(type), copy_->path(), dataset_,
                             ConversionOptions(type, settings_.imageQuality), progress, error);
        GDALSetCacheMax64(previousCache);
        if (!copy) {
            Abandon();
            return false;
        }
        std::string copyError;
        if (!copy.Close(&copyError)) {
            SetError(error, copyError);
            Abandon();
            return false;
        }
        result = copy_.get();
    }
    std::string closeError;
    if (!dataset_.Close(&closeError)) {
        SetError(error, closeError);
        Abandon();
        return false;
    }
    const std::filesystem::path written = result->path();
    if (!result->Commit(error)) {
        Abandon();
        return false;
    }
    RemoveAuxBeside(written);
    done_ = true;
    RemoveTemporaries();
    return true;
}

void OutputImage::Abandon() {
    dataset_.Close();
    RemoveTemporaries();
    done_ = true;
}

void OutputImage::RemoveTemporaries() {
    for (auto* file : {raster_.get(), copy_.get()}) {
        if (file != nullptr) {
            RemoveAuxBeside(file->path());
            file->Discard();
        }
    }
}

}  // namespace raster
