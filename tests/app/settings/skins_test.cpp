// The skins of the program: each file of the skins folder loads and is readable; switching
// applies a skin to every window and Qt's own dialogs; an unknown name changes nothing; the
// settings dialog previews a skin without applying it.
#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QToolButton>
#include <cmath>
#include <memory>

#include <gtest/gtest.h>

#include "app/settings/frm_settings.h"
#include "app/settings/skin_file.h"
#include "app/settings/skin_manager.h"
#include "app/settings/style_preview.h"
#include "app/support/contrast.h"
#include "app/support/fake_services.h"
#include "app/support/qt_print.h"
#include "settings_store.h"
#include "support/temp_dir.h"

namespace {

using app::LoadSkinFile;
using app::SkinManager;

using testmainwindow::Contrast;

QString SourceSkins() {
    return QStringLiteral(VANTOREL_SOURCE_DIR "/resources/skins");
}

// Every test leaves the application in the system style it found.
class SkinTest : public testing::Test {
  protected:
    void TearDown() override { skins_.TrySetStyle(QStringLiteral("Windows")); }
    SkinManager skins_;
};

TEST_F(SkinTest, EachSkinFileLoadsAndIsReadable) {
    const QStringList files =
        QDir(SourceSkins()).entryList({QStringLiteral("*.skin")}, QDir::Files, QDir::Name);
    ASSERT_GE(files.size(), 3);
    QStringList names;
    for (const QString& file : files) {
        SCOPED_TRACE(file.toStdString());
        const auto skin = LoadSkinFile(QDir(SourceSkins()).filePath(file));
        ASSERT_TRUE(skin.has_value());
        names << skin->name;
        EXPECT_FALSE(skin->styleSheet.isEmpty());
        EXPECT_TRUE(skin->styleSheet.contains("Noto Sans CJK"));
        // Text on its background at the contrast that small CJK glyphs need (4.5 : 1).
        const QPalette& p = skin->palette;
        const std::pair<QPalette::ColorRole, QPalette::ColorRole> pairs[] = {
            {QPalette::Window, QPalette::WindowText},
            {QPalette::Base, QPalette::Text},
            {QPalette::Button, QPalette::ButtonText},
            {QPalette::Highlight, QPalette::HighlightedText},
            {QPalette::ToolTipBase, QPalette::ToolTipText},
            {QPalette::Base, QPalette::PlaceholderText},
            {QPalette::AlternateBase, QPalette::Text},
            {QPalette::Base, QPalette::Link},
        };
        for (const auto& [background, text] : pairs) {
            SCOPED_TRACE(testing::Message() << background << "/" << text);
            EXPECT_GE(
                Contrast(p.color(QPalette::Active, background), p.color(QPalette::Active, text)),
                4.5);
        }
    }
    names.removeDuplicates();
    EXPECT_EQ(names.size(), files.size());
    EXPECT_FALSE(names.contains("Windows", Qt::CaseInsensitive));
}

// The box of a check box or radio button, ticked or not, stands out from the window around it
// (3 : 1, the contrast that controls' outlines need), in every skin.
TEST_F(SkinTest, CheckIndicatorsStandOutFromTheWindow) {
    skins_.LoadSkins(SourceSkins());
    for (const QString& name : skins_.StyleNames().mid(1)) {
        ASSERT_TRUE(skins_.TrySetStyle(name));
        const QColor window = QApplication::palette().color(QPalette::Window);
        for (const bool radio : {false, true}) {
            QImage shown[2];
            for (const bool checked : {false, true}) {
                SCOPED_TRACE(testing::Message()
                             << name.toStdString() << " radio " << radio << " checked " << checked);
                std::unique_ptr<QAbstractButton> box;
                if (radio)
                    box = std::make_unique<QRadioButton>();
                else
                    box = std::make_unique<QCheckBox>();
                box->setChecked(checked);
                box->resize(box->sizeHint());
                const QImage image = box->grab().toImage();
                shown[checked] = image;
                double best = 1.0;
                for (int y = 0; y < image.height(); ++y)
                    for (int x = 0; x < image.width(); ++x)
                        best = std::max(best, Contrast(image.pixelColor(x, y), window));
                EXPECT_GE(best, 3.0);
            }
            EXPECT_NE(shown[0], shown[1]) << name.toStdString() << ": a tick must show";
        }
    }
}

TEST(SkinFile, BrokenFilesAreSkipped) {
    struct Case {
        const char* what;
        const char* text;
        bool loads;
    };
    const Case cases[] = {
        {"complete", "[Skin]\nName=试\nStyle=Fusion\nStyleSheet=s.qss\n[Palette]\nWindow=#101010\n",
         true},
        {"no style sheet, default style", "[Skin]\nName=试\n[Palette]\nDisabled.Text=#808080\n",
         true},
        {"no name", "[Skin]\nStyle=Fusion\n", false},
        {"unknown Qt style", "[Skin]\nName=试\nStyle=NoSuchStyle\n", false},
        {"missing style sheet", "[Skin]\nName=试\nStyleSheet=missing.qss\n", false},
        {"colour without #", "[Skin]\nName=试\n[Palette]\nWindow=red\n", false},
        {"bad colour", "[Skin]\nName=试\n[Palette]\nWindow=#12345G\n", false},
        {"unknown role", "[Skin]\nName=试\n[Palette]\nWallpaper=#101010\n", false},
        {"unknown group", "[Skin]\nName=试\n[Palette]\nHidden.Text=#101010\n", false},
        {"line without =", "[Skin]\nName=试\nFusion\n", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        testsupport::TempDir dir;
        testsupport::WriteFileBytes(dir / "s.qss", "QWidget { color: #000000; }");
        testsupport::WriteFileBytes(dir / "t.skin", c.text);
        const auto skin = LoadSkinFile(QString::fromStdString((dir / "t.skin").string()));
        EXPECT_EQ(skin.has_value(), c.loads);
    }
    EXPECT_FALSE(LoadSkinFile("/nonexistent/t.skin").has_value());
}

TEST_F(SkinTest, ManagerListsWindowsFirstAndSkipsDuplicates) {
    testsupport::TempDir dir;
    testsupport::WriteFileBytes(dir / "a.skin", "[Skin]\nName=甲\n");
    testsupport::WriteFileBytes(dir / "b.skin", "[Skin]\nName=甲\n");
    testsupport::WriteFileBytes(dir / "c.skin", "[Skin]\nName=windows\n");
    testsupport::WriteFileBytes(dir / "d.skin", "[Skin]\nName=乙\n");
    testsupport::WriteFileBytes(dir / "e.txt", "[Skin]\nName=丙\n");
    skins_.LoadSkins(QString::fromStdString(dir.path().string()));
    EXPECT_EQ(skins_.StyleNames(), (QStringList{"Windows", "甲", "乙"}));
}

TEST_F(SkinTest, SwitchingAppliesToEveryWindowAndBack) {
    skins_.LoadSkins(SourceSkins());
    const QColor systemWindow = QApplication::palette().color(QPalette::Window);
    const QString systemStyle = QApplication::style()->name();
    const QString name = skins_.StyleNames().at(1);
    const QColor skinWindow = skins_.Find(name)->palette.color(QPalette::Window);
    ASSERT_NE(skinWindow, systemWindow);

    QStringList changes;
    QObject listener;  // the connection ends with the test, before TearDown switches again
    QObject::connect(&skins_, &SkinManager::styleChanged, &listener,
                     [&changes](const QString& n) { changes << n; });
    EXPECT_TRUE(skins_.TrySetStyle(name));
    EXPECT_EQ(skins_.ActiveStyleName(), name);
    EXPECT_EQ(QApplication::palette().color(QPalette::Window), skinWindow);
    EXPECT_FALSE(qApp->styleSheet().isEmpty());
    // Qt's own dialogs, made after the switch, follow the skin.
    QFileDialog files(nullptr, "选择");
    files.setOption(QFileDialog::DontUseNativeDialog);
    EXPECT_EQ(files.palette().color(QPalette::Window), skinWindow);
    QColorDialog colors;
    EXPECT_EQ(colors.palette().color(QPalette::Window), skinWindow);

    EXPECT_TRUE(skins_.TrySetStyle(name));  // in force already: no second notice
    EXPECT_TRUE(skins_.TrySetStyle("windows"));
    EXPECT_EQ(QApplication::palette().color(QPalette::Window), systemWindow);
    EXPECT_EQ(QApplication::style()->name(), systemStyle);
    EXPECT_TRUE(qApp->styleSheet().isEmpty());
    EXPECT_EQ(changes, (QStringList{name, "Windows"}));
}

// Windows that exist through the switches (the main window, kept tool windows) follow every
// switch, also a widget with a style sheet of its own (the left panel's bold section headers).
TEST_F(SkinTest, WidgetsWithTheirOwnStyleSheetFollowEverySwitch) {
    skins_.LoadSkins(SourceSkins());
    QWidget window;
    auto* header = new QToolButton(&window);
    header->setCheckable(true);
    header->setChecked(true);
    header->setStyleSheet(QStringLiteral("QToolButton { font-weight: bold; }"));
    auto* plain = new QToolButton(&window);
    plain->setCheckable(true);
    plain->setChecked(true);
    window.show();
    QStringList order = skins_.StyleNames().mid(1);
    order << QStringLiteral("Windows") << order.back() << order.front()
          << QStringLiteral("Windows");
    for (const QString& name : order) {
        SCOPED_TRACE(name.toStdString());
        ASSERT_TRUE(skins_.TrySetStyle(name));
        QApplication::processEvents();
        for (const QPalette::ColorRole role :
             {QPalette::Button, QPalette::ButtonText, QPalette::Window, QPalette::WindowText}) {
            EXPECT_EQ(header->palette().color(role).name().toStdString(),
                      plain->palette().color(role).name().toStdString())
                << role;
        }
    }
}

// The icon-only buttons of Qt's own file dialog (back, up, new folder, view modes) keep room
// for their icons in every skin: a button drawn with its icon differs from one drawn without.
TEST_F(SkinTest, IconButtonsOfTheFileDialogShowTheirIcons) {
    skins_.LoadSkins(SourceSkins());
    for (const QString& name : skins_.StyleNames()) {
        SCOPED_TRACE(name.toStdString());
        ASSERT_TRUE(skins_.TrySetStyle(name));
        QFileDialog dialog(nullptr, QStringLiteral("选择"));
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setFileMode(QFileDialog::Directory);
        dialog.show();
        QApplication::processEvents();
        int checked = 0;
        for (QToolButton* button : dialog.findChildren<QToolButton*>()) {
            const QIcon icon = button->icon();
            if (icon.isNull() || !button->isVisible()) {
                continue;
            }
            SCOPED_TRACE(button->objectName().toStdString());
            const QImage withIcon = button->grab().toImage();
            button->setIcon(QIcon());
            const QImage without = button->grab().toImage();
            button->setIcon(icon);
            EXPECT_TRUE(withIcon != without) << "the icon is not drawn";
            EXPECT_GE(button->width(), button->iconSize().width());
            ++checked;
        }
        EXPECT_GE(checked, 4);
    }
}

TEST_F(SkinTest, EverySkinDrawsChineseWithTheCjkFont) {
    skins_.LoadSkins(SourceSkins());
    for (const QString& name : skins_.StyleNames().mid(1)) {
        SCOPED_TRACE(name.toStdString());
        ASSERT_TRUE(skins_.TrySetStyle(name));
        QLabel label(QStringLiteral("地图瓦片下载"));
        label.ensurePolished();
        EXPECT_TRUE(QFontInfo(label.font()).family().startsWith("Noto Sans CJK"))
            << QFontInfo(label.font()).family().toStdString();
        EXPECT_TRUE(QFontMetrics(label.font()).inFont(QChar(0x56FE)));  // 图
    }
}

TEST_F(SkinTest, UnknownNameLeavesTheCurrentStyleWithoutAMessage) {
    skins_.LoadSkins(SourceSkins());
    const QColor before = QApplication::palette().color(QPalette::Window);
    int changes = 0;
    QObject listener;
    QObject::connect(&skins_, &SkinManager::styleChanged, &listener, [&changes] { ++changes; });
    for (const char* name : {"SapphireKamri", "", "青瓷 "}) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(skins_.TrySetStyle(name));
        EXPECT_EQ(skins_.ActiveStyleName(), "Windows");
        EXPECT_EQ(QApplication::palette().color(QPalette::Window), before);
        EXPECT_TRUE(qApp->styleSheet().isEmpty());
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    }
    EXPECT_EQ(changes, 0);
}

struct SkinDialog : SkinTest {
    testmainwindow::TempSettings store;
    testmainwindow::FakeOpener opener;
    std::unique_ptr<app::TfrmSettings> dialog;

    void Open() {
        store.settings.SetStrSetting(engine::StrSetting::MapLanguageCode, "zh-CN");
        if (skins_.StyleNames().size() == 1) {
            skins_.LoadSkins(SourceSkins());
        }
        dialog = std::make_unique<app::TfrmSettings>(store.settings, skins_, opener);
        dialog->Prepare();
    }
    template <typename T = QWidget>
    T* Find(const char* name) const {
        return dialog->findChild<T*>(QLatin1String(name));
    }
    void ShowStylePage() { Find<QListWidget>("lstNavigation")->setCurrentRow(3); }
};

TEST_F(SkinDialog, PreviewShowsTheCandidateWithoutApplyingIt) {
    Open();
    EXPECT_EQ(Find("FPreview"), nullptr);  // made on the first visit of the page
    ShowStylePage();
    auto* styles = Find<QComboBox>("cbbStyles");
    // The stored default names no registered skin: the first entry is selected.
    EXPECT_EQ(styles->currentText(), "Windows");
    EXPECT_EQ(styles->count(), skins_.StyleNames().size());
    auto* preview = Find<app::TVclStylesPreview>("FPreview");
    ASSERT_NE(preview, nullptr);
    EXPECT_TRUE(preview->isHidden());

    // With one skin in force, the preview draws another in that other's colours.
    const QString active = skins_.StyleNames().at(1);
    ASSERT_TRUE(skins_.TrySetStyle(active));
    const QString name = skins_.StyleNames().at(2);
    const QColor before = QApplication::palette().color(QPalette::Window);
    styles->setCurrentText(name);
    EXPECT_FALSE(preview->isHidden());
    ASSERT_NE(preview->Window(), nullptr);
    dialog->resize(485, 368);
    dialog->show();
    QApplication::processEvents();
    const QImage shot = preview->Window()->grab().toImage();
    const QColor candidate = skins_.Find(name)->palette.color(QPalette::Window);
    EXPECT_EQ(QColor(shot.pixel(shot.width() / 2, shot.height() / 2)).name(), candidate.name());
    EXPECT_NE(before, candidate);
    EXPECT_EQ(QApplication::palette().color(QPalette::Window), before);
    EXPECT_EQ(skins_.ActiveStyleName(), active);

    styles->setCurrentText("Windows");
    EXPECT_TRUE(preview->isHidden());
}

TEST_F(SkinDialog, OkStoresAndSwitchesTheChosenSkin) {
    Open();
    ShowStylePage();
    const QString name = skins_.StyleNames().at(1);
    Find<QComboBox>("cbbStyles")->setCurrentText(name);
    Find<QPushButton>("btnOk")->click();
    EXPECT_EQ(QString::fromStdString(store.settings.GetStrSetting(engine::StrSetting::StyleName)),
              name);
    EXPECT_EQ(skins_.ActiveStyleName(), name);
    EXPECT_FALSE(dialog->NeedsReload());
}

TEST_F(SkinDialog, StoredSkinIsSelectedAndKeptWhenThePageIsNeverShown) {
    const QString name = "墨夜";
    store.settings.SetStrSetting(engine::StrSetting::StyleName, name.toStdString());
    Open();
    Find<QPushButton>("btnOk")->click();
    EXPECT_EQ(skins_.ActiveStyleName(), "Windows");  // nothing chosen, nothing switched
    EXPECT_EQ(store.settings.GetStrSetting(engine::StrSetting::StyleName), name.toStdString());

    Open();
    ShowStylePage();
    EXPECT_EQ(Find<QComboBox>("cbbStyles")->currentText(), name);
}

}  // namespace

namespace {

TEST(StartupSkin, StoredNameIsAppliedBeforeAnyWindowAndAnUnknownOneIsNot) {
    SkinManager& skins = SkinManager::Instance();
    struct Case {
        const char* stored;
        const char* active;
    };
    for (const Case& c : {Case{"SapphireKamri", "Windows"}, Case{"琥珀", "琥珀"}}) {
        SCOPED_TRACE(c.stored);
        testmainwindow::TempSettings store;
        store.settings.SetStrSetting(engine::StrSetting::StyleName, c.stored);
        app::ApplyStartupSkin(store.settings);
        EXPECT_EQ(skins.ActiveStyleName(), c.active);
        EXPECT_EQ(skins.StyleNames().size(), 4);  // registered once, however often it runs
        skins.TrySetStyle("Windows");
    }
}

}  // namespace
