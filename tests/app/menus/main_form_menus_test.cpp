// The menus in the main window: the items of each menu with their captions, the style menu,
// the tool window kept between uses, and the items that follow the page and the log.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>

#include "app/frame/main_form_fixture.h"
#include "app/settings/skin_manager.h"
#include "app/styledmap/frm_styled_map_wizard.h"
#include "app/support/dialog_driver.h"
#include "app/support/qt_print.h"

namespace testmainwindow {
namespace {

class MainFormMenus : public MainFormFixture {
  protected:
    void SetUp() override { app::SkinManager::Instance().LoadSkins(app::SkinsFolder()); }
    void TearDown() override { app::SkinManager::Instance().TrySetStyle("Windows"); }

    QAction* Action(const char* name) { return Find<QAction>(name); }
    QStringList Captions(const char* menuName) {
        QStringList captions;
        for (QAction* action : Find<QMenu>(menuName)->actions()) {
            captions << (action->isSeparator() ? QStringLiteral("-") : action->text());
        }
        return captions;
    }
    // As the user opening each menu: the items tell their state when their menu opens.
    void OpenMenus() {
        for (QMenu* menu : Window().findChildren<QMenu*>()) {
            emit menu->aboutToShow();
        }
        QApplication::processEvents();
    }
};

TEST_F(MainFormMenus, MenusHoldTheirItemsInOrder) {
    Window();
    EXPECT_EQ(Captions("mniFile"),
              (QStringList{"打开(&O)...", "-", "导出边界线", "-", "查看下载日志", "打开地图路径",
                           "清空地图缓存", "-", "退出"}));
    EXPECT_EQ(Captions("mniView"),
              (QStringList{"地图网格", "状态栏", "左侧栏", "-", "中国全图", "-", "清空地图"}));
    EXPECT_EQ(Captions("mniTools"),
              (QStringList{"地图拼接...", "地图裁剪...", "-", "坐标转换...", "GPS定位", "历史地图",
                           "POI下载", "-", "地图样式", "-", "设置..."}));
    EXPECT_EQ(Captions("mniHelp"), (QStringList{"软件介绍", "更新日志", "-", "软件主页", "-",
                                                "离线地图解决方案", "-", "关于..."}));
    EXPECT_EQ(Captions("mniStyle"), app::SkinManager::Instance().StyleNames());
    // The provider submenus come first; the page options close the map menu.
    const QStringList layers = Captions("mniLayerMenu");
    ASSERT_GE(layers.size(), 4);
    EXPECT_EQ(layers.mid(layers.size() - 4),
              (QStringList{"-", "高清大字体", "实时路况", "离线浏览"}));
    // The bookmark items follow the first three.
    EXPECT_EQ(Captions("mniBookmarks").mid(0, 3), (QStringList{"添加标记", "管理标记...", "-"}));
    QStringList titles;
    for (QAction* menu : Find<QMenuBar>("MainMenu")->actions()) {
        titles << menu->text();
    }
    EXPECT_EQ(titles, (QStringList{"文件(&F)", "界面(&U)", "查看(&V)", "工具(&T)", "地图(&M)",
                                   "标记(&B)", "帮助(&H)"}));
}

TEST_F(MainFormMenus, EveryCommandIsEnabledOnceEverythingIsAttached) {
    Window();
    OpenMenus();
    for (const char* name : {"actOpenOutPutDir",
                             "actImageCombiner",
                             "actGDALWarp",
                             "actTransformCoord",
                             "actGPSNavigation",
                             "actIPLocation",
                             "actPOISearch",
                             "actAddMarker",
                             "actBookMarksManager",
                             "actDeleteIECache",
                             "actCoordGrid",
                             "mniCoordGrid",
                             "actOfflineMode",
                             "mniOfflineMode",
                             "actaddTrafficTileLayer",
                             "actStatusBar",
                             "actRightPanel",
                             "actFullView",
                             "mniFullView",
                             "actclearShapeAndAreaMarker",
                             "actStyledMapWizard",
                             "actSettings",
                             "actDownloadSettings",
                             "actReadme",
                             "actWhatsNew",
                             "actHomePage",
                             "actOfflineSolution",
                             "actAbout",
                             "actExit"}) {
        EXPECT_TRUE(Action(name)->isEnabled()) << name;
    }
    // Waits for a district with a boundary to be chosen; the log item for the log file.
    EXPECT_FALSE(Action("actExportBoundary")->isEnabled());
    EXPECT_FALSE(Action("actViewLog")->isEnabled());
    // Disabled for good.
    EXPECT_FALSE(Action("actImportGPXFile")->isEnabled());
    EXPECT_FALSE(Action("actBigFontMode")->isEnabled());
    EXPECT_FALSE(Action("actUserManual")->isVisible());
}

TEST_F(MainFormMenus, StyleChangeReloadsThePageAndKeepsTheCheckMark) {
    Window();
    QMenu* styles = Find<QMenu>("mniStyle");
    QAction* checked = nullptr;
    // The stored default names no registered style: nothing is checked.
    for (QAction* item : styles->actions()) {
        EXPECT_FALSE(item->isChecked()) << item->text().toStdString();
        if (item->text() == "墨夜") {
            checked = item;
        }
    }
    ASSERT_NE(checked, nullptr);
    const int loads = fakes_.page.loads;
    checked->trigger();
    QApplication::processEvents();
    EXPECT_EQ(Settings().GetStrSetting(engine::StrSetting::StyleName), "墨夜");
    EXPECT_EQ(app::SkinManager::Instance().ActiveStyleName(), "墨夜");
    EXPECT_EQ(fakes_.page.loads, loads + 1);
    for (QAction* item : styles->actions()) {
        EXPECT_EQ(item->isChecked(), item == checked) << item->text().toStdString();
    }
}

TEST_F(MainFormMenus, StoredStyleIsCheckedAtStart) {
    Settings().SetStrSetting(engine::StrSetting::StyleName, "琥珀");
    Window();
    QStringList checked;
    for (QAction* item : Find<QMenu>("mniStyle")->actions()) {
        if (item->isChecked()) {
            checked << item->text();
        }
    }
    EXPECT_EQ(checked, QStringList{"琥珀"});
}

TEST_F(MainFormMenus, WizardOpensOnceAndKeepsItsState) {
    Window().show();
    Action("actStyledMapWizard")->trigger();
    auto* wizard = Window().findChild<styledmap::TfrmStyledMapWizard*>();
    ASSERT_NE(wizard, nullptr);
    EXPECT_TRUE(wizard->isVisible());
    wizard->findChild<QComboBox*>("cbbStyleNames")->setCurrentIndex(2);
    wizard->close();
    Action("actStyledMapWizard")->trigger();
    EXPECT_EQ(Window().findChildren<styledmap::TfrmStyledMapWizard*>().size(), 1);
    EXPECT_TRUE(wizard->isVisible());
    EXPECT_EQ(wizard->findChild<QComboBox*>("cbbStyleNames")->currentIndex(), 2);
    // Its text is stored and restyles the page shown, without a reload.
    const int loads = fakes_.page.loads;
    fakes_.page.scripts.clear();
    emit wizard->reloadGoogleMap("&apistyle=s.t:2%7Cp.v:off&style=47,37%7Csmartmaps");
    EXPECT_EQ(fakes_.page.loads, loads);
    EXPECT_EQ(
        fakes_.page.scripts,
        QStringList{R"(setStyleParams("&apistyle=s.t:2%7Cp.v:off&style=47,37%7Csmartmaps");)"});
    EXPECT_EQ(Settings().GetStrSetting(engine::StrSetting::StyleParamsURL),
              "&apistyle=s.t:2%7Cp.v:off&style=47,37%7Csmartmaps");
}

// A window made after a restart opens its wizard on the style the map shows.
TEST_F(MainFormMenus, TheWizardShowsTheStoredStyle) {
    Settings().SetStrSetting(engine::StrSetting::StyleParamsURL,
                             "&apistyle=s.t:2|p.v:off&style=47,37|smartmaps");
    Action("actStyledMapWizard")->trigger();
    auto* wizard = Window().findChild<styledmap::TfrmStyledMapWizard*>();
    ASSERT_NE(wizard, nullptr);
    EXPECT_EQ(wizard->findChild<QComboBox*>("cbbStyleNames")->currentText(), "无信息点");
}

TEST_F(MainFormMenus, GridAndOfflineItemsOffOnABaiduLayer) {
    Window();
    fakes_.page.mapType = static_cast<engine::TMapType>(46);
    OpenMenus();
    for (const char* name : {"actCoordGrid", "mniCoordGrid", "actOfflineMode", "mniOfflineMode"}) {
        EXPECT_FALSE(Action(name)->isEnabled()) << name;
    }
    fakes_.page.mapType = static_cast<engine::TMapType>(3);
    OpenMenus();
    for (const char* name : {"actCoordGrid", "mniCoordGrid", "actOfflineMode", "mniOfflineMode"}) {
        EXPECT_TRUE(Action(name)->isEnabled()) << name;
    }
    Action("mniCoordGrid")->trigger();
    EXPECT_TRUE(fakes_.page.scripts.contains("addCoordGrid();"));
    EXPECT_TRUE(Settings().GetBoolSetting(engine::BoolSetting::ShowCoordGrid));
}

// Switched from the map menu, the items follow the new layer at once, before any menu opens.
TEST_F(MainFormMenus, GridAndOfflineItemsFollowALayerSwitchAtOnce) {
    Window();
    fakes_.page.mapType = engine::TMapType::mtGoogleRoadMap;
    OpenMenus();
    ASSERT_TRUE(Action("actCoordGrid")->isEnabled());
    Action("mniMapType45")->trigger();
    for (const char* name : {"actCoordGrid", "actOfflineMode"}) {
        EXPECT_FALSE(Action(name)->isEnabled()) << name << " on the Baidu page";
    }
    fakes_.page.AnswerAll();
    Action("mniMapType4")->trigger();
    for (const char* name : {"actCoordGrid", "actOfflineMode"}) {
        EXPECT_TRUE(Action(name)->isEnabled()) << name << " back on the Google page";
    }
}

TEST_F(MainFormMenus, DownloadLogItemWaitsForTheLog) {
    Window();
    const auto log = dir_ / "state/Vantorel/log/任务.log";
    Settings().SetStrSetting(engine::StrSetting::LogFileName, log.string());
    OpenMenus();
    EXPECT_FALSE(Action("actViewLog")->isEnabled());
    testsupport::WriteFileBytes(log, "log\r\n");
    OpenMenus();
    EXPECT_TRUE(Action("actViewLog")->isEnabled());
    Action("actViewLog")->trigger();
    ASSERT_EQ(fakes_.opener.opened.size(), 1u);
    EXPECT_EQ(fakes_.opener.opened[0].toLocalFile(), QString::fromStdString(log.string()));
}

TEST_F(MainFormMenus, CacheWipeAsksFirst) {
    Window();
    const auto cached = dir_ / "cache/Vantorel/Cache/answer.json";
    testsupport::WriteFileBytes(cached, "{}");
    fakes_.messages.answers = {false, true};
    Action("actDeleteIECache")->trigger();
    EXPECT_TRUE(std::filesystem::exists(cached));
    Action("actDeleteIECache")->trigger();
    EXPECT_FALSE(std::filesystem::exists(cached));
    ASSERT_EQ(fakes_.messages.shown.size(), 2u);
    EXPECT_EQ(fakes_.messages.shown[0].text, "您确定要清空地图缓存文件吗？");
}

TEST_F(MainFormMenus, SettingsFromTheMenuAndFromTheDownloadPanel) {
    Settings().SetIntSetting(engine::IntSetting::SettingIndex, 3);
    Window().show();
    struct Case {
        const char* action;
        int page;
    };
    for (const Case& c : {Case{"actSettings", 3}, Case{"actDownloadSettings", 0}}) {
        SCOPED_TRACE(c.action);
        int shownPage = -1;
        WhenModal([&shownPage](QWidget& dialog) {
            shownPage = dialog.findChild<QListWidget*>("lstNavigation")->currentRow();
            dialog.findChild<QPushButton*>("btnCancel")->click();
        });
        Action(c.action)->trigger();
        EXPECT_EQ(shownPage, c.page);
    }
}

TEST_F(MainFormMenus, ViewSwitchesAndHelpItems) {
    Window().show();
    Action("actStatusBar")->trigger();
    EXPECT_FALSE(Find<QStatusBar>("StatusBar")->isVisible());
    auto* map = Find<QWidget>("pnlMain");
    QApplication::processEvents();
    const int mapWidth = map->width();
    Action("actRightPanel")->trigger();
    EXPECT_FALSE(Find<QWidget>("pnlLeft")->isVisible());
    QApplication::processEvents();
    // The map takes the room the left side gave up.
    EXPECT_GE(map->width(), mapWidth + 200);
    Action("actRightPanel")->trigger();
    EXPECT_TRUE(Find<QWidget>("pnlLeft")->isVisible());
    QApplication::processEvents();
    EXPECT_EQ(map->width(), mapWidth);

    Action("actReadme")->trigger();
    Action("actWhatsNew")->trigger();
    Action("actHomePage")->trigger();
    Action("actOfflineSolution")->trigger();
    ASSERT_EQ(fakes_.opener.opened.size(), 4u);
    QStringList names;
    for (const QUrl& url : fakes_.opener.opened) {
        EXPECT_TRUE(QFileInfo::exists(url.toLocalFile())) << url.toString().toStdString();
        names << QFileInfo(url.toLocalFile()).fileName();
    }
    EXPECT_EQ(names, (QStringList{"readme.txt", "whatsnew.txt", "README.md", "offline.html"}));
    Action("actAbout")->trigger();
    ASSERT_EQ(fakes_.messages.shown.size(), 1u);
    EXPECT_EQ(fakes_.messages.shown[0].caption, "关于");
}

}  // namespace
}  // namespace testmainwindow
