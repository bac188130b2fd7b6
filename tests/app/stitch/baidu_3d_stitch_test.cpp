// A task of the Baidu 3D layer from the download to the stitch: the tiles the downloader
// fetched from the loopback server and stored under their Baidu numbers are the ones the stitch
// reads, each in its place, and an export is refused as for the other Baidu layers.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include "app/download/download_harness.h"
#include "engine/core/baidu_projection.h"
#include "engine/image/image_codec.h"
#include "raster/georeference.h"
#include "raster_ui_support.h"

namespace {

using engine::TMapType;
using raster::test::ColourOf;

constexpr int kZ = 18;
constexpr double kMetresPerTile = 256.0;  // at level 18

engine::TGLatLng TileCentre(int x, int y) {
    return *engine::BaiduMercatorToLatLng((x + 0.5) * kMetresPerTile, (y + 0.5) * kMetresPerTile);
}

// The Baidu 3D server's answer: a tile in the colour of its address, read back from the path
// "/resource/mappic/bj/2/3/lv<21 - z>/<x>,<row - 1>.jpg", whose row counts down from the top.
testsupport::CannedAnswer ColouredTile(const testsupport::TileRequest& request) {
    int level = 0, x = 0, row = 0;
    if (std::sscanf(request.target.c_str(), "/resource/mappic/bj/2/3/lv%d/%d,%d.jpg", &level, &x,
                    &row) != 3) {
        return testsupport::tileanswers::Html(404);
    }
    const int z = 21 - level;
    const double size = 256.0 * std::ldexp(1.0, 20 - z);
    const int y = static_cast<int>(std::lround((9998336.0 - (row + 1) * size) / size));
    engine::RgbaImage image(256, 256);
    const raster::test::Rgb colour = ColourOf(x, y);
    for (std::size_t i = 0; i < image.pixels.size(); i += 4) {
        image.pixels[i] = static_cast<std::uint8_t>(colour[0]);
        image.pixels[i + 1] = static_cast<std::uint8_t>(colour[1]);
        image.pixels[i + 2] = static_cast<std::uint8_t>(colour[2]);
        image.pixels[i + 3] = 255;
    }
    testsupport::CannedAnswer answer = testsupport::tileanswers::Png();
    answer.body = *engine::EncodePng(image);
    return answer;
}

TEST(Baidu3DTask, DownloadedTilesAreStitchedInTheirPlacesAndExportsAreRefused) {
    downloadui::Harness h(ColouredTile);
    h.fakes.page.mapType = TMapType::mtBaidu3D;
    // Six tiles over Beijing: three columns, two rows.
    constexpr int x0 = 50616, y0 = 18848;
    const std::vector<engine::TGLatLng> area = {TileCentre(x0, y0), TileCentre(x0 + 2, y0 + 1)};
    h.SetArea(area);
    h.SetLevels({kZ});
    ASSERT_EQ(h.controller->TileCount(), 6);
    h.controller->Start();
    ASSERT_TRUE(h.RunToEnd());
    ASSERT_EQ(h.server.Total(), 6);
    ASSERT_FALSE(h.store.savedBounds.empty());
    const engine::TTileBounds bounds = h.store.savedBounds.back();
    const engine::TTileBound& r = bounds[kZ];
    ASSERT_EQ(r.MinCol, x0);
    ASSERT_EQ(r.MinRow, y0);

    std::string areaText;
    for (const auto& p : area) {
        areaText += (areaText.empty() ? "" : ",") + engine::FormatFloat(p.lng) + "," +
                    engine::FormatFloat(p.lat);
    }
    const auto task =
        raster::test::MakeTask(h.dir.path(), h.tiles(), TMapType::mtBaidu3D, areaText);
    const auto out = h.dir / "out";
    raster::test::RecordingEvents events;
    raster::test::RunWorker(task, out, raster::TImageCombineType::icGeoTIF,
                            raster::test::Levels({kZ}), events, {}, bounds);
    ASSERT_EQ(events.endResult, raster::CombineResult::Completed) << events.Lines().back();

    const auto image = out / "Task_L18" / "Task.tif";
    const auto info = raster::test::GdalInfo(image);
    EXPECT_EQ(info["size"], nlohmann::json::array({3 * 256, 2 * 256}));
    // Rows grow northwards: the image's top row is the range's last one.
    for (int y = y0; y <= y0 + 1; ++y) {
        for (int x = x0; x <= x0 + 2; ++x) {
            EXPECT_EQ(
                raster::test::ReadPixel(image, (x - x0) * 256 + 128, (y0 + 1 - y) * 256 + 128),
                ColourOf(x, y))
                << x << "," << y;
        }
    }
    // Placed by the Baidu projection of its own range.
    const auto expected =
        raster::GeoTransformOf(raster::LevelExtentOf(r, kZ, 256, raster::TileGrid::Baidu));
    for (int i = 0; i < 6; ++i) {
        EXPECT_NEAR(info["geoTransform"][i].get<double>(), expected[i], 1e-6) << i;
    }

    raster::test::RecordingEvents exportEvents;
    raster::test::RunWorker(task, out, raster::TImageCombineType::icMBTiles,
                            raster::test::Levels({kZ}), exportEvents, {}, bounds);
    EXPECT_EQ(exportEvents.Lines(),
              (std::vector<std::string>{std::string("info ") + raster::kExportGridMessage,
                                        "end failed"}));
}

}  // namespace
