// The packed Google-family page in a real offscreen view: offline tiles from a generated tile
// folder, area shapes and their texts through the bridge, the right-click clear, and every
// layer switch without a script error. Each case loads the page once and checks a whole
// behaviour on it.
#ifdef VANTOREL_HAS_PAGE_RESOURCES

#include <QRegularExpression>
#include <QTest>
#include <cmath>
#include <numbers>

#include <gtest/gtest.h>

#include "engine/download/tile_path.h"
#include "engine/image/image_codec.h"
#include "map_view_harness.h"
#include "qt_print.h"
#include "support/temp_dir.h"
#include "support/tile_server.h"

namespace {

using engine::TMapType;
using testmainwindow::ColourText;
using testmainwindow::MapView;
using testmainwindow::WaitUntil;

constexpr int kZoom = 3;

// A colour of its own for every tile of the zoom level (x and y below 8), per layer.
QColor TileColour(int layerSalt, int x, int y) {
    return QColor(30 + x * 28, 30 + y * 28, 40 + layerSalt * 60);
}

void WriteTile(const std::filesystem::path& file, const QColor& colour,
               engine::ImageFormat format) {
    engine::RgbaImage image(256, 256);
    for (int y = 0; y < 256; ++y) {
        for (int x = 0; x < 256; ++x) {
            auto* p = image.At(x, y);
            p[0] = static_cast<std::uint8_t>(colour.red());
            p[1] = static_cast<std::uint8_t>(colour.green());
            p[2] = static_cast<std::uint8_t>(colour.blue());
            p[3] = 255;
        }
    }
    std::string error;
    ASSERT_TRUE(engine::WriteImageFile(file, image, format, 95, &error)) << error;
}

// Web Mercator tile of a view pixel, for a view centred on (lat, lng) at zoom kZoom.
engine::TTile TileAt(double lat, double lng, int px, int py) {
    const double world = 256.0 * (1 << kZoom);
    const double cx = (lng + 180.0) / 360.0 * world;
    const double s = std::sin(lat * std::numbers::pi / 180.0);
    const double cy = (0.5 - std::log((1 + s) / (1 - s)) / (4 * std::numbers::pi)) * world;
    const double gx = cx + (px - MapView::kWidth / 2.0);
    const double gy = cy + (py - MapView::kHeight / 2.0);
    return {static_cast<std::int32_t>(std::floor(gx / 256)),
            static_cast<std::int32_t>(std::floor(gy / 256)), static_cast<std::int8_t>(kZoom)};
}

class GooglePageViewTest : public ::testing::Test {
  protected:
    void TearDown() override { EXPECT_EQ(view_.Page().errors, QStringList()); }

    mainwindow::TPageSettings Offline(double lat, double lng) {
        mainwindow::TPageSettings settings;
        settings.OfflineMode = true;
        settings.OutPutDirectory = tiles_.path().string();
        settings.Latitude = lat;
        settings.Longitude = lng;
        settings.ZoomLevel = kZoom;
        return settings;
    }

    testsupport::TempDir tiles_;
    MapView view_;
};

TEST_F(GooglePageViewTest, OfflineModeShowsTheTilesOfTheDownloadFolder) {
    // Layers written by the downloader's own path rules, under both image types; layer 30
    // shares its folder name with 31 the other way round, and the page must follow that.
    struct LayerCase {
        TMapType layer;
        engine::TImgType type;
        engine::ImageFormat format;
        int tolerance;
    };
    const LayerCase cases[] = {
        {TMapType::mtGoogleRoadMap, engine::TImgType::itPNG, engine::ImageFormat::Png, 3},
        {TMapType::mtGoogleSatellite, engine::TImgType::itJPG, engine::ImageFormat::Jpeg, 8},
        {TMapType::mtArcGIS_StreetCold, engine::TImgType::itPNG, engine::ImageFormat::Png, 3},
    };
    for (int salt = 0; salt < 3; ++salt) {
        for (int x = 0; x < (1 << kZoom); ++x) {
            for (int y = 0; y < (1 << kZoom); ++y) {
                const engine::TTile tile{x, y, kZoom};
                WriteTile(
                    engine::BaseTilePath(tiles_.path(), cases[salt].layer, tile, cases[salt].type),
                    TileColour(salt, x, y), cases[salt].format);
            }
        }
    }

    // The view's centre on the corner of four tiles, so the sample points sit far from edges.
    const double lat = std::atan(std::sinh(std::numbers::pi / 4)) * 180 / std::numbers::pi;
    const double lng = 45.0;
    ASSERT_TRUE(view_.Load(cases[0].layer, Offline(lat, lng)));
    // Points well inside four different tiles of the view.
    const QPoint points[] = {{128, 96}, {384, 96}, {128, 288}, {384, 288}, {320, 240}};
    for (int salt = 0; salt < 3; ++salt) {
        SCOPED_TRACE("layer " + std::to_string(static_cast<int>(cases[salt].layer)));
        if (salt > 0) {
            view_.Host().ExecJavaScript(
                QStringLiteral("changeMapType(%1);").arg(static_cast<int>(cases[salt].layer)));
        }
        ASSERT_TRUE(view_.WaitForTiles()) << "the offline tiles did not finish loading";
        for (const QPoint& p : points) {
            const engine::TTile tile = TileAt(lat, lng, p.x(), p.y());
            const QColor expected = TileColour(salt, tile.x, tile.y);
            QColor seen;
            EXPECT_TRUE(view_.WaitForPixel(p.x(), p.y(), expected, cases[salt].tolerance, seen))
                << "pixel (" << p.x() << ", " << p.y() << ") shows " << ColourText(seen)
                << ", not tile " << tile.x << "/" << tile.y << " " << ColourText(expected);
        }
    }
    EXPECT_EQ(view_.Router().offMachine.load(), 0) << "offline mode asked the web for tiles";
}

}  // namespace

#endif
