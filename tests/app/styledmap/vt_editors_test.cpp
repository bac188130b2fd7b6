// The in-place editors: their text conversions, completion, and the edit protocol in a view.
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QStyle>
#include <QTest>
#include <QTreeView>

#include <gtest/gtest.h>

#include "app/styledmap/vt_editors.h"
#include "app/support/qt_print.h"
#include "app/widgets/size_grip.h"

namespace {

using namespace styledmap;

// A link class of its own, to be registered.
class TWheelEditLink : public TEditEditLink {
    Q_OBJECT
};

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
        const auto link = CreateEditLink(name);
        ASSERT_NE(link, nullptr) << name.toStdString();
        EXPECT_EQ(link->GetName(), name) << "a link of the class registered under that name";
    }
    EXPECT_EQ(CreateEditLink("Wheel"), nullptr);

    // A class of another module joins under its own short name; a taken name is refused.
    EXPECT_TRUE(RegisterEditLinkClass<TWheelEditLink>());
    EXPECT_FALSE(RegisterEditLinkClass<TWheelEditLink>());
    EXPECT_FALSE(RegisterEditLinkClass(TComboEditLink::staticMetaObject,
                                       [] { return std::make_unique<TWheelEditLink>(); }));
    EXPECT_EQ(RegisteredEditLinkNames(),
              (QStringList{"Buttoned", "Check", "Combo", "Date", "Edit", "Memo", "Spin", "Wheel"}));
    const auto wheel = CreateEditLink("Wheel");
    ASSERT_NE(wheel, nullptr);
    EXPECT_EQ(wheel->GetName(), "Wheel");
    EXPECT_EQ(CreateEditLink("Combo")->GetName(), "Combo") << "the first registration stays";
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

namespace {

using namespace styledmap;

// One cell holding `text`, edited through `link` in a shown view.
struct CellEdit {
    CellEdit(TCustomEditLink& link, const QString& text) {
        model.setData(model.index(0, 0), text);
        view.setModel(&model);
        view.setItemDelegate(&link);
        view.show();
    }
    ~CellEdit() { view.setItemDelegate(nullptr); }
    QComboBox* Open() {
        view.edit(model.index(0, 0));
        return qobject_cast<QComboBox*>(view.indexWidget(model.index(0, 0)));
    }
    bool Editing() const { return view.indexWidget(model.index(0, 0)) != nullptr; }
    QString Cell() const { return model.index(0, 0).data().toString(); }
    QStandardItemModel model{1, 1};
    QTreeView view;
};

TEST(EditLinks, EnterWritesOnlyAChangedCellEscapeWritesNothing) {
    TComboEditLink link(QStringList{"a", "b", "c"}, ComboStyle::csDropDownList, false);
    CellEdit cell(link, "b");
    QSignalSpy written(&cell.model, &QStandardItemModel::dataChanged);

    QComboBox* combo = cell.Open();
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(combo->currentText(), "b");
    QTest::keyClick(combo, Qt::Key_Return);
    EXPECT_FALSE(cell.Editing());
    EXPECT_EQ(written.count(), 0) << "an unchanged cell is not written";

    combo = cell.Open();
    QTest::keyClick(combo, Qt::Key_Down);
    QTest::keyClick(combo, Qt::Key_Escape);
    EXPECT_FALSE(cell.Editing());
    EXPECT_EQ(written.count(), 0);
    EXPECT_EQ(cell.Cell(), "b");

    // With the list open the first Enter closes it, the next one ends the edit.
    combo = cell.Open();
    combo->showPopup();
    ASSERT_TRUE(QTest::qWaitFor([&] { return combo->view()->isVisible(); }));
    QTest::keyClick(combo->view(), Qt::Key_Down);
    QTest::keyClick(combo->view(), Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !combo->view()->isVisible(); }));
    EXPECT_TRUE(cell.Editing());
    EXPECT_EQ(written.count(), 0);
    QTest::keyClick(combo, Qt::Key_Return);
    EXPECT_FALSE(cell.Editing());
    EXPECT_EQ(written.count(), 1);
    EXPECT_EQ(cell.Cell(), "c");
}

// Tab belongs to the editor: the edit stays on its cell with its text, and nothing is typed.
TEST(EditLinks, TabIsSwallowedByEveryEditor) {
    TEditEditLink edit;
    TMemoEditLink memo;
    TComboEditLink combo(QStringList{"a", "b"}, ComboStyle::csDropDown, false);
    TSpinEditLink spin(true, 1, 0, 100);
    for (TCustomEditLink* link :
         std::initializer_list<TCustomEditLink*>{&edit, &memo, &combo, &spin}) {
        SCOPED_TRACE(link->GetName().toStdString());
        QStandardItemModel model(2, 1);
        model.setData(model.index(0, 0), "1");
        model.setData(model.index(1, 0), "2");
        QTreeView view;
        view.setModel(&model);
        view.setItemDelegate(link);
        view.show();
        QApplication::setActiveWindow(&view);
        QSignalSpy written(&model, &QStandardItemModel::dataChanged);
        view.edit(model.index(0, 0));
        QWidget* editor = view.indexWidget(model.index(0, 0));
        ASSERT_NE(editor, nullptr);
        editor->setFocus();
        ASSERT_TRUE(QTest::qWaitFor([&] {
            return editor->hasFocus() || editor->isAncestorOf(QApplication::focusWidget());
        }));
        QWidget* typedInto = QApplication::focusWidget();
        QTest::keyClick(typedInto, Qt::Key_Tab);
        QTest::keyClick(typedInto, Qt::Key_Backtab, Qt::ShiftModifier);
        EXPECT_EQ(view.indexWidget(model.index(0, 0)), editor) << "the edit ended";
        EXPECT_EQ(view.indexWidget(model.index(1, 0)), nullptr) << "the next row is edited";
        EXPECT_EQ(link->GetEditText(editor), "1") << "the Tab was typed";
        EXPECT_EQ(written.count(), 0);
        view.setItemDelegate(nullptr);
    }
}

// The memo's grip sits one pixel inside its lower right corner; dragging it resizes the memo,
// never the window, and never below 16 x 16.
TEST(EditLinks, MemoGripResizesTheEditor) {
    TMemoEditLink link;
    CellEdit cell(link, "note");
    cell.view.resize(400, 300);
    cell.view.edit(cell.model.index(0, 0));
    QWidget* memo = cell.view.indexWidget(cell.model.index(0, 0));
    ASSERT_NE(memo, nullptr);
    auto* grip = memo->findChild<app::TSizeGrip*>();
    ASSERT_NE(grip, nullptr);
    ASSERT_TRUE(grip->isVisible());
    const int side = grip->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    EXPECT_EQ(grip->size(), QSize(side, side));
    EXPECT_EQ(grip->geometry().bottomRight(), memo->rect().bottomRight() - QPoint(1, 1));
    // Its upper left half lets clicks through to the memo.
    EXPECT_TRUE(grip->mask().contains(QPoint(side - 2, side - 2)));
    EXPECT_FALSE(grip->mask().contains(QPoint(1, 1)));

    const QSize before = memo->size();
    const QSize window = cell.view.size();
    const QPoint inside(side - 3, side - 3);
    QTest::mousePress(grip, Qt::LeftButton, {}, inside);
    QMouseEvent move(QEvent::MouseMove, QPointF(inside + QPoint(30, 20)),
                     QPointF(grip->mapToGlobal(inside + QPoint(30, 20))), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(grip, &move);
    EXPECT_EQ(memo->size(), before + QSize(30, 20));
    EXPECT_EQ(grip->geometry().bottomRight(), memo->rect().bottomRight() - QPoint(1, 1))
        << "the grip follows the corner";
    QMouseEvent shrink(QEvent::MouseMove, QPointF(inside - QPoint(1000, 1000)),
                       QPointF(grip->mapToGlobal(inside - QPoint(1000, 1000))), Qt::NoButton,
                       Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(grip, &shrink);
    EXPECT_EQ(memo->size(), QSize(16, 16));
    QTest::mouseRelease(grip, Qt::LeftButton, {}, inside);
    EXPECT_EQ(cell.view.size(), window);
}

// The owner of owner-drawn combo links: notes each call and fills the item's rectangle.
class ItemPainter : public QObject, public IComboItemPainter {
  public:
    struct Drawn {
        int index;
        bool inField;
    };
    std::vector<Drawn> drawn;
    std::vector<int> measured;
    void DrawItem(TComboEditLink&, QComboBox&, int index, QPainter& painter,
                  const QStyleOptionViewItem& option, bool inField) override {
        drawn.push_back({index, inField});
        painter.fillRect(option.rect, inField ? Qt::red : Qt::green);
    }
    void MeasureItem(TComboEditLink&, QComboBox&, int index, int& height) override {
        measured.push_back(index);
        height = 20 + 10 * index;
    }
    bool DrewRow(int index) const {
        return std::any_of(drawn.begin(), drawn.end(),
                           [index](const Drawn& d) { return d.index == index && !d.inField; });
    }
};

TEST(EditLinks, OwnerDrawnCombosAreDrawnAndMeasuredByTheLinksOwner) {
    for (ComboStyle style : {ComboStyle::csOwnerDrawFixed, ComboStyle::csOwnerDrawVariable}) {
        SCOPED_TRACE(static_cast<int>(style));
        ItemPainter owner;
        auto* link = new TComboEditLink(QStringList{"a", "b", "c"}, style, false, &owner);
        CellEdit cell(*link, "b");
        QComboBox* combo = cell.Open();
        ASSERT_NE(combo, nullptr);
        EXPECT_FALSE(combo->isEditable()) << "an owner-drawn combo is a list";
        EXPECT_EQ(combo->currentIndex(), 1);

        // The field shows the current item as the owner draws it.
        const QImage field = combo->grab().toImage();
        ASSERT_FALSE(owner.drawn.empty());
        EXPECT_EQ(owner.drawn.back().index, 1);
        EXPECT_TRUE(owner.drawn.back().inField);
        EXPECT_EQ(field.pixelColor(field.width() / 4, field.height() / 2), QColor(Qt::red));

        combo->showPopup();
        ASSERT_TRUE(QTest::qWaitFor([&] { return owner.DrewRow(0) && owner.DrewRow(2); }));
        QAbstractItemView* list = combo->view();
        if (style == ComboStyle::csOwnerDrawVariable) {
            EXPECT_EQ(list->sizeHintForRow(0), 20);
            EXPECT_EQ(list->sizeHintForRow(2), 40);
            EXPECT_NE(std::find(owner.measured.begin(), owner.measured.end(), 2),
                      owner.measured.end());
        } else {
            EXPECT_TRUE(owner.measured.empty()) << "fixed rows are not measured";
            EXPECT_EQ(list->sizeHintForRow(0), list->sizeHintForRow(2));
        }
        combo->hidePopup();
        QTest::keyClick(combo, Qt::Key_Escape);
    }

    // An owner without the painter's interface: the link draws nothing, so the field looks the
    // same whichever item is current.
    QObject plainOwner;
    auto* link = new TComboEditLink(QStringList{"alpha", "omega"}, ComboStyle::csOwnerDrawFixed,
                                    false, &plainOwner);
    CellEdit cell(*link, "alpha");
    QComboBox* combo = cell.Open();
    ASSERT_NE(combo, nullptr);
    const QImage first = combo->grab().toImage();
    combo->setCurrentIndex(1);
    EXPECT_EQ(combo->grab().toImage(), first);
}

}  // namespace

#include "vt_editors_test.moc"
