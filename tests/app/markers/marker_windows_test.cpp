// The marker windows: their widgets by name, the editor's buttons and its close path, the list
// over the POI panel's rectangle.
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeView>

#include <gtest/gtest.h>

#include "app/markers/frm_marker_edit.h"
#include "app/markers/frm_markers.h"
#include "app/markers/marker_windows.h"
#include "app/markers/markers_controller.h"
#include "app/support/fake_services.h"
#include "app/support/qt_print.h"
#include "support/temp_dir.h"

namespace {

using app::TfrmMarkerEdit;
using app::TfrmMarkers;

class MarkerWindowsTest : public ::testing::Test {
  protected:
    testsupport::TempDir dir_;
    testmainwindow::FakeServices fake_;
    app::MarkersController controller_{fake_.services, dir_ / "markers"};
    QMainWindow main_;  // goes first, with the windows over the controller
    app::MarkerWindows* windows_ = new app::MarkerWindows(controller_, &main_);
};

template <typename T>
T* Named(QObject& parent, const char* name) {
    T* found = parent.findChild<T*>(QLatin1String(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

TEST_F(MarkerWindowsTest, TheEditorOpensForAPageMarkerAndSavesIt) {
    controller_.OnMarkerCompleted("42", 32.5, 107.25, QStringLiteral("我的标记 1"), "", true);
    TfrmMarkerEdit* editor = windows_->Editor();
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(editor->isVisible());
    EXPECT_EQ(editor->parentWidget(), &main_);
    EXPECT_TRUE(editor->windowFlags() & Qt::Tool);
    EXPECT_EQ(editor->windowTitle(), QStringLiteral("新增标记"));
    auto* title = Named<QLineEdit>(*editor, "edtTitle");
    auto* lat = Named<QLineEdit>(*editor, "edtLatitude");
    auto* lng = Named<QLineEdit>(*editor, "edtLongitude");
    auto* content = Named<QPlainTextEdit>(*editor, "mmoContent");
    Named<QLabel>(*editor, "lblContent");
    Named<QPushButton>(*editor, "btnDelete");
    Named<QPushButton>(*editor, "btnClose");
    auto* save = Named<QPushButton>(*editor, "btnSave");
    ASSERT_TRUE(title && lat && lng && content && save);
    EXPECT_EQ(title->text(), QStringLiteral("我的标记 1"));
    EXPECT_EQ(lat->text(), "32.50000000");
    EXPECT_EQ(lng->text(), "107.25000000");

    // A note longer than its column is cut while typing.
    content->setPlainText(QString(250, u'x'));
    EXPECT_EQ(content->toPlainText().size(), 200);

    title->clear();
    save->click();
    EXPECT_EQ(fake_.messages.Texts(), QStringList{QStringLiteral("标注名称不能为空！")});
    EXPECT_TRUE(editor->isVisible());

    title->setText(QStringLiteral("水库"));
    save->click();
    EXPECT_FALSE(editor->isVisible());
    ASSERT_EQ(controller_.Store().RecordCount(), 1);
    EXPECT_EQ(controller_.Store().Records()[0].name, QStringLiteral("水库"));
    EXPECT_EQ(controller_.Store().Records()[0].content, QString(200, u'x'));

    // The same window serves the next marker.
    controller_.OnMarkerCompleted("42", 32.5, 107.25, QStringLiteral("水库"), "", false);
    EXPECT_EQ(windows_->Editor(), editor);
    EXPECT_EQ(editor->windowTitle(), QStringLiteral("编辑标记"));
}

TEST_F(MarkerWindowsTest, ClosingTheEditorOfAnUnsavedMarkerAsksFirst) {
    controller_.OnMarkerCompleted("42", 32.5, 107.25, QStringLiteral("我的标记 1"), "", true);
    TfrmMarkerEdit* editor = windows_->Editor();
    fake_.messages.answers = {false, true};
    QTest::keyClick(editor, Qt::Key_Escape);
    EXPECT_TRUE(editor->isVisible()) << "No must keep the editor open";
    Named<QPushButton>(*editor, "btnClose")->click();
    EXPECT_FALSE(editor->isVisible());
    EXPECT_EQ(fake_.messages.shown.size(), 2u);
    EXPECT_EQ(fake_.page.scripts, QStringList{"deleteTempPOIMarkers();"});
}

TEST_F(MarkerWindowsTest, TheListLiesOverThePanelAndDeletesFromItsMenu) {
    controller_.MarkerEdit({1, QStringLiteral("甲"), 0, 31, 111, QStringLiteral("备注一"), false},
                           app::moEdit);
    controller_.MarkerEdit({2, QStringLiteral("乙"), 0, 32, 112, {}, false}, app::moEdit);
    main_.resize(800, 600);
    TfrmMarkers* list = windows_->ShowList(QRect(590, 40, 206, 365));
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->parentWidget(), &main_);
    EXPECT_EQ(list->geometry(), QRect(590, 40, 206, 365));
    windows_->PlaceList(QRect(500, 30, 200, 300));
    EXPECT_EQ(list->geometry(), QRect(500, 30, 200, 300));
    EXPECT_EQ(windows_->ShowList(QRect(0, 0, 10, 10)), list);

    auto* view = Named<QTreeView>(*list, "lvMarkers");
    ASSERT_NE(view, nullptr);
    ASSERT_EQ(view->model()->rowCount(), 2);
    EXPECT_EQ(view->model()->index(0, 1).data().toString(), QStringLiteral("备注一"));
    Named<QMenu>(*list, "pm1");
    EXPECT_FALSE(Named<QAction>(*list, "mniExport")->isEnabled());
    EXPECT_FALSE(Named<QAction>(*list, "mniUpLoad")->isEnabled());
    EXPECT_FALSE(Named<QAction>(*list, "mniDownload")->isEnabled());

    const QModelIndex second = view->model()->index(1, 0);
    view->setCurrentIndex(second);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(second).center());
    EXPECT_EQ(controller_.List().Marker().id, 2);
    fake_.messages.answers = {true};
    Named<QAction>(*list, "mniDelete")->trigger();
    QCoreApplication::processEvents();
    EXPECT_EQ(controller_.Store().RecordCount(), 1);
    EXPECT_EQ(view->model()->rowCount(), 1);
}

}  // namespace
