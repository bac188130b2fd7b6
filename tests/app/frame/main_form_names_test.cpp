// Every name the window's widgets and actions carry, found once with its class.
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>
#include <QWebEngineView>
#include <functional>

#include "app/frame/category_panel.h"
#include "app/layers/map_type_menu.h"
#include "app/widgets/progress_bar_ex.h"
#include "main_form_fixture.h"

namespace testmainwindow {
namespace {

using MainFormNamesTest = MainFormFixture;

struct Named {
    const char* name;
    const char* className;
};

// Widgets, timers and menus by the names the window gives them.
const Named kObjects[] = {
    {"frmMain", "app::TfrmMain"},
    {"pnlLeft", "QWidget"},
    {"CategoryPanelGroup", "QWidget"},
    {"pnlCoordinates", "app::CategoryPanel"},
    {"pnlZoomLevel", "app::CategoryPanel"},
    {"pnlDownLoad", "app::CategoryPanel"},
    {"pnlStorage", "app::CategoryPanel"},
    {"pnlProject", "app::CategoryPanel"},
    {"pnlChinaCity", "app::CategoryPanel"},
    {"chkZoomLevels", "QListWidget"},
    {"lblTileCount", "QLabel"},
    {"btnDownload", "QToolButton"},
    {"btnPause", "QToolButton"},
    {"btnStop", "QToolButton"},
    {"btnDownloadSettings", "QToolButton"},
    {"edtTileOutPutDir", "QLineEdit"},
    {"btnChangeTilesDir", "QToolButton"},
    {"btnOpenMapsDir", "QToolButton"},
    {"cbbProfile", "QComboBox"},
    {"pnlMain", "QWidget"},
    {"crm", "app::MapWebView"},
    {"pnlPOI", "QWidget"},
    {"StatusBar", "QStatusBar"},
    {"FProgressBar", "app::TProgressBar"},
    {"MainMenu", "QMenuBar"},
    {"mniFile", "QMenu"},
    {"mniStyle", "QMenu"},
    {"mniView", "QMenu"},
    {"mniTools", "QMenu"},
    {"mniLayerMenu", "QMenu"},
    {"mniBookmarks", "QMenu"},
    {"mniHelp", "QMenu"},
    {"mniCoordGrid", "QAction"},
    {"mniOfflineMode", "QAction"},
    {"tmrCheckTask", "QTimer"},
    // Filled by the features that attach to the window.
    {"mmoCoordinates", "QPlainTextEdit"},
    {"edtKeyWord", "QLineEdit"},
    {"edtQueryTag", "QLineEdit"},
    {"WebGMapsLookupEdit1", "app::TWebGMapsLookupEdit"},
    {"tvCity", "QTreeWidget"},
    {"tmrMarkers", "QTimer"},
};

const char* const kActions[] = {
    "actImportGPXFile",    "actExportBoundary",
    "actViewLog",          "actOpenOutPutDir",
    "actDeleteIECache",    "actCoordGrid",
    "actStatusBar",        "actRightPanel",
    "actFullView",         "actclearShapeAndAreaMarker",
    "actImageCombiner",    "actGDALWarp",
    "actTransformCoord",   "actGPSNavigation",
    "actIPLocation",       "actPOISearch",
    "actStyledMapWizard",  "actSettings",
    "actBigFontMode",      "actaddTrafficTileLayer",
    "actOfflineMode",      "actAddMarker",
    "actBookMarksManager", "actUserManual",
    "actDownLoadStart",    "actDownLoadPause",
    "actDownLoadStop",     "actDownloadSettings",
    "actProfileSave",      "actProfileLoad",
    "actProfileDelete",    "actChangeTilesDir",
};

int CountNamed(QObject* root, const QString& name) {
    int count = root->objectName() == name ? 1 : 0;
    return count + static_cast<int>(root->findChildren<QObject*>(name).size());
}

TEST_F(MainFormNamesTest, EveryNamedWidgetAndActionIsFoundOnceWithItsClass) {
    Window();
    for (const Named& n : kObjects) {
        const QString name = QString::fromLatin1(n.name);
        EXPECT_EQ(CountNamed(&Window(), name), 1) << n.name;
        QObject* object =
            Window().objectName() == name ? &Window() : Window().findChild<QObject*>(name);
        ASSERT_NE(object, nullptr) << n.name;
        EXPECT_STREQ(object->metaObject()->className(), n.className) << n.name;
    }
    for (const char* name : kActions) {
        EXPECT_EQ(CountNamed(&Window(), QString::fromLatin1(name)), 1) << name;
        EXPECT_NE(Find<QAction>(name), nullptr) << name;
    }
}

TEST_F(MainFormNamesTest, EveryActionOfTheMenusAndTheWindowHasAName) {
    QStringList unnamed;
    std::function<void(QMenu*)> walk = [&](QMenu* menu) {
        for (QAction* action : menu->actions()) {
            if (action->isSeparator())
                continue;
            if (QMenu* sub = action->menu()) {
                if (sub->objectName().isEmpty())
                    unnamed << sub->title();
                walk(sub);
            } else if (action->objectName().isEmpty()) {
                unnamed << action->text();
            }
        }
    };
    for (QAction* top : Window().menuBar()->actions()) {
        if (top->menu())
            walk(top->menu());
    }
    for (QAction* action : Window().findChildren<QAction*>(Qt::FindDirectChildrenOnly)) {
        if (!action->menu() && !action->isSeparator() && action->objectName().isEmpty())
            unnamed << action->text();
    }
    EXPECT_TRUE(unnamed.isEmpty()) << unnamed.join(u',').toStdString();
}

TEST_F(MainFormNamesTest, MapMenuHoldsTheProviderSubmenusThenThePageOptions) {
    auto* layerMenu = Find<QMenu>("mniLayerMenu");
    QStringList entries;
    for (QAction* action : layerMenu->actions()) {
        if (action->isSeparator())
            entries << "-";
        else if (action->menu())
            entries << action->menu()->objectName();
        else
            entries << action->objectName();
    }
    EXPECT_EQ(entries,
              QStringList({"mniMapAMap", "mniMapGoogle", "mniMapTencent", "mniMapYahoo",
                           "mniMapNokia", "mniMapMicrosoft", "mniMapArcGIS", "mniMapTianditu",
                           "mniMapNavInfo", "mniMapBaidu", "mniMapOther", "-", "actBigFontMode",
                           "actaddTrafficTileLayer", "mniOfflineMode"}));
    int items = 0;
    for (const auto& provider : app::MapProviders()) {
        for (const auto& item : provider.items) {
            const QString name = QStringLiteral("mniMapType%1").arg(item.tag);
            EXPECT_EQ(CountNamed(&Window(), name), 1) << item.tag;
            auto* action = Window().findChild<QAction*>(name);
            ASSERT_NE(action, nullptr) << item.tag;
            EXPECT_EQ(action->text(), QString::fromUtf8(item.caption));
            EXPECT_TRUE(action->isCheckable());
            ++items;
        }
    }
    EXPECT_EQ(items, 47);  // layers 38 and 39 have no item
    EXPECT_EQ(Find<QAction>("mniMapType4")->text(), "卫星图 ");
}

TEST_F(MainFormNamesTest, MainMenusInOrderWithTheirCaptions) {
    QStringList titles;
    for (QAction* top : Window().menuBar()->actions())
        titles << top->text();
    EXPECT_EQ(titles, QStringList({"文件(&F)", "界面(&U)", "查看(&V)", "工具(&T)", "地图(&M)",
                                   "标记(&B)", "帮助(&H)"}));
}

}  // namespace
}  // namespace testmainwindow
