// The road of one download in a real browser: a rectangle drawn with the page's own drawing
// tool reaches the window, names the task and fills the tile-count label, and a start fetches
// exactly its tiles from the loopback tile server into the tile tree.
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QToolButton>
#include <QWebEngineView>
#include <set>

#include "app/page/map_view_harness.h"
#include "app/page/page_host.h"
#include "app/support/dialog_driver.h"
#include "app/support/page_answer.h"
#include "engine/core/catalogue.h"
#include "engine/core/tile_math.h"
#include "engine/download/tile_path.h"
#include "engine/tasks/profiles.h"
#include "main_form_page_fixture.h"

namespace testmainwindow {
namespace {

using MainFormPageTest = MainFormPageFixture;

TEST_F(MainFormPageTest, DrawnRectangleIsDownloadedIntoTheTileTree) {
    Settings().SetIntSetting(engine::IntSetting::MaxThread, 4);
    Settings().SetBoolSetting(engine::BoolSetting::OfflineMode, true);
    Settings().SetFloatSetting(engine::FloatSetting::Latitude, 39.9);
    Settings().SetFloatSetting(engine::FloatSetting::Longitude, 116.35);
    Settings().SetIntSetting(engine::IntSetting::ZoomLevel, 9);
    ASSERT_TRUE(ShowWindowWithPage()) << "the map page did not load";

    // The page's own rectangle tool, driven by map clicks at two corners.
    AnswerOf(window_->crm(),
             "zeb.drawingManager.setDrawingMode(google.maps.drawing.OverlayType.RECTANGLE);"
             "zeb.map.fire('mousemove', {latlng: L.latLng(39.90, 116.30)});"
             "zeb.map.fire('click', {latlng: L.latLng(39.90, 116.30)});"
             "zeb.map.fire('mousemove', {latlng: L.latLng(39.95, 116.40)});"
             "zeb.map.fire('click', {latlng: L.latLng(39.95, 116.40)});");
    auto* combo = Find<QComboBox>("cbbProfile");
    ASSERT_TRUE(WaitUntil([combo] { return !combo->currentText().isEmpty(); }))
        << "the area did not reach the window";

    auto* list = Find<QListWidget>("chkZoomLevels");
    for (int level : {10, 11, 12})
        list->item(level)->setCheckState(Qt::Checked);
    // The tiles the rectangle's corners fall in, per level.
    std::set<std::tuple<int, int, int>> expected;
    int cols = 0, rows = 0;
    for (int z : {10, 11, 12}) {
        int x0, y0, x1, y1;
        engine::LatLngToTileXY(z, 39.95, 116.30, x0, y0);
        engine::LatLngToTileXY(z, 39.90, 116.40, x1, y1);
        for (int x = x0; x <= x1; ++x)
            for (int y = y0; y <= y1; ++y)
                expected.insert({z, x, y});
        cols = x1 - x0 + 1;
        rows = y1 - y0 + 1;
    }
    const QString label = Find<QLabel>("lblTileCount")->text();
    EXPECT_TRUE(label.startsWith(
        QString("%1 列 x %2 行 = %3 瓦片 ").arg(cols).arg(rows).arg(expected.size())))
        << label.toStdString();

    // For a person to look at: VANTOREL_TEST_SNAPSHOT=<folder> keeps pictures of the window.
    const QString snapshots = qEnvironmentVariable("VANTOREL_TEST_SNAPSHOT");
    if (!snapshots.isEmpty())
        window_->grab().save(snapshots + "/area.png");
    fakes_.messages.defaultAnswer = false;  // the summary's stitch question: No
    Find<QAction>("actDownLoadStart")->trigger();
    auto* start = Find<QToolButton>("btnDownload");
    ASSERT_TRUE(WaitUntil([start] { return !start->isHidden(); }, 60000)) << "the task did not end";
    if (!snapshots.isEmpty())
        window_->grab().save(snapshots + "/finished.png");
    ASSERT_FALSE(fakes_.messages.shown.empty());
    EXPECT_TRUE(fakes_.messages.shown.back().text.startsWith(
        QString("已成功下载 %1 张瓦片。").arg(expected.size())))
        << fakes_.messages.shown.back().text.toStdString();

    const auto out = Settings().GetStrSetting(engine::StrSetting::OutPutDirectory);
    for (const auto& [z, x, y] : expected) {
        const engine::TTile tile{x, y, static_cast<std::int8_t>(z)};
        const auto folder = engine::MapTileFolders[3];
        EXPECT_TRUE(std::filesystem::exists(engine::TilePath(out, folder, tile, ".png")) ||
                    std::filesystem::exists(engine::TilePath(out, folder, tile, ".jpg")))
            << z << "/" << x << "/" << y;
    }
    // The task was saved under the proposed name with its rectangles.
    engine::TProfiles task(dir_ / "Profiles");
    task.SetName(combo->currentText().toStdString());
    task.Load();
    EXPECT_TRUE(task.TileBounds()[12].Checked);
    EXPECT_EQ(task.Coordinates().empty(), false);
}

// The overlay marks and the page agree after every reload, whatever starts it: the page is
// given the traffic layer and the grid their marks show, and the big-font mark (which no load
// keeps) follows the page.
TEST_F(MainFormPageTest, OverlayMarksAndThePageAgreeAfterEveryReload) {
    Settings().SetBoolSetting(engine::BoolSetting::OfflineMode, true);
    Settings().SetBoolSetting(engine::BoolSetting::BigFontMode, true);
    ASSERT_TRUE(ShowWindowWithPage()) << "the map page did not load";
    QWebEnginePage* page = window_->MapView()->page();
    auto* bigFont = Find<QAction>("actBigFontMode");
    EXPECT_TRUE(WaitUntil([bigFont] { return !bigFont->isChecked(); }))
        << "the first load leaves no big-font labels";

    auto* traffic = Find<QAction>("actaddTrafficTileLayer");
    auto* grid = Find<QAction>("actCoordGrid");
    traffic->trigger();
    grid->trigger();
    ASSERT_TRUE(traffic->isChecked());
    ASSERT_TRUE(grid->isChecked());
    const QString googleOverlays =
        "zeb.trafficTileLayerExists === true && zeb.coordGridExists === true";
    ASSERT_TRUE(WaitUntil([&] { return RunScript(*page, googleOverlays).toBool(); }));

    struct Reload {
        const char* what;
        std::function<void()> start;
        QString overlays;  // what the page then shows
    };
    const Reload reloads[] = {
        {"tile folder change", [&] { ChangeTileFolder(); }, googleOverlays},
        {"settings change", [&] { ChangeTileServerInSettings(); }, googleOverlays},
        {"to the Baidu page", [&] { Find<QAction>("mniMapType45")->trigger(); },
         "zeb.hasTrafficTileLayer === true"},
        {"back to the Google page", [&] { Find<QAction>("mniMapType3")->trigger(); },
         googleOverlays},
    };
    for (const Reload& reload : reloads) {
        SCOPED_TRACE(reload.what);
        RunScript(*page, "window.__beforeReload = true;");
        QSignalSpy loaded(page, &QWebEnginePage::loadFinished);
        reload.start();
        ASSERT_TRUE(WaitUntil([&] { return !loaded.isEmpty(); }, 60000)) << "no reload";
        ASSERT_TRUE(WaitUntil([this] { return PageReady(); }, 60000));
        EXPECT_FALSE(RunScript(*page, "window.__beforeReload === true").toBool());
        EXPECT_TRUE(WaitUntil([&] { return RunScript(*page, reload.overlays).toBool(); }))
            << reload.overlays.toStdString();
        EXPECT_TRUE(traffic->isChecked());
        EXPECT_TRUE(grid->isChecked());
    }
}

}  // namespace
}  // namespace testmainwindow
