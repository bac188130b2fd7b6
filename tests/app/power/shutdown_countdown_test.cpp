#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include "app/power/force_power_off.h"
#include "app/power/shutdown_countdown.h"
#include "app/support/dialog_driver.h"
#include "app/support/qt_print.h"
#include "app/widgets/custom_dialogs.h"

namespace {

using testmainwindow::WhenModal;

class FakePowerOff final : public app::IPowerOff {
  public:
    void ForcePowerOff() override { ++calls; }
    int calls = 0;
};

TEST(ShutdownCountdown, RunsOutAnswersYesAndPowersOffOnce) {
    FakePowerOff power;
    QStringList seen;
    QString caption;
    WhenModal([&](QWidget& dialog) {
        caption = dialog.windowTitle();
        auto* form = static_cast<app::TMsgForm*>(&dialog);
        seen << form->DlgMessage()->text();
        // Runs after the dialog's own tick handler, so it sees each rewritten text.
        QObject::connect(dialog.findChild<QTimer*>(), &QTimer::timeout, &dialog,
                         [&seen, form] { seen << form->DlgMessage()->text(); });
    });
    EXPECT_TRUE(app::PowerOffAfterCountdown(power, "自动关机", 3, 10));
    EXPECT_EQ(power.calls, 1);
    EXPECT_EQ(caption, "自动关机");
    EXPECT_EQ(seen, (QStringList{"3 秒后，将自动关闭计算机，点“否”取消关机？",
                                 "2 秒后，将自动关闭计算机，点“否”取消关机？",
                                 "1 秒后，将自动关闭计算机，点“否”取消关机？",
                                 "0 秒后，将自动关闭计算机，点“否”取消关机？"}));
}

TEST(ShutdownCountdown, AnswersBeforeTheEnd) {
    struct Case {
        const char* button;  // nullptr: the close box
        bool powersOff;
    };
    for (const Case& c : {Case{"Yes", true}, Case{"No", false}, Case{nullptr, false}}) {
        SCOPED_TRACE(c.button ? c.button : "close box");
        FakePowerOff power;
        WhenModal([&c](QWidget& dialog) {
            if (c.button) {
                dialog.findChild<QPushButton*>(c.button)->click();
            } else {
                dialog.close();
            }
        });
        EXPECT_EQ(app::PowerOffAfterCountdown(power, "自动关机", 30, 1000), c.powersOff);
        EXPECT_EQ(power.calls, c.powersOff ? 1 : 0);
    }
}

TEST(ShutdownCountdown, DefaultIsThirtySecondsOfTheWarningQuestion) {
    QString text;
    QStringList buttons;
    WhenModal([&](QWidget& dialog) {
        text = static_cast<app::TMsgForm&>(dialog).DlgMessage()->text();
        for (auto* button : dialog.findChildren<QPushButton*>()) {
            buttons << button->objectName();
        }
        dialog.findChild<QPushButton*>("No")->click();
    });
    FakePowerOff power;
    EXPECT_FALSE(app::PowerOffAfterCountdown(power, "自动关机"));
    EXPECT_EQ(text, "30 秒后，将自动关闭计算机，点“否”取消关机？");
    EXPECT_EQ(buttons, (QStringList{"Yes", "No"}));
}

}  // namespace
