// The place panel and the area panel as widgets: names, loading, clicks and the coordinate box.
#include <QAction>
#include <QApplication>
#include <QImage>
#include <QInputMethodEvent>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include "app/places/city_tree_panel.h"
#include "app/places/coordinates_panel.h"
#include "app/places/location_bar.h"
#include "app/places/places_controller.h"
#include "app/places/web_gmaps_lookup_edit.h"
#include "app/support/fake_services.h"
#include "engine/settings/settings.h"
#include "fake_text_dialogs.h"
#include "geodata/boundary/boundary_store.h"
#include "support/temp_dir.h"

namespace {

using app::PlacesController;

class PlacesPanelsTest : public ::testing::Test {
  protected:
    PlacesPanelsTest()
        : settings(engine::SettingsPaths{temp / "settings.ini", temp / "out", temp / "Cache",
                                         temp / "CefCache"}),
          boundary(temp / "boundary.txt"),
          controller(fake.services, dialogs, settings, boundary, temp / "Cache") {}

    testsupport::TempDir temp;
    testmainwindow::FakeServices fake;
    testplaces::FakeTextDialogs dialogs;
    engine::TSettings settings;
    geodata::TBoundary boundary;
    PlacesController controller;
};

TEST_F(PlacesPanelsTest, TreeShowsTheLastPlaceAndClicksAct) {
    boundary.Save("东城区", "_p~iF~ps|U_ulLnnqC");
    settings.SetStrSetting(engine::StrSetting::LastNodeText, "东城区");
    app::CityTreePanel panel(controller);
    panel.LoadCityTree("\xEF\xBB\xBF中国\r\n\t北京市\r\n\t\t东城区\r\n\t\t西城区\r\n亚洲\r\n");
    QTreeWidget* tree = panel.findChild<QTreeWidget*>(QStringLiteral("tvCity"));
    ASSERT_NE(tree, nullptr);
    EXPECT_TRUE(panel.isEnabled());
    ASSERT_NE(tree->currentItem(), nullptr);
    EXPECT_EQ(tree->currentItem()->text(0), QStringLiteral("东城区"));
    EXPECT_TRUE(tree->topLevelItem(0)->isExpanded());
    EXPECT_TRUE(tree->currentItem()->parent()->isExpanded());
    EXPECT_NE(panel.findChild<app::TWebGMapsLookupEdit*>(QStringLiteral("WebGMapsLookupEdit1")),
              nullptr);
    for (const char* name :
         {"actGetPartitionDistrict", "actSavePartitionDistrict", "actExportBoundary"}) {
        EXPECT_NE(panel.findChild<QAction*>(QString::fromLatin1(name)), nullptr) << name;
    }
    EXPECT_NE(panel.findChild<QMenu*>(QStringLiteral("pmCity")), nullptr);

    panel.show();
    QTreeWidgetItem* item = panel.Item(2);
    const QRect rect = tree->visualItemRect(item);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, rect.center());
    EXPECT_EQ(settings.GetStrSetting(engine::StrSetting::LastNodeText), "东城区");
    ASSERT_FALSE(fake.page.scripts.isEmpty());
    EXPECT_TRUE(fake.page.scripts.back().startsWith(QStringLiteral("showBoundary(")));
    EXPECT_EQ(panel.SearchBox()->Lookup().region, QStringLiteral("东城区"))
        << "the search box follows the chosen place";
}

TEST_F(PlacesPanelsTest, ThreeKindsOfPlaceLookDifferent) {
    app::CityTreePanel panel(controller);
    panel.LoadCityTree(
        "\xEF\xBB\xBF中国\r\n\t河北省\r\n\t\t石家庄市\r\n\t\t\t长安区\r\n\t\t\t井陉县\r\n");
    const auto image = [&](int node) { return panel.Item(node)->icon(0).pixmap(16, 16).toImage(); };
    const QImage withPlaces = image(2);
    const QImage district = image(3);
    const QImage leaf = image(4);
    EXPECT_NE(withPlaces, district);
    EXPECT_NE(withPlaces, leaf);
    EXPECT_NE(district, leaf);
}

TEST_F(PlacesPanelsTest, CoordinateBoxTakesOnlyCoordinates) {
    app::CoordinatesPanel panel(controller);
    panel.show();
    QApplication::setActiveWindow(&panel);
    QPlainTextEdit* box = panel.findChild<QPlainTextEdit*>(QStringLiteral("mmoCoordinates"));
    ASSERT_NE(box, nullptr);
    box->setFocus();
    QTest::keyClicks(box, QStringLiteral("1a2,B -3.x5"));
    EXPECT_EQ(box->toPlainText(), QStringLiteral("12,-3.5"));
    QTest::keyClick(box, Qt::Key_Backspace);
    EXPECT_EQ(box->toPlainText(), QStringLiteral("12,-3."));
    // Text an input method commits follows the same rule.
    for (const QString& committed :
         {QStringLiteral("中"), QStringLiteral("，"), QStringLiteral("5，6")}) {
        QInputMethodEvent input;
        input.setCommitString(committed);
        QApplication::sendEvent(box, &input);
        EXPECT_EQ(box->toPlainText(), QStringLiteral("12,-3.")) << committed.toStdString();
    }
    QInputMethodEvent digits;
    digits.setCommitString(QStringLiteral("5"));
    QApplication::sendEvent(box, &digits);
    EXPECT_EQ(box->toPlainText(), QStringLiteral("12,-3.5"));
    QTest::keyClick(box, Qt::Key_Backspace);
    EXPECT_FALSE(panel.actShowBoundOnMap->isEnabled());

    auto* help = panel.findChild<QPushButton*>(QStringLiteral("btnShowBoundHelp"));
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(help->text(), QStringLiteral("帮助(?)"));
    help->click();
    EXPECT_EQ(box->toPlainText(), QStringLiteral("110.56641,25.41847,109.93469,25.02091"));
    EXPECT_TRUE(panel.actShowBoundOnMap->isEnabled());
    panel.actShowBoundOnMap->trigger();
    EXPECT_TRUE(fake.page.scripts.back().startsWith(QStringLiteral("showBoundary(")));
    panel.actUseCurrentView->trigger();
    EXPECT_EQ(fake.page.scripts.back(), QStringLiteral("showCurrentView();"));
}

TEST_F(PlacesPanelsTest, LocationBar) {
    QWidget map;
    auto* bar = new app::LocationBar(&map);
    EXPECT_EQ(bar->objectName(), QStringLiteral("pnlLocation"));
    map.show();
    EXPECT_FALSE(bar->isVisible());
    bar->ShowText(QStringLiteral("当前位置：中国>北京市"), true, 26);
    EXPECT_TRUE(bar->isVisible());
    EXPECT_EQ(bar->pos(), QPoint(26, 10));
    EXPECT_EQ(bar->width(),
              bar->fontMetrics().horizontalAdvance(QStringLiteral("当前位置：中国>北京市")) + 8);
    bar->ShowText(QString(), false, 0);
    EXPECT_FALSE(bar->isVisible());
}

}  // namespace
