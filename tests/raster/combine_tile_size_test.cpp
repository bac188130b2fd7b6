// Where every output of a task puts its tiles, for tiles of 256 and of 512 pixels (layer 39
// and the big-font layers): each output is read back the way its readers place tiles (GDAL for
// the images and MBTiles, the overlay boxes for KML, the calibration for OruxMaps, the cache
// configuration for ArcGIS, the tile address for RMaps), and a known tile must show its own
// colour at the centres of its four corner pixels, so it lies within half a pixel of its place.
#include <gdal.h>
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cmath>
#include <cstdio>
#include <functional>
#include <numbers>
#include <optional>
#include <regex>
#include <string>
#include <vector>

#include "combine_test_support.h"
#include "engine/core/catalogue.h"
#include "engine/core/datum.h"

namespace raster {
namespace {

using engine::TMapType;
using test::ColourOf;
using test::kHalfWorld;
using test::RecordingEvents;
using test::Rgb;

constexpr int kZ = 12;
constexpr int kMinCol = 3371, kMaxCol = 3373, kMinRow = 1550, kMaxRow = 1551;

// The colour an output shows at a Web Mercator position; nothing where it holds no tile.
using Reader = std::function<std::optional<Rgb>(double mx, double my)>;

double TileMetres() {
    return 2 * kHalfWorld / std::ldexp(1.0, kZ);
}

std::optional<Rgb> PixelOf(const engine::RgbaImage& image, double px, double py) {
    const auto x = static_cast<int>(std::floor(px));
    const auto y = static_cast<int>(std::floor(py));
    if (x < 0 || y < 0 || x >= image.width || y >= image.height) {
        return std::nullopt;
    }
    const std::uint8_t* p = image.At(x, y);
    return Rgb{p[0], p[1], p[2]};
}

std::optional<engine::RgbaImage> DecodeBytes(const std::string& bytes) {
    return engine::DecodeImage(bytes);
}

// An image or a tile database that GDAL opens, placed by the geotransform GDAL reads.
Reader GdalReader(const std::filesystem::path& file) {
    return [file](double mx, double my) -> std::optional<Rgb> {
        GDALDatasetH ds = GDALOpen(file.c_str(), GA_ReadOnly);
        if (ds == nullptr) {
            ADD_FAILURE() << "GDAL cannot open " << file;
            return std::nullopt;
        }
        double gt[6] = {};
        std::optional<Rgb> colour;
        if (GDALGetGeoTransform(ds, gt) == CE_None) {
            const auto x = static_cast<int>(std::floor((mx - gt[0]) / gt[1]));
            const auto y = static_cast<int>(std::floor((my - gt[3]) / gt[5]));
            if (x >= 0 && y >= 0 && x < GDALGetRasterXSize(ds) && y < GDALGetRasterYSize(ds) &&
                GDALGetRasterCount(ds) >= 3) {
                Rgb rgb{};
                for (int b = 0; b < 3; ++b) {
                    std::uint8_t v = 0;
                    EXPECT_EQ(GDALRasterIO(GDALGetRasterBand(ds, b + 1), GF_Read, x, y, 1, 1, &v, 1,
                                           1, GDT_Byte, 0, 0),
                              CE_None);
                    rgb[b] = v;
                }
                colour = rgb;
            }
        } else {
            ADD_FAILURE() << "no geotransform in " << file;
        }
        GDALClose(ds);
        return colour;
    };
}

double Number(const std::string& text, const std::string& pattern) {
    std::smatch m;
    if (!std::regex_search(text, m, std::regex(pattern))) {
        ADD_FAILURE() << "no " << pattern;
        return 0;
    }
    return engine::ParseFloat(m[1].str()).value_or(0);
}

// Each overlay's image stretched over its latitude and longitude box, as a globe viewer does.
Reader KmlReader(const std::filesystem::path& kml) {
    return [kml](double mx, double my) -> std::optional<Rgb> {
        const double lng = mx / kHalfWorld * 180;
        const double lat =
            std::atan(std::sinh(my / kHalfWorld * std::numbers::pi)) * 180 / std::numbers::pi;
        const std::string text = testsupport::ReadFileBytes(kml);
        static const std::regex overlay(
            "<href>([^<]+)</href>[\\s\\S]*?<north>([^<]+)</north>\\s*<south>([^<]+)</south>\\s*"
            "<east>([^<]+)</east>\\s*<west>([^<]+)</west>");
        for (std::sregex_iterator it(text.begin(), text.end(), overlay), end; it != end; ++it) {
            const auto& m = *it;
            const double north = *engine::ParseFloat(m[2].str());
            const double south = *engine::ParseFloat(m[3].str());
            const double east = *engine::ParseFloat(m[4].str());
            const double west = *engine::ParseFloat(m[5].str());
            if (lng < west || lng >= east || lat > north || lat <= south) {
                continue;
            }
            const auto image = engine::ReadImageFile(kml.parent_path() / m[1].str());
            if (!image) {
                ADD_FAILURE() << "cannot read " << m[1].str();
                return std::nullopt;
            }
            return PixelOf(*image, (lng - west) / (east - west) * image->width,
                           (north - lat) / (north - south) * image->height);
        }
        return std::nullopt;
    };
}

// The blob of the first row that `sql` selects, with its integer parameters bound.
std::optional<std::string> Blob(const std::filesystem::path& db, const char* sql,
                                std::initializer_list<std::int64_t> values) {
    sqlite3* handle = nullptr;
    std::optional<std::string> blob;
    if (sqlite3_open_v2(db.c_str(), &handle, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(handle, sql, -1, &statement, nullptr) == SQLITE_OK) {
            int i = 1;
            for (const std::int64_t v : values) {
                sqlite3_bind_int64(statement, i++, v);
            }
            if (sqlite3_step(statement) == SQLITE_ROW) {
                blob.emplace(static_cast<const char*>(sqlite3_column_blob(statement, 0)),
                             static_cast<std::size_t>(sqlite3_column_bytes(statement, 0)));
            }
        }
        sqlite3_finalize(statement);
    } else {
        ADD_FAILURE() << "cannot open " << db;
    }
    sqlite3_close(handle);
    return blob;
}

// A level of the calibration: its Mercator bounds over an image of the given size, cut into
// chunks of img_width by img_height stored at their column and row.
Reader OruxReader(const std::filesystem::path& db, const std::filesystem::path& calibration) {
    return [db, calibration](double mx, double my) -> std::optional<Rgb> {
        const std::string text = testsupport::ReadFileBytes(calibration);
        const std::string level = "layerLevel=\"" + engine::FormatInt(kZ) + "\"";
        const std::size_t at = text.find(level);
        if (at == std::string::npos) {
            ADD_FAILURE() << "no level " << kZ << " in " << text;
            return std::nullopt;
        }
        const std::string part = text.substr(at, text.find("</MapCalibration>", at) - at);
        const double chunkWidth = Number(part, "img_width=\"([0-9]+)\"");
        const double chunkHeight = Number(part, "img_height=\"([0-9]+)\"");
        const double width = Number(part, "<MapDimensions height=\"[0-9]+\" width=\"([0-9]+)\"");
        const double height = Number(part, "<MapDimensions height=\"([0-9]+)\"");
        double xw = 0, yn = 0, xe = 0, ys = 0;
        engine::LngLatToMercator(Number(part, "minLon=\"([-0-9.]+)\""),
                                 Number(part, "maxLat=\"([-0-9.]+)\""), xw, yn);
        engine::LngLatToMercator(Number(part, "maxLon=\"([-0-9.]+)\""),
                                 Number(part, "minLat=\"([-0-9.]+)\""), xe, ys);
        const double px = (mx - xw) / (xe - xw) * width;
        const double py = (yn - my) / (yn - ys) * height;
        const auto column = static_cast<std::int64_t>(std::floor(px / chunkWidth));
        const auto row = static_cast<std::int64_t>(std::floor(py / chunkHeight));
        const auto bytes =
            Blob(db, "SELECT image FROM tiles WHERE x=? AND y=? AND z=?", {column, row, kZ});
        if (!bytes) {
            return std::nullopt;
        }
        const auto image = DecodeBytes(*bytes);
        return image ? PixelOf(*image, px - column * chunkWidth, py - row * chunkHeight)
                     : std::nullopt;
    };
}

// The tile origin, the tile width and the level's resolution of conf.xml, and the tile file of
// the column and row they give.
Reader ArcGISReader(const std::filesystem::path& cache) {
    return [cache](double mx, double my) -> std::optional<Rgb> {
        const std::string xml = testsupport::ReadFileBytes(cache / "conf.xml");
        const double x0 = Number(xml, "<TileOrigin[^>]*><X>([-0-9.]+)</X>");
        const double y0 = Number(xml, "<TileOrigin[^>]*><X>[-0-9.]+</X><Y>([-0-9.]+)</Y>");
        const double cols = Number(xml, "<TileCols>([0-9]+)</TileCols>");
        const double rows = Number(xml, "<TileRows>([0-9]+)</TileRows>");
        const double resolution = Number(xml, "<LevelID>" + engine::FormatInt(kZ) +
                                                  "</LevelID><Scale>[0-9.]+</Scale><Resolution>"
                                                  "([0-9.]+)</Resolution>");
        const double px = (mx - x0) / resolution;
        const double py = (y0 - my) / resolution;
        const auto column = static_cast<long long>(std::floor(px / cols));
        const auto row = static_cast<long long>(std::floor(py / rows));
        char name[64];
        std::snprintf(name, sizeof name, "L%02d/R%08llX/C%08llX.png", kZ, row, column);
        const auto image = engine::ReadImageFile(cache / "_alllayers" / name);
        return image ? PixelOf(*image, (px - column * cols) * image->width / cols,
                               (py - row * rows) * image->height / rows)
                     : std::nullopt;
    };
}

// Tiles by their Web Mercator address, the level stored as 17 - z.
Reader RMapsReader(const std::filesystem::path& db) {
    return [db](double mx, double my) -> std::optional<Rgb> {
        const double tx = (mx + kHalfWorld) / TileMetres();
        const double ty = (kHalfWorld - my) / TileMetres();
        const auto x = static_cast<std::int64_t>(std::floor(tx));
        const auto y = static_cast<std::int64_t>(std::floor(ty));
        const auto bytes =
            Blob(db, "SELECT image FROM tiles WHERE x=? AND y=? AND z=? AND s=0", {x, y, 17 - kZ});
        if (!bytes) {
            return std::nullopt;
        }
        const auto image = DecodeBytes(*bytes);
        return image ? PixelOf(*image, (tx - x) * image->width, (ty - y) * image->height)
                     : std::nullopt;
    };
}

struct Output {
    TImageCombineType kind;
    const char* name;
    int tolerance;  // per band; JPEG outputs are re-encoded
    std::function<Reader(const std::filesystem::path& out)> reader;
};

const std::vector<Output>& Outputs() {
    static const std::vector<Output> outputs = {
        {TImageCombineType::icGeoTIF, "GeoTIFF", 0,
         [](const auto& out) { return GdalReader(out / "Task_L12" / "Task.tif"); }},
        {TImageCombineType::icPNG, "PNG", 0,
         [](const auto& out) { return GdalReader(out / "Task_L12" / "Task.png"); }},
        {TImageCombineType::icBMP, "BMP", 0,
         [](const auto& out) { return GdalReader(out / "Task_L12" / "Task.bmp"); }},
        {TImageCombineType::icJPG, "JPEG", 30,
         [](const auto& out) { return GdalReader(out / "Task_L12" / "Task.jpg"); }},
        {TImageCombineType::icMBTiles, "MBTiles", 0,
         [](const auto& out) { return GdalReader(out / "Task_MBTiles" / "Task.mbtiles"); }},
        {TImageCombineType::icGoogleEarth, "KML", 0,
         [](const auto& out) { return KmlReader(out / "Task_L12" / "Task12.kml"); }},
        {TImageCombineType::icOruxMaps, "OruxMaps", 0,
         [](const auto& out) {
             return OruxReader(out / "Task_OruxMaps" / "OruxMapsImages.db",
                               out / "Task_OruxMaps" / "Task.otrk2.xml");
         }},
        {TImageCombineType::icRMaps, "RMaps", 0,
         [](const auto& out) { return RMapsReader(out / "Task_RMaps" / "Task.sqlitedb"); }},
        {TImageCombineType::icArcGIS, "ArcGIS", 0,
         [](const auto& out) { return ArcGISReader(out / "Task_ArcGIS瓦片"); }},
    };
    return outputs;
}

bool Near(const std::optional<Rgb>& got, const Rgb& want, int tolerance) {
    if (!got) {
        return false;
    }
    for (int b = 0; b < 3; ++b) {
        if (std::abs((*got)[b] - want[b]) > tolerance) {
            return false;
        }
    }
    return true;
}

std::string Text(const std::optional<Rgb>& c) {
    return c ? engine::FormatInt((*c)[0]) + "," + engine::FormatInt((*c)[1]) + "," +
                   engine::FormatInt((*c)[2])
             : "nothing";
}

TEST(CombineTileSize, EveryOutputPutsEachTileAtItsOwnPlaceForBothTileSizes) {
    GDALAllRegister();
    // Inside the range's corner tiles and in its middle.
    const std::pair<int, int> probes[] = {
        {kMinCol, kMinRow}, {kMaxCol, kMaxRow}, {kMinCol + 1, kMaxRow}, {kMaxCol, kMinRow}};
    const std::string area =
        test::AreaText({{kMinCol + 0.3, kMinRow + 0.2}, {kMaxCol + 0.7, kMaxRow + 0.8}}, kZ);
    for (const int tileSize : {256, 512}) {
        testsupport::TempDir dir;
        const auto tiles = dir / "tiles";
        // The road map is a big-font layer: its tiles are 512 pixels in that mode.
        test::MakeTiles(tiles, TMapType::mtGoogleRoadMap, kZ, kMinCol, kMaxCol, kMinRow, kMaxRow,
                        tileSize);
        auto task = test::MakeTask(dir.path(), tiles, TMapType::mtGoogleRoadMap, area);
        task.SetTileSize(tileSize);
        for (const Output& output : Outputs()) {
            SCOPED_TRACE(std::string(output.name) + ", " + engine::FormatInt(tileSize) + " pixels");
            const auto out = dir / output.name;
            RecordingEvents events;
            test::RunWorker(task, out, output.kind, test::Levels({kZ}), events);
            ASSERT_EQ(events.endResult, CombineResult::Completed);
            const Reader read = output.reader(out);
            const double t = TileMetres();
            const double pixel = t / tileSize;
            for (const auto& [x, y] : probes) {
                const double west = -kHalfWorld + x * t;
                const double north = kHalfWorld - y * t;
                // The centres of the tile's corner pixels and of the tile.
                const std::pair<double, double> points[] = {
                    {west + pixel / 2, north - pixel / 2},
                    {west + t - pixel / 2, north - pixel / 2},
                    {west + pixel / 2, north - t + pixel / 2},
                    {west + t - pixel / 2, north - t + pixel / 2},
                    {west + t / 2, north - t / 2}};
                for (const auto& [mx, my] : points) {
                    const auto colour = read(mx, my);
                    EXPECT_TRUE(Near(colour, ColourOf(x, y), output.tolerance))
                        << "tile " << x << "," << y << " at " << engine::FormatFixed(mx, 3) << ","
                        << engine::FormatFixed(my, 3) << " shows " << Text(colour);
                }
            }
        }
    }
}

// The cache's scale follows its resolution: readers that place tiles by the scale put them
// where the resolution does.
TEST(CombineTileSize, ArcGISScaleAndResolutionDescribeTheSamePixels) {
    for (const int tileSize : {256, 512}) {
        testsupport::TempDir dir;
        const engine::TGLatLngBounds box{{39.95, 116.45}, {39.88, 116.35}};
        ASSERT_TRUE(WriteArcGISCacheConfig(dir.path(), box, test::Levels({3, 12}),
                                           engine::TImgType::itPNG, tileSize));
        const std::string xml = testsupport::ReadFileBytes(dir / "conf.xml");
        for (const int z : {3, 12}) {
            SCOPED_TRACE(engine::FormatInt(tileSize) + " pixels, level " + engine::FormatInt(z));
            const std::string lod = "<LevelID>" + engine::FormatInt(z) + "</LevelID>";
            const double scale = Number(xml, lod + "<Scale>([0-9.]+)</Scale>");
            const double resolution =
                Number(xml, lod + "<Scale>[0-9.]+</Scale><Resolution>([0-9.]+)</Resolution>");
            EXPECT_DOUBLE_EQ(resolution, 2 * kHalfWorld / (tileSize * std::ldexp(1.0, z)));
            // Metres per pixel over metres on the map: the ratio of every 256-pixel level.
            const double ratio = engine::ZoomScales[0] / (2 * kHalfWorld / 256);
            EXPECT_NEAR(scale / resolution / ratio, 1.0, 1e-9);
        }
    }
}

}  // namespace
}  // namespace raster
