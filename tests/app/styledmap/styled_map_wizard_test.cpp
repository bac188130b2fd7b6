// The wizard window: its rows, the one-click value editor, and the texts it sends.
#include <QApplication>
#include <QComboBox>
#include <QSignalSpy>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include "app/settings/settings_store.h"
#include "app/styledmap/frm_styled_map_wizard.h"
#include "app/styledmap/styled_map_reload.h"
#include "app/support/fake_services.h"
#include "app/support/qt_print.h"

namespace {

using styledmap::TfrmStyledMapWizard;

struct Wizard : testing::Test {
    TfrmStyledMapWizard wizard;
    QSignalSpy sent{&wizard, &TfrmStyledMapWizard::reloadGoogleMap};

    QTreeWidgetItem* Item(int top, int child = -1) const {
        QTreeWidgetItem* item = wizard.Tree()->topLevelItem(top);
        return child < 0 ? item : item->child(child);
    }
    QComboBox* OpenEditor() const {
        QComboBox* editor = nullptr;
        for (int i = 0; i < 50 && editor == nullptr; ++i) {
            QApplication::processEvents();
            // A closed editor may wait for its deletion; the open one is visible.
            for (QComboBox* each : wizard.Tree()->viewport()->findChildren<QComboBox*>()) {
                if (each->isVisible()) {
                    editor = each;
                }
            }
        }
        return editor;
    }
    // A click on the row opens its editor; the choice is taken with Enter.
    void Choose(QTreeWidgetItem* item, const QString& value) {
        wizard.Tree()->setCurrentItem(item);
        QComboBox* editor = OpenEditor();
        ASSERT_NE(editor, nullptr);
        editor->setCurrentIndex(editor->findText(value));
        QTest::keyClick(editor, Qt::Key_Return);
        QApplication::processEvents();
    }
    QString Last() const { return sent.isEmpty() ? QString() : sent.last().at(0).toString(); }

    void SetUp() override {
        wizard.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&wizard));
    }
};

TEST_F(Wizard, ShowsPresetsAndTheFeatureTree) {
    auto* presets = wizard.findChild<QComboBox*>("cbbStyleNames");
    ASSERT_NE(presets, nullptr);
    EXPECT_EQ(presets->currentText(), "缺省样式");
    EXPECT_EQ(presets->count(), 3);
    QTreeWidget* tree = wizard.Tree();
    EXPECT_EQ(tree->objectName(), "vstProperty");
    EXPECT_EQ(tree->headerItem()->text(0), "元素名称");
    EXPECT_EQ(tree->headerItem()->text(1), "值");
    ASSERT_EQ(tree->topLevelItemCount(), 6);
    QStringList captions;
    for (int i = 0; i < 6; ++i) {
        captions << Item(i)->text(0) + ":" + QString::number(Item(i)->childCount());
    }
    EXPECT_EQ(captions,
              (QStringList{"信息点:8", "行政区:3", "风景区:2", "道路:3", "铁路:2", "水域:0"}));
    EXPECT_EQ(Item(0, 0)->toolTip(0), "s.t:2");
    EXPECT_EQ(Item(1, 2)->text(0), "市级及以下");
}

TEST_F(Wizard, OneClickOpensTheValueEditorWithItsThreeChoices) {
    wizard.Tree()->setCurrentItem(Item(3, 0));
    QComboBox* editor = OpenEditor();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->count(), 3);
    EXPECT_EQ(editor->itemText(0), "");
    EXPECT_EQ(editor->itemText(1), "不可见");
    EXPECT_EQ(editor->itemText(2), "仅标签不可见");
}

TEST_F(Wizard, EachChosenValueSendsTheTreesText) {
    Choose(Item(3, 0), "仅标签不可见");
    Choose(Item(5), "不可见");
    ASSERT_EQ(sent.count(), 2);
    EXPECT_EQ(Item(5)->text(1), "不可见");
    EXPECT_EQ(Last(),
              "&apistyle=s.t:49%7Cs.e:l.t%7Cp.v:off,s.t:6%7Cp.v:off&style=47,37%7Csmartmaps");
}

TEST_F(Wizard, PresetsSendTheirTextAndEditsReplaceIt) {
    auto* presets = wizard.findChild<QComboBox*>("cbbStyleNames");
    presets->setCurrentIndex(2);
    presets->activated(2);
    EXPECT_EQ(Last(), "&apistyle=s.t:2|p.v:off&style=47,37|smartmaps");
    presets->setCurrentIndex(0);
    presets->activated(0);
    EXPECT_EQ(Last(), "");
    presets->setCurrentIndex(2);
    presets->activated(2);
    Choose(Item(0), "不可见");
    EXPECT_EQ(Last(), "&apistyle=s.t:2%7Cp.v:off&style=47,37%7Csmartmaps");
    EXPECT_EQ(sent.count(), 4);
}

// The preset list shows what the map shows: no preset once the tree's text replaced it.
TEST_F(Wizard, AnEditOfTheTreeLeavesNoPresetShown) {
    auto* presets = wizard.findChild<QComboBox*>("cbbStyleNames");
    presets->setCurrentIndex(2);
    presets->activated(2);
    Choose(Item(3, 0), "不可见");
    EXPECT_EQ(presets->currentIndex(), -1);
    EXPECT_EQ(presets->currentText(), "");
    presets->setCurrentIndex(1);
    presets->activated(1);
    EXPECT_EQ(presets->currentText(), "无标签");
    EXPECT_EQ(Last(), "&apistyle=s.e:l|p.v:off&style=47,37|smartmaps");
}

// After a restart the wizard shows the stored text: its preset, or the tree's values.
TEST(StyledMapWizardStart, ShowsTheStoredStyle) {
    struct Case {
        QString stored;
        QString preset;
        QStringList values;  // "top/child=value" of every row with a value
    };
    const std::vector<Case> cases = {
        {"", "缺省样式", {}},
        {"&apistyle=s.e:l|p.v:off&style=47,37|smartmaps", "无标签", {}},
        {"&apistyle=s.t:2|p.v:off&style=47,37|smartmaps", "无信息点", {}},
        {"&apistyle=s.t:49%7Cs.e:l.t%7Cp.v:off,s.t:6%7Cp.v:off&style=47,37%7Csmartmaps",
         "",
         {"3/0=仅标签不可见", "5=不可见"}},
        {"&apistyle=&style=47,37%7Csmartmaps", "", {}},
        // Not a text the wizard makes: no preset, no values (the map shows it all the same).
        {"&apistyle=s.t:999%7Cp.v:off&style=47,37%7Csmartmaps", "", {}},
        {"&lang=x", "", {}},
    };
    for (const Case& c : cases) {
        TfrmStyledMapWizard wizard;
        QSignalSpy sent(&wizard, &TfrmStyledMapWizard::reloadGoogleMap);
        wizard.ShowParams(c.stored);
        SCOPED_TRACE(c.stored.toStdString());
        EXPECT_EQ(wizard.findChild<QComboBox*>("cbbStyleNames")->currentText(), c.preset);
        QStringList values;
        QTreeWidget* tree = wizard.Tree();
        for (int top = 0; top < tree->topLevelItemCount(); ++top) {
            QTreeWidgetItem* item = tree->topLevelItem(top);
            if (!item->text(1).isEmpty())
                values << QStringLiteral("%1=%2").arg(top).arg(item->text(1));
            for (int child = 0; child < item->childCount(); ++child) {
                if (!item->child(child)->text(1).isEmpty())
                    values << QStringLiteral("%1/%2=%3")
                                  .arg(top)
                                  .arg(child)
                                  .arg(item->child(child)->text(1));
            }
        }
        EXPECT_EQ(values, c.values);
        EXPECT_EQ(sent.count(), 0) << "showing the stored style sends nothing";
        // The tree composes the stored text again.
        if (!c.values.isEmpty()) {
            EXPECT_EQ(wizard.BuildStyleParams(), c.stored);
        }
    }
}

// The text is stored for every later load; the Google page shown restyles its tiles without a
// reload, the Baidu page has no use for it.
TEST(StyledMapReload, StoresTheTextAndRestylesTheGooglePage) {
    testmainwindow::TempSettings store;
    testmainwindow::FakePage page;
    page.mapType = engine::TMapType::mtGoogleRoadMap;
    styledmap::StyledMapReload reload(store.settings, page);
    reload.ReloadGoogleMap("&apistyle=s.t:2%7Cp.v:off&style=47,37%7Csmartmaps");
    EXPECT_EQ(store.settings.GetStrSetting(engine::StrSetting::StyleParamsURL),
              "&apistyle=s.t:2%7Cp.v:off&style=47,37%7Csmartmaps");
    reload.ReloadGoogleMap("");
    EXPECT_EQ(store.settings.GetStrSetting(engine::StrSetting::StyleParamsURL), "");
    EXPECT_EQ(
        page.scripts,
        (QStringList{R"(setStyleParams("&apistyle=s.t:2%7Cp.v:off&style=47,37%7Csmartmaps");)",
                     R"(setStyleParams("");)"}));
    page.mapType = engine::TMapType::mtBaiduRoadMap;
    reload.ReloadGoogleMap("&apistyle=s.e:l|p.v:off&style=47,37|smartmaps");
    EXPECT_EQ(store.settings.GetStrSetting(engine::StrSetting::StyleParamsURL),
              "&apistyle=s.e:l|p.v:off&style=47,37|smartmaps");
    EXPECT_EQ(page.scripts.size(), 2);
    EXPECT_EQ(page.loads, 0);
}

}  // namespace
