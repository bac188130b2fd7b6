#include "app/widgets/message_layout.h"

#include <gtest/gtest.h>

#include "app/support/qt_print.h"

namespace {

using namespace app;
using K = TMsgButtonKind;

TEST(MessageLayout, MulDivRoundsHalvesAwayFromZero) {
    struct Case {
        int a, b, c, result;
    };
    for (const Case& c : std::vector<Case>{{8, 7, 4, 14},
                                           {10, 7, 4, 18},
                                           {50, 7, 4, 88},
                                           {14, 15, 8, 26},
                                           {-10, 7, 4, -18},
                                           {10, 7, -4, -18},
                                           {1, 1, 0, -1}}) {
        EXPECT_EQ(MulDiv(c.a, c.b, c.c), c.result) << c.a << "*" << c.b << "/" << c.c;
    }
}

int MeasureByTable(K kind) {
    return kind == K::mbkYes ? 30 : kind == K::mbkNo ? 36 : 120;
}

MsgLayoutInput WarningInput() {
    MsgLayoutInput input;
    input.averageCharWidth = 7;
    input.charHeight = 16;
    input.measuredText = QRect(0, 0, 200, 16);
    input.kind = TMsgDlgKind::mkWarning;
    input.buttons = {K::mbkNo, K::mbkYes};
    input.screenWidth = 1024;
    input.screenHeight = 768;
    return input;
}

TEST(MessageLayout, FiguresFromGivenFontMetrics) {
    ButtonWidthCache cache;
    const MsgLayout l = ComputeMsgLayout(WarningInput(), cache, MeasureByTable);
    EXPECT_EQ(l.metrics.horzMargin, 14);
    EXPECT_EQ(l.metrics.vertMargin, 16);
    EXPECT_EQ(l.metrics.horzSpacing, 18);
    EXPECT_EQ(l.metrics.vertSpacing, 20);
    EXPECT_EQ(l.metrics.buttonHeight, 28);
    EXPECT_EQ(l.metrics.buttonSpacing, 7);
    EXPECT_EQ(l.buttonWidth, 88) << "captions of 30+35 and 36+35 stay under the base width";
    EXPECT_EQ(l.buttonGroupWidth, 2 * 88 + 7);
    // Text 200 + icon 32 + spacing 18, margins 2 x 14; height max(16, 32) + 28 + 20 + 2 x 16.
    EXPECT_EQ(l.clientWidth, 278);
    EXPECT_EQ(l.clientHeight, 112);
    EXPECT_EQ(l.left, 512 - 139);
    EXPECT_EQ(l.top, 384 - 56);
    EXPECT_EQ(l.iconRect, std::optional<QRect>(QRect(14, 16, 32, 32)));
    EXPECT_EQ(l.messageRect, QRect(64, 16, 200, 16));
    ASSERT_EQ(l.buttons.size(), 2u);
    EXPECT_EQ(l.buttons[0].kind, K::mbkYes) << "kind order, not the caller's order";
    EXPECT_EQ(l.buttons[0].rect, QRect(47, 68, 88, 28));
    EXPECT_EQ(l.buttons[1].kind, K::mbkNo);
    EXPECT_EQ(l.buttons[1].rect, QRect(142, 68, 88, 28));
}

TEST(MessageLayout, NoIconWideButtonsEmptyTextAndRightToLeft) {
    ButtonWidthCache cache;
    MsgLayoutInput input = WarningInput();
    input.kind = TMsgDlgKind::mkCustom;
    input.buttons = {K::mbkOK, K::mbkCancel, K::mbkHelp};
    MsgLayout l = ComputeMsgLayout(input, cache, MeasureByTable);
    EXPECT_FALSE(l.iconRect.has_value());
    EXPECT_EQ(l.buttonWidth, 155) << "a caption of 120 + 35 widens every button";
    EXPECT_EQ(l.clientWidth, 3 * 155 + 2 * 7 + 28) << "the button row is wider than the text";
    EXPECT_EQ(l.clientHeight, 16 + 28 + 20 + 32);
    EXPECT_EQ(l.buttons[0].rect.left(), 14);

    input.kind = TMsgDlgKind::mkError;
    input.measuredText = QRect(0, 0, 0, 0);
    l = ComputeMsgLayout(input, cache, MeasureByTable);
    EXPECT_EQ(l.clientHeight, 32 + 28 + 20 + 32) << "with an icon the text area is 32 high";
    EXPECT_EQ(l.messageRect.size(), QSize(0, 0));

    input = WarningInput();
    input.rightToLeft = true;
    l = ComputeMsgLayout(input, cache, MeasureByTable);
    EXPECT_EQ(l.messageRect.left(), 278 - 64 - 200);
}

TEST(MessageLayout, ButtonWidthsAreMeasuredOncePerKind) {
    ButtonWidthCache cache;
    int calls = 0;
    const auto first = [&calls](K) {
        ++calls;
        return 80;
    };
    const auto second = [&calls](K) {
        ++calls;
        return 10;
    };
    EXPECT_EQ(ComputeMsgLayout(WarningInput(), cache, first).buttonWidth, 115);
    EXPECT_EQ(calls, 2);
    // Another font later: the stored widths hold.
    EXPECT_EQ(ComputeMsgLayout(WarningInput(), cache, second).buttonWidth, 115);
    EXPECT_EQ(calls, 2);
}

TEST(MessageLayout, DefaultAndCancelButtons) {
    struct Case {
        TMsgButtonKinds set;
        std::optional<K> defaultButton;
        std::optional<K> cancelButton;
    };
    const std::vector<Case> cases = {
        {{K::mbkOK}, K::mbkOK, K::mbkOK},
        {{K::mbkYes, K::mbkNo}, K::mbkYes, K::mbkNo},
        {{K::mbkOK, K::mbkCancel}, K::mbkOK, K::mbkCancel},
        {{K::mbkYes, K::mbkNo, K::mbkCancel}, K::mbkYes, K::mbkCancel},
        {{K::mbkAbort, K::mbkRetry, K::mbkIgnore}, K::mbkRetry, std::nullopt},
        {{K::mbkHelp}, std::nullopt, std::nullopt},
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(DefaultButtonOf(cases[i].set), cases[i].defaultButton);
        EXPECT_EQ(CancelButtonOf(cases[i].set), cases[i].cancelButton);
    }
}

TEST(MessageLayout, CaptionsNamesAndResults) {
    EXPECT_EQ(KindCaption(TMsgDlgKind::mkWarning, "App"), "警告");
    EXPECT_EQ(KindCaption(TMsgDlgKind::mkError, "App"), "错误");
    EXPECT_EQ(KindCaption(TMsgDlgKind::mkInformation, "App"), "提示");
    EXPECT_EQ(KindCaption(TMsgDlgKind::mkConfirmation, "App"), "信息");
    EXPECT_EQ(KindCaption(TMsgDlgKind::mkCustom, "App"), "App");
    const std::vector<std::tuple<K, QString, QString, int>> buttons = {
        {K::mbkYes, "Yes", "是(&Y)", 6},
        {K::mbkNo, "No", "否(&N)", 7},
        {K::mbkOK, "OK", "确定", 1},
        {K::mbkCancel, "Cancel", "取消", 2},
        {K::mbkAbort, "Abort", "终止(&A)", 3},
        {K::mbkRetry, "Retry", "重试(&R)", 4},
        {K::mbkIgnore, "Ignore", "忽略(&I)", 5},
        {K::mbkAll, "All", "全部(&A)", 8},
        {K::mbkNoToAll, "NoToAll", "全否(&O)", 9},
        {K::mbkYesToAll, "YesToAll", "全是(&A)", 10},
        {K::mbkHelp, "Help", "帮助(&H)", 0},
    };
    for (const auto& [kind, name, caption, result] : buttons) {
        EXPECT_EQ(ButtonName(kind), name);
        EXPECT_EQ(ButtonCaption(kind), caption);
        EXPECT_EQ(ButtonModalResult(kind), result);
    }
}

TEST(MessageLayout, CopiedDialogText) {
    const QString d = QString(27, '-') + "\r\n";
    EXPECT_EQ(
        GetDialogText("警告", "正在下载地图，您确定要关闭吗？", {"是(&Y)", "否(&N)"}),
        d + "警告\r\n" + d + "正在下载地图，您确定要关闭吗？\r\n" + d + "是(Y)   否(N)   \r\n" + d);
    EXPECT_EQ(GetDialogText("", "", {}), d + "\r\n" + d + "\r\n" + d + "\r\n" + d);
}

}  // namespace
