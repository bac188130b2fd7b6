// Markers with the real Google-family page in an offscreen view: a marker placed with the
// page's marker tool opens the editor; saved, it is stored, drawn again after a reload of the
// page and on the other page family, and listed in the bookmark menu.
#ifdef VANTOREL_HAS_PAGE_RESOURCES

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QWidget>

#include <gtest/gtest.h>

#include "app/frame/map_events.h"
#include "app/frame/real_services.h"
#include "app/markers/frm_marker_edit.h"
#include "app/markers/marker_windows.h"
#include "app/markers/markers_controller.h"
#include "app/page/map_view_harness.h"
#include "app/page/script_text.h"
#include "app/support/fake_services.h"
#include "app/support/qt_print.h"
#include "engine/settings/settings.h"
#include "marker_print.h"
#include "support/temp_dir.h"

namespace {

using testmainwindow::WaitUntil;

// The text of the first custom marker's label, and "markup" when any element was made of it.
const QString kLabelText = QStringLiteral(
    "(() => { const e = zeb.pois[0].getTooltip().getElement();"
    " return e.querySelector('b') ? 'markup' : e.textContent; })()");

engine::XdgBaseDirs DirsUnder(const std::filesystem::path& root) {
    return {root, root / "config", root / "cache", root / "data", root / "state"};
}

TEST(MarkersPageTest, APlacedMarkerIsEditedStoredAndDrawnAgainAfterAReload) {
    testsupport::TempDir dir;
    testmainwindow::MapView view;
    engine::TSettings settings(engine::SettingsPathsFor(DirsUnder(dir.path())));
    app::ChromiumPage page(view.Host(), settings);
    testmainwindow::FakeServices fake;
    app::PageWait pageWait(page);
    app::Services services{fake.messages,    fake.fileDialogs, fake.opener, fake.clock,
                           fake.processExit, fake.powerOff,    page,        pageWait};
    const auto file = app::MarkerFileName(dir / "Documents");
    app::MarkersController controller(services, file);
    QWidget mainWindow;
    auto* windows = new app::MarkerWindows(controller, &mainWindow);
    app::MapEvents events;
    events.ConnectTo(view.Host().JsProcessor());
    QObject::connect(&events, &app::MapEvents::markerCompleted, &controller,
                     &app::MarkersController::OnMarkerCompleted);
    QObject::connect(&view.Page(), &QWebEnginePage::loadFinished, &controller,
                     &app::MarkersController::crmLoadEnd);
    controller.LoadMarkers();

    app::PageSettings pageSettings;
    pageSettings.OfflineMode = true;
    pageSettings.OutPutDirectory = (dir / "tiles").string();
    pageSettings.Latitude = 33;
    pageSettings.Longitude = 108;
    pageSettings.ZoomLevel = 5;
    ASSERT_TRUE(view.Load(engine::TMapType::mtGoogleRoadMap, pageSettings));

    // "添加标记", then a click on the map.
    controller.actAddMarkerExecute();
    view.Run(
        "zeb.map.fire('mousemove', {latlng: L.latLng(32.5, 107.25)});"
        "zeb.map.fire('click', {latlng: L.latLng(32.5, 107.25)});");
    ASSERT_TRUE(WaitUntil([&] { return windows->Editor() && windows->Editor()->isVisible(); }))
        << "the placed marker opened no editor";
    app::TfrmMarkerEdit* editor = windows->Editor();
    EXPECT_EQ(editor->windowTitle(), QStringLiteral("新增标记"));
    EXPECT_EQ(editor->edtLatitude->text(), "32.50000000");
    const QString id = QString::number(controller.Editor().Marker().id);
    ASSERT_TRUE(view.Run("zeb.pois.length === 1 && zeb.pois[0].isTemp").toBool());

    // A name and note that must reach the page as they are, not as script or markup.
    const QString name = QStringLiteral("水库 \"北\" & <b>粗</b> </script>");
    const QString note = QStringLiteral("第一行\n'第二行'");
    editor->edtTitle->setText(name);
    editor->mmoContent->setPlainText(note);
    editor->btnSave->click();
    EXPECT_FALSE(editor->isVisible());
    ASSERT_EQ(controller.Store().RecordCount(), 1);
    EXPECT_EQ(controller.Store().Records()[0].name, name);
    EXPECT_TRUE(WaitUntil([&] {
        return view.Run("zeb.pois.length === 1 && !zeb.pois[0].isTemp").toBool();
    })) << "the saved marker stayed temporary on the page";

    // The table survives in its file.
    app::MarkerStore reread(file);
    EXPECT_EQ(reread.LoadMarkerFromFile(), "");
    EXPECT_EQ(reread.Records(), controller.Store().Records());

    // A reload starts without markers; the stored one comes back.
    ASSERT_TRUE(view.Load(engine::TMapType::mtGoogleRoadMap, pageSettings));
    ASSERT_TRUE(WaitUntil([&] { return view.Run("zeb.pois.length === 1").toBool(); }, 10000))
        << "the stored marker was not drawn after the reload";
    EXPECT_TRUE(
        view.Run("!zeb.pois[0].isTemp && String(zeb.pois[0].poiId) === " + app::JsString(id))
            .toBool());
    EXPECT_EQ(view.Run("zeb.pois[0].options.title").toString(), name);
    EXPECT_EQ(view.Run(kLabelText).toString().toStdString(), name.toStdString());
    EXPECT_EQ(view.Run("zeb.pois[0].content").toString(), note);
    EXPECT_NEAR(view.Run("zeb.pois[0].getLatLng().lat").toDouble(), 32.5, 1e-6);

    // A switch to the other page family is a reload too.
    ASSERT_TRUE(view.Load(engine::TMapType::mtBaiduRoadMap, pageSettings));
    ASSERT_TRUE(WaitUntil([&] { return view.Run("zeb.pois.length === 1").toBool(); }, 10000))
        << "the stored marker was not drawn on the other page family";
    EXPECT_EQ(view.Run("zeb.pois[0].options.title").toString(), name);
    EXPECT_EQ(view.Run(kLabelText).toString().toStdString(), name.toStdString());

    const auto bookmarks = controller.BookmarkItems();
    ASSERT_EQ(bookmarks.size(), 1u);
    EXPECT_EQ(bookmarks[0].name, name);
    EXPECT_EQ(QString::number(bookmarks[0].id), id);
    EXPECT_EQ(view.Page().errors, QStringList());
}

}  // namespace

#endif  // VANTOREL_HAS_PAGE_RESOURCES
