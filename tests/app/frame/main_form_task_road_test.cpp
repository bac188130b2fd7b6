// The task road on the real page with the loopback tile server: areas past the tile grid fetch
// the tiles that exist, each once; a task saved and loaded again starts as itself; a typed task
// name outlives every reload of the page; a typed rectangle keeps the district it was shown for.
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <QWebEngineView>
#include <set>
#include <tuple>

#include "app/frame/map_events.h"
#include "app/page/map_view_harness.h"
#include "app/page/page_host.h"
#include "app/settings/skin_manager.h"
#include "app/support/dialog_driver.h"
#include "app/support/page_answer.h"
#include "app/support/qt_print.h"
#include "engine/core/catalogue.h"
#include "engine/core/tile_math.h"
#include "engine/download/tile_path.h"
#include "geodata/boundary/boundary_store.h"
#include "geodata/polyline/polyline_codec.h"
#include "main_form_page_fixture.h"

namespace testmainwindow {
namespace {

using Tiles = std::set<std::tuple<int, int, int>>;  // zoom, column, row

class MainFormTaskRoadTest : public MainFormPageFixture {
  protected:
    // The window with its page loaded (offline tiles), on `layer`.
    void OpenWindow(engine::TMapType layer) {
        Settings().SetIntSetting(engine::IntSetting::MaxThread, 4);
        Settings().SetBoolSetting(engine::BoolSetting::OfflineMode, true);
        Settings().SetIntSetting(engine::IntSetting::MapTypeIndex, engine::Ord(layer));
        Settings().SetFloatSetting(engine::FloatSetting::Latitude, 39.9);
        Settings().SetFloatSetting(engine::FloatSetting::Longitude, 116.35);
        Settings().SetIntSetting(engine::IntSetting::ZoomLevel, 9);
        // The location bar looks up the district of every new map centre through the same
        // route; its lookups would land among the tile requests these tests count.
        Settings().SetBoolSetting(engine::BoolSetting::ShowCurrentLocationBar, false);
        ASSERT_TRUE(ShowWindowWithPage()) << "the page did not load";
    }
    QString Run(const QString& script) {
        return RunScript(*window_->MapView()->page(), script).toString();
    }

    // Waits for the page's next area report after `act`; returns it.
    QString AreaAfter(const std::function<void()>& act) {
        QSignalSpy reported(&window_->Events(), &app::MapEvents::areaCompleted);
        act();
        if (!WaitUntil([&] { return !reported.isEmpty(); }, 20000))
            return QString();
        // The handlers of the report (and a page call it started) run on.
        WaitUntil([this] {
            return Find<QAction>("actProfileSave")->isEnabled() ||
                   Find<QComboBox>("cbbProfile")->currentText().isEmpty();
        });
        return reported.last().at(0).toString();
    }
    // Types an area into 坐标范围 and has 显示范围 show it.
    QString ShowTyped(const QString& text) {
        return AreaAfter([&] {
            Find<QPlainTextEdit>("mmoCoordinates")->setPlainText(text);
            Find<QAction>("actShowBoundOnMap")->trigger();
        });
    }
    // A rectangle drawn with the Google page's own tool between two corners (lat, lng).
    QString DrawRectangle(double lat1, double lng1, double lat2, double lng2) {
        const auto fire = [](const char* event, double lat, double lng) {
            return QStringLiteral("zeb.map.fire('%1', {latlng: L.latLng(%2, %3)});")
                .arg(QLatin1String(event))
                .arg(lat)
                .arg(lng);
        };
        return AreaAfter([&] {
            Run("zeb.drawingManager.setDrawingMode(google.maps.drawing.OverlayType.RECTANGLE);" +
                fire("mousemove", lat1, lng1) + fire("click", lat1, lng1) +
                fire("mousemove", lat2, lng2) + fire("click", lat2, lng2));
        });
    }
    // The map menu's switch to `layer`, with the page reloaded when the family changes.
    void SwitchLayer(engine::TMapType layer) {
        if (window_->crm().MapType() == layer)
            return;
        const bool reload =
            engine::IsBaiduMapType(layer) != engine::IsBaiduMapType(window_->crm().MapType());
        QSignalSpy loaded(window_->MapView()->page(), &QWebEnginePage::loadFinished);
        const QByteArray item = "mniMapType" + QByteArray::number(engine::Ord(layer));
        Find<QAction>(item.constData())->trigger();
        if (reload) {
            ASSERT_TRUE(WaitUntil([&] { return !loaded.isEmpty(); }, 60000));
            ASSERT_TRUE(WaitUntil([this] { return PageReady(); }, 60000));
            QTest::qWait(1200);  // the redraw of the area after the reload
        }
    }
    void TickOnly(std::initializer_list<int> levels) {
        auto* list = Find<QListWidget>("chkZoomLevels");
        for (int level = 0; level < list->count(); ++level)
            list->item(level)->setCheckState(Qt::Unchecked);
        for (int level : levels)
            list->item(level)->setCheckState(Qt::Checked);
    }
    QString Label() { return Find<QLabel>("lblTileCount")->text(); }
    // Starts (the stitch question answered No) and waits for the end; the last message.
    QString Download() {
        fakes_.messages.shown.clear();
        fakes_.messages.defaultAnswer = false;
        server_.ClearCounts();
        Find<QAction>("actDownLoadStart")->trigger();
        auto* start = Find<QToolButton>("btnDownload");
        WaitUntil([start] { return !start->isHidden(); }, 60000);
        return fakes_.messages.shown.empty() ? QString() : fakes_.messages.shown.back().text;
    }
    bool AskedToReplace() const {
        for (const auto& message : fakes_.messages.shown)
            if (message.text.contains(QStringLiteral("已经存在")))
                return true;
        return false;
    }
    // Every tile of `tiles` was fetched exactly once and is in the tile tree; nothing else.
    void ExpectFetchedOnce(const Tiles& tiles, engine::TMapType layer) {
        EXPECT_EQ(server_.Total(), static_cast<int>(tiles.size()));
        for (const auto& [target, count] : server_.Counts())
            EXPECT_EQ(count, 1) << target;
        const auto out = Settings().GetStrSetting(engine::StrSetting::OutPutDirectory);
        for (const auto& [z, x, y] : tiles) {
            const engine::TTile tile{x, y, static_cast<std::int8_t>(z)};
            const auto folder = engine::MapTileFolders[engine::Ord(layer)];
            EXPECT_TRUE(std::filesystem::exists(engine::TilePath(out, folder, tile, ".png")))
                << z << "/" << x << "/" << y;
        }
    }
};

// What the tile server was asked for, for a failure's message.
std::string Requests(const testsupport::TileServer& server) {
    std::string text;
    for (const auto& [target, count] : server.Counts())
        text += target + " x" + std::to_string(count) + "\n";
    return text;
}

// The count in "N 瓦片" of the tile-count label, or of "已成功下载 N 张" of the summary.
qint64 CountIn(const QString& text, const QString& pattern) {
    const auto match = QRegularExpression(pattern).match(text);
    return match.hasMatch() ? match.captured(1).toLongLong() : -1;
}
qint64 LabelCount(const QString& label) {
    return CountIn(label, QStringLiteral("= (\\d+) 瓦片"));
}
qint64 SummaryCount(const QString& summary) {
    return CountIn(summary, QStringLiteral("^已成功下载 (\\d+) 张瓦片。"));
}

// North of 85° there are rows -8 to -1 that the grid does not have, and a rectangle drawn on
// the western world copy reaches columns below 0: the label, the requests and the summary all
// count the tiles that exist, each fetched once.
TEST_F(MainFormTaskRoadTest, AreasPastTheGridDownloadEachTileThatExistsOnce) {
    const auto layer = engine::TMapType::mtGoogleRoadMap;
    OpenWindow(layer);

    ASSERT_FALSE(ShowTyped("-10,89,10,80").isEmpty()) << "the typed area was not reported";
    TickOnly({5});
    EXPECT_TRUE(Label().startsWith(QStringLiteral("2 列 x 4 行 = 8 瓦片 ")))
        << Label().toStdString();
    Tiles polar;
    for (int x : {15, 16})
        for (int y = 0; y <= 3; ++y)
            polar.insert({5, x, y});
    const QString summary = Download();
    EXPECT_EQ(SummaryCount(summary), 8) << summary.toStdString();
    ExpectFetchedOnce(polar, layer);

    // On the western copy: the page reports longitudes below -180.
    const QString drawn = DrawRectangle(10, -200, 20, -170);
    ASSERT_TRUE(drawn.contains(QStringLiteral("-200.00000"))) << drawn.toStdString();
    TickOnly({6});
    std::int32_t x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    engine::LatLngToTileXY(6, 20, -200, x0, y0);
    engine::LatLngToTileXY(6, 10, -170, x1, y1);
    ASSERT_LT(x0, 0);
    Tiles dateLine;
    for (int x = 0; x <= x1; ++x)
        for (int y = y0; y <= y1; ++y)
            dateLine.insert({6, x, y});
    EXPECT_EQ(LabelCount(Label()), static_cast<qint64>(dateLine.size())) << Label().toStdString();
    Find<QComboBox>("cbbProfile")->setEditText(QStringLiteral("日界线"));  // a task of its own
    const QString second = Download();
    EXPECT_EQ(SummaryCount(second), static_cast<qint64>(dateLine.size())) << second.toStdString();
    ExpectFetchedOnce(dateLine, layer);
}

// A task saved, loaded and started again is the task itself: the page reports the loaded area
// back in its own form, and the start saves over the task without asking, then downloads.
TEST_F(MainFormTaskRoadTest, ALoadedTaskStartsAsItselfWithoutAsking) {
    struct Case {
        const char* name;
        engine::TMapType layer;
        std::function<QString()> makeArea;
    };
    const Case cases[] = {
        {"a typed outline", engine::TMapType::mtGoogleRoadMap,
         [this] { return ShowTyped("116.30,39.90,116.42,39.91,116.40,39.96,116.33,39.97"); }},
        {"a triangle", engine::TMapType::mtGoogleRoadMap,
         [this] { return ShowTyped("117.30,39.90,117.42,39.91,117.36,39.97"); }},
        {"a rectangle shown on the Baidu page", engine::TMapType::mtBaiduRoadMap,
         [this] { return ShowTyped("116.30,39.90,116.42,39.97"); }},
    };
    OpenWindow(engine::TMapType::mtGoogleRoadMap);
    auto* combo = Find<QComboBox>("cbbProfile");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SwitchLayer(c.layer);
        ASSERT_FALSE(c.makeArea().isEmpty());
        TickOnly({11});
        const QString name = QString::fromUtf8(c.name);
        combo->setEditText(name);
        fakes_.messages.shown.clear();
        Find<QAction>("actProfileSave")->trigger();
        ASSERT_FALSE(AskedToReplace());

        // Another area meanwhile, then the task loaded again.
        ShowTyped("116.50,40.10,116.60,40.20");
        combo->setCurrentIndex(combo->findText(name));
        ASSERT_EQ(combo->currentText(), name);
        const QString reported = AreaAfter([this] { Find<QAction>("actProfileLoad")->trigger(); });
        ASSERT_FALSE(reported.isEmpty()) << "the loaded area was not shown";
        EXPECT_EQ(combo->currentText(), name);

        const QString summary = Download();
        EXPECT_FALSE(AskedToReplace()) << "the start asked about the task itself";
        EXPECT_GT(SummaryCount(summary), 0) << summary.toStdString();
        EXPECT_EQ(SummaryCount(summary), server_.Total()) << Requests(server_);
    }
}

// A typed name is the user's: no reload of the page (tile folder, settings, skin, page family)
// replaces it, though each draws the area again and the page reports it back.
TEST_F(MainFormTaskRoadTest, ATypedTaskNameOutlivesEveryReload) {
    app::SkinManager::Instance().LoadSkins(app::SkinsFolder());
    OpenWindow(engine::TMapType::mtGoogleRoadMap);
    ASSERT_FALSE(ShowTyped("116.30,39.90,116.42,39.97").isEmpty());
    auto* combo = Find<QComboBox>("cbbProfile");
    combo->setEditText(QStringLiteral("我的任务"));

    struct Reload {
        const char* what;
        std::function<void()> start;
    };
    const Reload reloads[] = {
        {"tile folder change", [&] { ChangeTileFolder(); }},
        {"settings OK", [&] { ChangeTileServerInSettings(); }},
        {"a skin",
         [&] {
             for (QAction* skin : Find<QMenu>("mniStyle")->actions()) {
                 if (!skin->isChecked() && skin->text() != QStringLiteral("Windows")) {
                     skin->trigger();
                     return;
                 }
             }
         }},
        {"to the Baidu page", [&] { Find<QAction>("mniMapType45")->trigger(); }},
        {"back to the Google page", [&] { Find<QAction>("mniMapType3")->trigger(); }},
    };
    for (const Reload& reload : reloads) {
        SCOPED_TRACE(reload.what);
        QSignalSpy loaded(window_->MapView()->page(), &QWebEnginePage::loadFinished);
        const QString redrawn = AreaAfter(reload.start);
        ASSERT_FALSE(loaded.isEmpty()) << "no reload";
        ASSERT_FALSE(redrawn.isEmpty()) << "the area was not drawn again";
        EXPECT_EQ(combo->currentText(), QStringLiteral("我的任务"));
    }
    app::SkinManager::Instance().TrySetStyle("Windows");

    // An area the user makes is offered a name of its own.
    DrawRectangle(39.80, 116.20, 39.85, 116.30);
    EXPECT_NE(combo->currentText(), QStringLiteral("我的任务"));
}

// 显示范围 pairs the typed area with the district chosen, also for two corners that the page
// shows and reports as a rectangle; a drawn area ends the pair.
TEST_F(MainFormTaskRoadTest, ATypedAreaKeepsTheDistrictItWasShownFor) {
    Settings().SetStrSetting(engine::StrSetting::LastNodeText, "桂林");
    OpenWindow(engine::TMapType::mtGoogleRoadMap);
    auto* menu = Find<QMenu>("pmCity");
    auto* save = Find<QAction>("actSavePartitionDistrict");
    const auto saveEnabled = [&] {
        emit menu->aboutToShow();
        return save->isEnabled();
    };
    const auto store = dir_ / "config/Vantorel/boundary.dat";
    for (const auto layer : {engine::TMapType::mtBaiduRoadMap, engine::TMapType::mtGoogleRoadMap}) {
        SCOPED_TRACE(engine::Ord(layer));
        SwitchLayer(layer);
        for (const char* typed :
             {"110.56641,25.41847,109.93469,25.02091", "109.93469,25.41847,110.56641,25.02091",
              "110.2,25.1,110.4,25.2,110.3,25.4"}) {
            SCOPED_TRACE(typed);
            ASSERT_FALSE(ShowTyped(QString::fromUtf8(typed)).isEmpty());
            ASSERT_TRUE(saveEnabled()) << "the typed area lost its district";
            save->trigger();
            EXPECT_EQ(geodata::TBoundary(store).GetLatLngs("桂林"),
                      geodata::TGPolyLine(0.00001).EncodePointsEx(typed));
        }
    }
    DrawRectangle(25.0, 110.0, 25.3, 110.5);
    EXPECT_FALSE(saveEnabled()) << "a drawn area is no district's outline";
}

}  // namespace
}  // namespace testmainwindow
