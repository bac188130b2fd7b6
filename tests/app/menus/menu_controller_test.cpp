// The menu commands without a window: what reaches the page, the store and the desktop.
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include "app/menus/menu_controller.h"
#include "app/settings/settings_store.h"
#include "app/support/fake_services.h"
#include "app/support/qt_print.h"
#include "app/widgets/tool_window.h"
#include "support/temp_dir.h"

namespace {

using app::MenuController;
using engine::BoolSetting;
using engine::IntSetting;
using engine::StrSetting;

struct Menus : testing::Test {
    testmainwindow::TempSettings store;
    testmainwindow::FakeServices fakes;
    QStringList switched;
    int wipes = 0;
    bool settingsAnswer = false;
    int settingIndexSeen = -1;
    bool initialized = true;

    std::unique_ptr<MenuController> Make() {
        MenuController::Hooks hooks;
        hooks.showSettings = [this] {
            settingIndexSeen = store.settings.GetIntSetting(IntSetting::SettingIndex);
            return settingsAnswer;
        };
        hooks.styleNames = [] { return QStringList{"Windows", "青瓷", "墨夜"}; };
        hooks.trySetStyle = [this](const QString& name) {
            switched << name;
            return name != "SapphireKamri";
        };
        hooks.deleteCaches = [this] { ++wipes; };
        hooks.dataFile = [](const QString& name) { return "/opt/data/" + name; };
        hooks.readme = [] { return QStringLiteral("/opt/data/README.md"); };
        hooks.programFile = [] { return QStringLiteral("/proc/self/exe"); };
        hooks.initialized = [this] { return initialized; };
        return std::make_unique<MenuController>(store.settings, fakes.services, std::move(hooks));
    }
};

TEST_F(Menus, StyleClickStoresSwitchesAndChecks) {
    auto menus = Make();
    QSignalSpy checks(menus.get(), &MenuController::checkedStyleChanged);
    EXPECT_EQ(menus->CheckedStyle(), "SapphireKamri");
    menus->StyleMenuClick("墨夜");
    EXPECT_EQ(switched, QStringList{"墨夜"});
    EXPECT_EQ(store.settings.GetStrSetting(StrSetting::StyleName), "墨夜");
    ASSERT_EQ(checks.count(), 1);
    EXPECT_EQ(checks.at(0).at(0).toString(), "墨夜");
    // The style-changed notice reloads the page and checks the stored name.
    menus->StyleChanged();
    EXPECT_EQ(fakes.page.loads, 1);
    EXPECT_EQ(checks.last().at(0).toString(), "墨夜");
    // A name that cannot be applied is stored all the same.
    menus->StyleMenuClick("SapphireKamri");
    EXPECT_EQ(store.settings.GetStrSetting(StrSetting::StyleName), "SapphireKamri");
    // Before the window has been made, the notice does nothing.
    initialized = false;
    menus->StyleChanged();
    EXPECT_EQ(fakes.page.loads, 1);
}

TEST_F(Menus, PageOptions) {
    struct Case {
        const char* what;
        std::function<void(MenuController&)> run;
        const char* script;
        std::function<bool(const engine::TSettings&)> stored;
    };
    const Case cases[] = {
        {"grid on", [](MenuController& m) { m.CoordGrid(true); }, "addCoordGrid();",
         [](const engine::TSettings& s) { return s.GetBoolSetting(BoolSetting::ShowCoordGrid); }},
        {"grid off", [](MenuController& m) { m.CoordGrid(false); }, "removeCoordGrid();",
         [](const engine::TSettings& s) { return !s.GetBoolSetting(BoolSetting::ShowCoordGrid); }},
        {"offline", [](MenuController& m) { m.OfflineMode(true); }, "setOfflineMode();",
         [](const engine::TSettings& s) { return s.GetBoolSetting(BoolSetting::OfflineMode); }},
        {"online", [](MenuController& m) { m.OfflineMode(false); }, "setOnlineMode();",
         [](const engine::TSettings& s) { return !s.GetBoolSetting(BoolSetting::OfflineMode); }},
        {"traffic", [](MenuController& m) { m.TrafficLayer(true); }, "addTrafficTileLayer();",
         nullptr},
        {"no traffic", [](MenuController& m) { m.TrafficLayer(false); },
         "removeTrafficTileLayer();", nullptr},
        {"full view", [](MenuController& m) { m.FullView(); }, "fullView();", nullptr},
        {"clear", [](MenuController& m) { m.ClearOverlays(); }, "clearAllOverlays();", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        testmainwindow::TempSettings fresh;
        testmainwindow::FakeServices services;
        MenuController menus(fresh.settings, services.services, {});
        c.run(menus);
        EXPECT_EQ(services.page.scripts, QStringList{c.script});
        if (c.stored) {
            EXPECT_TRUE(c.stored(fresh.settings));
        }
    }
}

// A reloaded page starts without overlays: after every load it is given those whose marks
// are on, on the page that has them, and the big-font mark follows the store.
TEST_F(Menus, AReloadedPageIsGivenTheOverlaysTheMarksShow) {
    struct Case {
        const char* what;
        bool traffic;
        bool grid;
        engine::TMapType page;
        QStringList scripts;
    };
    const auto google = engine::TMapType::mtGoogleRoadMap;
    const auto baidu = engine::TMapType::mtBaiduRoadMap;
    const Case cases[] = {
        {"no mark", false, false, google, {}},
        {"traffic", true, false, google, {"addTrafficTileLayer();"}},
        {"grid", false, true, google, {"addCoordGrid();"}},
        {"both", true, true, google, {"addTrafficTileLayer();", "addCoordGrid();"}},
        {"both, Baidu page without a grid", true, true, baidu, {"addTrafficTileLayer();"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        testmainwindow::TempSettings fresh;
        testmainwindow::FakeServices services;
        MenuController menus(fresh.settings, services.services, {});
        QSignalSpy bigFont(&menus, &MenuController::bigFontModeChanged);
        menus.TrafficLayer(true);
        menus.TrafficLayer(c.traffic);
        menus.CoordGrid(c.grid);
        fresh.settings.SetBoolSetting(BoolSetting::BigFontMode, false);  // as every load does
        services.page.mapType = c.page;
        for (int load = 0; load < 2; ++load) {
            services.page.scripts.clear();
            menus.PageLoaded();
            EXPECT_EQ(services.page.scripts, c.scripts) << "load " << load;
        }
        ASSERT_EQ(bigFont.count(), 2);
        EXPECT_FALSE(bigFont.back().at(0).toBool());
    }
}

TEST_F(Menus, GridAndOfflineOnlyOnTheGooglePage) {
    auto menus = Make();
    for (int layer : {0, 3, 44, 45, 46, 47, 48}) {
        fakes.page.mapType = static_cast<engine::TMapType>(layer);
        EXPECT_EQ(menus->CoordGridEnabled(), layer < 45) << layer;
    }
}

TEST_F(Menus, SettingsReloadThePageOnlyWhenTheDialogSaysSo) {
    auto menus = Make();
    store.settings.SetIntSetting(IntSetting::SettingIndex, 3);
    menus->Settings();
    EXPECT_EQ(settingIndexSeen, 3);
    EXPECT_EQ(fakes.page.loads, 0);
    settingsAnswer = true;
    menus->Settings();
    EXPECT_EQ(fakes.page.loads, 1);
    // From the download panel the dialog opens on its download page.
    menus->DownloadSettings();
    EXPECT_EQ(settingIndexSeen, 0);
    EXPECT_EQ(fakes.page.loads, 2);
}

TEST_F(Menus, CacheWipeAsksFirstAndNamesFoldersItRefuses) {
    struct Case {
        const char* what;
        bool answer;
        QString cachePath;  // empty: the default
        int wipes;
        bool warning;
    };
    const Case cases[] = {
        {"No", false, {}, 0, false},
        {"Yes", true, {}, 1, false},
        {"root", true, "/", 1, true},
        {"empty", true, "", 1, true},
        {"home", true, QDir::homePath(), 1, true},
        {"above home", true, QDir::homePath() + "/..", 1, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        testmainwindow::TempSettings fresh;
        testmainwindow::FakeServices services;
        int wiped = 0;
        MenuController::Hooks hooks;
        hooks.deleteCaches = [&wiped] { ++wiped; };
        if (!c.cachePath.isNull()) {
            fresh.settings.SetStrSetting(StrSetting::CachePath, c.cachePath.toStdString());
        }
        MenuController menus(fresh.settings, services.services, std::move(hooks));
        services.messages.answers = {c.answer};
        menus.DeleteCache();
        ASSERT_GE(services.messages.shown.size(), 1u);
        EXPECT_EQ(services.messages.shown[0].kind, "ask");
        EXPECT_EQ(services.messages.shown[0].text, "您确定要清空地图缓存文件吗？");
        EXPECT_EQ(wiped, c.wipes);
        const bool warned =
            services.messages.shown.size() == 2 && services.messages.shown[1].kind == "warning";
        EXPECT_EQ(warned, c.warning);
    }
}

TEST_F(Menus, DownloadLogOnlyOnceItExists) {
    auto menus = Make();
    EXPECT_FALSE(menus->ViewLogEnabled());
    testsupport::TempDir logs;
    const auto log = logs / "任务.log";
    store.settings.SetStrSetting(StrSetting::LogFileName, log.string());
    EXPECT_FALSE(menus->ViewLogEnabled());
    menus->ViewLog();
    EXPECT_TRUE(fakes.opener.opened.empty());
    testsupport::WriteFileBytes(log, "line\r\n");
    EXPECT_TRUE(menus->ViewLogEnabled());
    menus->ViewLog();
    ASSERT_EQ(fakes.opener.opened.size(), 1u);
    EXPECT_EQ(fakes.opener.opened[0].toLocalFile(), QString::fromStdString(log.string()));
}

TEST_F(Menus, HelpFilesPagesAndAbout) {
    auto menus = Make();
    menus->Readme();
    menus->WhatsNew();
    menus->HomePage();
    menus->UserManual();
    menus->OfflineSolution();
    QStringList opened;
    for (const QUrl& url : fakes.opener.opened) {
        EXPECT_TRUE(url.isLocalFile()) << "every help item is a file of the program";
        opened << url.toLocalFile();
    }
    EXPECT_EQ(opened,
              (QStringList{"/opt/data/readme.txt", "/opt/data/whatsnew.txt", "/opt/data/README.md",
                           "/opt/data/help/用户手册.pdf", "/opt/data/help/offline.html"}));
    menus->About();
    ASSERT_EQ(fakes.messages.shown.size(), 1u);
    EXPECT_EQ(fakes.messages.shown[0].kind, "info");
    EXPECT_EQ(fakes.messages.shown[0].caption, "关于");
    const QString text = fakes.messages.shown[0].text;
    EXPECT_TRUE(text.startsWith("Vantorel "));
    EXPECT_TRUE(text.contains(QRegularExpression("\n版本号：\\d+\\.\\d+\\.\\d+\\.\\d+\n")))
        << text.toStdString();
    EXPECT_FALSE(text.contains("版本号：0.0.0.0"));
}

TEST(ToolWindow, MadeOnceKeptAndShownAgain) {
    QWidget owner;
    int made = 0;
    app::ToolWindow<QWidget> tool([&] {
        ++made;
        return new QWidget(&owner, Qt::Tool);
    });
    EXPECT_EQ(tool.Made(), nullptr);
    QWidget* first = tool.Show();
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->isVisible());
    first->setProperty("state", 7);
    first->hide();
    EXPECT_EQ(tool.Show(), first);
    EXPECT_TRUE(first->isVisible());
    EXPECT_EQ(tool.Made()->property("state").toInt(), 7);
    EXPECT_EQ(made, 1);
    // A window that was destroyed is made again.
    delete first;
    EXPECT_EQ(tool.Made(), nullptr);
    ASSERT_NE(tool.Show(), nullptr);
    EXPECT_EQ(made, 2);
}

}  // namespace
