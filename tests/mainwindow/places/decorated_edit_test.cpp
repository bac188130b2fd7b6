// The decorated edit box's label, keys and colours.
#include <QApplication>
#include <QSignalSpy>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include "mainwindow/places/decorated_edit.h"

namespace {

using mainwindow::DecoratedEdit;
using mainwindow::TLabelPosition;

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
        EXPECT_EQ(mainwindow::LabelTopLeft(c.position, box, label, 24, 4), c.topLeft)
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
