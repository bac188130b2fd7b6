// The settings dialog by its controls' names: each control shows its setting and OK writes it
// back; the page it opens on; the proxy choice; the typed thread count.
#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTest>
#include <QVariant>

#include <gtest/gtest.h>

#include "app/settings/color_square.h"
#include "app/settings/frm_settings.h"
#include "app/settings/skin_manager.h"
#include "app/settings/style_preview.h"
#include "app/support/dialog_driver.h"
#include "app/support/fake_services.h"
#include "app/support/qt_print.h"
#include "settings_store.h"

inline void PrintTo(const QVariant& value, std::ostream* os) {
    *os << value.toString().toStdString();
}

namespace {

using app::TfrmSettings;
using engine::TSettings;

enum class Kind { Bool, Int, Str };

struct ControlCase {
    const char* control;
    Kind kind;
    int setting;
    QVariant stored;   // put into the store before the dialog opens
    QVariant shown;    // what the control shows
    QVariant edited;   // what the test puts into the control
    QVariant written;  // what the store holds after OK
};

void Store(TSettings& s, Kind kind, int index, const QVariant& value) {
    switch (kind) {
        case Kind::Bool:
            s.SetBoolSetting(index, value.toBool());
            break;
        case Kind::Int:
            s.SetIntSetting(index, value.toInt());
            break;
        case Kind::Str:
            s.SetStrSetting(index, value.toString().toStdString());
            break;
    }
}

QVariant Stored(const TSettings& s, Kind kind, int index) {
    switch (kind) {
        case Kind::Bool:
            return s.GetBoolSetting(index);
        case Kind::Int:
            return s.GetIntSetting(index);
        case Kind::Str:
            return QString::fromStdString(s.GetStrSetting(index));
    }
    return {};
}

QVariant Shown(QWidget* w) {
    if (auto* check = qobject_cast<QCheckBox*>(w)) {
        return check->isChecked();
    }
    if (auto* spin = qobject_cast<QSpinBox*>(w)) {
        return spin->value();
    }
    if (auto* edit = qobject_cast<QLineEdit*>(w)) {
        return edit->text();
    }
    if (auto* combo = qobject_cast<QComboBox*>(w)) {
        return combo->isEditable() ? QVariant(combo->currentText())
                                   : QVariant(combo->currentIndex());
    }
    if (auto* list = qobject_cast<QListWidget*>(w)) {
        return list->currentRow();
    }
    if (auto* square = qobject_cast<app::ColorSquare*>(w)) {
        return square->ColorText();
    }
    ADD_FAILURE() << "no reader for " << w->metaObject()->className();
    return {};
}

void Edit(QWidget* w, const QVariant& value) {
    if (auto* check = qobject_cast<QCheckBox*>(w)) {
        check->setChecked(value.toBool());
    } else if (auto* spin = qobject_cast<QSpinBox*>(w)) {
        spin->setValue(value.toInt());
    } else if (auto* edit = qobject_cast<QLineEdit*>(w)) {
        edit->setText(value.toString());
    } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
        if (combo->isEditable()) {
            combo->setEditText(value.toString());
        } else {
            combo->setCurrentIndex(value.toInt());
        }
    } else if (auto* list = qobject_cast<QListWidget*>(w)) {
        list->setCurrentRow(value.toInt());
    } else if (auto* square = qobject_cast<app::ColorSquare*>(w)) {
        square->SetColorText(value.toString());
    } else {
        ADD_FAILURE() << "no writer for " << w->metaObject()->className();
    }
}

template <typename Setting>
int I(Setting s) {
    return static_cast<int>(s);
}

using B = engine::BoolSetting;
using N = engine::IntSetting;
using S = engine::StrSetting;

struct Dialog {
    testmainwindow::TempSettings store;
    testmainwindow::FakeOpener opener;
    app::SkinManager skins;
    std::unique_ptr<TfrmSettings> dialog;

    void Open() {
        dialog = std::make_unique<TfrmSettings>(store.settings, skins, opener);
        dialog->Prepare();
    }
    template <typename T = QWidget>
    T* Find(const char* name) const {
        return dialog->findChild<T*>(QLatin1String(name));
    }
    void Ok() { Find<QPushButton>("btnOk")->click(); }
};

TEST(SettingsDialog, EveryControlShowsItsSettingAndOkWritesItBack) {
    const ControlCase cases[] = {
        {"cbbTiandituByProvince", Kind::Int, I(N::TiandituIndex), 3, 3, 5, 5},
        {"seMaxThread", Kind::Int, I(N::MaxThread), 35, 35, 60, 60},
        {"seFailedTryTimes", Kind::Int, I(N::FailedTryTimes), 4, 4, 7, 7},
        {"seDelay", Kind::Int, I(N::DownloadDelay), 0, 0, 12, 12},
        {"chkOverWriteDownload", Kind::Bool, I(B::OverWriteDownload), true, true, false, false},
        {"chkDownloadNoLabel", Kind::Bool, I(B::DownloadNoLabel), true, true, false, false},
        {"chkAutoCombineImage", Kind::Bool, I(B::AutoCombineImage), false, false, true, true},
        {"chkForceShutDownWindows", Kind::Bool, I(B::ForceShutDownWindows), true, true, false,
         false},
        {"cbbProxy", Kind::Int, I(N::ProxyType), 2, 2, 0, 0},
        {"edtHost", Kind::Str, I(S::ProxyHost), "proxy.lan", "proxy.lan", "10.0.0.1", "10.0.0.1"},
        {"edtPort", Kind::Str, I(S::ProxyPort), "3128", "3128", "8080", "8080"},
        {"edtUserName", Kind::Str, I(S::ProxyUser), "张三", "张三", "li", "li"},
        {"edtPassword", Kind::Str, I(S::ProxyPass), "pw", "pw", "秘密", "秘密"},
        {"cbbServer", Kind::Int, I(N::MapSeverIndex), 1, 1, 0, 0},
        {"cbbLanguageNames", Kind::Str, I(S::MapLanguageCode), "ja", 26, 7, "de"},
        {"chkAutoUpdateTileVer", Kind::Bool, I(B::AutoUpdateTileVer), false, false, true, true},
        {"edtRoadMapTileVer", Kind::Str, I(S::RoadMapTileVer), "270", "270", "271", "271"},
        {"edtSatMapTileVer", Kind::Str, I(S::SatMapTileVer), "150", "150", "149", "149"},
        {"edtBNormalUDT", Kind::Str, I(S::BNormalUDT), "20150101", "20150101", "1", "20150101"},
        {"edtBSatelliteUDT", Kind::Str, I(S::BSatelliteUDT), "20150202", "20150202", "2",
         "20150202"},
        {"chkShowCopyright", Kind::Bool, I(B::ShowCopyright), false, false, true, true},
        {"chkShowAreaLabel", Kind::Bool, I(B::ShowAreaLabel), false, false, true, true},
        {"chkShowCurrentLocationBar", Kind::Bool, I(B::ShowCurrentLocationBar), false, false, true,
         true},
        {"shpPolygonStrokeColor", Kind::Str, I(S::PolygonStrokeColor), "#00FF00", "#00FF00",
         "#123456", "#123456"},
        {"sePolygonStrokeOpacity", Kind::Int, I(N::PolygonStrokeOpacity), 40, 40, 85, 85},
        {"sePolygonStrokeWeight", Kind::Int, I(N::PolygonStrokeWeight), 5, 5, 2, 2},
        {"shpPolygonFillColor", Kind::Str, I(S::PolygonFillColor), "#ABCDEF", "#ABCDEF", "#FEDCBA",
         "#FEDCBA"},
        {"sePolygonFillOpacity", Kind::Int, I(N::PolygonFillOpacity), 20, 20, 55, 55},
        {"edtBaiduAK", Kind::Str, I(S::BaiduAK), "abc", "abc", "xyz", "xyz"},
        {"chkAutoCreatePOIMarker", Kind::Bool, I(B::AutoCreatePOIMarker), false, false, true, true},
        {"chkDeleteCacheIfQuit", Kind::Bool, I(B::DeleteCacheIfQuit), true, true, false, false},
        {"cbbPrintDPI", Kind::Int, I(N::PrintDPI), 96, "96", "150", 150},
        {"lstNavigation", Kind::Int, I(N::SettingIndex), 2, 2, 4, 4},
    };
    for (const ControlCase& c : cases) {
        SCOPED_TRACE(c.control);
        Dialog d;
        Store(d.store.settings, c.kind, c.setting, c.stored);
        d.Open();
        QWidget* control = d.Find(c.control);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(Shown(control), c.shown);
        Edit(control, c.edited);
        d.Ok();
        EXPECT_EQ(Stored(d.store.settings, c.kind, c.setting), c.written);
    }
}

TEST(SettingsDialog, CancelWritesNothing) {
    Dialog d;
    d.Open();
    d.Find<QSpinBox>("seMaxThread")->setValue(50);
    d.Find<QPushButton>("btnCancel")->click();
    EXPECT_EQ(d.dialog->result(), QDialog::Rejected);
    EXPECT_EQ(d.store.settings.GetIntSetting(N::MaxThread), 20);
}

TEST(SettingsDialog, OkReportsAReloadOnlyForPageSettings) {
    struct Case {
        const char* control;
        QVariant edited;
        bool reload;
    };
    for (const Case& c :
         {Case{"edtRoadMapTileVer", "300", true}, Case{"cbbServer", 1, true},
          Case{"chkShowCopyright", false, true}, Case{"shpPolygonFillColor", "#000000", false},
          Case{"chkShowAreaLabel", false, false}}) {
        SCOPED_TRACE(c.control);
        Dialog d;
        d.store.settings.SetStrSetting(S::MapLanguageCode, "zh-CN");
        d.Open();
        Edit(d.Find(c.control), c.edited);
        d.Ok();
        EXPECT_EQ(d.dialog->result(), QDialog::Accepted);
        EXPECT_EQ(d.dialog->NeedsReload(), c.reload);
    }
}

TEST(SettingsDialog, OpensOnTheStoredPageOrTheFirst) {
    for (int stored : {3, 5, -2, 0}) {
        SCOPED_TRACE(stored);
        Dialog d;
        d.store.settings.SetIntSetting(N::SettingIndex, stored);
        d.Open();
        const int expected = stored >= 0 && stored < 5 ? stored : 0;
        EXPECT_EQ(d.Find<QListWidget>("lstNavigation")->currentRow(), expected);
        EXPECT_EQ(d.Find<QStackedWidget>("pgcSettings")->currentIndex(), expected);
    }
}

TEST(SettingsDialog, TypedThreadCountIsHeldWithinItsBoundsWhenTheBoxIsLeft) {
    Dialog d;
    d.Open();
    auto* spin = d.Find<QSpinBox>("seMaxThread");
    EXPECT_EQ(spin->singleStep(), 5);
    struct Case {
        const char* typed;
        int value;
    };
    for (const Case& c : {Case{"90", 80}, Case{"0", 1}, Case{"45", 45}}) {
        SCOPED_TRACE(c.typed);
        spin->selectAll();
        QTest::keyClicks(spin, c.typed);
        QTest::keyClick(spin, Qt::Key_Return);
        EXPECT_EQ(spin->value(), c.value);
    }
    spin->selectAll();
    QTest::keyClicks(spin, "90");
    d.Ok();
    EXPECT_EQ(d.store.settings.GetIntSetting(N::MaxThread), 80);
}

TEST(SettingsDialog, TileVersionBoxesOnlyWhileAutomaticUpdateIsOff) {
    Dialog d;
    d.Open();
    auto* check = d.Find<QCheckBox>("chkAutoUpdateTileVer");
    EXPECT_TRUE(check->isChecked());
    EXPECT_FALSE(d.Find("edtRoadMapTileVer")->isEnabled());
    EXPECT_FALSE(d.Find("edtSatMapTileVer")->isEnabled());
    check->click();
    EXPECT_TRUE(d.Find("edtRoadMapTileVer")->isEnabled());
    EXPECT_TRUE(d.Find("edtSatMapTileVer")->isEnabled());
}

TEST(SettingsDialog, SystemProxyChoiceFillsHostAndPort) {
    Dialog d;
    d.store.settings.SetStrSetting(S::ProxyHost, "old");
    d.Open();
    d.dialog->SetProxyReader([] { return app::ProxyEndpoint{"b", 3128}; });
    auto* proxy = d.Find<QComboBox>("cbbProxy");
    // Another choice leaves the boxes as they are.
    proxy->activated(2);
    EXPECT_EQ(d.Find<QLineEdit>("edtHost")->text(), "old");
    proxy->setCurrentIndex(1);
    proxy->activated(1);
    EXPECT_EQ(d.Find<QLineEdit>("edtHost")->text(), "b");
    EXPECT_EQ(d.Find<QLineEdit>("edtPort")->text(), "3128");
    d.dialog->SetProxyReader([] { return app::ProxyEndpoint{}; });
    proxy->activated(1);
    EXPECT_EQ(d.Find<QLineEdit>("edtHost")->text(), "");
    EXPECT_EQ(d.Find<QLineEdit>("edtPort")->text(), "0");
}

TEST(SettingsDialog, TypingATileVersionReadsTheSystemProxyAgainOnlyWhileItIsChosen) {
    for (int choice : {1, 2}) {
        SCOPED_TRACE(choice);
        Dialog d;
        d.store.settings.SetIntSetting(N::ProxyType, choice);
        d.store.settings.SetStrSetting(S::ProxyHost, "typed");
        d.store.settings.SetBoolSetting(B::AutoUpdateTileVer, false);
        d.Open();
        d.dialog->SetProxyReader([] { return app::ProxyEndpoint{"b", 3128}; });
        // Filling the form alone reads nothing.
        EXPECT_EQ(d.Find<QLineEdit>("edtHost")->text(), "typed");
        auto* road = d.Find<QLineEdit>("edtRoadMapTileVer");
        road->setFocus();
        QTest::keyClick(road, Qt::Key_7);
        EXPECT_EQ(d.Find<QLineEdit>("edtHost")->text(), choice == 1 ? "b" : "typed");
    }
}

TEST(SettingsDialog, KeyLinkOpensThroughTheDesktopOpener) {
    Dialog d;
    d.Open();
    auto* link = d.Find<QLabel>("LinkLabel1");
    ASSERT_NE(link, nullptr);
    EXPECT_TRUE(link->text().contains("申请百度地图API密钥"));
    link->linkActivated(QStringLiteral("https://lbsyun.baidu.com/apiconsole/key"));
    ASSERT_EQ(d.opener.opened.size(), 1u);
    EXPECT_EQ(d.opener.opened[0].host(), "lbsyun.baidu.com");
}

TEST(SettingsDialog, ColourSquareTakesTheColourChosenInTheDialog) {
    Dialog d;
    d.Open();
    auto* square = d.Find<app::ColorSquare>("shpPolygonStrokeColor");
    d.dialog->show();
    QString shownAt;
    struct Case {
        bool accept;
        const char* expected;
    };
    for (const Case& c : {Case{false, "#0000FF"}, Case{true, "#336699"}}) {
        testmainwindow::WhenModal([&](QWidget& dialog) {
            auto* colors = qobject_cast<QColorDialog*>(&dialog);
            ASSERT_NE(colors, nullptr);
            EXPECT_EQ(colors->objectName(), "dlgColor");
            shownAt = colors->currentColor().name(QColor::HexRgb).toUpper();
            colors->setCurrentColor(QColor("#336699"));
            c.accept ? colors->accept() : colors->reject();
        });
        QTest::mouseClick(square, Qt::LeftButton);
        EXPECT_EQ(shownAt, "#0000FF");  // opened at the square's colour
        EXPECT_EQ(square->ColorText(), c.expected);
        if (!c.accept) {
            continue;
        }
        d.Ok();
        EXPECT_EQ(d.store.settings.GetStrSetting(S::PolygonStrokeColor), "#336699");
    }
}

// Keyboard users reach both squares with Tab and choose with the space key.
TEST(SettingsDialog, ColourSquaresWorkFromTheKeyboard) {
    Dialog d;
    d.Open();
    for (const char* name : {"shpPolygonStrokeColor", "shpPolygonFillColor"}) {
        SCOPED_TRACE(name);
        auto* square = d.Find<app::ColorSquare>(name);
        ASSERT_NE(square, nullptr);
        EXPECT_TRUE(square->focusPolicy() & Qt::TabFocus);
        bool shown = false;
        testmainwindow::WhenModal([&](QWidget& dialog) {
            auto* colors = qobject_cast<QColorDialog*>(&dialog);
            ASSERT_NE(colors, nullptr);
            shown = true;
            colors->setCurrentColor(QColor("#123456"));
            colors->accept();
        });
        QTest::keyClick(square, Qt::Key_Space);
        EXPECT_TRUE(shown);
        EXPECT_EQ(square->ColorText(), "#123456");
    }
}

TEST(SettingsDialog, SelectFolderKeepsTheFolderOnCancel) {
    testmainwindow::FakeFileDialogs dialogs;
    QString folder = "/data/tiles";
    EXPECT_FALSE(app::SelectFolder(dialogs, "选择", folder));
    EXPECT_EQ(folder, "/data/tiles");
    dialogs.nextFolder = "/data/other";
    EXPECT_TRUE(app::SelectFolder(dialogs, "选择", folder));
    EXPECT_EQ(folder, "/data/other");
}

}  // namespace
