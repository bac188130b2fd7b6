// GPS following from the main window: the tool menu's check mark and the panel over the map,
// the close label and the port setup behind the panel's settings button.
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "app/frame/main_form_fixture.h"
#include "app/gps/gps_panel.h"
#include "app/support/dialog_driver.h"

namespace testmainwindow {
namespace {

class AttachGpsTest : public MainFormFixture {
  protected:
    AttachGpsTest() {
        oldData_ = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", QByteArray::fromStdString((dir_.path() / "data").string()));
    }
    ~AttachGpsTest() override {
        window_.reset();
        qputenv("XDG_DATA_HOME", oldData_);
    }

  private:
    QByteArray oldData_;
};

TEST_F(AttachGpsTest, MenuShowsThePanelAndTheCloseLabelHidesIt) {
    Window().show();
    auto* action = Find<QAction>("actGPSNavigation");
    auto* panel = Find<app::GpsPanel>("pnlGPSNavigation");
    ASSERT_NE(panel, nullptr);
    EXPECT_TRUE(action->isEnabled());
    EXPECT_FALSE(panel->isVisible());

    action->trigger();
    EXPECT_TRUE(action->isChecked());
    EXPECT_TRUE(panel->isVisible());
    EXPECT_TRUE(panel->btnStartGPS->isVisible());
    EXPECT_FALSE(panel->btnStopGPS->isVisible());

    QTest::mouseClick(panel->lblCloseNav, Qt::LeftButton);
    EXPECT_FALSE(action->isChecked());
    EXPECT_FALSE(panel->isVisible());
}

TEST_F(AttachGpsTest, SettingsButtonStoresThePortSetupInTheDataFolder) {
    Find<QAction>("actGPSNavigation")->trigger();
    auto* panel = Find<app::GpsPanel>("pnlGPSNavigation");
    WhenModal([](QWidget& dialog) {
        dialog.findChild<QComboBox*>(QStringLiteral("cbbBaudrate"))
            ->setCurrentText(QStringLiteral("38400"));
        dialog.findChild<QPushButton*>(QStringLiteral("btnOK"))->click();
    });
    panel->btnComSetting->click();
    const std::string stored =
        testsupport::ReadFileBytes(dir_.path() / "data/Vantorel/settings.ini");
    EXPECT_NE(stored.find("BaudRate=38400"), std::string::npos) << stored;
    EXPECT_FALSE(std::filesystem::exists(Paths().configFile) &&
                 testsupport::ReadFileBytes(Paths().configFile).find("BaudRate") !=
                     std::string::npos);
}

}  // namespace
}  // namespace testmainwindow
