// Where stitched images lie: an area that leaves the tile grid and a Baidu task, stitched to
// GeoTIFF and read back with GDAL. The image, its geotransform, its world file and its
// information text describe one tile range, and each tile lies where its own address says.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <locale>
#include <sstream>
#include <string>
#include <vector>

#include "combine_test_support.h"
#include "engine/core/baidu_projection.h"
#include "engine/core/datum.h"
#include "raster/georeference.h"

namespace raster {
namespace {

using engine::TMapType;
using test::ColourOf;
using test::GdalInfo;
using test::kHalfWorld;
using test::ReadPixel;
using test::RecordingEvents;

using GeoTransform = std::array<double, 6>;

GeoTransform GeoTransformIn(const nlohmann::json& info) {
    GeoTransform gt{};
    for (int i = 0; i < 6; ++i) {
        gt[i] = info["geoTransform"][i].get<double>();
    }
    return gt;
}

// The text after `label` up to the line's end.
std::string InfoValue(const std::string& text, const std::string& label) {
    const std::size_t at = text.find(label);
    if (at == std::string::npos) {
        ADD_FAILURE() << "no " << label << " in " << text;
        return {};
    }
    const std::size_t start = at + label.size();
    return text.substr(start, text.find("\r\n", start) - start);
}

// The world file and the information text agree with the image GDAL reads.
void ExpectSideFilesMatch(const std::filesystem::path& image, const std::string& rows,
                          const std::string& columns) {
    const auto info = GdalInfo(image);
    const GeoTransform gt = GeoTransformIn(info);
    std::filesystem::path world = image;
    world.replace_extension(".tfw");
    std::istringstream lines(testsupport::ReadFileBytes(world));
    // World files always use "." whatever the process locale.
    lines.imbue(std::locale::classic());
    std::vector<double> w;
    for (std::string line; std::getline(lines, line);) {
        if (const auto v = engine::ParseFloat(line.substr(0, line.find('\r')))) {
            w.push_back(*v);
        }
    }
    ASSERT_EQ(w.size(), 6u);
    // Pixel sizes, then the centre of the upper-left pixel.
    const GeoTransform fromWorld = {w[4] - w[0] / 2, w[0], w[2], w[5] - w[3] / 2, w[1], w[3]};
    for (int i = 0; i < 6; ++i) {
        EXPECT_NEAR(fromWorld[i], gt[i], 1e-6) << i;
    }
    std::filesystem::path infoText = image;
    infoText.replace_extension(".txt");
    const std::string text = testsupport::ReadFileBytes(infoText);
    EXPECT_EQ(InfoValue(text, "图片宽度(像素):"), info["size"][0].dump());
    EXPECT_EQ(InfoValue(text, "图片高度(像素):"), info["size"][1].dump());
    EXPECT_EQ(InfoValue(text, "瓦片行范围:"), rows);
    EXPECT_EQ(InfoValue(text, "瓦片列范围:"), columns);
    EXPECT_EQ(info["stac"]["proj:epsg"], 3857);
}

class CombineGeoreferenceTest : public ::testing::Test {
  protected:
    testsupport::TempDir dir;
    std::filesystem::path tiles = dir / "tiles";
    std::filesystem::path out = dir / "out";

    std::filesystem::path ImageOf(int z) {
        return out / ("Task_L" + engine::FormatInt(z)) / "Task.tif";
    }
    // A GeoTIFF stitch of `layer`'s tiles over the stored Baidu range `r`, checked tile by tile.
    void ExpectBaiduCityImage(TMapType layer, const engine::TTileBound& r, int z);
};

// North of about 85° and east of 180° there are no tiles: the image holds the tiles that
// exist, and everything that describes it starts at its first one.
TEST_F(CombineGeoreferenceTest, AreaBeyondThePoleOrTheDateLineIsPlacedOnTheTilesThatExist) {
    constexpr int z = 6;
    struct Case {
        const char* name;
        const char* area;  // lng,lat of two corners
        int minCol, maxCol, minRow, maxRow;
    };
    const Case cases[] = {
        {"80 to 89 north", "10,80,20,89", 33, 35, 0, 7},
        {"across 180 east", "170,10,190,20", 62, 63, 28, 30},
    };
    const double tileMetres = 2 * kHalfWorld / 64;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::MakeTiles(tiles, TMapType::mtGoogleRoadMap, z, c.minCol, c.maxCol, c.minRow,
                        c.maxRow);
        const auto task = test::MakeTask(dir.path(), tiles, TMapType::mtGoogleRoadMap, c.area);
        RecordingEvents events;
        test::RunWorker(task, out, TImageCombineType::icGeoTIF, test::Levels({z}), events);
        ASSERT_EQ(events.endResult, CombineResult::Completed);

        const auto image = ImageOf(z);
        const int columns = c.maxCol - c.minCol + 1;
        const int rows = c.maxRow - c.minRow + 1;
        const auto info = GdalInfo(image);
        EXPECT_EQ(info["size"], nlohmann::json::array({columns * 256, rows * 256}));
        const GeoTransform gt = GeoTransformIn(info);
        EXPECT_NEAR(gt[0], -kHalfWorld + c.minCol * tileMetres, 1e-3);
        EXPECT_NEAR(gt[3], kHalfWorld - c.minRow * tileMetres, 1e-3);
        EXPECT_NEAR(gt[1], tileMetres / 256, 1e-9);
        EXPECT_NEAR(gt[5], -tileMetres / 256, 1e-9);
        // The last tile of the range, at the place its own edges give.
        const double east = -kHalfWorld + c.maxCol * tileMetres + tileMetres / 2;
        const double north = kHalfWorld - c.maxRow * tileMetres - tileMetres / 2;
        const double px = (east - gt[0]) / gt[1];
        const double py = (north - gt[3]) / gt[5];
        EXPECT_NEAR(px, (columns - 1) * 256 + 128, 1e-6);
        EXPECT_NEAR(py, (rows - 1) * 256 + 128, 1e-6);
        EXPECT_EQ(
            ReadPixel(image, static_cast<int>(std::lround(px)), static_cast<int>(std::lround(py))),
            ColourOf(c.maxCol, c.maxRow));
        ExpectSideFilesMatch(image, engine::FormatInt(c.minRow) + "-" + engine::FormatInt(c.maxRow),
                             engine::FormatInt(c.minCol) + "-" + engine::FormatInt(c.maxCol));
        std::filesystem::remove_all(out);
        std::filesystem::remove_all(tiles);
    }
}

// The Baidu tile range of an area at one level, as the downloader stores it.
engine::TTileBound BaiduRange(double west, double south, double east, double north, int z) {
    engine::TTileBound r;
    EXPECT_TRUE(engine::BaiduLatLngToTile(z, r.MinCol, r.MinRow, west, south));
    EXPECT_TRUE(engine::BaiduLatLngToTile(z, r.MaxCol, r.MaxRow, east, north));
    r.zoom = z;
    r.Checked = true;
    return r;
}

// Where the centre of Baidu tile (x, y) falls in an image with geotransform `gt`: its Baidu
// metres turned into the map's own degrees, then into Web Mercator like every other layer.
std::pair<double, double> BaiduTileCentreInImage(std::int64_t x, std::int64_t y, int z,
                                                 const GeoTransform& gt) {
    const double metresPerTile = 256 * std::ldexp(1.0, 18 - z);
    const auto degrees =
        engine::BaiduMercatorToLatLng((static_cast<double>(x) + 0.5) * metresPerTile,
                                      (static_cast<double>(y) + 0.5) * metresPerTile);
    double mx = 0, my = 0;
    engine::LngLatToMercator(degrees->lng, degrees->lat, mx, my);
    return {(mx - gt[0]) / gt[1], (my - gt[3]) / gt[5]};
}

struct Offset {
    double pixels = 0;
    double metres = 0;  // on the ground
};

// The largest distance between a tile's centre in the image and the place its own Baidu
// coordinates give, over every tile of the range.
Offset LargestBaiduOffset(const engine::TTileBound& r, int z) {
    const GeoTransform gt = GeoTransformOf(LevelExtentOf(r, z, 256, TileGrid::Baidu));
    Offset largest;
    for (std::int64_t y = r.MinRow; y <= r.MaxRow; ++y) {
        for (std::int64_t x = r.MinCol; x <= r.MaxCol; ++x) {
            const auto [px, py] = BaiduTileCentreInImage(x, y, z, gt);
            const double pixels =
                std::hypot(px - ((x - r.MinCol) * 256 + 128), py - ((r.MaxRow - y) * 256 + 128));
            if (pixels > largest.pixels) {
                // Web Mercator metres shrink to ground metres by the cosine of the latitude.
                const double northing = gt[3] + py * gt[5];
                const double lat = std::atan(std::sinh(northing / 6378137.0));
                largest = {pixels, pixels * gt[1] * std::cos(lat)};
            }
        }
    }
    return largest;
}

// A Baidu task over central Beijing (BD-09 corners), of the road map and of the 3D layer,
// whose tiles the downloader also numbers by the Baidu projection: every tile's colour lies
// within a pixel of the place its own Baidu coordinates give.
TEST_F(CombineGeoreferenceTest, BaiduCityImageHoldsEachTileWhereItsCoordinatesSay) {
    constexpr int z = 14;
    const engine::TTileBound r = BaiduRange(116.25, 39.80, 116.55, 40.02, z);
    ASSERT_GE(r.MaxCol - r.MinCol, 5);
    ASSERT_GE(r.MaxRow - r.MinRow, 5);
    for (const TMapType layer : {TMapType::mtBaiduRoadMap, TMapType::mtBaidu3D}) {
        SCOPED_TRACE(engine::Ord(layer));
        ExpectBaiduCityImage(layer, r, z);
        std::filesystem::remove_all(out);
        std::filesystem::remove_all(tiles);
    }
}

void CombineGeoreferenceTest::ExpectBaiduCityImage(TMapType layer, const engine::TTileBound& r,
                                                   int z) {
    test::MakeTiles(tiles, layer, z, r.MinCol, r.MaxCol, r.MinRow, r.MaxRow);
    const auto task = test::MakeTask(dir.path(), tiles, layer, "116.25,39.80,116.55,40.02");
    engine::TTileBounds bounds{};
    bounds[z] = r;
    RecordingEvents events;
    test::RunWorker(task, out, TImageCombineType::icGeoTIF, test::Levels({z}), events, {}, bounds);
    ASSERT_EQ(events.endResult, CombineResult::Completed);

    const auto image = ImageOf(z);
    const auto info = GdalInfo(image);
    const int columns = r.MaxCol - r.MinCol + 1;
    const int rows = r.MaxRow - r.MinRow + 1;
    EXPECT_EQ(info["size"], nlohmann::json::array({columns * 256, rows * 256}));
    const GeoTransform gt = GeoTransformIn(info);
    const int midCol = (r.MinCol + r.MaxCol) / 2;
    const int midRow = (r.MinRow + r.MaxRow) / 2;
    const std::pair<int, int> probes[] = {{r.MinCol, r.MinRow}, {r.MaxCol, r.MinRow},
                                          {r.MinCol, r.MaxRow}, {r.MaxCol, r.MaxRow},
                                          {midCol, midRow},     {midCol + 1, r.MaxRow - 1}};
    for (const auto& [x, y] : probes) {
        const auto [px, py] = BaiduTileCentreInImage(x, y, z, gt);
        EXPECT_NEAR(px, (x - r.MinCol) * 256 + 128, 1.0) << x << "," << y;
        EXPECT_NEAR(py, (r.MaxRow - y) * 256 + 128, 1.0) << x << "," << y;
        EXPECT_EQ(ReadPixel(image, static_cast<int>(px), static_cast<int>(py)), ColourOf(x, y))
            << x << "," << y;
    }
    ExpectSideFilesMatch(image, engine::FormatInt(r.MinRow) + "-" + engine::FormatInt(r.MaxRow),
                         engine::FormatInt(r.MinCol) + "-" + engine::FormatInt(r.MaxCol));
}

// The image is one affine grid while the Baidu projection is not Web Mercator, so over a
// large area tiles drift from their places: within a pixel for a city at every level, and a
// figure for a province (Hubei, BD-09 box), far below the kilometres that Web Mercator tile
// numbers of the box gave.
TEST(BaiduGeoreference, OffsetOfTilesFromTheirPlacesOverACityAndAProvince) {
    for (int z = 10; z <= 19; ++z) {
        const engine::TTileBound city = BaiduRange(116.25, 39.80, 116.55, 40.02, z);
        EXPECT_LT(LargestBaiduOffset(city, z).pixels, 1.0) << z;
    }
    for (int z : {10, 12, 14}) {
        const engine::TTileBound province = BaiduRange(108.36, 29.03, 116.13, 33.27, z);
        const Offset offset = LargestBaiduOffset(province, z);
        std::printf(
            "Baidu province (Hubei), level %d, %d x %d tiles: largest offset %.2f px, "
            "%.1f m\n",
            z, province.MaxCol - province.MinCol + 1, province.MaxRow - province.MinRow + 1,
            offset.pixels, offset.metres);
        EXPECT_LT(offset.metres, 100) << z;
    }
}

}  // namespace
}  // namespace raster
