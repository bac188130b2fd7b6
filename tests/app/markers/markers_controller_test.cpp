// The main window's marker handling and the marker list: what the editor and the list report
// is stored, saved and shown on the page; the stored markers come back after every page
// load; the bookmark items; the list's rows, click and delete.
#include <QCoreApplication>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include "app/markers/markers_controller.h"
#include "app/page/page_scripts.h"
#include "app/support/fake_services.h"
#include "app/support/qt_print.h"
#include "marker_print.h"
#include "support/temp_dir.h"

namespace {

using app::MarkerRecord;
using app::MarkersController;
using app::MarkerStore;
using app::TCustomPOI;
namespace pagescript = app::pagescript;

TCustomPOI Poi(std::int64_t id, const QString& name, double lat, double lng,
               const QString& content = {}) {
    TCustomPOI poi;
    poi.id = id;
    poi.name = name;
    poi.lat = lat;
    poi.lng = lng;
    poi.content = content;
    return poi;
}

class MarkersControllerTest : public ::testing::Test {
  protected:
    // The table as the file holds it now.
    std::vector<MarkerRecord> Saved() const {
        MarkerStore store(file_);
        EXPECT_EQ(store.LoadMarkerFromFile(), "");
        return store.Records();
    }

    void Store(const TCustomPOI& poi) { controller_.MarkerEdit(poi, app::moEdit); }

    testsupport::TempDir dir_;
    std::filesystem::path file_ = dir_ / "Vantorel" / "Data" / "d41d8cd98f00b204e9800998ecf8427e";
    testmainwindow::FakeServices fake_;
    MarkersController controller_{fake_.services, file_};
};

TEST_F(MarkersControllerTest, StoreEditsOrAppendsSavesAndDrawsTheMarkerAsStored) {
    QSignalSpy changed(&controller_, &MarkersController::markersChanged);
    Store(Poi(1, "a", 30, 110));
    Store(Poi(2, "b", 31, 111, "note"));
    Store(Poi(1, "A", 30.5, 110.5, "moved"));
    const std::vector<MarkerRecord> expected{{1, "A", 30.5, 110.5, "moved"},
                                             {2, "b", 31, 111, "note"}};
    EXPECT_EQ(controller_.Store().Records(), expected);
    EXPECT_EQ(Saved(), expected);
    EXPECT_EQ(changed.count(), 3);
    EXPECT_EQ(fake_.page.scripts.last(),
              pagescript::AddPOI(1, "A", 30.5, 110.5, "moved", false, false));
}

TEST_F(MarkersControllerTest, DeleteAndDropTheTemporaryMarkersSaveAndUpdateThePage) {
    Store(Poi(1, "a", 30, 110));
    Store(Poi(2, "b", 31, 111));
    fake_.page.scripts.clear();
    controller_.MarkerEdit(Poi(1, "a", 30, 110), app::moDelelet);
    controller_.MarkerEdit(Poi(9, "not stored", 1, 1), app::moDelelet);
    controller_.MarkerEdit(Poi(5, "temp", 1, 1), app::moNull);
    EXPECT_EQ(fake_.page.scripts,
              (QStringList{pagescript::DeletePOIMarker(1), pagescript::DeletePOIMarker(9),
                           "deleteTempPOIMarkers();"}));
    const std::vector<MarkerRecord> expected{{2, "b", 31, 111, ""}};
    EXPECT_EQ(Saved(), expected);
}

TEST_F(MarkersControllerTest, AFailedSaveIsReportedAndThePageStillUpdated) {
    // The data folder's place is taken by a file.
    testsupport::WriteFileBytes(dir_ / "Vantorel" / "Data", "not a folder");
    Store(Poi(1, "a", 30, 110));
    ASSERT_EQ(fake_.messages.shown.size(), 1u);
    EXPECT_EQ(fake_.messages.shown[0].kind, "error");
    EXPECT_TRUE(fake_.messages.shown[0].text.contains(QStringLiteral("保存失败")));
    EXPECT_EQ(fake_.page.scripts,
              QStringList{pagescript::AddPOI(1, "a", 30, 110, "", false, false)});
}

TEST_F(MarkersControllerTest, ADamagedFileIsReportedAtLoadAndTheTableStartsEmpty) {
    testsupport::WriteFileBytes(file_, "<DATAPACKET");
    controller_.LoadMarkers();
    ASSERT_EQ(fake_.messages.shown.size(), 1u);
    EXPECT_EQ(fake_.messages.shown[0].kind, "warning");
    EXPECT_EQ(controller_.Store().RecordCount(), 0);
    EXPECT_EQ(testsupport::ReadFileBytes(controller_.Store().SetAsidePath()), "<DATAPACKET");
}

TEST_F(MarkersControllerTest, EveryPageLoadDrawsAllStoredMarkers800MsLater) {
    Store(Poi(1, QStringLiteral("甲 \"乙\""), 30, 110, QStringLiteral("</script>")));
    Store(Poi(2, "b", 31, 111));
    fake_.page.scripts.clear();
    QTimer& timer = controller_.MarkersTimer();
    EXPECT_FALSE(timer.isActive());
    controller_.crmLoadEnd();
    EXPECT_TRUE(timer.isActive());
    EXPECT_TRUE(timer.isSingleShot());
    EXPECT_EQ(timer.interval(), 800);
    EXPECT_TRUE(fake_.page.scripts.isEmpty()) << "drawn before the timer fired";
    ASSERT_TRUE(QSignalSpy(&timer, &QTimer::timeout).wait(3000));
    EXPECT_FALSE(timer.isActive());
    EXPECT_EQ(fake_.page.scripts,
              (QStringList{pagescript::AddPOI(1, QStringLiteral("甲 \"乙\""), 30, 110,
                                              QStringLiteral("</script>"), false, false),
                           pagescript::AddPOI(2, "b", 31, 111, "", false, false)}));
    for (const QString& script : fake_.page.scripts)
        EXPECT_FALSE(script.contains("</script>") || script.contains("\"乙\""))
            << script.toStdString();
}

TEST_F(MarkersControllerTest, AddMarkerStartsThePagesMarkerTool) {
    controller_.actAddMarkerExecute();
    fake_.page.mapType = engine::TMapType::mtBaiduRoadMap;
    controller_.actAddMarkerExecute();
    EXPECT_EQ(fake_.page.scripts, (QStringList{pagescript::StartMarkerDrawing(false),
                                               pagescript::StartMarkerDrawing(true)}));
}

TEST_F(MarkersControllerTest, TheBookmarkMenuListsTheFirst30Markers) {
    for (int i = 1; i <= 31; ++i)
        Store(Poi(i, QStringLiteral("标记%1").arg(i), 30 + i / 100.0, 110));
    const auto items = controller_.BookmarkItems();
    ASSERT_EQ(items.size(), 30u);
    EXPECT_EQ(items.front().name, QStringLiteral("标记1"));
    EXPECT_EQ(items.back().name, QStringLiteral("标记30"));
    EXPECT_EQ(items.back().lat, 30.3);

    fake_.page.scripts.clear();
    controller_.BookmarkMenuClick(items[4]);
    EXPECT_EQ(fake_.page.scripts, QStringList{pagescript::AddPOI(5, QStringLiteral("标记5"), 30.05,
                                                                 110, "", false, true)});
}

TEST_F(MarkersControllerTest, AMarkerFromThePageFillsTheEditorAndAsksForIt) {
    QSignalSpy wanted(&controller_, &MarkersController::editorWanted);
    controller_.OnMarkerCompleted("1733840000123", 32.5, 107.25, QStringLiteral("我的标记 1"), "",
                                  true);
    EXPECT_EQ(wanted.count(), 1);
    EXPECT_EQ(controller_.Editor().Marker().id, 1733840000123);
    controller_.Editor().SetLog([](const QString&) {});
    controller_.OnMarkerCompleted("17338400001x", 32.5, 107.25, "x", "", true);
    EXPECT_EQ(wanted.count(), 1);

    // The editor's save is stored before it returns.
    controller_.Editor().FormShow();
    ASSERT_EQ(controller_.Editor().Save(QStringLiteral("水库"), "32.5", "107.25", "n"),
              app::MarkerEditController::SaveOutcome::Saved);
    const std::vector<MarkerRecord> expected{
        {1733840000123, QStringLiteral("水库"), 32.5, 107.25, "n"}};
    EXPECT_EQ(Saved(), expected);
}

TEST_F(MarkersControllerTest, TheListShowsRowsInTableOrderAndTheClickedMarkerOnTheMap) {
    Store(Poi(3, "c", 33, 113, "third"));
    Store(Poi(1, "a", 31, 111));
    Store(Poi(2, "b", 32, 112, "second"));
    auto& list = controller_.List();
    auto& model = list.Model();
    list.Refresh();
    ASSERT_EQ(model.rowCount(), 3);
    ASSERT_EQ(model.columnCount(), 2);
    EXPECT_EQ(model.headerData(0, Qt::Horizontal).toString(), QStringLiteral("名称"));
    EXPECT_EQ(model.headerData(1, Qt::Horizontal).toString(), QStringLiteral("备注"));
    const char* rows[][2] = {{"c", "third"}, {"a", ""}, {"b", "second"}};
    for (int r = 0; r < 3; ++r) {
        EXPECT_EQ(model.data(model.index(r, 0)).toString(), rows[r][0]);
        EXPECT_EQ(model.data(model.index(r, 1)).toString(), rows[r][1]);
    }

    fake_.page.scripts.clear();
    list.lvMarkersClick(-1);
    EXPECT_TRUE(fake_.page.scripts.isEmpty());
    list.lvMarkersClick(2);
    EXPECT_EQ(fake_.page.scripts,
              QStringList{pagescript::AddPOI(2, "b", 32, 112, "second", false, true)});
}

TEST_F(MarkersControllerTest, TheListDeletesTheClickedMarkerAfterItsQuestion) {
    Store(Poi(1, "a", 31, 111));
    Store(Poi(2, "b", 32, 112));
    auto& list = controller_.List();
    list.Refresh();
    fake_.messages.answers = {true, false, true};

    // Before any click the list holds a zeroed record: the question names no marker and the
    // main window finds nothing to delete.
    list.mniDeleteClick(true);
    EXPECT_EQ(fake_.messages.shown.back().text, QStringLiteral("确定要删除“”吗？"));
    QCoreApplication::processEvents();
    EXPECT_EQ(controller_.Store().RecordCount(), 2);

    list.lvMarkersClick(1);
    list.mniDeleteClick(true);  // No
    QCoreApplication::processEvents();
    EXPECT_EQ(controller_.Store().RecordCount(), 2);

    list.mniDeleteClick(false);  // no row selected: no question
    EXPECT_EQ(fake_.messages.shown.size(), 2u);

    fake_.page.scripts.clear();
    list.mniDeleteClick(true);  // Yes
    EXPECT_EQ(fake_.messages.shown.back().kind, "askwarning");
    EXPECT_EQ(fake_.messages.shown.back().text, QStringLiteral("确定要删除“b”吗？"));
    EXPECT_EQ(fake_.messages.shown.back().caption, QStringLiteral("删除标记"));
    EXPECT_EQ(controller_.Store().RecordCount(), 2) << "deleted before the menu had closed";
    QCoreApplication::processEvents();
    const std::vector<MarkerRecord> expected{{1, "a", 31, 111, ""}};
    EXPECT_EQ(controller_.Store().Records(), expected);
    EXPECT_EQ(Saved(), expected);
    EXPECT_EQ(list.Model().rowCount(), 1);
    EXPECT_EQ(fake_.page.scripts, QStringList{pagescript::DeletePOIMarker(2)});
}

}  // namespace
