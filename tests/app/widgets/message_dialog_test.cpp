#include <functional>

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include "app/frame/real_services.h"
#include "app/support/dialog_driver.h"
#include "app/support/qt_print.h"
#include "app/widgets/custom_dialogs.h"

namespace {

using namespace app;
using K = TMsgButtonKind;
using testmainwindow::KeyTarget;
using testmainwindow::WhenModal;

QStringList ButtonNames(const QWidget& form) {
    QStringList names;
    for (const QPushButton* button : form.findChildren<QPushButton*>()) {
        names << button->objectName();
    }
    return names;
}

TEST(MessageDialog, BuildsItsWidgetsInKindOrder) {
    auto form = CreateMsgForm("正在下载地图，您确定要关闭吗？", TMsgDlgKind::mkWarning,
                              {K::mbkNo, K::mbkYes}, true);
    EXPECT_EQ(form->windowTitle(), "警告");
    EXPECT_EQ(ButtonNames(*form), (QStringList{"Yes", "No"}));
    EXPECT_EQ(form->findChild<QPushButton*>("Yes")->text(), "是(&Y)");
    EXPECT_TRUE(form->findChild<QPushButton*>("Yes")->isDefault());
    ASSERT_NE(form->findChild<QLabel*>("Image"), nullptr);
    EXPECT_EQ(form->findChild<QLabel*>("Image")->size(), QSize(32, 32));
    EXPECT_EQ(form->DlgMessage(), form->findChild<QLabel*>("Message"));
    EXPECT_EQ(form->DlgMessage()->text(), "正在下载地图，您确定要关闭吗？");
    // The two buttons share one width and sit side by side below the text.
    const QRect yes = form->findChild<QPushButton*>("Yes")->geometry();
    const QRect no = form->findChild<QPushButton*>("No")->geometry();
    EXPECT_EQ(yes.size(), no.size());
    EXPECT_EQ(yes.top(), no.top());
    EXPECT_GT(no.left(), yes.right());
    EXPECT_GT(yes.top(), form->DlgMessage()->geometry().bottom());

    auto custom = CreateMsgForm("x", TMsgDlgKind::mkCustom, {K::mbkOK}, true);
    EXPECT_EQ(custom->windowTitle(), QApplication::applicationDisplayName());
    EXPECT_EQ(custom->findChild<QLabel*>("Image"), nullptr);
}

TEST(MessageDialog, LongTextWrapsAtHalfTheScreenAndTabsExpand) {
    const int halfScreen = QGuiApplication::primaryScreen()->geometry().width() / 2;
    auto shortForm = CreateMsgForm("短", TMsgDlgKind::mkInformation, {K::mbkOK}, true);
    auto longForm = CreateMsgForm(QString("很长的消息 ").repeated(200), TMsgDlgKind::mkInformation,
                                  {K::mbkOK}, true);
    const QRect longText = longForm->DlgMessage()->geometry();
    EXPECT_LE(longText.width(), halfScreen);
    EXPECT_GT(longText.width(), halfScreen * 3 / 4);
    EXPECT_GT(longText.height(), 3 * shortForm->DlgMessage()->height());
    EXPECT_GT(longForm->height(), longText.height());

    auto plain = CreateMsgForm("ab", TMsgDlgKind::mkCustom, {K::mbkOK}, true);
    auto tabbed = CreateMsgForm("a\tb", TMsgDlgKind::mkCustom, {K::mbkOK}, true);
    EXPECT_GT(tabbed->DlgMessage()->width(), plain->DlgMessage()->width() + 10);

    auto empty = CreateMsgForm("", TMsgDlgKind::mkError, {K::mbkOK}, true);
    const QRect ok = empty->findChild<QPushButton*>("OK")->geometry();
    EXPECT_GE(ok.top(), 32) << "the icon's 32 pixels stay above the buttons";
    EXPECT_GT(empty->height(), ok.bottom());
}

TEST(MessageDialog, CarriageReturnsBreakLinesAsLineFeedsDo) {
    const auto height = [](const QString& text) {
        return CreateMsgForm(text, TMsgDlgKind::mkWarning, {K::mbkYes, K::mbkNo}, true)
            ->DlgMessage()
            ->height();
    };
    // The delete-task question separates its two sentences with two carriage returns.
    const int oneLine = height(QStringLiteral("您是否要删除下载任务“甲”?  删除后"));
    const int threeLines = height(QStringLiteral("您是否要删除下载任务“甲”?\n\n删除后"));
    ASSERT_GT(threeLines, 2 * oneLine);
    for (const char* breaks : {"\r\r", "\r\n\r\n", "\r\n\r", "\n\r"}) {
        SCOPED_TRACE(breaks);
        EXPECT_EQ(height(QStringLiteral("您是否要删除下载任务“甲”?") + QString::fromLatin1(breaks) +
                         QStringLiteral("删除后")),
                  threeLines);
    }
}

TEST(MessageDialog, ButtonWidthsOfTheFirstDialogHoldForLaterFonts) {
    // No other case shows a NoToAll button, so the first dialog here measures it.
    const QFont saved = QApplication::font("QMessageBox");
    QFont big = saved;
    big.setPointSize(saved.pointSize() * 3);
    QApplication::setFont(big, "QMessageBox");
    auto first = CreateMsgForm("a", TMsgDlgKind::mkCustom, {K::mbkNoToAll}, true);
    QApplication::setFont(saved, "QMessageBox");
    auto second = CreateMsgForm("a", TMsgDlgKind::mkCustom, {K::mbkNoToAll}, true);

    const int bigCaption = QFontMetrics(first->font()).horizontalAdvance("全否(O)") + 35;
    const int smallCaption = QFontMetrics(second->font()).horizontalAdvance("全否(O)") + 35;
    ASSERT_GT(bigCaption, smallCaption);
    EXPECT_GE(first->findChild<QPushButton*>("NoToAll")->width(), bigCaption);
    EXPECT_EQ(second->findChild<QPushButton*>("NoToAll")->width(), bigCaption)
        << "the smaller font still gets the width measured first";
}

enum class Answer { Enter, Escape, CloseBox };

int Answered(const TMsgButtonKinds& buttons, Answer answer) {
    auto form = CreateMsgForm("问题", TMsgDlgKind::mkConfirmation, buttons, true);
    WhenModal([answer](QWidget& dialog) {
        switch (answer) {
            case Answer::Enter:
                QTest::keyClick(&KeyTarget(dialog), Qt::Key_Return);
                break;
            case Answer::Escape:
                QTest::keyClick(&KeyTarget(dialog), Qt::Key_Escape);
                break;
            case Answer::CloseBox:
                dialog.close();
                break;
        }
        if (dialog.isVisible()) {
            dialog.close();  // the key did not close it
        }
    });
    return form->exec();
}

TEST(MessageDialog, EnterEscAndTheCloseBox) {
    struct Case {
        const char* name;
        TMsgButtonKinds buttons;
        Answer answer;
        int result;
    };
    const std::vector<Case> cases = {
        {"OK only: Enter", {K::mbkOK}, Answer::Enter, mrOk},
        {"OK only: Esc", {K::mbkOK}, Answer::Escape, mrOk},
        {"OK only: close box", {K::mbkOK}, Answer::CloseBox, mrCancel},
        {"Yes/No: Enter", {K::mbkYes, K::mbkNo}, Answer::Enter, mrYes},
        {"Yes/No: Esc", {K::mbkYes, K::mbkNo}, Answer::Escape, mrNo},
        {"Yes/No: close box", {K::mbkYes, K::mbkNo}, Answer::CloseBox, mrCancel},
        {"Yes/No/Cancel: Esc", {K::mbkYes, K::mbkNo, K::mbkCancel}, Answer::Escape, mrCancel},
        {"Retry: Enter", {K::mbkAbort, K::mbkRetry, K::mbkIgnore}, Answer::Enter, mrRetry},
        // No cancel button: Esc leaves it open, the close that follows answers Cancel.
        {"no cancel button: Esc", {K::mbkAbort, K::mbkRetry}, Answer::Escape, mrCancel},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Answered(c.buttons, c.answer), c.result) << c.name;
    }
}

TEST(MessageDialog, WrappersAnswerAndTakeTheCaption) {
    QString caption;
    WhenModal([&caption](QWidget& dialog) {
        caption = dialog.windowTitle();
        QTest::keyClick(&KeyTarget(dialog), Qt::Key_Return);
    });
    EXPECT_TRUE(AskYesNo("继续吗？"));
    EXPECT_EQ(caption, "提示");

    WhenModal([&caption](QWidget& dialog) {
        caption = dialog.windowTitle();
        QTest::keyClick(&KeyTarget(dialog), Qt::Key_Escape);
    });
    EXPECT_FALSE(AskWarningYesNo("继续吗？", "名称重复"));
    EXPECT_EQ(caption, "名称重复");

    WhenModal([](QWidget& dialog) { dialog.close(); });
    EXPECT_FALSE(AskYesNo("继续吗？")) << "the close box answers No";

    const std::vector<std::pair<void (*)(const QString&, const QString&), QString>> shows = {
        {ShowInfoMsg, "提示"}, {ShowErrorMsg, "错误"}, {ShowWarningMsg, "警告"}};
    for (const auto& [show, kindCaption] : shows) {
        WhenModal([&caption](QWidget& dialog) {
            caption = dialog.windowTitle();
            QTest::keyClick(&KeyTarget(dialog), Qt::Key_Escape);
        });
        show("完成", "");
        EXPECT_EQ(caption, kindCaption);
        WhenModal([&caption](QWidget& dialog) {
            caption = dialog.windowTitle();
            dialog.close();
        });
        show("完成", "关于");
        EXPECT_EQ(caption, "关于");
    }
}

TEST(MessageDialog, EveryBoxOfTheProgramHasItsCaptionIconAndButtons) {
    struct Case {
        const char* box;
        std::function<void(app::IMessages&)> show;
        QString caption;
        bool icon;
        QStringList buttons;
    };
    const QString title = QApplication::applicationDisplayName();
    ASSERT_FALSE(title.isEmpty());
    const std::vector<Case> cases = {
        {"plain", [](auto& m) { m.ShowPlain("无法打开串口！"); }, title, false, {"OK"}},
        {"info", [](auto& m) { m.ShowInfo("完成", ""); }, "提示", true, {"OK"}},
        {"error", [](auto& m) { m.ShowError("失败", ""); }, "错误", true, {"OK"}},
        {"warning", [](auto& m) { m.ShowWarning("注意", ""); }, "警告", true, {"OK"}},
        {"question", [](auto& m) { m.AskYesNo("继续吗？", ""); }, "提示", true, {"Yes", "No"}},
        {"warning question",
         [](auto& m) { m.AskWarningYesNo("删除吗？", ""); },
         "警告",
         true,
         {"Yes", "No"}},
    };
    app::DialogMessages messages;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.box);
        QString caption;
        bool icon = false;
        QStringList buttons;
        WhenModal([&](QWidget& dialog) {
            caption = dialog.windowTitle();
            icon = dialog.findChild<QLabel*>("Image") != nullptr;
            buttons = ButtonNames(dialog);
            dialog.close();
        });
        c.show(messages);
        EXPECT_EQ(caption, c.caption);
        EXPECT_EQ(icon, c.icon);
        EXPECT_EQ(buttons, c.buttons);
    }
}

TEST(MessageDialog, AnOpenQuestionClosesAsNoWhenWhatItAskedAboutHasEnded) {
    app::DialogMessages messages;
    messages.CloseQuestion("正在拼接地图，要取消吗？");  // nothing open: nothing happens
    bool wasOpen = false;
    bool otherStayed = false;
    WhenModal([&](QWidget& dialog) {
        wasOpen = dialog.isVisible();
        messages.CloseQuestion("另一个问题？");
        otherStayed = dialog.isVisible();
        messages.CloseQuestion("正在拼接地图，要取消吗？");
    });
    EXPECT_FALSE(messages.AskYesNo("正在拼接地图，要取消吗？", ""));
    EXPECT_TRUE(wasOpen);
    EXPECT_TRUE(otherStayed) << "a question about something else stays open";
}

TEST(MessageDialog, CtrlCCopiesTheWholeText) {
    auto form = CreateMsgForm("正在下载地图，您确定要关闭吗？", TMsgDlgKind::mkWarning,
                              {K::mbkYes, K::mbkNo}, true);
    form->show();
    QClipboard* clipboard = QGuiApplication::clipboard();
    const QString d = QString(27, '-') + "\r\n";
    const QString expected =
        d + "警告\r\n" + d + "正在下载地图，您确定要关闭吗？\r\n" + d + "是(Y)   否(N)   \r\n" + d;

    clipboard->setText("untouched");
    QTest::keyClick(form->findChild<QPushButton*>("No"), Qt::Key_C,
                    Qt::ControlModifier | Qt::ShiftModifier);
    QTest::keyClick(form->findChild<QPushButton*>("No"), Qt::Key_C, Qt::AltModifier);
    QTest::keyClick(form.get(), Qt::Key_C);
    EXPECT_EQ(clipboard->text(), "untouched");

    // With a button focused, too.
    QTest::keyClick(form->findChild<QPushButton*>("No"), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(clipboard->text(), expected);
    EXPECT_TRUE(form->isVisible()) << "copying does not close the dialog";

    form->DlgMessage()->setText("29 秒后");
    QTest::keyClick(form.get(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(clipboard->text(),
              d + "警告\r\n" + d + "29 秒后\r\n" + d + "是(Y)   否(N)   \r\n" + d);
    form->close();
}

TEST(MessageDialog, HelpButtonKeepsTheDialogOpen) {
    auto form = CreateMsgForm("帮助", TMsgDlgKind::mkInformation, {K::mbkOK, K::mbkHelp}, true);
    form->SetHelpContext(12);
    QSignalSpy spy(form.get(), &TMsgForm::helpRequested);
    bool stillOpen = false;
    WhenModal([&stillOpen](QWidget& dialog) {
        dialog.findChild<QPushButton*>("Help")->click();
        stillOpen = dialog.isVisible();
        dialog.findChild<QPushButton*>("OK")->click();
    });
    EXPECT_EQ(form->exec(), mrOk);
    EXPECT_TRUE(stillOpen);
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.at(0).at(0).toInt(), 12);
}

}  // namespace
