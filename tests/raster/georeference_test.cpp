#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <cmath>
#include <string>
#include <vector>

#include "engine/core/catalogue.h"
#include "engine/core/number_format.h"
#include "raster/georeference.h"
#include "raster/output_image.h"
#include "raster_test_support.h"

namespace raster {
namespace {

using engine::TImgType;
using test::FilesIn;
using test::GdalInfo;

const std::string kBom = "\xEF\xBB\xBF";

// The whole world at level 0 (one tile of 256 pixels).
const engine::TGLatLngBounds kWorld{{80.0, 170.0}, {-80.0, -170.0}};

// An area in Beijing that covers 2 by 2 tiles at level 12.
const engine::TGLatLngBounds kBeijing{{39.95, 116.45}, {39.88, 116.35}};

std::string Read(const std::filesystem::path& file) {
    return testsupport::ReadFileBytes(file);
}

// One-tile level 0: the pixel size and the centre of the upper-left pixel at twelve decimals.
TEST(Georeference, WorldFileOfOneTileAtLevelZero) {
    testsupport::TempDir dir;
    std::array<double, 6> gt{};
    ASSERT_TRUE(WriteGeoreferenceFiles(dir / "w.png", ComputeLevelExtent(kWorld, 0, 256),
                                       TImgType::itPNG, gt));
    EXPECT_EQ(Read(dir / "w.pgw"),
              "156543.033928039076\r\n0.000000000000\r\n0.000000000000\r\n"
              "-156543.033928039076\r\n-19959236.825824983418\r\n19959236.825824987143\r\n");
    EXPECT_DOUBLE_EQ(gt[0], -20037508.342789);
    EXPECT_DOUBLE_EQ(gt[1], 156543.033928039076);
    EXPECT_EQ(gt[2], 0);
    EXPECT_NEAR(gt[3], 20037508.342789, 1e-6);
    EXPECT_EQ(gt[4], 0);
    EXPECT_DOUBLE_EQ(gt[5], -gt[1]);
}

TEST(Georeference, InformationTextLayout) {
    testsupport::TempDir dir;
    std::array<double, 6> gt{};
    ASSERT_TRUE(WriteGeoreferenceFiles(dir / "w.jpg", ComputeLevelExtent(kWorld, 0, 256),
                                       TImgType::itJPG, gt));
    EXPECT_EQ(Read(dir / "w.txt"), kBom +
                                       "图片宽度(像素):256\r\n"
                                       "图片高度(像素):256\r\n"
                                       "瓦片行范围:0-0\r\n"
                                       "瓦片列范围:0-0\r\n"
                                       "\r\n"
                                       "WGS84坐标系（经纬度坐标）\r\n"
                                       "左下角:-180.000000000000000,-85.051128779806589\r\n"
                                       "左上角:-180.000000000000000,85.051128779806589\r\n"
                                       "右上角:180.000000000000000,85.051128779806589\r\n"
                                       "右下角:180.000000000000000,-85.051128779806589\r\n"
                                       "\r\n"
                                       "Web墨卡托坐标系（地图原始坐标）\r\n"
                                       "左下角:-20037508.342789001763,-20037508.342788998038\r\n"
                                       "左上角:-20037508.342789001763,20037508.342789005488\r\n"
                                       "右上角:20037508.342789001763,20037508.342789005488\r\n"
                                       "右下角:20037508.342789001763,-20037508.342788998038\r\n");
}

TEST(Georeference, SideFileNamesAndAuxiliaryFile) {
    struct Case {
        TImgType type;
        const char* image;
        std::vector<std::string> files;
    };
    const std::vector<Case> cases = {
        {TImgType::itJPG, "a.b.jpg", {"a.b.jgw", "a.b.jpg.aux.xml", "a.b.txt"}},
        {TImgType::itPNG, "a.png", {"a.pgw", "a.png.aux.xml", "a.txt"}},
        {TImgType::itBMP, "a.bmp", {"a.bmp.aux.xml", "a.bpw", "a.txt"}},
        {TImgType::itTIFF, "a.tif", {"a.tfw", "a.txt"}},
    };
    for (const Case& c : cases) {
        testsupport::TempDir dir;
        std::array<double, 6> gt{};
        ASSERT_TRUE(WriteGeoreferenceFiles(dir / c.image, ComputeLevelExtent(kBeijing, 12, 256),
                                           c.type, gt));
        EXPECT_EQ(FilesIn(dir.path()), c.files) << c.image;
    }
    testsupport::TempDir dir;
    std::array<double, 6> gt{};
    ASSERT_TRUE(WriteGeoreferenceFiles(dir / "x.jpg", ComputeLevelExtent(kBeijing, 12, 256),
                                       TImgType::itJPG, gt));
    EXPECT_EQ(
        Read(dir / "x.jpg.aux.xml"),
        kBom +
            "<PAMDataset><SRS>PROJCS[&quot;WGS_1984_Web_Mercator&quot;,GEOGCS[&quot;GCS_WGS_1984_"
            "Major_Auxiliary_Sphere&quot;,DATUM[&quot;WGS_1984_Major_Auxiliary_Sphere&quot;,"
            "SPHEROID[&quot;WGS_1984_Major_Auxiliary_Sphere&quot;,6378137.0,0.0]],PRIMEM[&quot;"
            "Greenwich&quot;,0.0],UNIT[&quot;Degree&quot;,0.0174532925199433]],PROJECTION[&quot;"
            "Mercator_1SP&quot;],PARAMETER[&quot;False_Easting&quot;,0.0],PARAMETER[&quot;False_"
            "Northing&quot;,0.0],PARAMETER[&quot;Central_Meridian&quot;,0.0],PARAMETER[&quot;"
            "latitude_of_origin&quot;,0.0],UNIT[&quot;Meter&quot;,1.0]]</SRS></PAMDataset>\r\n");
    // The range of the level: 2 by 2 tiles, snapped to their outer edges.
    const std::string info = Read(dir / "x.txt");
    EXPECT_NE(info.find("图片宽度(像素):512\r\n图片高度(像素):512\r\n瓦片行范围:1551-1552\r\n"
                        "瓦片列范围:3371-3372\r\n"),
              std::string::npos)
        << info;
    EXPECT_EQ(Read(dir / "x.jgw").substr(0, 3) == kBom, false);
}

// The side files written after the image is closed are what GDAL reads: the position from the
// world file and the projection from the auxiliary file, for a real stitched PNG.
TEST(Georeference, GdalReadsTheSideFilesOfAStitchedImage) {
    testsupport::TempDir dir;
    test::MakeImage(dir / "t.png", "PNG", 256, 256, 3, test::Pattern);
    const auto image = dir / "out" / "Task.png";
    std::filesystem::create_directories(image.parent_path());
    const LevelExtent extent = ComputeLevelExtent(kBeijing, 12, 256);
    TGDALTool tool;
    OutputImageSettings settings;
    settings.type = TImgType::itPNG;
    settings.width = static_cast<int>(extent.width);
    settings.height = static_cast<int>(extent.height);
    auto stitched = OutputImage::Create(tool, image, settings);
    ASSERT_NE(stitched, nullptr);
    ASSERT_TRUE(stitched->WriteTile(dir / "t.png", 1, 1));
    ASSERT_TRUE(stitched->Finish(GeoTransformOf(extent)));
    std::array<double, 6> gt{};
    ASSERT_TRUE(WriteGeoreferenceFiles(image, extent, TImgType::itPNG, gt));
    EXPECT_EQ(gt, GeoTransformOf(extent));

    const auto info = GdalInfo(image);
    ASSERT_TRUE(info.contains("geoTransform")) << info.dump();
    for (int i = 0; i < 6; ++i) {
        EXPECT_NEAR(info["geoTransform"][i].get<double>(), gt[i], 1e-6) << i;
    }
    EXPECT_NE(info["coordinateSystem"]["wkt"].get<std::string>().find("Mercator"),
              std::string::npos);
    // 116.35 E lies inside the west tile column.
    const auto& upperLeft = info["wgs84Extent"]["coordinates"][0][0];
    EXPECT_NEAR(upperLeft[0].get<double>(), extent.west, 1e-6);
    EXPECT_LT(extent.west, 116.35);
    EXPECT_GT(extent.east, 116.45);
    EXPECT_EQ(FilesIn(image.parent_path()),
              (std::vector<std::string>{"Task.pgw", "Task.png", "Task.png.aux.xml", "Task.txt"}));
}

// Images on the equirectangular grid are located in degrees (EPSG:4326).
TEST(Georeference, GeographicGridSideFiles) {
    testsupport::TempDir dir;
    std::array<double, 6> gt{};
    ASSERT_TRUE(WriteGeoreferenceFiles(dir / "g.jpg",
                                       ComputeLevelExtent(kBeijing, 10, 256, TileGrid::Geographic),
                                       TImgType::itJPG, gt));
    const double step = 360.0 / 1024;
    EXPECT_DOUBLE_EQ(gt[1], step / 256);
    EXPECT_DOUBLE_EQ(gt[5], -step / 256);
    EXPECT_DOUBLE_EQ(gt[0], 842 * step - 180);  // column of 116.35 E
    EXPECT_DOUBLE_EQ(gt[3], 90 - 142 * step);   // row of 39.95 N
    EXPECT_EQ(Read(dir / "g.jpg.aux.xml"),
              kBom +
                  "<PAMDataset><SRS>GEOGCS[&quot;GCS_WGS_1984&quot;,DATUM[&quot;D_WGS_1984&quot;,"
                  "SPHEROID[&quot;WGS_1984&quot;,6378137.0,298.257223563]],PRIMEM[&quot;"
                  "Greenwich&quot;,0.0],UNIT[&quot;Degree&quot;,0.0174532925199433]]</SRS>"
                  "</PAMDataset>\r\n");
    EXPECT_EQ(Read(dir / "g.jgw").substr(0, 32), "0.001373291016\r\n0.000000000000\r\n");
}

TEST(Georeference, UnwritableSideFileIsReported) {
    testsupport::TempDir dir;
    std::filesystem::create_directories(dir / "a.txt");  // a folder in the way
    std::array<double, 6> gt{};
    std::string error;
    EXPECT_FALSE(WriteGeoreferenceFiles(dir / "a.png", ComputeLevelExtent(kBeijing, 3, 256),
                                        TImgType::itPNG, gt, &error));
    EXPECT_FALSE(error.empty());
}

engine::TZoomLevelArray Levels(std::initializer_list<int> zooms) {
    engine::TZoomLevelArray levels{};
    for (int z : zooms) {
        levels[z].Checked = true;
    }
    return levels;
}

const std::string kNamespaces =
    "xmlns:typens=\"http://www.esri.com/schemas/ArcGIS/10.0\" "
    "xmlns:xs=\"http://www.w3.org/2001/XMLSchema\" "
    "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\"";

TEST(ArcGISCacheConfig, ConfigurationFilesLayout) {
    testsupport::TempDir dir;
    ASSERT_TRUE(
        WriteArcGISCacheConfig(dir.path(), kBeijing, Levels({3, 12}), TImgType::itJPG, 256));
    const LevelExtent e = ComputeLevelExtent(kBeijing, 12, 256);
    EXPECT_EQ(Read(dir / "conf.cdi"),
              kBom + "<?xml version=\"1.0\" encoding=\"UTF-8\"?> <EnvelopeN " + kNamespaces +
                  " xsi:type=\"typens:EnvelopeN\">   <XMin>" + FormatFloat12(e.xw) +
                  "</XMin>   <YMin>" + FormatFloat12(e.ys) + "</YMin>   <XMax>" +
                  FormatFloat12(e.xe) + "</XMax>   <YMax>" + FormatFloat12(e.yn) +
                  "</YMax></EnvelopeN>\r\n");
    EXPECT_EQ(FormatFloat12(e.xw).substr(0, 12), "12944152.117");  // column 3371 at level 12

    const std::string xml = Read(dir / "conf.xml");
    ASSERT_EQ(xml.substr(0, 3), kBom);
    std::vector<std::string> lines;
    for (std::size_t start = 3, end; (end = xml.find("\r\n", start)) != std::string::npos;
         start = end + 2) {
        lines.push_back(xml.substr(start, end - start));
    }
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(
        lines[0],
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><CacheInfo " + kNamespaces +
            " xsi:type=\"typens:CacheInfo\"><TileCacheInfo xsi:type=\"typens:TileCacheInfo\">"
            "<SpatialReference xsi:type=\"typens:ProjectedCoordinateSystem\"><WKT>PROJCS["
            "\"WGS_1984_Web_Mercator_Auxiliary_Sphere\",GEOGCS[\"GCS_WGS_1984\",DATUM["
            "\"D_WGS_1984\",SPHEROID[\"WGS_1984\",6378137.0,298.257223563]],PRIMEM[\"Greenwich\","
            "0.0],UNIT[\"Degree\",0.0174532925199433]],PROJECTION[\"Mercator_Auxiliary_Sphere\"],"
            "PARAMETER[\"False_Easting\",0.0],PARAMETER[\"False_Northing\",0.0],PARAMETER["
            "\"Central_Meridian\",0.0],PARAMETER[\"Standard_Parallel_1\",0.0],PARAMETER["
            "\"Auxiliary_Sphere_Type\",0.0],UNIT[\"Meter\",1.0],AUTHORITY[\"EPSG\",3857]]</WKT>"
            "<XOrigin>-20037700</XOrigin><YOrigin>-30241100</YOrigin><XYScale>148923141.92838538"
            "</XYScale><ZOrigin>-100000</ZOrigin><ZScale>10000</ZScale><MOrigin>-100000</MOrigin>"
            "<MScale>10000</MScale><XYTolerance>0.001</XYTolerance><ZTolerance>0.001</ZTolerance>"
            "<MTolerance>0.001</MTolerance><HighPrecision>true</HighPrecision><WKID>3857</WKID>"
            "</SpatialReference><TileOrigin xsi:type=\"typens:PointN\"><X>-20037508.3427892</X>"
            "<Y>20037508.3430388</Y></TileOrigin><TileCols>256</TileCols><TileRows>256</TileRows>"
            "<DPI>96</DPI><LODInfos xsi:type=\"typens:ArrayOfLODInfo\">");
    EXPECT_EQ(lines[1],
              "<LODInfo xsi:type=\"typens:LODInfo\"><LevelID>3</LevelID><Scale>73957338.863641"
              "</Scale><Resolution>19567.87924100512</Resolution></LODInfo>");
    EXPECT_EQ(lines[2],
              "<LODInfo xsi:type=\"typens:LODInfo\"><LevelID>12</LevelID><Scale>144447.927468"
              "</Scale><Resolution>38.21851414258813</Resolution></LODInfo>");
    EXPECT_EQ(lines[3],
              "</LODInfos></TileCacheInfo><TileImageInfo xsi:type=\"typens:TileImageInfo\">"
              "<CacheTileFormat>JPEG</CacheTileFormat><CompressionQuality>0</CompressionQuality>"
              "<Antialiasing>false</Antialiasing></TileImageInfo><CacheStorageInfo "
              "xsi:type=\"typens:CacheStorageInfo\"><StorageFormat>"
              "esriMapCacheStorageModeExploded</StorageFormat><PacketSize>0</PacketSize>"
              "</CacheStorageInfo></CacheInfo>");

    // Both files are well-formed XML.
    for (const char* name : {"conf.cdi", "conf.xml"}) {
        pugi::xml_document doc;
        EXPECT_TRUE(doc.load_file((dir / name).c_str())) << name;
    }
}

TEST(ArcGISCacheConfig, EnvelopeAtTheHighestLevelAndLevelZeroWithoutLevels) {
    testsupport::TempDir a;
    testsupport::TempDir b;
    ASSERT_TRUE(WriteArcGISCacheConfig(a.path(), kBeijing, Levels({}), TImgType::itPNG, 512));
    ASSERT_TRUE(WriteArcGISCacheConfig(b.path(), kBeijing, Levels({0, 5}), TImgType::itPNG, 512));
    const std::string none = Read(a / "conf.cdi");
    EXPECT_NE(none.find("<XMin>-20037508.342789001763</XMin>"), std::string::npos) << none;
    const LevelExtent five = ComputeLevelExtent(kBeijing, 5, 512);
    EXPECT_NE(Read(b / "conf.cdi").find("<XMin>" + FormatFloat12(five.xw) + "</XMin>"),
              std::string::npos);
    const std::string xml = Read(a / "conf.xml");
    EXPECT_EQ(xml.find("<LODInfo "), std::string::npos);
    EXPECT_NE(xml.find("<TileCols>512</TileCols><TileRows>512</TileRows>"), std::string::npos);
    EXPECT_NE(xml.find("<CacheTileFormat>PNG</CacheTileFormat>"), std::string::npos);
}

// North of about 85° and east of 180° there are no tiles: the envelope ends at the grid's edges.
TEST(ArcGISCacheConfig, EnvelopeOfAnAreaPastThePoleAndTheDateLineEndsAtTheGrid) {
    testsupport::TempDir dir;
    const engine::TGLatLngBounds beyond{{89.0, 190.0}, {80.0, 170.0}};
    ASSERT_TRUE(WriteArcGISCacheConfig(dir.path(), beyond, Levels({6}), TImgType::itPNG, 256));
    const std::string cdi = Read(dir / "conf.cdi");
    EXPECT_NE(cdi.find("<XMax>20037508.342789"), std::string::npos) << cdi;
    EXPECT_NE(cdi.find("<YMax>20037508.342789"), std::string::npos) << cdi;
}

// Readers place tiles by the resolution: each level's value reads back as the Web Mercator
// formula's own double, so a tile at longitude 114 lands on its column at every level.
TEST(ArcGISCacheConfig, ResolutionsReadBackExactlyAtEveryLevel) {
    testsupport::TempDir dir;
    engine::TZoomLevelArray all{};
    for (auto& level : all) {
        level.Checked = true;
    }
    ASSERT_TRUE(WriteArcGISCacheConfig(dir.path(), kBeijing, all, TImgType::itPNG, 256));
    const std::string xml = Read(dir / "conf.xml");
    std::size_t at = 0;
    for (int z = 0; z < engine::kZoomLevelCount; ++z) {
        const std::size_t scale = xml.find("<Scale>", at) + 7;
        const std::size_t open = xml.find("<Resolution>", at) + 12;
        const std::size_t close = xml.find("</Resolution>", open);
        ASSERT_NE(close, std::string::npos) << z;
        at = close;
        EXPECT_EQ(xml.substr(scale, xml.find("</Scale>", scale) - scale),
                  engine::FormatFixed(engine::ZoomScales[z], 6))
            << z;
        const auto resolution = engine::ParseFloat(xml.substr(open, close - open));
        ASSERT_TRUE(resolution.has_value()) << z;
        EXPECT_EQ(*resolution, std::ldexp(156543.03392804097, -z)) << z;
        // Column of longitude 114 from the tile origin and the written resolution.
        const double x = 114.0 / 180.0 * 20037508.342789244;
        const double column = (x + 20037508.3427892) / (*resolution * 256);
        EXPECT_NEAR(column, (114.0 + 180.0) / 360.0 * std::ldexp(1.0, z), 1e-6) << z;
    }
}

}  // namespace
}  // namespace raster
