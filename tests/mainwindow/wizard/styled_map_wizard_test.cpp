// The wizard window: its rows, the one-click value editor, and the texts it sends.
#include <QApplication>
#include <QComboBox>
#include <QSignalSpy>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include "StyledMapWizard/frm_styled_map_wizard.h"
#include "StyledMapWizard/styled_map_reload.h"
#include "mainwindow/qt_print.h"
#include "mainwindow/settings/settings_store.h"
#include "mainwindow/support/fake_services.h"

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

TEST(StyledMapReload, StoresTheTextAndReloadsThePage) {
    testmainwindow::TempSettings store;
    testmainwindow::FakePage page;
    styledmap::StyledMapReload reload(store.settings, page);
    reload.ReloadGoogleMap("&apistyle=s.t:2%7Cp.v:off&style=47,37%7Csmartmaps");
    EXPECT_EQ(store.settings.GetStrSetting(engine::StrSetting::StyleParamsURL),
              "&apistyle=s.t:2%7Cp.v:off&style=47,37%7Csmartmaps");
    reload.ReloadGoogleMap("");
    EXPECT_EQ(store.settings.GetStrSetting(engine::StrSetting::StyleParamsURL), "");
    EXPECT_EQ(page.loads, 2);
}

}  // namespace
