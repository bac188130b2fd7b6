// The marker handling wired to a window: the bookmark items after the menu's first three, the
// marker list over the POI panel, the page's marker callback and the page loads.
#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QWebEnginePage>
#include <QWebEngineProfile>

#include <gtest/gtest.h>

#include "mainwindow/app/attach_markers.h"
#include "mainwindow/app/map_events.h"
#include "mainwindow/markers/frm_markers.h"
#include "mainwindow/markers/markers_controller.h"
#include "mainwindow/page/page_scripts.h"
#include "mainwindow/qt_print.h"
#include "mainwindow/support/fake_services.h"
#include "support/temp_dir.h"

namespace {

using mainwindow::TCustomPOI;

class AttachMarkersTest : public ::testing::Test {
  protected:
    AttachMarkersTest() {
        menu_ = window_.menuBar()->addMenu(QStringLiteral("标记(&B)"));
        addMarker_ = menu_->addAction(QStringLiteral("添加标记"));
        manager_ = menu_->addAction(QStringLiteral("管理标记..."));
        menu_->addSeparator();
        auto* central = new QWidget(&window_);
        window_.setCentralWidget(central);
        pnlPOI_ = new QWidget(central);
        pnlPOI_->setGeometry(580, 10, 210, 400);
        window_.resize(800, 600);
    }

    mainwindow::MarkersController* Attach() {
        return mainwindow::AttachMarkers({&window_, menu_, addMarker_, manager_, pnlPOI_},
                                         fake_.services, events_, page_, dir_ / "markers");
    }

    QStringList BookmarkCaptions() const {
        QStringList captions;
        const auto actions = menu_->actions();
        for (qsizetype i = 3; i < actions.size(); ++i)
            captions << actions[i]->text();
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

    testsupport::TempDir dir_;
    testmainwindow::FakeServices fake_;
    mainwindow::MapEvents events_;
    QWebEngineProfile profile_;
    QWebEnginePage page_{&profile_};
    QMainWindow window_;
    QMenu* menu_ = nullptr;
    QAction* addMarker_ = nullptr;
    QAction* manager_ = nullptr;
    QWidget* pnlPOI_ = nullptr;
};

TEST_F(AttachMarkersTest, TheBookmarkItemsFollowEveryChangeAndShowTheirMarker) {
    mainwindow::MarkersController* markers = Attach();
    EXPECT_EQ(BookmarkCaptions(), QStringList());
    for (int i = 1; i <= 31; ++i)
        markers->MarkerEdit(Poi(i, QStringLiteral("标记%1").arg(i)), mainwindow::moEdit);
    QStringList first30;
    for (int i = 1; i <= 30; ++i)
        first30 << QStringLiteral("标记%1").arg(i);
    EXPECT_EQ(BookmarkCaptions(), first30);
    markers->MarkerEdit(Poi(1, {}), mainwindow::moDelelet);
    first30.removeFirst();
    first30 << QStringLiteral("标记31");
    EXPECT_EQ(BookmarkCaptions(), first30);

    fake_.page.scripts.clear();
    QAction* item = menu_->actions()[3 + 4];
    item->trigger();
    EXPECT_TRUE(item->isChecked());
    EXPECT_EQ(fake_.page.scripts, QStringList{mainwindow::pagescript::AddPOI(
                                      6, QStringLiteral("标记6"), 30.06, 110, "", false, true)});
    menu_->actions()[3]->trigger();
    EXPECT_FALSE(item->isChecked()) << "bookmark items are radio items";

    // A restart finds them again.
    QMainWindow again;
    auto* menu = again.menuBar()->addMenu(QStringLiteral("标记(&B)"));
    QAction* add = menu->addAction("a");
    QAction* manage = menu->addAction("m");
    menu->addSeparator();
    auto* panel = new QWidget(&again);
    mainwindow::AttachMarkers({&again, menu, add, manage, panel}, fake_.services, events_, page_,
                              dir_ / "markers");
    EXPECT_EQ(menu->actions().size(), 3 + 30);
}

TEST_F(AttachMarkersTest, MenuActionsPageEventsAndTheListOverThePanel) {
    window_.show();  // offscreen
    mainwindow::MarkersController* markers = Attach();
    markers->MarkerEdit(Poi(1, "a"), mainwindow::moEdit);

    addMarker_->trigger();
    EXPECT_EQ(fake_.page.scripts.last(), mainwindow::pagescript::StartMarkerDrawing(false));

    QSignalSpy wanted(markers, &mainwindow::MarkersController::editorWanted);
    emit events_.markerCompleted("77", 31, 112, "x", "", true);
    EXPECT_EQ(wanted.count(), 1);

    manager_->trigger();
    auto* list = window_.findChild<mainwindow::TfrmMarkers*>();
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(list->isVisible());
    const QRect panel(pnlPOI_->mapTo(&window_, QPoint(0, 0)), pnlPOI_->size());
    EXPECT_EQ(list->geometry(), panel);
    pnlPOI_->setGeometry(500, 20, 250, 300);
    const QRect moved(pnlPOI_->mapTo(&window_, QPoint(0, 0)), pnlPOI_->size());
    EXPECT_EQ(list->geometry(), moved);

    // Every page load draws the stored markers again.
    QSignalSpy loaded(&page_, &QWebEnginePage::loadFinished);
    page_.setHtml("<p>page</p>");
    ASSERT_TRUE(loaded.wait(20000));
    EXPECT_TRUE(markers->MarkersTimer().isActive());
}

}  // namespace
