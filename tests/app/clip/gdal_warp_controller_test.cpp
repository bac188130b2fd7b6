#include <cpl_conv.h>
#include <gdal.h>
#include <ogr_srs_api.h>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QUrl>
#include <algorithm>
#include <cstdlib>

#include <gtest/gtest.h>

#include "app/clip/clip_commands.h"
#include "app/clip/gdal_warp_controller.h"
#include "app/stitch/raster_ui_support.h"
#include "app/support/fake_services.h"
#include "app/support/qt_print.h"
#include "app/widgets/colour_table.h"

namespace {

using rasterui::ClipTools;
using rasterui::GdalWarpController;
using testrasterui::Q;

constexpr int kFill[3] = {10, 200, 30};

// 100 by 100 pixels of one colour over longitudes 100 to 101 and latitudes 30 to 31.
void MakeGeoTiff(const std::filesystem::path& file) {
    GDALAllRegister();
    std::filesystem::create_directories(file.parent_path());
    GDALDatasetH ds =
        GDALCreate(GDALGetDriverByName("GTiff"), file.c_str(), 100, 100, 3, GDT_Byte, nullptr);
    ASSERT_NE(ds, nullptr);
    double transform[6] = {100.0, 0.01, 0.0, 31.0, 0.0, -0.01};
    GDALSetGeoTransform(ds, transform);
    OGRSpatialReferenceH srs = OSRNewSpatialReference(nullptr);
    OSRImportFromEPSG(srs, 4326);
    char* wkt = nullptr;
    OSRExportToWkt(srs, &wkt);
    GDALSetProjection(ds, wkt);
    CPLFree(wkt);
    OSRDestroySpatialReference(srs);
    std::vector<std::uint8_t> plane(100 * 100);
    for (int b = 0; b < 3; ++b) {
        std::fill(plane.begin(), plane.end(), static_cast<std::uint8_t>(kFill[b]));
        ASSERT_EQ(GDALRasterIO(GDALGetRasterBand(ds, b + 1), GF_Write, 0, 0, 100, 100, plane.data(),
                               100, 100, GDT_Byte, 0, 0),
                  CE_None);
    }
    GDALClose(ds);
}

// A right triangle over longitudes 100.2 to 100.8 and latitudes 30.2 to 30.8 whose north-east
// half is cut away.
void MakeTriangle(const std::filesystem::path& file) {
    testsupport::WriteFileBytes(
        file, R"({"type":"FeatureCollection","features":[{"type":"Feature","properties":{},)"
              R"("geometry":{"type":"Polygon","coordinates":[[[100.2,30.2],[100.8,30.2],)"
              R"([100.2,30.8],[100.2,30.2]]]}}]})");
}

std::vector<int> Pixel(const std::filesystem::path& file, int x, int y) {
    std::vector<int> values;
    GDALDatasetH ds = GDALOpen(file.c_str(), GA_ReadOnly);
    if (ds == nullptr) {
        ADD_FAILURE() << "cannot open " << file;
        return values;
    }
    for (int b = 1; b <= GDALGetRasterCount(ds); ++b) {
        std::uint8_t v = 0;
        EXPECT_EQ(
            GDALRasterIO(GDALGetRasterBand(ds, b), GF_Read, x, y, 1, 1, &v, 1, 1, GDT_Byte, 0, 0),
            CE_None);
        values.push_back(v);
    }
    GDALClose(ds);
    return values;
}

std::vector<std::string> Names(const std::filesystem::path& folder) {
    return std::filesystem::exists(folder) ? raster::test::FilesIn(folder)
                                           : std::vector<std::string>{};
}

// An executable script standing in for a tool.
std::filesystem::path Script(const std::filesystem::path& file, const std::string& body) {
    testsupport::WriteFileBytes(file, "#!/bin/sh\n" + body + "\n");
    std::filesystem::permissions(file, std::filesystem::perms::owner_all);
    return file;
}

class ClipTest : public ::testing::Test {
  protected:
    void SetUp() override { std::filesystem::create_directories(temp); }

    GdalWarpController& Make(ClipTools tools = {}) {
        tools.temporaryFolder = Q(temp);
        controller =
            std::make_unique<GdalWarpController>(settings, fakes.services, std::move(tools));
        return *controller;
    }

    // Clicks "裁剪" and waits for the end; the result of the chain.
    bool ClipToEnd() {
        QSignalSpy finished(controller.get(), &GdalWarpController::clipFinished);
        controller->Clip();
        EXPECT_FALSE(controller->ClipEnabled());
        if (!testrasterui::WaitFor([&] { return finished.count() > 0; })) {
            ADD_FAILURE() << "the clip did not end";
            return false;
        }
        EXPECT_EQ(finished.count(), 1);
        return finished.at(0).at(0).toBool();
    }

    testsupport::TempDir dir;
    std::filesystem::path temp = dir / "tmp";
    engine::TSettings settings{testrasterui::PathsIn(dir.path())};
    testmainwindow::FakeServices fakes;
    std::unique_ptr<GdalWarpController> controller;
};

// The map in another format, georeferenced by its GDAL side file as a stitched image is.
void CopyAs(const std::filesystem::path& tif, const std::filesystem::path& file,
            const char* driver) {
    GDALDatasetH source = GDALOpen(tif.c_str(), GA_ReadOnly);
    ASSERT_NE(source, nullptr);
    GDALDatasetH copy = GDALCreateCopy(GDALGetDriverByName(driver), file.c_str(), source, FALSE,
                                       nullptr, nullptr, nullptr);
    ASSERT_NE(copy, nullptr) << CPLGetLastErrorMsg();
    GDALClose(copy);
    GDALClose(source);
}

// Every source type, with 透明 on and off: the clipped file keeps the source's format, lies
// where the source does, and holds an alpha band only where the format can: BMP and JPEG get
// three bands (a JPEG of four would be CMYK) with the outside black.
TEST_F(ClipTest, ClipsEveryImageTypeTransparentOrInTheChosenColour) {
    struct Type {
        const char* extension;
        const char* driver;
        bool holdsAlpha;
        int tolerance;  // JPEG is lossy
    };
    const Type types[] = {{"tif", "GTiff", true, 0},
                          {"png", "PNG", true, 0},
                          {"bmp", "BMP", false, 0},
                          {"jpg", "JPEG", false, 4}};
    const std::vector<int> skyBlue = {166, 202, 240};
    for (const Type& type : types) {
        for (const bool transparent : {true, false}) {
            SCOPED_TRACE(std::string(type.extension) + (transparent ? " transparent" : " colour"));
            testsupport::TempDir maps;
            const std::string name = std::string("map.") + type.extension;
            const auto source = maps / name;
            if (type.driver == std::string("GTiff")) {
                MakeGeoTiff(source);
            } else {
                MakeGeoTiff(dir / "map.tif");
                CopyAs(dir / "map.tif", source, type.driver);
            }
            MakeTriangle(maps / "cut.json");
            const std::vector<std::string> before = Names(maps.path());
            fakes.opener.opened.clear();
            auto& c = Make();
            c.SetImage(Q(source));
            c.SetCutline(Q(maps / "cut.json"));
            c.SetTransparent(transparent);
            c.SetColour(rasterui::RgbColour(166, 202, 240));
            ASSERT_TRUE(ClipToEnd()) << c.Log().toStdString();

            const auto clipped = maps / ("裁剪_" + name);
            const auto info = raster::test::GdalInfo(clipped);
            EXPECT_EQ(info["driverShortName"], type.driver);
            EXPECT_EQ(info["size"], nlohmann::json::array({60, 60}));
            EXPECT_NEAR(info["geoTransform"][0].get<double>(), 100.2, 1e-9);
            EXPECT_NEAR(info["geoTransform"][3].get<double>(), 30.8, 1e-9);
            EXPECT_NEAR(info["geoTransform"][1].get<double>(), 0.01, 1e-12);
            EXPECT_NE(info["coordinateSystem"]["wkt"].get<std::string>().find("WGS 84"),
                      std::string::npos);
            const bool alpha = transparent && type.holdsAlpha;
            std::vector<std::string> colours;
            for (const auto& band : info["bands"]) {
                colours.push_back(band["colorInterpretation"].get<std::string>());
                // A colour fill is pixels, not an empty value: one no-data value shared by all
                // bands would hide every pixel that has the fill's last component in any band.
                EXPECT_FALSE(band.contains("noDataValue")) << band.dump();
            }
            std::vector<std::string> expectedColours = {"Red", "Green", "Blue"};
            if (alpha) {
                expectedColours.push_back("Alpha");
            }
            EXPECT_EQ(colours, expectedColours);
            if (type.driver == std::string("JPEG")) {
                EXPECT_EQ(info["metadata"]["IMAGE_STRUCTURE"]["SOURCE_COLOR_SPACE"], "YCbCr");
            }

            std::vector<int> inside = {kFill[0], kFill[1], kFill[2]};
            std::vector<int> outside = transparent ? std::vector<int>{0, 0, 0} : skyBlue;
            if (alpha) {
                inside.push_back(255);
                outside.push_back(0);
            }
            const auto near = [&type](const std::vector<int>& got, const std::vector<int>& want) {
                if (got.size() != want.size()) {
                    return false;
                }
                for (std::size_t i = 0; i < got.size(); ++i) {
                    if (std::abs(got[i] - want[i]) > type.tolerance) {
                        return false;
                    }
                }
                return true;
            };
            EXPECT_PRED2(near, Pixel(clipped, 5, 55), inside);
            EXPECT_PRED2(near, Pixel(clipped, 58, 1), outside);

            EXPECT_TRUE(c.ClipEnabled());
            ASSERT_EQ(fakes.opener.opened.size(), 1u);
            EXPECT_EQ(fakes.opener.opened[0], QUrl::fromLocalFile(Q(maps.path())));
            std::vector<std::string> after = before;
            after.push_back("裁剪_" + name);
            if (type.driver != std::string("GTiff")) {
                after.push_back("裁剪_" + name + ".aux.xml");
            }
            std::sort(after.begin(), after.end());
            EXPECT_EQ(Names(maps.path()), after);
            EXPECT_TRUE(Names(temp).empty());
            EXPECT_TRUE(c.Log().contains("100 - done")) << c.Log().toStdString();
        }
    }
}

TEST_F(ClipTest, AFailedClipKeepsAnEarlierClippedFileWhole) {
    testsupport::TempDir maps;
    MakeGeoTiff(maps / "map.tif");
    MakeTriangle(maps / "cut.json");
    auto& c = Make();
    c.SetImage(Q(maps / "map.tif"));
    c.SetCutline(Q(maps / "cut.json"));
    ASSERT_TRUE(ClipToEnd());
    const std::string before = testsupport::ReadFileBytes(maps / "裁剪_map.tif");
    auto& failing = Make(ClipTools{"gdalwarp", "false", {}, {}});
    failing.SetImage(Q(maps / "map.tif"));
    failing.SetCutline(Q(maps / "cut.json"));
    failing.SetTransparent(false);
    EXPECT_FALSE(ClipToEnd());
    EXPECT_EQ(testsupport::ReadFileBytes(maps / "裁剪_map.tif"), before);
    EXPECT_EQ(Names(maps.path()),
              (std::vector<std::string>{"cut.json", "map.tif", "裁剪_map.tif"}));
}

TEST_F(ClipTest, PathsWithBlanksQuotesAndChineseText) {
    const auto folder = dir / "我的 地图 'a' \"b\"";
    const auto source = folder / "测试 图 1.tif";
    MakeGeoTiff(source);
    MakeTriangle(folder / "边界 线.json");
    auto& c = Make();
    c.SetImage(Q(source));
    c.SetCutline(Q(folder / "边界 线.json"));
    ASSERT_TRUE(ClipToEnd()) << c.Log().toStdString();
    const auto clipped = folder / "裁剪_测试 图 1.tif";
    EXPECT_EQ(raster::test::GdalInfo(clipped)["size"], nlohmann::json::array({60, 60}));
    ASSERT_EQ(fakes.opener.opened.size(), 1u);
    EXPECT_EQ(fakes.opener.opened[0], QUrl::fromLocalFile(Q(folder)));
}

TEST_F(ClipTest, AFailureOpensNothingRemovesTheTemporaryFilesAndEnablesTheButton) {
    struct Case {
        const char* name;
        bool missingCutline;
        const char* warp;
        const char* translate;
    };
    for (const Case& k :
         {Case{"missing cutline", true, "gdalwarp", "gdal_translate"},
          Case{"failing translation", false, "gdalwarp", "false"},
          Case{"tool not found", false, "no-such-tool-vantorel", "gdal_translate"}}) {
        SCOPED_TRACE(k.name);
        testsupport::TempDir maps;
        MakeGeoTiff(maps / "map.tif");
        MakeTriangle(maps / "cut.json");
        fakes.opener.opened.clear();
        auto& c = Make(ClipTools{k.warp, k.translate, {}, {}});
        c.SetImage(Q(maps / "map.tif"));
        c.SetCutline(Q(maps / (k.missingCutline ? "gone.json" : "cut.json")));
        EXPECT_FALSE(ClipToEnd());
        EXPECT_TRUE(c.ClipEnabled());
        EXPECT_FALSE(c.Running());
        EXPECT_TRUE(fakes.opener.opened.empty());
        EXPECT_FALSE(c.Log().isEmpty());
        EXPECT_EQ(Names(maps.path()), (std::vector<std::string>{"cut.json", "map.tif"}));
        EXPECT_TRUE(Names(temp).empty());
    }
}

TEST_F(ClipTest, NothingHappensWithoutASourceOrACutline) {
    struct Case {
        const char* name;
        bool source;
        const char* cutline;
    };
    for (const Case& k :
         {Case{"no source file", false, "cut.json"}, Case{"empty cutline", true, ""}}) {
        SCOPED_TRACE(k.name);
        testsupport::TempDir maps;
        MakeGeoTiff(maps / "map.tif");
        auto& c = Make();
        QSignalSpy cleared(&c, &GdalWarpController::logCleared);
        c.SetImage(Q(maps / (k.source ? "map.tif" : "other.tif")));
        c.SetCutline(QString::fromUtf8(k.cutline));
        c.Clip();
        EXPECT_FALSE(c.Running());
        EXPECT_TRUE(c.ClipEnabled());
        EXPECT_EQ(cleared.count(), 0);
    }
}

TEST_F(ClipTest, ToolOutputIsStreamedAsUtf8AndGdalDataIsTheChildsOnly) {
    const QByteArray before = qgetenv("GDAL_DATA");
    const auto tool = Script(dir / "tool", "echo \"数据 $GDAL_DATA\"; echo 错误 >&2; exit 3");
    testsupport::TempDir maps;
    MakeGeoTiff(maps / "map.tif");
    auto& c = Make(ClipTools{Q(tool), "gdal_translate", "/opt/gdal 数据", {}});
    QString streamed;
    QObject::connect(&c, &GdalWarpController::logAppended,
                     [&streamed](const QString& text) { streamed += text; });
    c.SetImage(Q(maps / "map.tif"));
    c.SetCutline("cut.json");
    EXPECT_FALSE(ClipToEnd());
    EXPECT_EQ(streamed, "数据 /opt/gdal 数据\n错误\n");
    EXPECT_EQ(c.Log(), streamed);
    EXPECT_EQ(qgetenv("GDAL_DATA"), before);
}

TEST_F(ClipTest, AFailingCropStopsTheChainBeforeTheTranslation) {
    testsupport::TempDir maps;
    MakeGeoTiff(maps / "map.tif");
    MakeTriangle(maps / "cut.json");
    const auto marker = dir / "translated";
    const auto translate = Script(dir / "translate", "touch '" + marker.string() + "'");
    auto& c = Make(ClipTools{"false", Q(translate), {}, {}});
    c.SetImage(Q(maps / "map.tif"));
    c.SetCutline(Q(maps / "cut.json"));
    EXPECT_FALSE(ClipToEnd());
    EXPECT_FALSE(std::filesystem::exists(marker));
    EXPECT_TRUE(fakes.opener.opened.empty());
    EXPECT_TRUE(c.ClipEnabled());
}

TEST_F(ClipTest, ClosingEndsOnlyItsOwnToolAndStoresTheColour) {
    // Writes its output (the last argument) and keeps running.
    const auto tool =
        Script(dir / "slow tool", "for a; do out=$a; done; echo partial > \"$out\"; exec sleep 30");
    QProcess other;
    other.start("sleep", {"30"});
    ASSERT_TRUE(other.waitForStarted());
    testsupport::TempDir maps;
    MakeGeoTiff(maps / "map.tif");
    auto& c = Make(ClipTools{Q(tool), "gdal_translate", {}, {}});
    c.SetImage(Q(maps / "map.tif"));
    c.SetCutline("cut.json");
    c.SetColour(rasterui::RgbColour(128, 0, 128));
    c.Clip();
    ASSERT_TRUE(c.Running());
    ASSERT_TRUE(testrasterui::WaitFor([this] { return !Names(temp).empty(); }));
    c.FormClose();
    EXPECT_TRUE(Names(temp).empty()) << "the unfinished crop is removed";
    EXPECT_FALSE(c.Running());
    EXPECT_TRUE(c.ClipEnabled());
    EXPECT_TRUE(fakes.opener.opened.empty());
    EXPECT_EQ(other.state(), QProcess::Running);
    EXPECT_EQ(settings.GetIntSetting(engine::IntSetting::NoDataValue),
              rasterui::RgbColour(128, 0, 128));
    other.kill();
    other.waitForFinished();
}

TEST(ClipCommands, TheToolsArgumentLists) {
    rasterui::WarpOptions o;
    o.cutline = "/a b/cut.json";
    o.source = "/a b/map.tif";
    o.temporary = "/tmp/x.tif";
    o.cacheMB = 384;
    o.transparent = false;
    o.red = 166;
    o.green = 202;
    o.blue = 240;
    EXPECT_EQ(rasterui::WarpArguments(o),
              (QStringList{"--config", "GDAL_CACHEMAX", "384", "-wm", "200", "-overwrite", "-of",
                           "GTiff", "-dstnodata", "166 202 240", "-crop_to_cutline", "-cutline",
                           "/a b/cut.json", "/a b/map.tif", "/tmp/x.tif"}));
    o.transparent = true;
    EXPECT_TRUE(rasterui::WarpArguments(o).contains("-dstalpha"));
    EXPECT_FALSE(rasterui::WarpArguments(o).contains("-dstnodata"));

    struct Case {
        const char* finalName;
        qint64 bytes;
        QStringList expected;
    };
    const qint64 fourGiB = qint64{1} << 32;
    for (const Case& k :
         {Case{
              "a.tif",
              fourGiB - 1,
              {"-of", "GTiff", "t", "o", "-co", "compress=lzw", "--config", "GDAL_CACHEMAX", "64"}},
          Case{"a.tif",
               fourGiB,
               {"-of", "GTiff", "t", "o", "-co", "compress=lzw", "-co", "BIGTIFF=YES", "--config",
                "GDAL_CACHEMAX", "64"}},
          Case{"a.PNG", fourGiB, {"-of", "PNG", "t", "o", "--config", "GDAL_CACHEMAX", "64"}}}) {
        SCOPED_TRACE(k.finalName);
        EXPECT_EQ(rasterui::TranslateArguments("t", "o", k.finalName, 64, k.bytes, false),
                  k.expected);
    }
    EXPECT_EQ(rasterui::TranslateArguments("t", "o", "a.tif", 64, 0, true),
              (QStringList{"-of", "GTiff", "t", "o", "-a_nodata", "none", "-co", "compress=lzw",
                           "--config", "GDAL_CACHEMAX", "64"}));
    EXPECT_EQ(rasterui::ClippedFileName("/maps/a_L15/a.tif"), "/maps/a_L15/裁剪_a.tif");
}

}  // namespace
