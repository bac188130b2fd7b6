// The marker handling in the main window: the bookmark items after the first three entries
// of "标记(&B)", the marker list over the POI panel, the page's marker callback and page
// loads, and the user's marker file found again at the next start.
#include <QAction>
#include <QMenu>
#include <QSignalSpy>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <gtest/gtest.h>

#include "app/frame/main_form_fixture.h"
#include "app/frame/map_events.h"
#include "app/markers/frm_markers.h"
#include "app/markers/markers_controller.h"
#include "app/page/page_scripts.h"
#include "app/support/qt_print.h"

namespace {

using app::MarkersController;
using app::TCustomPOI;

class AttachMarkersTest : public testmainwindow::MainFormFixture {
  protected:
    // The fixture's home folder names its documents folder: the marker file goes there.
    AttachMarkersTest() {
        testsupport::WriteFileBytes(dir_ / "config" / "user-dirs.dirs",
                                    "XDG_DOCUMENTS_DIR=\"$HOME/文档\"\n");
    }

    MarkersController& Markers() {
        auto* markers = Window().findChild<MarkersController*>();
        EXPECT_NE(markers, nullptr);
        return *markers;
    }

    // The bookmark items' captions as the menu shows them (without shortcut marks).
    QStringList BookmarkCaptions() {
        QStringList captions;
        const auto actions = Find<QMenu>("mniBookmarks")->actions();
        for (qsizetype i = 3; i < actions.size(); ++i)
            captions << actions[i]->iconText();
        return captions;
    }

    static TCustomPOI Poi(std::int64_t id, const QString& name) {
        TCustomPOI poi;
        poi.id = id;
        poi.name = name;
        poi.lat = 30 + id / 100.0;
        poi.lng = 110;
        return poi;
    }
};

TEST_F(AttachMarkersTest, TheBookmarkItemsFollowEveryChangeAndComeBackAtTheNextStart) {
    MarkersController& markers = Markers();
    EXPECT_EQ(BookmarkCaptions(), QStringList());
    for (int i = 1; i <= 31; ++i)
        markers.MarkerEdit(Poi(i, QStringLiteral("标记%1").arg(i)), app::moEdit);
    QStringList first30;
    for (int i = 1; i <= 30; ++i)
        first30 << QStringLiteral("标记%1").arg(i);
    EXPECT_EQ(BookmarkCaptions(), first30);
    markers.MarkerEdit(Poi(1, {}), app::moDelelet);
    first30.removeFirst();
    first30 << QStringLiteral("标记31");
    EXPECT_EQ(BookmarkCaptions(), first30);
    EXPECT_TRUE(std::filesystem::exists(dir_ / "文档" / "Vantorel" / "Data" /
                                        "d41d8cd98f00b204e9800998ecf8427e"));

    fakes_.page.scripts.clear();
    const auto actions = Find<QMenu>("mniBookmarks")->actions();
    QAction* item = actions[3 + 4];
    item->trigger();
    EXPECT_TRUE(item->isChecked());
    EXPECT_EQ(fakes_.page.scripts, QStringList{app::pagescript::AddPOI(
                                       6, QStringLiteral("标记6"), 30.06, 110, "", false, true)});
    actions[3]->trigger();
    EXPECT_FALSE(item->isChecked()) << "bookmark items are radio items";

    // The next start finds the markers in the file.
    window_.reset();
    EXPECT_EQ(BookmarkCaptions(), first30);
}

TEST_F(AttachMarkersTest, BookmarkItemsShowTheNameAsTyped) {
    Markers().MarkerEdit(Poi(1, QStringLiteral("R&D 研发 & <b>")), app::moEdit);
    EXPECT_EQ(BookmarkCaptions(), QStringList{QStringLiteral("R&D 研发 & <b>")});
}

TEST_F(AttachMarkersTest, MenuActionsPageEventsAndTheListOverThePanel) {
    Window().resize(1000, 700);
    Window().show();  // offscreen
    MarkersController& markers = Markers();
    markers.MarkerEdit(Poi(1, "a"), app::moEdit);

    Find<QAction>("actAddMarker")->trigger();
    EXPECT_EQ(fakes_.page.scripts.last(), app::pagescript::StartMarkerDrawing(false));

    QSignalSpy wanted(&markers, &MarkersController::editorWanted);
    emit Window().Events().markerCompleted("77", 31, 112, "x", "", true);
    EXPECT_EQ(wanted.count(), 1);

    QWidget* panel = Find<QWidget>("pnlPOI");
    panel->show();
    Find<QAction>("actBookMarksManager")->trigger();
    auto* list = Window().findChild<app::TfrmMarkers*>();
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(list->isVisible());
    EXPECT_EQ(list->geometry(), QRect(panel->mapTo(&Window(), QPoint(0, 0)), panel->size()));
    Window().resize(1200, 800);
    QCoreApplication::processEvents();
    EXPECT_EQ(list->geometry(), QRect(panel->mapTo(&Window(), QPoint(0, 0)), panel->size()));

    // Every page load draws the stored markers again.
    QWebEnginePage* page = Window().MapView()->page();
    QSignalSpy loaded(page, &QWebEnginePage::loadFinished);
    page->setHtml("<p>page</p>");
    ASSERT_TRUE(loaded.wait(20000));
    EXPECT_TRUE(markers.MarkersTimer().isActive());
}

}  // namespace
