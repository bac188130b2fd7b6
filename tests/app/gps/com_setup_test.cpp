// The port-setup dialog: its six lists, and every value chosen in them surviving the trip
// through the serial settings file.
#include <gtest/gtest.h>
#include <QComboBox>
#include <QPushButton>

#include "app/gps/com_setup_form.h"
#include "app/support/dialog_driver.h"
#include "app/support/fake_services.h"
#include "app/support/qt_print.h"
#include "fake_gps_port.h"
#include "geodata/gps/port_settings.h"
#include "support/temp_dir.h"

namespace {

using geodata::ComPortSettings;
using geodataui::TComSetupFrm;

QComboBox* Box(QWidget& form, const char* name) {
    auto* box = form.findChild<QComboBox*>(QLatin1String(name));
    EXPECT_NE(box, nullptr) << name;
    return box;
}

QStringList Items(QComboBox* box) {
    QStringList items;
    for (int i = 0; i < box->count(); ++i) {
        items << box->itemText(i);
    }
    return items;
}

TEST(ComSetup, ListsShowTheValuesThePortTakes) {
    TComSetupFrm form;
    ComPortSettings stored;
    stored.Port = "ttyACM3";  // stored but not plugged in: still listed and chosen
    stored.BaudRate = "4800";
    stored.Parity = "Even";
    form.Show(stored, {"ttyS0", "ttyUSB0"});
    EXPECT_EQ(form.windowTitle(), QStringLiteral("设置"));
    EXPECT_EQ(Items(Box(form, "cbbPort")), QStringList({"ttyS0", "ttyUSB0", "ttyACM3"}));
    EXPECT_EQ(Items(Box(form, "cbbBaudrate")),
              QStringList({"Custom", "110", "300", "600", "1200", "2400", "4800", "9600", "14400",
                           "19200", "38400", "56000", "57600", "115200", "128000", "256000"}));
    EXPECT_EQ(Items(Box(form, "cbbDatabits")), QStringList({"5", "6", "7", "8"}));
    EXPECT_EQ(Items(Box(form, "cbbStopbits")), QStringList({"1", "1.5", "2"}));
    EXPECT_EQ(Items(Box(form, "cbbParity")), QStringList({"None", "Odd", "Even", "Mark", "Space"}));
    EXPECT_EQ(Items(Box(form, "cbbFlowcontrol")),
              QStringList({"Hardware", "Software", "None", "Custom"}));
    EXPECT_EQ(Box(form, "cbbPort")->currentText(), QStringLiteral("ttyACM3"));
    EXPECT_EQ(Box(form, "cbbBaudrate")->currentText(), QStringLiteral("4800"));
    EXPECT_EQ(Box(form, "cbbParity")->currentText(), QStringLiteral("Even"));
    EXPECT_EQ(Box(form, "cbbDatabits")->currentText(), QStringLiteral("8"));
    EXPECT_NE(form.findChild<QWidget*>(QStringLiteral("grpSettings")), nullptr);
}

TEST(ComSetup, EveryChoiceOfEveryListRoundTripsThroughTheSettingsFile) {
    testsupport::TempDir dir;
    const auto file = dir / "settings.ini";
    // Another program's section in the same file is kept.
    testsupport::WriteFileBytes(file, "[Other]\nPort=keep\n");
    struct List {
        const char* name;
        std::string ComPortSettings::*field;
    };
    const std::vector<List> lists = {{"cbbPort", &ComPortSettings::Port},
                                     {"cbbBaudrate", &ComPortSettings::BaudRate},
                                     {"cbbDatabits", &ComPortSettings::DataBits},
                                     {"cbbStopbits", &ComPortSettings::StopBits},
                                     {"cbbParity", &ComPortSettings::Parity},
                                     {"cbbFlowcontrol", &ComPortSettings::FlowControl}};
    TComSetupFrm form;
    for (const auto& list : lists) {
        form.Show(ComPortSettings{}, {"ttyS0", "ttyUSB0", "pts/7"});
        QComboBox* box = Box(form, list.name);
        for (int i = 0; i < box->count(); ++i) {
            SCOPED_TRACE(std::string(list.name) + " " + box->itemText(i).toStdString());
            box->setCurrentIndex(i);
            const ComPortSettings chosen = form.Collect();
            EXPECT_EQ(chosen.*list.field, box->itemText(i).toStdString());
            ASSERT_TRUE(geodata::SavePortSettings(file, "", chosen));
            ComPortSettings read;
            read.Port = "x";
            ASSERT_TRUE(geodata::LoadPortSettings(file, "", read));
            EXPECT_EQ(read.*list.field, chosen.*list.field);
            form.Show(read, {"ttyS0", "ttyUSB0", "pts/7"});
            EXPECT_EQ(box->currentIndex(), i);
        }
    }
    EXPECT_NE(testsupport::ReadFileBytes(file).find("[Other]\r\nPort=keep"), std::string::npos);
}

class ComSetupDialogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ComPortSettings stored;
        stored.Port = "ttyUSB1";
        stored.BaudRate = "4800";
        ASSERT_TRUE(geodata::SavePortSettings(file, "", stored));
        port.name = QStringLiteral("ttyUSB1");  // the stored port is present
    }
    testsupport::TempDir dir;
    std::filesystem::path file = dir / "settings.ini";
    testmainwindow::FakeGpsPort port;
    testmainwindow::FakeMessages messages;
};

TEST_F(ComSetupDialogTest, OkGivesThePortTheChoiceAndStoresIt) {
    testmainwindow::WhenModal([](QWidget& dialog) {
        EXPECT_EQ(Box(dialog, "cbbBaudrate")->currentText(), QStringLiteral("4800"));
        Box(dialog, "cbbBaudrate")->setCurrentText(QStringLiteral("115200"));
        dialog.findChild<QPushButton*>(QStringLiteral("btnOK"))->click();
    });
    EXPECT_TRUE(geodataui::RunComSetupDialog(nullptr, port, file, messages));
    EXPECT_EQ(port.settings.BaudRate, "115200");
    EXPECT_EQ(port.settings.Port, "ttyUSB1");
    ComPortSettings read;
    ASSERT_TRUE(geodata::LoadPortSettings(file, "", read));
    EXPECT_EQ(read.BaudRate, "115200");
    EXPECT_EQ(read.Port, "ttyUSB1");
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(ComSetupDialogTest, CancelStoresNothingAndThePortKeepsTheStoredValues) {
    const std::string before = testsupport::ReadFileBytes(file);
    testmainwindow::WhenModal([](QWidget& dialog) {
        Box(dialog, "cbbBaudrate")->setCurrentText(QStringLiteral("115200"));
        dialog.findChild<QPushButton*>(QStringLiteral("btnCancel"))->click();
    });
    EXPECT_FALSE(geodataui::RunComSetupDialog(nullptr, port, file, messages));
    EXPECT_EQ(port.settings.BaudRate, "4800");
    EXPECT_EQ(testsupport::ReadFileBytes(file), before);
}

TEST_F(ComSetupDialogTest, StoredPortNotPresentShowsThePortAStartOpens) {
    // The first-run default names no port of this computer; a start opens the one present.
    ComPortSettings stored;
    stored.BaudRate = "4800";
    ASSERT_EQ(stored.Port, "COM1");
    ASSERT_TRUE(geodata::SavePortSettings(file, "", stored));
    port.name = QStringLiteral("ttyACM0");
    QString shown;
    testmainwindow::WhenModal([&shown](QWidget& dialog) {
        shown = Box(dialog, "cbbPort")->currentText();
        dialog.findChild<QPushButton*>(QStringLiteral("btnOK"))->click();
    });
    EXPECT_TRUE(geodataui::RunComSetupDialog(nullptr, port, file, messages));
    EXPECT_EQ(shown, QStringLiteral("ttyACM0"));
    ComPortSettings read;
    ASSERT_TRUE(geodata::LoadPortSettings(file, "", read));
    EXPECT_EQ(read.Port, "ttyACM0");
    EXPECT_EQ(read.BaudRate, "4800");
}

TEST_F(ComSetupDialogTest, StoreThatFailsIsReported) {
    const auto blocked = dir / "file-not-folder";
    testsupport::WriteFileBytes(blocked, "");
    testmainwindow::WhenModal(
        [](QWidget& dialog) { dialog.findChild<QPushButton*>(QStringLiteral("btnOK"))->click(); });
    EXPECT_TRUE(geodataui::RunComSetupDialog(nullptr, port, blocked / "settings.ini", messages));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].kind, QStringLiteral("error"));
}

}  // namespace
