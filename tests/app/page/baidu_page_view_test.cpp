// The packed Baidu page in a real offscreen view: at known positions it shows the Baidu tiles
// the program's own projection names. Tiles come from a loopback server that paints each tile
// in a colour of its column and row.
#ifdef VANTOREL_HAS_PAGE_RESOURCES

#include <cmath>
#include <mutex>
#include <numbers>
#include <regex>

#include <QTest>

#include <gtest/gtest.h>

#include "app/page/page_scripts.h"
#include "app/support/page_answer.h"
#include "app/support/qt_print.h"
#include "encoded_polyline.h"
#include "engine/core/baidu_projection.h"
#include "engine/core/number_format.h"
#include "engine/image/image_codec.h"
#include "map_view_harness.h"
#include "support/tile_server.h"

namespace {

using testmainwindow::ColourText;
using testmainwindow::EncodedPolyline;
using testmainwindow::MapView;

int Mod8(std::int64_t v) {
    return static_cast<int>(((v % 8) + 8) % 8);
}

// Neighbouring tiles differ in red or in green.
QColor TileColour(std::int64_t x, std::int64_t y) {
    return QColor(30 + Mod8(x) * 28, 30 + Mod8(y) * 28, 200);
}

std::string TilePng(const QColor& colour) {
    engine::RgbaImage image(256, 256);
    for (std::size_t i = 0; i < image.pixels.size(); i += 4) {
        image.pixels[i] = static_cast<std::uint8_t>(colour.red());
        image.pixels[i + 1] = static_cast<std::uint8_t>(colour.green());
        image.pixels[i + 2] = static_cast<std::uint8_t>(colour.blue());
        image.pixels[i + 3] = 255;
    }
    return engine::EncodePng(image).value_or(std::string());
}

// Answers every tile request that names x, y and z with a PNG of that tile's colour.
testsupport::CannedAnswer PaintedTile(const testsupport::TileRequest& request) {
    static const std::regex numbers("[?&;=]x=(-?[0-9]+)[&;]y=(-?[0-9]+)[&;]z=([0-9]+)");
    std::smatch m;
    if (!std::regex_search(request.target, m, numbers)) {
        return testsupport::tileanswers::Html(404);
    }
    testsupport::CannedAnswer answer;
    answer.body = TilePng(TileColour(std::stoll(m[1]), std::stoll(m[2])));
    answer.contentType = "image/png";
    return answer;
}

// The Baidu page loaded on its road layer, its tiles from the painting server.
class BaiduPageView : public ::testing::Test {
  protected:
    void SetUp() override {
        view.Router().RouteTo(QString::fromStdString(server.BaseUrl()));
        ASSERT_TRUE(view.Load(engine::TMapType::mtBaiduRoadMap, app::PageSettings{}));
    }

    testsupport::TileServer server{PaintedTile};
    MapView view;
};

TEST_F(BaiduPageView, ShowsTheTileTheProjectionNamesAtKnownPositions) {
    // BD-09 positions on all four sides of the projection's origin (negative columns west,
    // negative rows south of it).
    struct Position {
        double lat;
        double lng;
        int zoom;
    };
    const Position positions[] = {
        {39.915, 116.404, 12}, {31.2304, 121.4737, 17}, {-33.8688, 151.2093, 7},
        {40.7128, -74.006, 9}, {-22.9068, -43.1729, 5},
    };
    // The road layer at every position, then the satellite layer (switched by the program's
    // own script), whose URLs name the tile in another form, at the first one.
    const auto check = [&](const Position& p, const char* kind, const char* separator) {
        SCOPED_TRACE(QStringLiteral("%1 at %2, %3, zoom %4")
                         .arg(kind)
                         .arg(p.lat)
                         .arg(p.lng)
                         .arg(p.zoom)
                         .toStdString());
        std::int32_t tx = 0;
        std::int32_t ty = 0;
        ASSERT_TRUE(engine::BaiduLatLngToTile(p.zoom, tx, ty, p.lng, p.lat));
        const auto metres = engine::BaiduLatLngToMercator(p.lng, p.lat);
        ASSERT_TRUE(metres);
        const double scale = std::pow(2.0, p.zoom - 18);
        const int inX = static_cast<int>(std::floor(metres->x * scale)) - tx * 256;
        const int inY = static_cast<int>(std::floor(metres->y * scale)) - ty * 256;
        ASSERT_TRUE(inX >= 0 && inX < 256 && inY >= 0 && inY < 256);

        view.Host().SetCenterAndZoom(p.lat, p.lng, p.zoom);
        ASSERT_TRUE(view.WaitForTiles()) << "tiles did not finish loading";

        const std::string wanted = "x=" + std::to_string(tx) + separator +
                                   "y=" + std::to_string(ty) + separator +
                                   "z=" + std::to_string(p.zoom) + separator;
        bool requested = false;
        for (const std::string& target : server.Targets()) {
            requested = requested || (target.find(wanted) != std::string::npos &&
                                      target.find(kind) != std::string::npos);
        }
        EXPECT_TRUE(requested) << "tile " << wanted << " was not asked for";

        // The middle of that tile on the screen: the view's centre is the position, Baidu
        // rows grow northwards and screen rows southwards.
        const int sx = MapView::kWidth / 2 + (128 - inX);
        const int sy = MapView::kHeight / 2 + (inY - 128);
        QColor seen;
        EXPECT_TRUE(view.WaitForPixel(sx, sy, TileColour(tx, ty), 3, seen))
            << "pixel (" << sx << ", " << sy << ") shows " << ColourText(seen) << ", not tile "
            << tx << "/" << ty << " " << ColourText(TileColour(tx, ty));
    };
    for (const Position& p : positions) {
        check(p, "styles=pl", "&");
    }
    AnswerOf(view.Host(), app::pagescript::ChangeMapType(engine::TMapType::mtBaiduSatellite, true));
    check(positions[0], "type=sate", ";");
    EXPECT_EQ(view.Page().errors, QStringList());
    // Every request headed off the machine was a tile that went to the loopback server
    // instead (requests the page gave up before they were sent never reach it).
    EXPECT_EQ(view.Router().blocked.load(), 0);
    EXPECT_GT(server.Total(), 0);
    EXPECT_LE(server.Total(), view.Router().offMachine.load());
}

// Boundaries and the right click on the Baidu page, over one page load.
TEST_F(BaiduPageView, BoundariesAndTheRightClick) {
    QStringList texts;
    view.Host().JsProcessor().OnPlotLatlngsEvent = [&texts](const QString& t) { texts << t; };
    const auto polygonCount = [this] {
        return view
            .Run(
                "(function () { var n = 0; zeb.map.eachLayer(function (l) {"
                " if (l instanceof L.Polygon) ++n; }); return n; })()")
            .toInt();
    };

    // Two points: reported as given with five decimals, drawn as the four corners they span.
    view.Host().ShowBoundary(EncodedPolyline({{40.5, 116.25}, {39.75, 117.125}}));
    ASSERT_TRUE(testmainwindow::WaitUntil([&] { return !texts.isEmpty(); }))
        << "the boundary was not reported";
    EXPECT_EQ(texts.last(), "116.25000,40.50000,117.12500,39.75000");
    EXPECT_EQ(view.Run("zeb.customPolygon.getLatLngs()[0].length").toInt(), 4);
    EXPECT_TRUE(view.Run("zeb.map.getBounds().contains(zeb.customPolygon.getBounds())").toBool());

    // 25 points: a polygon of them, in their order, replacing the rectangle.
    std::vector<engine::TGLatLng> ring;
    QStringList pairs;
    for (int i = 0; i < 25; ++i) {
        const double a = 2 * std::numbers::pi * i / 25;
        ring.push_back({std::round((30 + 2 * std::sin(a)) * 1e5) / 1e5,
                        std::round((100 + 3 * std::cos(a)) * 1e5) / 1e5});
        pairs << QString::fromStdString(engine::FormatFixed(ring.back().lng, 5) + "," +
                                        engine::FormatFixed(ring.back().lat, 5));
    }
    texts.clear();
    view.Host().ShowBoundary(EncodedPolyline(ring));
    ASSERT_TRUE(testmainwindow::WaitUntil([&] { return !texts.isEmpty(); }))
        << "the boundary was not reported";
    EXPECT_EQ(texts.last(), pairs.join(u','));
    EXPECT_EQ(view.Run("zeb.customPolygon.getLatLngs()[0].length").toInt(), 25);
    EXPECT_EQ(polygonCount(), 1) << "the previous shape stays on the map";

    // Three points: a triangle is an area like any other outline.
    texts.clear();
    view.Host().ShowBoundary(EncodedPolyline({{30, 100}, {31.5, 101.25}, {30, 102}}));
    ASSERT_TRUE(testmainwindow::WaitUntil([&] { return !texts.isEmpty(); }))
        << "the triangle was not reported";
    EXPECT_EQ(texts.last(), "100.00000,30.00000,101.25000,31.50000,102.00000,30.00000");
    EXPECT_EQ(view.Run("zeb.customPolygon.getLatLngs()[0].length").toInt(), 3);
    EXPECT_EQ(polygonCount(), 1);

    // A right click takes shapes and place markers; custom markers stay without their labels.
    geodata::TPOIData place;
    place.name = "车站";
    view.Host().AddMarker(1, {30.2, 100.5}, place, false);
    view.Host().AddPOI(77, QStringLiteral("我的家"), 30.1, 100.2, QString(), false, false);
    ASSERT_TRUE(view.Run("!!zeb.pois[0].getTooltip()").toBool());
    ASSERT_EQ(view.Run("zeb.markerClusterer.getLayers().length").toInt(), 1);
    QWidget* input = view.View().focusProxy();
    ASSERT_NE(input, nullptr) << "the view has no input widget";
    const QPoint spot(MapView::kWidth - 40, MapView::kHeight / 2);
    QTest::mouseMove(input, spot);
    QTest::mouseClick(input, Qt::RightButton, {}, spot);
    ASSERT_TRUE(testmainwindow::WaitUntil([this] {
        return view.Run("zeb.customPolygon === null").toBool();
    })) << "the right click did not clear the map";
    EXPECT_EQ(polygonCount(), 0);
    EXPECT_EQ(view.Run("zeb.markerClusterer.getLayers().length").toInt(), 0);
    EXPECT_TRUE(view.Run("zeb.pois.length === 1 && zeb.map.hasLayer(zeb.pois[0])").toBool())
        << "the custom marker went with the others";
    EXPECT_FALSE(view.Run("!!zeb.pois[0].getTooltip()").toBool()) << "its label stays";

    // One point is no area: nothing is drawn or reported.
    texts.clear();
    view.Host().ShowBoundary(EncodedPolyline({{30, 100}}));
    view.Run("0");  // runs after the boundary call: its report would have been sent by now
    EXPECT_TRUE(texts.isEmpty());
    EXPECT_EQ(polygonCount(), 0);
    EXPECT_EQ(view.Page().errors, QStringList());
}

// The overview control sits closed in the lower right corner and opens onto the base layer;
// the traffic control's button at the top left shows the traffic and opens its panel, which
// is hidden at start and also when the program shows the traffic.
TEST_F(BaiduPageView, TheOverviewAndTrafficControlsStartClosedAndOpen) {
    const auto run = [this](const QString& script) { return view.Run(script); };

    const QString box = ".leaflet-bottom.leaflet-right .leaflet-control-minimap";
    const QString width = "document.querySelector(" + app::JsString(box) + ").clientWidth";
    ASSERT_TRUE(view.MiddleOf(box).has_value()) << "no overview control in the corner";
    EXPECT_EQ(run(width).toInt(), 19) << "the overview starts closed";
    const QString centre = view.Run("zeb.map.getCenter().toString()").toString();
    ASSERT_TRUE(view.Click(box + " .leaflet-control-minimap-toggle-display"));
    ASSERT_TRUE(testmainwindow::WaitUntil([&] { return run(width).toInt() == 150; }))
        << "the overview did not open";
    EXPECT_EQ(view.Run("zeb.map.getCenter().toString()").toString(), centre)
        << "opening the overview moved the map";
    const auto middle = view.MiddleOf(box);
    const auto outline = view.MiddleOf(box + " path");
    ASSERT_TRUE(middle && outline) << "no outline of the view";
    EXPECT_LE((*outline - *middle).manhattanLength(), 3) << "the view is outlined off centre";
    EXPECT_TRUE(testmainwindow::WaitUntil([&] {
        return run("(function () { var n = 0; document.querySelectorAll(" +
                   app::JsString(box + " .overview-layer img") +
                   ").forEach(function (t) { if (t.complete && t.naturalWidth) ++n; });"
                   " return n; })()")
                   .toInt() > 0;
    })) << "the overview shows no tiles of the base layer";

    const QString traffic = ".leaflet-top.leaflet-left .traffic-control";
    const QString panelShown =
        "getComputedStyle(document.querySelector('.traffic-control-panel')).display !== 'none'";
    const auto trafficLayers = [&] {
        return run("document.querySelectorAll('.baidu-traffic').length").toInt();
    };
    ASSERT_TRUE(view.MiddleOf(traffic).has_value()) << "no traffic control at the top left";
    EXPECT_FALSE(run(panelShown).toBool()) << "the traffic panel starts shown";
    EXPECT_EQ(trafficLayers(), 0);
    // Below the drawing tools, 10 pixels in from the edge.
    EXPECT_EQ(
        run("document.querySelector(" + app::JsString(traffic) + ").getBoundingClientRect().left")
            .toInt(),
        10);

    ASSERT_TRUE(view.Click(traffic + " .traffic-control-button"));
    ASSERT_TRUE(testmainwindow::WaitUntil([&] { return run(panelShown).toBool(); }))
        << "the button did not open the panel";
    EXPECT_EQ(trafficLayers(), 1);
    EXPECT_TRUE(run("zeb.hasTrafficTileLayer").toBool());
    ASSERT_TRUE(view.Click(traffic + " .traffic-control-close"));
    EXPECT_TRUE(testmainwindow::WaitUntil([&] { return !run(panelShown).toBool(); }));
    EXPECT_EQ(trafficLayers(), 1) << "closing the panel keeps the traffic";

    // The program's own switch: the traffic goes and comes back with the panel hidden.
    AnswerOf(view.Host(), app::pagescript::TrafficLayer(false));
    EXPECT_TRUE(testmainwindow::WaitUntil([&] { return trafficLayers() == 0; }));
    EXPECT_FALSE(run("zeb.hasTrafficTileLayer").toBool());
    AnswerOf(view.Host(), app::pagescript::TrafficLayer(true));
    EXPECT_TRUE(testmainwindow::WaitUntil([&] { return trafficLayers() == 1; }));
    EXPECT_FALSE(run(panelShown).toBool());
    EXPECT_EQ(view.Page().errors, QStringList());
}

// A rectangle drawn with the tools reports the corner it was begun at, then the one opposite,
// whichever way it was dragged; once edited it is a polygon of four vertices.
TEST_F(BaiduPageView, ADrawnRectangleReportsItsFirstCornerFirst) {
    QStringList texts;
    view.Host().JsProcessor().OnPlotLatlngsEvent = [&texts](const QString& t) { texts << t; };
    struct Case {
        const char* first;  // "lat, lng" of the first click, then of the second
        const char* second;
        const char* reported;
    };
    const Case cases[] = {
        {"30, 110", "31, 111", "110.00000,30.00000,111.00000,31.00000"},
        {"31, 111", "30, 110", "111.00000,31.00000,110.00000,30.00000"},
        {"31, 110", "30, 111.5", "110.00000,31.00000,111.50000,30.00000"},
        {"30, 111.5", "31.25, 110", "111.50000,30.00000,110.00000,31.25000"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reported);
        texts.clear();
        AnswerOf(view.Host(), QStringLiteral("zeb.drawingManager.setDrawingMode('rectangle');"
                                             "zeb.drawingManager.open();"
                                             "zeb.map.fire('mousemove', {latlng: L.latLng(%1)});"
                                             "zeb.map.fire('click', {latlng: L.latLng(%1)});"
                                             "zeb.map.fire('mousemove', {latlng: L.latLng(%2)});"
                                             "zeb.map.fire('click', {latlng: L.latLng(%2)});")
                                  .arg(QLatin1String(c.first), QLatin1String(c.second)));
        ASSERT_TRUE(testmainwindow::WaitUntil([&] { return !texts.isEmpty(); }))
            << "the rectangle was not reported";
        EXPECT_EQ(texts.first(), c.reported);
        EXPECT_EQ(view.Run("zeb.customPolygon.getLatLngs()[0].length").toInt(), 4);
    }
    texts.clear();
    AnswerOf(view.Host(),
             "var r = zeb.customPolygon.getLatLngs()[0]; r[0] = L.latLng(29.5, 109.5);"
             "zeb.customPolygon.setLatLngs([r]); zeb.customPolygon.fire('pm:edit');");
    ASSERT_TRUE(testmainwindow::WaitUntil([&] { return !texts.isEmpty(); }))
        << "the edited rectangle was not reported";
    EXPECT_EQ(texts.last().split(u',').size(), 8) << texts.last().toStdString();
    EXPECT_EQ(view.Page().errors, QStringList());
}

}  // namespace

#endif
