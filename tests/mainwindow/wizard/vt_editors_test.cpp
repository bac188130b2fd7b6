// The in-place editors: their text conversions, completion, and the edit protocol in a view.
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QTest>
#include <QTreeView>

#include <gtest/gtest.h>

#include "StyledMapWizard/vt_editors.h"
#include "mainwindow/qt_print.h"

namespace {

using namespace styledmap;

TEST(EditLinks, ShortNamesAndRegistry) {
    struct Case {
        const char* className;
        const char* name;
    };
    for (const Case& c :
         {Case{"TComboEditLink", "Combo"}, Case{"TFancy", "Fancy"}, Case{"EditLink", ""},
          Case{"TEditLinkEditLink", "EditLink"}, Case{"Tree", "ree"}}) {
        EXPECT_EQ(EditLinkName(c.className), c.name) << c.className;
    }
    EXPECT_EQ(RegisteredEditLinkNames(),
              (QStringList{"Buttoned", "Check", "Combo", "Date", "Edit", "Memo", "Spin"}));
    for (const QString& name : RegisteredEditLinkNames()) {
        EXPECT_NE(CreateEditLink(name), nullptr) << name.toStdString();
    }
    EXPECT_EQ(CreateEditLink("Wheel"), nullptr);
}

TEST(EditLinks, SpinTextIsHeldWithinTheBounds) {
    struct Case {
        const char* text;
        const char* held;
    };
    for (const Case& c : {Case{"25", "10"}, Case{"-3", "1"}, Case{"7", "7"}, Case{"", ""},
                          Case{"abc", "1"}, Case{" 4 ", "4"}}) {
        EXPECT_EQ(SpinTextWithin(c.text, 1, 10), c.held) << c.text;
    }
    // A bound above the control's range stays usable.
    TSpinEditLink link(true, 5, 0, qint64{1} << 40);
    QWidget parent;
    std::unique_ptr<QWidget> spin(link.CreateEditControl(&parent));
    link.SetEditText(spin.get(), "3000000000");
    EXPECT_EQ(link.GetEditText(spin.get()), "2147483647");
    link.SetEditText(spin.get(), "");
    EXPECT_EQ(link.GetEditText(spin.get()), "");
}

TEST(EditLinks, CheckTextAndState) {
    struct Case {
        bool allowGrayed;
        const char* text;
        Qt::CheckState state;
        const char* back;
    };
    const Case cases[] = {
        {false, "true", Qt::Checked, "True"},     {false, "FALSE", Qt::Unchecked, "False"},
        {false, "maybe", Qt::Unchecked, "False"}, {true, "maybe", Qt::PartiallyChecked, ""},
        {true, "True", Qt::Checked, "True"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        TCheckEditLink link;
        link.AllowGrayed = c.allowGrayed;
        QWidget parent;
        std::unique_ptr<QWidget> box(link.CreateEditControl(&parent));
        link.SetEditText(box.get(), c.text);
        EXPECT_EQ(static_cast<QCheckBox*>(box.get())->checkState(), c.state);
        EXPECT_EQ(link.GetEditText(box.get()), c.back);
    }
}

TEST(EditLinks, DateTextWithFormatAndSeparator) {
    TDateEditLink link(DateTimeKind::dtkDate, "yyyy/MM/dd", QLatin1Char('-'));
    EXPECT_EQ(link.EffectiveFormat(), "yyyy-MM-dd");
    QWidget parent;
    std::unique_ptr<QWidget> picker(link.CreateEditControl(&parent));
    link.SetEditText(picker.get(), "2024-03-05");
    EXPECT_EQ(link.GetEditText(picker.get()), "2024-03-05");
    link.SetEditText(picker.get(), "not a date");  // leaves the picker as it was
    EXPECT_EQ(link.GetEditText(picker.get()), "2024-03-05");

    TDateEditLink time(DateTimeKind::dtkTime, "HH:mm", QChar());
    std::unique_ptr<QWidget> clock(time.CreateEditControl(&parent));
    time.SetEditText(clock.get(), "07:45");
    EXPECT_EQ(time.GetEditText(clock.get()), "07:45");
}

// A combo link's editor open over the one cell of a fresh view.
struct ComboEditor {
    explicit ComboEditor(TComboEditLink& link) {
        view.setModel(&model);
        view.setItemDelegate(&link);
        view.show();
        view.edit(model.index(0, 0));
    }
    ~ComboEditor() { view.setItemDelegate(nullptr); }
    QLineEdit* line() const { return view.findChild<QComboBox*>()->lineEdit(); }
    QStandardItemModel model{1, 1};
    QTreeView view;
};

TEST(EditLinks, ComboCompletion) {
    const QStringList pick{"alpha", "beta", "Bravo"};
    EXPECT_EQ(CompleteFromPickList(pick, "B").value(), "Beta");
    EXPECT_EQ(CompleteFromPickList(pick, "BR").value(), "BRavo");
    EXPECT_FALSE(CompleteFromPickList(pick, "c").has_value());
    EXPECT_EQ(LimitPickList(pick, "b"), (QStringList{"beta", "Bravo"}));
    EXPECT_EQ(LimitPickList(pick, ""), pick);

    // Typed into the control: the typed letter keeps its case, the rest is selected.
    TComboEditLink link(QString("alpha,beta,Bravo"), ComboStyle::csDropDown, false);
    ComboEditor latin(link);
    QTest::keyClick(latin.line(), 'B');
    EXPECT_EQ(latin.line()->text(), "Beta");
    EXPECT_EQ(latin.line()->selectedText(), "eta");
    // Characters beyond 255 are never completed.
    TComboEditLink cities(QStringList{"北京", "北海"}, ComboStyle::csDropDown, false);
    ComboEditor chinese(cities);
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QStringLiteral("北"));
    QApplication::sendEvent(chinese.line(), &press);
    EXPECT_EQ(chinese.line()->text(), "北");
}

TEST(EditLinks, TextNotInADropDownListSelectsNothing) {
    TComboEditLink link(QStringList{"a", "b"}, ComboStyle::csDropDownList, false);
    QWidget parent;
    std::unique_ptr<QComboBox> combo(static_cast<QComboBox*>(link.CreateEditControl(&parent)));
    combo->addItems({"a", "b"});
    link.SetEditText(combo.get(), "b");
    EXPECT_EQ(combo->currentIndex(), 1);
    link.SetEditText(combo.get(), "c");
    EXPECT_EQ(combo->currentIndex(), -1);
}

}  // namespace
