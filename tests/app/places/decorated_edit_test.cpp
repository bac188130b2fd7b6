// The decorated edit box's label, keys and colours.
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QMenu>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include "app/places/decorated_edit.h"

namespace {

using app::DecoratedEdit;
using app::TLabelPosition;

TEST(DecoratedEdit, LabelPositions) {
    const QRect box(100, 50, 80, 20);  // L, T, W, H
    const QSize label(30, 10);         // caption 24 wide on one line
    struct Case {
        TLabelPosition position;
        QPoint topLeft;
    };
    const std::vector<Case> cases = {
        {TLabelPosition::lpLeftTop, {72, 50}},      {TLabelPosition::lpLeftCenter, {72, 55}},
        {TLabelPosition::lpLeftBottom, {72, 60}},   {TLabelPosition::lpTopLeft, {100, 36}},
        {TLabelPosition::lpBottomLeft, {100, 74}},  {TLabelPosition::lpLeftTopLeft, {96, 50}},
        {TLabelPosition::lpTopCenter, {125, 36}},   {TLabelPosition::lpBottomCenter, {125, 74}},
        {TLabelPosition::lpRightTop, {184, 50}},    {TLabelPosition::lpRightCenter, {184, 55}},
        {TLabelPosition::lpRighBottom, {184, 60}},  {TLabelPosition::lpTopRight, {150, 36}},
        {TLabelPosition::lpBottomRight, {150, 74}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(app::LabelTopLeft(c.position, box, label, 24, 4), c.topLeft)
            << static_cast<int>(c.position);
    }
}

TEST(DecoratedEdit, KeysOfTheBox) {
    QWidget form;
    auto* edit = new DecoratedEdit(&form);
    form.show();
    QApplication::setActiveWindow(&form);
    edit->setFocus();
    QSignalSpy enter(edit, &DecoratedEdit::enterPressed);
    edit->setText(QStringLiteral("old"));
    edit->clearFocus();
    edit->setFocus();
    EXPECT_EQ(edit->OrigText(), QStringLiteral("old"));
    QTest::keyClicks(edit, QStringLiteral("er"));
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(enter.count(), 1);
    QTest::keyClick(edit, Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(enter.count(), 1) << "Ctrl+Enter is swallowed";
    EXPECT_EQ(edit->text(), QStringLiteral("older"));
    QTest::keyClick(edit, Qt::Key_Escape);
    EXPECT_EQ(edit->text(), QStringLiteral("old"));
    EXPECT_EQ(edit->selectedText(), QStringLiteral("old"));

    edit->canUndo = false;
    QTest::keyClicks(edit, QStringLiteral("x"));
    QTest::keyClick(edit, Qt::Key_Escape);
    EXPECT_EQ(edit->text(), QStringLiteral("x"));
}

TEST(DecoratedEdit, ErrorAndFocusColoursAndLabel) {
    QWidget form;
    auto* edit = new DecoratedEdit(&form);
    edit->move(100, 10);
    edit->SetLabelCaption(QStringLiteral("地名(&N)"));
    edit->SetEmptyText(QStringLiteral("搜索地名"));
    edit->focusColor = QColor(255, 255, 200);
    edit->onValueValidate = [](const QString& text) { return !text.contains(QLatin1Char('x')); };
    edit->SetShowError(true);
    form.show();
    QApplication::setActiveWindow(&form);
    ASSERT_NE(edit->EditLabel(), nullptr);
    EXPECT_TRUE(edit->EditLabel()->isVisible());
    EXPECT_LT(edit->EditLabel()->x() + 1, edit->x());
    EXPECT_EQ(edit->EmptyText(), QStringLiteral("搜索地名"));

    edit->setText(QStringLiteral("abx"));
    EXPECT_TRUE(edit->IsError());
    EXPECT_EQ(edit->palette().color(QPalette::Base), edit->errorColor);
    EXPECT_EQ(edit->palette().color(QPalette::Text), edit->errorFontColor);
    edit->setText(QStringLiteral("ab"));
    EXPECT_FALSE(edit->IsError());
    edit->setFocus();
    EXPECT_EQ(edit->palette().color(QPalette::Base), QColor(255, 255, 200));

    edit->hide();
    EXPECT_FALSE(edit->EditLabel()->isVisible()) << "the label follows the box";
}

}  // namespace

namespace {

TEST(DecoratedEdit, OnlyWebAndMailAddressesOpen) {
    struct Case {
        const char* text;
        bool looksLikeUrl;
        const char* opened;  // empty: nothing is opened
    };
    const std::vector<Case> cases = {
        {"http://example.org/a?b=1", true, "http://example.org/a?b=1"},
        {"HTTPS://example.org", true, "https://example.org"},
        {"www.example.org", true, "http://www.example.org"},
        {"WWW.example.org/x", true, "http://www.example.org/x"},
        {"mailto:a@example.org", true, "mailto:a@example.org"},
        {"a@example.org", true, "mailto:a@example.org"},
        {"file:///etc/passwd", true, ""},
        {"javascript://alert(1)", true, ""},
        {"smb://host/share", true, ""},
        {"@start", false, ""},
        {"北京市", false, ""},
    };
    for (const auto& c : cases) {
        const QString text = QString::fromUtf8(c.text);
        EXPECT_EQ(DecoratedEdit::TextIsURL(text), c.looksLikeUrl) << c.text;
        EXPECT_EQ(DecoratedEdit::UrlToOpen(text).toString(), QString::fromUtf8(c.opened)) << c.text;
    }
}

TEST(DecoratedEdit, ClickOnAShownAddress) {
    QWidget form;
    auto* edit = new DecoratedEdit(&form);
    std::vector<QUrl> opened;
    edit->openUrl = [&](const QUrl& url) {
        opened.push_back(url);
        return true;
    };
    edit->SetShowURL(true);
    edit->setText(QStringLiteral("www.example.org"));
    EXPECT_TRUE(edit->font().underline());
    form.show();
    QApplication::setActiveWindow(&form);
    edit->setFocus();
    QTest::mouseClick(edit, Qt::LeftButton);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], QUrl(QStringLiteral("http://www.example.org")));

    edit->onURLClick = [](const QString&, bool& show) { show = false; };
    QTest::mouseClick(edit, Qt::LeftButton);
    EXPECT_EQ(opened.size(), 1u) << "the click handler kept it closed";

    edit->setText(QStringLiteral("file:///etc/passwd"));
    edit->onURLClick = nullptr;
    QTest::mouseClick(edit, Qt::LeftButton);
    EXPECT_EQ(opened.size(), 1u);
    edit->setText(QStringLiteral("plain"));
    EXPECT_FALSE(edit->font().underline());
}

}  // namespace

namespace {

using app::FontStyle;

// Two boxes in a shown, active form; the first has the focus.
struct Form {
    Form() {
        first = new DecoratedEdit(&widget);
        second = new DecoratedEdit(&widget);
        first->setGeometry(60, 10, 160, 24);
        second->setGeometry(60, 50, 160, 24);
        widget.resize(300, 100);
        widget.show();
        QApplication::setActiveWindow(&widget);
        first->setFocus();
    }
    QWidget widget;
    DecoratedEdit* first;
    DecoratedEdit* second;
};

TEST(DecoratedEdit, PrefixAndSuffixStayAroundTheText) {
    Form form;
    DecoratedEdit* edit = form.first;
    edit->SetPrefix(QStringLiteral("¥ "));
    edit->SetText(QStringLiteral("12"));
    EXPECT_EQ(edit->text(), QStringLiteral("¥ 12"));
    EXPECT_EQ(edit->Text(), QStringLiteral("12"));

    // Backspace just after the prefix does nothing; Home stops there too.
    QTest::keyClick(edit, Qt::Key_Home);
    EXPECT_EQ(edit->cursorPosition(), 2);
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClick(edit, Qt::Key_Left);
    QTest::keyClick(edit, Qt::Key_Backspace);
    EXPECT_EQ(edit->text(), QStringLiteral("¥ 12"));
    QTest::keyClicks(edit, QStringLiteral("3"));
    EXPECT_EQ(edit->Text(), QStringLiteral("312"));

    edit->SetSuffix(QStringLiteral(" 元"));
    EXPECT_EQ(edit->text(), QStringLiteral("¥ 312 元")) << "a new suffix keeps the text";
    QTest::keyClick(edit, Qt::Key_End);
    EXPECT_EQ(edit->cursorPosition(), 5);
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClick(edit, Qt::Key_Right);
    QTest::keyClick(edit, Qt::Key_Delete);
    EXPECT_EQ(edit->text(), QStringLiteral("¥ 312 元"));
    QTest::keyClick(edit, Qt::Key_Home, Qt::ShiftModifier);
    EXPECT_EQ(edit->selectedText(), QStringLiteral("312"));
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(edit->selectedText(), QStringLiteral("312"));
    QTest::keyClicks(edit, QStringLiteral("7"));
    EXPECT_EQ(edit->text(), QStringLiteral("¥ 7 元"));

    // A click into the prefix puts the caret at the text's start.
    QTest::mouseClick(edit, Qt::LeftButton, {}, QPoint(3, edit->height() / 2));
    EXPECT_EQ(edit->cursorPosition(), 2);

    // The suffix's length is dropped whatever the last characters are.
    edit->setText(QStringLiteral("¥ 4567"));
    EXPECT_EQ(edit->Text(), QStringLiteral("45"));
}

TEST(DecoratedEdit, ModifiedMark) {
    Form form;
    DecoratedEdit* edit = form.first;
    edit->SetShowModified(true);
    edit->modifiedColor = QColor(0, 128, 0);
    edit->SetEditText(QStringLiteral("ab"));
    const QColor plain = edit->palette().color(QPalette::Active, QPalette::Text);
    EXPECT_FALSE(edit->Modified());
    QTest::keyClicks(edit, QStringLiteral("c"));
    EXPECT_TRUE(edit->Modified());
    EXPECT_EQ(edit->palette().color(QPalette::Active, QPalette::Text), QColor(0, 128, 0));
    QTest::keyClick(edit, Qt::Key_Escape);
    EXPECT_FALSE(edit->Modified()) << "Esc puts back the text and clears the mark";
    EXPECT_EQ(edit->palette().color(QPalette::Active, QPalette::Text), plain);
    QTest::keyClick(edit, Qt::Key_Backspace);
    EXPECT_TRUE(edit->Modified());
    edit->SetText(QStringLiteral("x"));
    EXPECT_FALSE(edit->Modified()) << "setting the text clears it";

    edit->setReadOnly(true);
    edit->SetModified(true);
    EXPECT_FALSE(edit->Modified()) << "a read-only box is never modified";
}

TEST(DecoratedEdit, FullLengthMovesTheFocusOn) {
    Form form;
    DecoratedEdit* edit = form.first;
    edit->lengthLimit = 3;
    QTest::keyClicks(edit, QStringLiteral("abc"));
    EXPECT_TRUE(edit->hasFocus()) << "only with TabOnFullLength";
    edit->SetText(QString());
    edit->tabOnFullLength = true;
    QTest::keyClicks(edit, QStringLiteral("ab"));
    EXPECT_TRUE(edit->hasFocus());
    QTest::keyClicks(edit, QStringLiteral("c"));
    EXPECT_TRUE(form.second->hasFocus());

    // A paste that fills the text moves on as well.
    edit->setFocus();
    edit->SetText(QStringLiteral("a"));
    QGuiApplication::clipboard()->setText(QStringLiteral("yz"));
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(edit->Text(), QStringLiteral("ayz"));
    EXPECT_TRUE(form.second->hasFocus());
}

TEST(DecoratedEdit, FocusLabelAndWidth) {
    Form form;
    DecoratedEdit* edit = form.second;
    edit->SetLabelCaption(QStringLiteral("地名"));
    edit->focusLabel = true;
    edit->focusWidthInc = 30;
    const int width = edit->width();
    const int labelRight = edit->EditLabel()->geometry().right();
    edit->setFocus();
    EXPECT_TRUE(edit->EditLabel()->font().bold());
    EXPECT_EQ(edit->width(), width + 30);
    EXPECT_LT(edit->EditLabel()->geometry().right(), edit->x()) << "placed again when bold";
    form.first->setFocus();
    EXPECT_FALSE(edit->EditLabel()->font().bold());
    EXPECT_EQ(edit->width(), width);
    EXPECT_EQ(edit->EditLabel()->geometry().right(), labelRight);
}

TEST(DecoratedEdit, DisabledColourAndBorder) {
    Form form;
    DecoratedEdit* edit = form.second;
    edit->SetColor(QColor(250, 250, 220));
    edit->setEnabled(false);
    EXPECT_EQ(edit->palette().color(QPalette::Disabled, QPalette::Base), QColor(0xC0, 0xC0, 0xC0));
    QImage image = edit->grab().toImage();
    EXPECT_EQ(image.pixelColor(0, 0), QColor(0xC0, 0xC0, 0xC0)) << "the silver frame";
    EXPECT_EQ(image.pixelColor(image.width() - 1, image.height() / 2), QColor(0xC0, 0xC0, 0xC0));
    edit->SetDisabledColor(QColor(200, 0, 0));
    edit->SetDisabledBorder(false);
    image = edit->grab().toImage();
    EXPECT_NE(image.pixelColor(0, 0), QColor(0xC0, 0xC0, 0xC0));
    EXPECT_EQ(image.pixelColor(image.width() / 2, image.height() / 2), QColor(200, 0, 0));
    edit->setEnabled(true);
    image = edit->grab().toImage();
    EXPECT_EQ(image.pixelColor(image.width() / 2, image.height() / 2), QColor(250, 250, 220))
        << "enabling shows the normal colour again";
}

// The pixels where two pictures of the box differ.
int Differing(const QImage& a, const QImage& b, QColor* darkest = nullptr) {
    int count = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QColor pa = a.pixelColor(x, y);
            if (pa != b.pixelColor(x, y)) {
                ++count;
                if (darkest != nullptr && pa.value() < darkest->value()) {
                    *darkest = pa;
                }
            }
        }
    }
    return count;
}

TEST(DecoratedEdit, ThePromptHidesOnFocusUnlessEmptyTextFocused) {
    QApplication::setCursorFlashTime(0);  // a caret that never blinks between two pictures
    Form form;
    DecoratedEdit* edit = form.second;
    const QImage blankUnfocused = edit->grab().toImage();
    edit->SetEmptyText(QStringLiteral("搜索地名"));
    const QImage prompt = edit->grab().toImage();
    QColor darkest = Qt::white;
    EXPECT_GT(Differing(prompt, blankUnfocused, &darkest), 20) << "shown while empty";
    EXPECT_GE(darkest.red(), 0x80) << "in gray";
    EXPECT_EQ(darkest.red(), darkest.blue());
    edit->SetEmptyTextStyle(FontStyle::fsBold | FontStyle::fsUnderline);
    EXPECT_GT(Differing(edit->grab().toImage(), prompt), 0) << "in its own styles";

    edit->setFocus();
    const QImage focused = edit->grab().toImage();
    edit->SetEmptyText(QString());
    const QImage blankFocused = edit->grab().toImage();
    EXPECT_EQ(Differing(focused, blankFocused), 0) << "hidden while focused";
    edit->SetEmptyText(QStringLiteral("搜索地名"));
    edit->SetEmptyTextFocused(true);
    EXPECT_GT(Differing(edit->grab().toImage(), blankFocused), 20);
    edit->SetEmptyTextFocused(false);
    QTest::keyClicks(edit, QStringLiteral("a"));
    form.first->setFocus();
    const QImage typed = edit->grab().toImage();
    edit->SetEmptyText(QString());
    EXPECT_EQ(Differing(typed, edit->grab().toImage()), 0) << "not over a text";
    QApplication::setCursorFlashTime(1000);
}

TEST(DecoratedEdit, SelectionAndPositionHelpers) {
    Form form;
    DecoratedEdit* edit = form.first;
    edit->SetPrefix(QStringLiteral("$"));
    edit->SetSuffix(QStringLiteral("!"));
    const QString point = QLocale().decimalPoint();
    edit->SetText(QStringLiteral("12") + point + QStringLiteral("5"));
    edit->SelectAll();
    EXPECT_EQ(edit->selectedText(), QStringLiteral("12") + point + QStringLiteral("5"));
    edit->SelectBeforeDecimal();
    EXPECT_EQ(edit->cursorPosition(), 3);
    edit->SelectAfterDecimal();
    EXPECT_EQ(edit->cursorPosition(), 3 + point.size());
    edit->SetText(QStringLiteral("125"));
    edit->SelectAfterDecimal();
    EXPECT_EQ(edit->cursorPosition(), 1) << "no separator: the text's start";

    edit->SetPrefix(QString());
    edit->SetSuffix(QString());
    edit->SetShowURL(true);
    for (const char* address : {"http://example.org/a", "mailto:a@example.org"}) {
        edit->SetText(QString::fromLatin1(address));
        edit->SelectAll();
        EXPECT_EQ(edit->selectedText(),
                  QString::fromLatin1(address).section(QRegularExpression("://|:"), 1))
            << address;
    }

    edit->SetShowURL(false);
    edit->SetText(QStringLiteral("Hello wide world"));
    EXPECT_EQ(edit->GetTextSize(), edit->fontMetrics().horizontalAdvance(edit->text()));
    edit->setCursorPosition(3);
    for (int i = 0; i <= edit->text().size(); ++i) {
        const QPoint at = edit->PosFromChar(i);
        EXPECT_EQ(edit->CharFromPos(at + QPoint(1, 4)), i) << i;
    }
    EXPECT_LT(edit->PosFromChar(0).x(), edit->PosFromChar(5).x());
}

TEST(DecoratedEdit, MouseEvents) {
    Form form;
    DecoratedEdit* edit = form.second;
    QSignalSpy entered(edit, &DecoratedEdit::mouseEnter);
    QSignalSpy left(edit, &DecoratedEdit::mouseLeave);
    edit->autoFocus = true;
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), edit->mapToGlobal(QPointF(5, 5)));
    QApplication::sendEvent(edit, &enter);
    EXPECT_EQ(entered.count(), 1);
    EXPECT_TRUE(edit->hasFocus()) << "AutoFocus";
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(edit, &leave);
    EXPECT_EQ(left.count(), 1);

    // A press inside the selection keeps it until the release puts the caret there.
    edit->SetText(QStringLiteral("abcdefgh"));
    edit->setSelection(0, 8);
    const QPoint inside = edit->PosFromChar(4) + QPoint(1, 4);
    QTest::mousePress(edit, Qt::LeftButton, {}, inside);
    EXPECT_EQ(edit->selectedText(), QStringLiteral("abcdefgh"));
    QTest::mouseRelease(edit, Qt::LeftButton, {}, inside);
    EXPECT_FALSE(edit->hasSelectedText());
    EXPECT_EQ(edit->cursorPosition(), 4);

    QSignalSpy labelClicks(edit, &DecoratedEdit::labelClicked);
    QSignalSpy labelDoubleClicks(edit, &DecoratedEdit::labelDoubleClicked);
    edit->SetLabelCaption(QStringLiteral("名称"));
    QTest::mouseClick(edit->EditLabel(), Qt::LeftButton);
    QTest::mouseDClick(edit->EditLabel(), Qt::LeftButton);
    EXPECT_GE(labelClicks.count(), 1);
    EXPECT_EQ(labelDoubleClicks.count(), 1);
}

TEST(DecoratedEdit, ClipboardEvents) {
    Form form;
    DecoratedEdit* edit = form.first;
    QClipboard* clipboard = QGuiApplication::clipboard();
    QStringList events;
    bool allow = true;
    const auto note = [&](const char* kind) {
        return [&, kind](const QString& value, bool& allowed) {
            events << QString::fromLatin1(kind) + QLatin1Char(':') + value;
            allowed = allow;
        };
    };
    edit->onClipboardCopy = note("copy");
    edit->onClipboardCut = note("cut");
    edit->onClipboardPaste = note("paste");
    QSignalSpy edited(edit, &QLineEdit::textEdited);

    edit->SetText(QStringLiteral("北京市"));
    edit->setSelection(0, 2);
    clipboard->setText(QStringLiteral("before"));
    allow = false;
    QTest::keyClick(edit, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(clipboard->text(), QStringLiteral("before")) << "a refused copy";
    QTest::keyClick(edit, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(edit->Text(), QStringLiteral("北京市")) << "a refused cut";
    allow = true;
    QTest::keyClick(edit, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(clipboard->text(), QStringLiteral("北京"));
    QTest::keyClick(edit, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(edit->Text(), QStringLiteral("市"));
    EXPECT_EQ(events, (QStringList{"copy:北京", "cut:北京", "copy:北京", "cut:北京"}));
    EXPECT_TRUE(edit->Modified());

    // A paste takes the first line and tells the text it would make.
    events.clear();
    edited.clear();
    clipboard->setText(QStringLiteral("上海\r\n第二行"));
    allow = false;
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(edit->Text(), QStringLiteral("市"));
    EXPECT_EQ(edited.count(), 0) << "a refused paste edits nothing and looks nothing up";
    allow = true;
    QTest::keyClick(edit, Qt::Key_Home);
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(edit->Text(), QStringLiteral("上海市"));
    EXPECT_EQ(edited.count(), 1);
    EXPECT_EQ(events, (QStringList{"paste:上海市", "paste:上海市"}));
    edit->setMaxLength(4);
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(edit->Text(), QStringLiteral("上海市")) << "longer than MaxLength";
}

}  // namespace

namespace {

TEST(DecoratedEdit, TheContextMenuGoesThroughTheClipboardEvents) {
    Form form;
    DecoratedEdit* edit = form.first;
    edit->SetPrefix(QStringLiteral("#"));
    edit->SetText(QStringLiteral("ab"));
    QStringList events;
    edit->onClipboardPaste = [&](const QString& value, bool& allow) {
        events << value;
        allow = false;
    };
    QGuiApplication::clipboard()->setText(QStringLiteral("x"));
    QContextMenuEvent request(QContextMenuEvent::Mouse, QPoint(5, 5),
                              edit->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(edit, &request);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr);
    // The standard items, found by their place among the separators: undo, redo | cut, copy,
    // paste, delete | select all.
    QList<QAction*> items;
    for (QAction* action : menu->actions()) {
        if (!action->isSeparator() && action->menu() == nullptr) {
            items << action;
        }
    }
    ASSERT_GE(items.size(), 7);
    items[4]->trigger();  // paste
    EXPECT_EQ(events, QStringList{QStringLiteral("abx")});
    EXPECT_EQ(edit->Text(), QStringLiteral("ab"));
    items[6]->trigger();  // select all
    EXPECT_EQ(edit->selectedText(), QStringLiteral("ab")) << "not the prefix";
    menu->close();
}

}  // namespace

namespace {

// Releases that are not a click on a shown address raise no OnURLClick and open nothing.
TEST(DecoratedEdit, OnlyAFocusedLeftClickOnAShownAddressAsksToOpen) {
    struct Case {
        const char* name;
        bool showUrl;
        const char* text;
        bool focused;
        Qt::MouseButton button;
        bool raised;
    };
    const std::vector<Case> cases = {
        {"a shown address", true, "www.example.org", true, Qt::LeftButton, true},
        {"without the focus", true, "www.example.org", false, Qt::LeftButton, false},
        {"ShowURL off", false, "www.example.org", true, Qt::LeftButton, false},
        {"not an address", true, "北京市", true, Qt::LeftButton, false},
        {"the right button", true, "www.example.org", true, Qt::RightButton, false},
    };
    QWidget form;
    auto* edit = new DecoratedEdit(&form);
    auto* other = new QLineEdit(&form);
    other->move(0, 40);
    form.show();
    QApplication::setActiveWindow(&form);
    for (const auto& c : cases) {
        int raised = 0;
        int opened = 0;
        edit->onURLClick = [&](const QString& url, bool& show) {
            ++raised;
            EXPECT_EQ(url, QString::fromUtf8(c.text));
            show = false;
        };
        edit->openUrl = [&](const QUrl&) { return ++opened > 0; };
        edit->SetShowURL(c.showUrl);
        edit->SetText(QString::fromUtf8(c.text));
        const bool look = c.showUrl && DecoratedEdit::TextIsURL(edit->Text());
        EXPECT_EQ(edit->cursor().shape(), look ? Qt::PointingHandCursor : Qt::IBeamCursor)
            << c.name;
        if (c.focused) {
            edit->setFocus();
        } else {
            other->setFocus();
        }
        // The release alone: a press would give the box the focus.
        QMouseEvent release(QEvent::MouseButtonRelease, QPointF(5, 5),
                            edit->mapToGlobal(QPointF(5, 5)), c.button, Qt::NoButton,
                            Qt::NoModifier);
        QApplication::sendEvent(edit, &release);
        EXPECT_EQ(raised, c.raised ? 1 : 0) << c.name;
        EXPECT_EQ(opened, 0) << c.name << ": Show false keeps it closed";
    }
}

TEST(DecoratedEdit, AutoFocusOnlyInTheActiveWindow) {
    QWidget form;
    QWidget elsewhere;
    auto* edit = new DecoratedEdit(&form);
    edit->setProperty("AutoFocus", true);
    form.show();
    elsewhere.show();
    QApplication::setActiveWindow(&elsewhere);
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), edit->mapToGlobal(QPointF(5, 5)));
    QApplication::sendEvent(edit, &enter);
    EXPECT_FALSE(edit->hasFocus()) << "another window is active";
    QApplication::setActiveWindow(&form);
    QApplication::sendEvent(edit, &enter);
    EXPECT_TRUE(edit->hasFocus());
}

}  // namespace
