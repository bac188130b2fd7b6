// The packed Google-family page in a real offscreen view: offline tiles from a generated tile
// folder, area shapes and their texts through the bridge, the right-click clear, and every
// layer switch without a script error, and the offline tile files of every layer. Each case
// loads the page once and checks a whole behaviour on it.
#ifdef VANTOREL_HAS_PAGE_RESOURCES

#include <QRegularExpression>
#include <QTest>
#include <cmath>
#include <numbers>

#include <gtest/gtest.h>

#include "app/page/page_scripts.h"
#include "app/page/script_text.h"
#include "app/support/page_answer.h"
#include "app/support/qt_print.h"
#include "encoded_polyline.h"
#include "engine/core/number_format.h"
#include "engine/download/tile_path.h"
#include "engine/image/image_codec.h"
#include "map_view_harness.h"
#include "support/temp_dir.h"
#include "support/tile_server.h"

namespace {

using engine::TMapType;
using testmainwindow::ColourText;
using testmainwindow::EncodedPolyline;
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

QString Pair(double lng, double lat) {
    return QString::fromStdString(engine::FormatFixed(lng, 5) + "," + engine::FormatFixed(lat, 5));
}

class GooglePageViewTest : public ::testing::Test {
  protected:
    void TearDown() override { EXPECT_EQ(view_.Page().errors, QStringList()); }

    app::PageSettings Offline(double lat, double lng) {
        app::PageSettings settings;
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
            AnswerOf(view_.Host(), app::pagescript::ChangeMapType(cases[salt].layer, false));
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

// The overview control sits closed in the lower right corner; its button opens it onto the
// base layer's tiles a few levels out, with the part in view outlined, and closes it again.
TEST_F(GooglePageViewTest, TheOverviewOpensOntoTheBaseLayer) {
    constexpr int kOverviewZoom = 3;  // four levels out from the view's zoom
    for (int x = 0; x < 8; ++x) {
        for (int y = 0; y < 8; ++y) {
            WriteTile(engine::BaseTilePath(tiles_.path(), TMapType::mtGoogleRoadMap,
                                           {x, y, kOverviewZoom}, engine::TImgType::itPNG),
                      TileColour(0, x, y), engine::ImageFormat::Png);
        }
    }
    // The middle of tile 6/3 of that level.
    const double lat = std::atan(std::sinh(std::numbers::pi / 4)) * 180 / std::numbers::pi;
    app::PageSettings settings = Offline(lat, 112.5);
    settings.ZoomLevel = kOverviewZoom + 4;
    ASSERT_TRUE(view_.Load(TMapType::mtGoogleRoadMap, settings));

    const QString box = ".leaflet-bottom.leaflet-right .leaflet-control-minimap";
    const QString button = box + " .leaflet-control-minimap-toggle-display";
    const auto width = [&] {
        return view_.Run("document.querySelector(" + app::JsString(box) + ").clientWidth").toInt();
    };
    ASSERT_TRUE(view_.MiddleOf(box).has_value()) << "no overview control in the corner";
    EXPECT_EQ(width(), 19) << "the overview starts closed";
    EXPECT_EQ(view_.Run("document.querySelector(" + app::JsString(button) + ").title").toString(),
              QStringLiteral("打开鹰眼图"));

    const QString centre = view_.Run("zeb.map.getCenter().toString()").toString();
    ASSERT_TRUE(view_.Click(button));
    ASSERT_TRUE(WaitUntil([&] { return width() == 150; })) << "the overview did not open";
    EXPECT_EQ(view_.Run("zeb.map.getCenter().toString()").toString(), centre)
        << "opening the overview moved the map";
    const auto middle = view_.MiddleOf(box);
    ASSERT_TRUE(middle.has_value());
    // Beside the outline of the view, inside the tile under the overview's middle.
    QColor seen;
    EXPECT_TRUE(
        view_.WaitForPixel(middle->x() + 40, middle->y() + 40, TileColour(0, 6, 3), 3, seen))
        << "the overview shows " << ColourText(seen) << ", not tile 6/3 of the base layer";
    const auto outline = view_.MiddleOf(box + " path");
    ASSERT_TRUE(outline.has_value()) << "no outline of the view";
    EXPECT_LE((*outline - *middle).manhattanLength(), 3) << "the view is outlined off centre";

    // A layer switch takes the overview with it: its tiles come from the new layer's folder.
    const auto folder = [&](const QString& selector) {
        return view_
            .Run("(function () { var t = document.querySelector(" + app::JsString(selector) +
                 "); return t ? t.src.split('/').slice(0, -3).join('/') : ''; })()")
            .toString();
    };
    const QString roadFolder = folder(box + " .overview-layer img");
    EXPECT_FALSE(roadFolder.isEmpty());
    EXPECT_EQ(roadFolder,
              folder(".layer-" + view_.Run("zeb.map.getMapTypeId()").toString() + " img"));
    AnswerOf(view_.Host(), app::pagescript::ChangeMapType(TMapType::mtGoogleSatellite, false));
    const QString satelliteId = view_.Run("zeb.map.getMapTypeId()").toString();
    EXPECT_TRUE(WaitUntil([&] {
        const QString now = folder(box + " .overview-layer img");
        return !now.isEmpty() && now != roadFolder &&
               now == folder(".layer-" + satelliteId + " img");
    })) << "the overview kept the old layer";

    ASSERT_TRUE(view_.Click(button));
    EXPECT_TRUE(WaitUntil([&] { return width() == 19; })) << "the overview did not close";
    EXPECT_EQ(view_.Router().offMachine.load(), 0);
}

// A download folder whose name holds blanks, URL and script delimiters and Chinese text
// still gives the page its tiles.
TEST_F(GooglePageViewTest, OfflineTilesFromAFolderWithAwkwardCharacters) {
    const std::filesystem::path folder = tiles_.path() / "离线 地图 #1 %41 ?x 'q' \"d\"";
    for (int x = 0; x < (1 << kZoom); ++x) {
        for (int y = 0; y < (1 << kZoom); ++y) {
            WriteTile(engine::BaseTilePath(folder, TMapType::mtGoogleRoadMap, {x, y, kZoom},
                                           engine::TImgType::itPNG),
                      TileColour(0, x, y), engine::ImageFormat::Png);
        }
    }
    const double lat = std::atan(std::sinh(std::numbers::pi / 4)) * 180 / std::numbers::pi;
    const double lng = 45.0;
    app::PageSettings settings = Offline(lat, lng);
    settings.OutPutDirectory = folder.string();
    ASSERT_TRUE(view_.Load(TMapType::mtGoogleRoadMap, settings));
    ASSERT_TRUE(view_.WaitForTiles());
    for (const QPoint& p : {QPoint(128, 96), QPoint(384, 288)}) {
        const engine::TTile tile = TileAt(lat, lng, p.x(), p.y());
        QColor seen;
        EXPECT_TRUE(view_.WaitForPixel(p.x(), p.y(), TileColour(0, tile.x, tile.y), 3, seen))
            << "pixel (" << p.x() << ", " << p.y() << ") shows " << ColourText(seen);
    }
}

// The page reads every layer's offline tiles, and the label overlays, from the very files
// the downloader writes them to.
TEST_F(GooglePageViewTest, OfflineTilePathsOfEveryLayerAreTheDownloadersOwn) {
    ASSERT_TRUE(view_.Load(TMapType::mtMapAbcRoadMap, Offline(33, 108)));
    static const QRegularExpression numbers(R"(/(\d+)/(\d+)/(\d+)\.(png|jpg)$)");
    // The local file of the first tile image under `selector`, and the downloader's file
    // for the same tile number and image type.
    const auto paths = [this](const QString& selector, bool overlay, TMapType layer) {
        const QString src =
            view_
                .Run(QStringLiteral("(function () { var t = document.querySelector(%1);"
                                    " return t ? t.src : ''; })()")
                         .arg(app::JsString(selector)))
                .toString();
        const QString file = QUrl(src).toLocalFile();
        const auto m = numbers.match(file);
        if (!m.hasMatch()) {
            return std::pair<std::string, std::string>(src.toStdString(), "a tile image");
        }
        const engine::TTile tile{m.captured(2).toInt(), m.captured(3).toInt(),
                                 static_cast<std::int8_t>(m.captured(1).toInt())};
        const auto type =
            m.captured(4) == "png" ? engine::TImgType::itPNG : engine::TImgType::itJPG;
        const auto own = overlay ? engine::OverlayTilePath(tiles_.path(), layer, tile, type)
                                 : engine::BaseTilePath(tiles_.path(), layer, tile, type);
        return std::pair<std::string, std::string>(file.toStdString(), own.string());
    };
    int overlays = 0;
    for (int step = 1; step <= 45; ++step) {
        const int index = step % 45;
        const auto layer = static_cast<TMapType>(index);
        if (layer == TMapType::mtEarthNight) {
            continue;  // shown from the web only
        }
        SCOPED_TRACE("layer " + std::to_string(index));
        AnswerOf(view_.Host(), app::pagescript::ChangeMapType(layer, false));
        ASSERT_TRUE(view_.WaitForTiles());
        const QString id = view_.Run("zeb.map.getMapTypeId()").toString();
        const auto [base, ownBase] = paths(QStringLiteral(".layer-%1 img").arg(id), false, layer);
        EXPECT_EQ(base, ownBase);
        if (view_.Run("zeb.overlayExists").toBool()) {
            const auto [labels, ownLabels] = paths(".label-overlay img", true, layer);
            EXPECT_EQ(labels, ownLabels) << "label overlay";
            ++overlays;
        }
    }
    EXPECT_EQ(overlays, 11) << "layers with a label overlay (the night layer's aside)";
}

class GooglePageShapesTest : public GooglePageViewTest {
  protected:
    void SetUp() override {
        ASSERT_TRUE(view_.Load(TMapType::mtGoogleRoadMap, Offline(33, 108)));
        view_.Host().JsProcessor().OnPlotLatlngsEvent = [this](const QString& text) {
            texts_ << text;
        };
    }

    // Path layers (the area shape and anything else drawn) on the map.
    int PathCount() {
        return view_
            .Run(
                "(function () { var n = 0; zeb.map.eachLayer(function (l) {"
                " if (l instanceof L.Path) ++n; }); return n; })()")
            .toInt();
    }

    QStringList texts_;
};

TEST_F(GooglePageShapesTest, DrawingsWithTheToolsReachTheHost) {
    // The drawing tools' own rectangle mode, driven by map clicks at the two corners.
    AnswerOf(view_.Host(),
             "zeb.drawingManager.setDrawingMode(google.maps.drawing.OverlayType.RECTANGLE);"
             "zeb.map.fire('mousemove', {latlng: L.latLng(30, 110)});"
             "zeb.map.fire('click', {latlng: L.latLng(30, 110)});"
             "zeb.map.fire('mousemove', {latlng: L.latLng(31, 111)});"
             "zeb.map.fire('click', {latlng: L.latLng(31, 111)});");
    ASSERT_TRUE(testmainwindow::WaitUntil([&] { return !texts_.isEmpty(); }))
        << "no area text reached the host";
    EXPECT_EQ(texts_.last(), "111.00000,31.00000,110.00000,30.00000");
    EXPECT_EQ(view_.Run("zeb.customPolygon && zeb.customPolygon.type").toString(), "rectangle");
    EXPECT_TRUE(view_.Run("zeb.drawingManager.getDrawingMode() === null").toBool())
        << "the tool stays in rectangle mode after the shape";
    EXPECT_EQ(PathCount(), 1);

    // Moving a corner of the editable rectangle reports the new bounds.
    texts_.clear();
    AnswerOf(
        view_.Host(),
        "zeb.customPolygon.setBounds([[29, 109], [31, 111]]); zeb.customPolygon.fire('pm:edit');");
    ASSERT_TRUE(testmainwindow::WaitUntil([&] { return !texts_.isEmpty(); }))
        << "an edited rectangle was not reported again";
    EXPECT_EQ(texts_.last(), "111.00000,31.00000,109.00000,29.00000");

    // A marker drawn in the program's marker mode becomes a temporary custom marker and is
    // reported as completed.
    struct Completed {
        QString id, name, content;
        double lat = 0, lng = 0;
        bool isNew = false;
    };
    QList<Completed> completed;
    view_.Host().JsProcessor().OnMarkerCompletedEvent =
        [&completed](const QString& id, double lat, double lng, const QString& name,
                     const QString& content, bool isNew) {
            completed.push_back({id, name, content, lat, lng, isNew});
        };
    AnswerOf(view_.Host(), app::pagescript::StartMarkerDrawing(false) +
                               "zeb.map.fire('mousemove', {latlng: L.latLng(32.5, 107.25)});"
                               "zeb.map.fire('click', {latlng: L.latLng(32.5, 107.25)});");
    ASSERT_EQ(completed.size(), 1) << "the drawn marker was not reported";
    EXPECT_EQ(completed[0].name, QStringLiteral("我的标记 1"));
    EXPECT_EQ(completed[0].content, "");
    EXPECT_TRUE(completed[0].isNew);
    EXPECT_NEAR(completed[0].lat, 32.5, 1e-9);
    EXPECT_NEAR(completed[0].lng, 107.25, 1e-9);
    EXPECT_TRUE(view_
                    .Run("zeb.pois.length === 1 && zeb.pois[0].isTemp && zeb.tempMarkerCount === 1"
                         " && String(zeb.pois[0].poiId) === " +
                         app::JsString(completed[0].id))
                    .toBool());
}

// At the lowest zoom the view reaches past the date line and the grid's latitudes; the area it
// becomes stays on the world.
TEST_F(GooglePageShapesTest, TheCurrentViewAtTheLowestZoomStaysOnTheWorld) {
    view_.Host().SetCenterAndZoom(30.0, 170.0, 1);
    view_.Host().ShowCurrentView();
    ASSERT_TRUE(testmainwindow::WaitUntil([&] { return !texts_.isEmpty(); }))
        << "the view was not reported";
    const QStringList fields = texts_.last().split(',');
    ASSERT_EQ(fields.size(), 4) << texts_.last().toStdString();
    for (int i = 0; i < 4; ++i) {
        const double value = fields[i].toDouble();
        EXPECT_LE(std::abs(value), i % 2 == 0 ? 180.0 : 85.06) << texts_.last().toStdString();
    }
}

TEST_F(GooglePageShapesTest, BoundariesOfTwoAndOfManyPoints) {
    // Two points: the rectangle they span, editable, the view fitted to it; reported as the two
    // points it was given, so that the report reads as the stored area.
    view_.Host().ShowBoundary(EncodedPolyline({{40.5, 116.25}, {39.75, 117.125}}));
    ASSERT_TRUE(testmainwindow::WaitUntil([&] { return !texts_.isEmpty(); }))
        << "the boundary was not reported";
    EXPECT_EQ(texts_.last(), "116.25000,40.50000,117.12500,39.75000");
    EXPECT_EQ(view_.Run("zeb.customPolygon.type").toString(), "rectangle");
    EXPECT_EQ(view_.Run("zeb.customPolygon.getLatLngs()[0].length").toInt(), 4);
    EXPECT_TRUE(view_.Run("zeb.customPolygon.pm.enabled()").toBool());
    EXPECT_TRUE(view_.Run("zeb.map.getBounds().contains(zeb.customPolygon.getBounds())").toBool());
    EXPECT_GT(view_.Run("zeb.map.getZoom()").toInt(), kZoom) << "the view was not fitted";

    // 25 points: a polygon that cannot be edited, replacing the rectangle; its text runs from
    // the first vertex to the last, as it was given (a drawn one runs the other way).
    std::vector<engine::TGLatLng> ring;
    QStringList pairs;
    for (int i = 0; i < 25; ++i) {
        const double a = 2 * std::numbers::pi * i / 25;
        ring.push_back({std::round((30 + 2 * std::sin(a)) * 1e5) / 1e5,
                        std::round((100 + 3 * std::cos(a)) * 1e5) / 1e5});
    }
    for (const auto& p : ring) {
        pairs << Pair(p.lng, p.lat);
    }
    texts_.clear();
    view_.Host().ShowBoundary(EncodedPolyline(ring));
    ASSERT_TRUE(testmainwindow::WaitUntil([&] { return !texts_.isEmpty(); }))
        << "the boundary was not reported";
    EXPECT_EQ(texts_.last(), pairs.join(u','));
    EXPECT_EQ(view_.Run("zeb.customPolygon.type").toString(), "polygon");
    EXPECT_EQ(view_.Run("zeb.customPolygon.getLatLngs()[0].length").toInt(), 25);
    EXPECT_FALSE(view_.Run("zeb.customPolygon.pm.enabled()").toBool())
        << "an area of 25 points must not be editable";
    EXPECT_EQ(PathCount(), 1) << "the previous shape stays on the map";
    EXPECT_TRUE(view_.Run("zeb.map.getBounds().contains(zeb.customPolygon.getBounds())").toBool());

    // One point is no area: nothing changes.
    texts_.clear();
    view_.Host().ShowBoundary(EncodedPolyline({{10, 10}}));
    view_.Run("0");  // runs after the boundary call: its report would have been sent by now
    EXPECT_TRUE(texts_.isEmpty());
    EXPECT_EQ(view_.Run("zeb.customPolygon.type").toString(), "polygon");
}

TEST_F(GooglePageShapesTest, ARightClickClearsShapesAndPlacesButKeepsCustomMarkers) {
    app::TChromium& host = view_.Host();
    host.ShowBoundary(EncodedPolyline({{34, 107}, {33, 109}}));
    geodata::TPOIData place;
    place.name = "车站";
    place.address = "路口";
    host.AddMarker(1, {33.5, 108.2}, place, false);
    host.AddMarker(2, {33.6, 108.4}, place, false);
    host.AddMarker(QStringLiteral("33.2,107.5,3"), QStringLiteral("这里"));
    host.AddPOI(77, QStringLiteral("我的家"), 33.4, 107.8, QStringLiteral("备注"), false, false);
    ASSERT_EQ(view_.Run("zeb.markerClusterer.getLayers().length").toInt(), 2);
    ASSERT_TRUE(
        view_.Run("!!zeb.marker && !!zeb.customPolygon && zeb.map.hasLayer(zeb.clearButton)")
            .toBool());

    // A real right click, on an empty spot of the map.
    QWidget* input = view_.View().focusProxy();
    ASSERT_NE(input, nullptr) << "the view has no input widget";
    const QPoint spot(MapView::kWidth - 40, MapView::kHeight / 2);
    QTest::mouseMove(input, spot);
    QTest::mouseClick(input, Qt::RightButton, {}, spot);
    ASSERT_TRUE(WaitUntil([this] { return view_.Run("zeb.customPolygon === null").toBool(); }))
        << "the right click did not clear the map";

    EXPECT_EQ(PathCount(), 0);
    EXPECT_EQ(view_.Run("zeb.markerClusterer.getLayers().length").toInt(), 0);
    EXPECT_TRUE(view_.Run("zeb.marker === null").toBool()) << "the position marker stays";
    EXPECT_FALSE(view_.Run("zeb.map.hasLayer(zeb.clearButton)").toBool());
    EXPECT_EQ(view_.Run("zeb.pois.length").toInt(), 1);
    EXPECT_TRUE(view_.Run("zeb.map.hasLayer(zeb.pois[0]) && zeb.pois[0].poiId === 77").toBool())
        << "the custom marker went with the others";
}

// Every layer of the page, switched to one after the other with its tiles asked for online;
// the tile requests go to a loopback server instead of the web.
TEST(GooglePageLayers, EveryLayerCanBeSelectedWithoutAScriptError) {
    testsupport::TileServer server;
    MapView view;
    view.Router().RouteTo(QString::fromStdString(server.BaseUrl()));
    app::PageSettings settings;
    settings.Latitude = 33;
    settings.Longitude = 108;
    settings.ZoomLevel = 5;
    ASSERT_TRUE(view.Load(TMapType::mtMapAbcRoadMap, settings));
    ASSERT_TRUE(view.WaitForTiles()) << "tiles of the start layer did not finish loading";
    EXPECT_GT(server.Total(), 0);
    // 1 to 44, then back to the start layer 0.
    for (int step = 1; step <= 45; ++step) {
        const int layer = step % 45;
        SCOPED_TRACE("layer " + std::to_string(layer));
        const int before = server.Total();
        // The program's own switch, which names the layer by its catalogue id.
        AnswerOf(view.Host(), app::pagescript::ChangeMapType(static_cast<TMapType>(layer), false));
        EXPECT_EQ(view.Run("zeb.map.getMapTypeId()").toString(),
                  view.Run(QStringLiteral("zeb.mapTypeIds[%1]").arg(layer)).toString())
            << "the page did not switch to the layer the program named";
        EXPECT_TRUE(view.WaitForTiles()) << "tiles did not finish loading";
        EXPECT_GT(server.Total(), before) << "no tile of the layer was asked for";
    }
    EXPECT_EQ(view.Page().errors, QStringList());
    // Every request headed off the machine was a tile that went to the loopback server
    // instead (requests the page gave up before they were sent never reach it).
    EXPECT_EQ(view.Router().blocked.load(), 0);
    EXPECT_GT(server.Total(), 0);
    EXPECT_LE(server.Total(), view.Router().offMachine.load());
}

}  // namespace

#endif
