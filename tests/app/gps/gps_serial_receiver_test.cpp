// GPS following end to end: a pseudo-terminal stands in for the receiver on the serial port;
// what it sends goes through the Qt serial port, the receiver and the panel to the page.
// Closing its master side is the receiver being unplugged.
#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <ctime>

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include "app/gps/gps_panel_controller.h"
#include "app/gps/serial_gps_port.h"
#include "app/support/fake_services.h"
#include "app/support/qt_print.h"
#include "engine/log/logger.h"
#include "geodata/gps/nmea_day_log.h"
#include "support/temp_dir.h"

namespace {

using app::GpsPanelController;
using testmainwindow::FakeServices;

class PseudoTerminal {
  public:
    PseudoTerminal() {
        char name[256] = {};
        if (openpty(&master_, &slave_, name, nullptr, nullptr) != 0) {
            return;
        }
        termios raw{};
        tcgetattr(slave_, &raw);
        cfmakeraw(&raw);
        tcsetattr(slave_, TCSANOW, &raw);
        name_ = name;
    }
    ~PseudoTerminal() {
        if (master_ >= 0) {
            close(master_);
        }
        if (slave_ >= 0) {
            close(slave_);
        }
    }
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    bool Ok() const { return !name_.empty(); }
    const std::string& Name() const { return name_; }
    void Send(const std::string& text) const {
        ASSERT_EQ(write(master_, text.data(), text.size()), static_cast<ssize_t>(text.size()));
    }
    // The receiver goes away: the port's side stays open but every read on it fails.
    void Unplug() {
        close(master_);
        master_ = -1;
    }

  private:
    int master_ = -1;
    int slave_ = -1;
    std::string name_;
};

// Runs the event loop until `done` holds or two seconds pass.
bool WaitFor(const std::function<bool()>& done) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > 2000) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

// Seconds of CPU time that the whole process uses while its event loop runs for one second.
double CpuSecondsOverOneSecond() {
    const auto cpu = [] {
        timespec now{};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
        return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
    };
    const double before = cpu();
    QEventLoop loop;
    QTimer::singleShot(1000, &loop, &QEventLoop::quit);
    loop.exec();
    return cpu() - before;
}

std::size_t LineCount(const std::filesystem::path& file) {
    const std::string text = testsupport::ReadFileBytes(file);
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

const std::string kGga = "$GPGGA,092750.000,5321.6802,N,00630.3372,W,1,8,1.03,61.7,M,55.2,M,,*76";
const std::string kGnGga = "$GNGGA,092755.000,3954.5000,N,11624.0000,E,1,12,0.8,45.0,M,-8.0,M,,*5A";
const std::string kNoFixGga = "$GPGGA,092800.000,3954.5000,N,11624.0000,E,0,00,,,M,,M,,*4F";
const std::string kRmc = "$GPRMC,092750.000,A,5321.6802,N,00630.3372,W,0.02,31.66,280511,,,A*43";

class GpsSerialTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(pty.Ok());
        // The ports "present" are the test's, whatever this computer has.
        auto owned = std::make_unique<geodataui::SerialGpsPort>([this] { return present; });
        geodata::ComPortSettings settings;
        settings.Port = pty.Name();
        settings.BaudRate = "4800";
        owned->ApplySettings(settings);
        port = owned.get();
        fake.page.mapType = static_cast<engine::TMapType>(5);  // WGS-84 tiles
        controller = std::make_unique<GpsPanelController>(fake.services, std::move(owned),
                                                          logDir.path(), nullptr);
    }

    int Markers() const {
        return static_cast<int>(
            fake.page.scripts.filter(QStringLiteral("addNavigationMarker(")).size());
    }

    // Sends one line and waits until the day's log holds it.
    void SendLine(const std::string& line) {
        const std::size_t before = LineCount(LogFile());
        pty.Send(line + "\r\n");
        ASSERT_TRUE(WaitFor([&] { return LineCount(LogFile()) == before + 1; })) << line;
    }

    std::filesystem::path LogFile() const {
        return geodata::NmeaDayLog(logDir.path()).CurrentFile();
    }

    void UsePort(const std::string& name) {
        geodata::ComPortSettings settings = port->Settings();
        settings.Port = name;
        port->ApplySettings(settings);
    }

    PseudoTerminal pty;
    QStringList present;
    testsupport::TempDir logDir;
    FakeServices fake;
    geodataui::SerialGpsPort* port = nullptr;
    std::unique_ptr<GpsPanelController> controller;
};

TEST_F(GpsSerialTest, SentencesBecomeFixesOnThePageAndLinesOfTheDayLog) {
    EXPECT_EQ(port->PortName(), QString::fromStdString(pty.Name()));
    controller->btnStartGPSClick();
    ASSERT_TRUE(fake.messages.shown.empty()) << fake.messages.shown[0].text.toStdString();
    ASSERT_TRUE(controller->Following());
    ASSERT_TRUE(port->IsOpen());

    // Noise before the first "$" and a sentence split over two writes.
    pty.Send("garbage" + kGga.substr(0, 20));
    SendLine(kGga.substr(20));
    EXPECT_EQ(Markers(), 1);
    EXPECT_TRUE(fake.page.scripts.last().startsWith(
        QStringLiteral("addNavigationMarker(53.36133667,-6.50562000,8,61.70,")))
        << fake.page.scripts.last().toStdString();

    fake.clock.Advance(std::chrono::seconds(5));
    SendLine(kGnGga);
    EXPECT_EQ(Markers(), 1) << "5 s after the last fix shown";

    fake.clock.Advance(std::chrono::seconds(4));
    SendLine(kGnGga);
    EXPECT_EQ(Markers(), 2) << "9 s after the last fix shown";
    EXPECT_TRUE(fake.page.scripts.last().startsWith(
        QStringLiteral("addNavigationMarker(39.90833333,116.40000000,12,45.00,")));

    fake.clock.Advance(std::chrono::seconds(30));
    SendLine(kNoFixGga);
    SendLine(kRmc);
    EXPECT_EQ(Markers(), 2);

    EXPECT_EQ(
        testsupport::ReadFileBytes(LogFile()),
        kGga + "\r\n" + kGnGga + "\r\n" + kGnGga + "\r\n" + kNoFixGga + "\r\n" + kRmc + "\r\n");

    controller->btnStopGPSClick();
    EXPECT_FALSE(port->IsOpen());
    EXPECT_FALSE(controller->Connected());
    EXPECT_FALSE(controller->Following());
    pty.Send(kGga + "\r\n");
    fake.clock.Advance(std::chrono::seconds(30));
    WaitFor([] { return false; });  // give a stray line time to arrive
    EXPECT_EQ(Markers(), 2);
    EXPECT_EQ(LineCount(LogFile()), 5u);
}

TEST_F(GpsSerialTest, UnplugWhileFollowedEndsTheFollowingAndAFreshStartWorks) {
    controller->btnStartGPSClick();
    ASSERT_TRUE(controller->Following());
    SendLine(kGga);
    const std::string logBefore = testsupport::ReadFileBytes(engine::DefaultLogFileName());

    pty.Unplug();
    const bool ended = WaitFor([&] { return !controller->Following(); });
    // A dead port that is still read keeps the UI thread busy: it takes a whole core on an idle
    // machine, and still a share far above this on one where other builds take every core.
    // Waiting on nothing takes a few milliseconds.
    EXPECT_LT(CpuSecondsOverOneSecond(), 0.1);
    ASSERT_TRUE(ended) << "the panel still offers a stop";
    EXPECT_FALSE(controller->Connected());
    EXPECT_FALSE(port->IsOpen());
    const std::string logAfter = testsupport::ReadFileBytes(engine::DefaultLogFileName());
    const std::string added = logAfter.substr(std::min(logBefore.size(), logAfter.size()));
    EXPECT_EQ(std::count(added.begin(), added.end(), '\n'), 1) << added;
    EXPECT_NE(added.find("GPS: serial port " + pty.Name()), std::string::npos) << added;
    EXPECT_TRUE(fake.messages.shown.empty());

    PseudoTerminal fresh;
    ASSERT_TRUE(fresh.Ok());
    UsePort(fresh.Name());
    controller->btnStartGPSClick();
    ASSERT_TRUE(controller->Following());
    fake.clock.Advance(std::chrono::seconds(30));
    const int markers = Markers();
    const std::size_t before = LineCount(LogFile());
    fresh.Send(kGnGga + "\r\n");
    ASSERT_TRUE(WaitFor([&] { return LineCount(LogFile()) == before + 1; }));
    EXPECT_EQ(Markers(), markers + 1);
}

TEST_F(GpsSerialTest, ChosenPortThatIsGoneOpensNoOther) {
    present = {QString::fromStdString(pty.Name())};  // a port a fallback could take
    const std::string gone = (logDir.path() / "ttyUSB-unplugged").string();
    UsePort(gone);
    EXPECT_EQ(port->PortName(), QString::fromStdString(gone));
    controller->btnStartGPSClick();
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_EQ(fake.messages.shown[0].kind, QStringLiteral("plain"));
    EXPECT_EQ(fake.messages.shown[0].text, QStringLiteral("无法打开串口！"));
    EXPECT_FALSE(port->IsOpen());
    EXPECT_FALSE(controller->Following());
    EXPECT_TRUE(fake.page.scripts.isEmpty());
}

TEST_F(GpsSerialTest, FirstRunDefaultTakesThePortPresent) {
    present = {QString::fromStdString(pty.Name())};
    UsePort(geodata::ComPortSettings{}.Port);
    EXPECT_EQ(port->PortName(), QString::fromStdString(pty.Name()));
    controller->btnStartGPSClick();
    ASSERT_TRUE(fake.messages.shown.empty()) << fake.messages.shown[0].text.toStdString();
    ASSERT_TRUE(controller->Following());
    SendLine(kGga);
    EXPECT_EQ(Markers(), 1);
}

TEST_F(GpsSerialTest, PortThatCannotBeOpenedChangesNothing) {
    const std::string notADevice = (logDir.path() / "not-a-device").string();
    testsupport::WriteFileBytes(notADevice, "");
    UsePort(notADevice);
    controller->btnStartGPSClick();
    ASSERT_EQ(fake.messages.Texts(), QStringList{QStringLiteral("无法打开串口！")});
    EXPECT_FALSE(controller->Following());
    EXPECT_FALSE(port->IsOpen());
    EXPECT_TRUE(fake.page.scripts.isEmpty());
}

TEST(SerialGpsPort, OnlyTheFirstRunDefaultGivesWayToAPortPresent) {
    struct Case {
        std::string stored;
        QStringList present;
        QString opened;
    };
    const std::vector<Case> cases = {
        {"COM1", {"ttyS0", "ttyUSB0"}, "ttyS0"},
        {"com1", {"ttyUSB0"}, "ttyUSB0"},
        {"", {"ttyUSB0"}, "ttyUSB0"},
        {"COM1", {}, ""},
        {"ttyUSB0", {"ttyS0", "ttyUSB0"}, "ttyUSB0"},
        {"ttyUSB1", {"ttyS0", "ttyUSB0"}, "ttyUSB1"},
        {"/dev/no-such-port-here", {"ttyS0"}, "/dev/no-such-port-here"},
        {"ttyACM0", {}, "ttyACM0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored + " among " + c.present.join(u',').toStdString());
        geodataui::SerialGpsPort port([&c] { return c.present; });
        geodata::ComPortSettings settings;
        settings.Port = c.stored;
        port.ApplySettings(settings);
        EXPECT_EQ(port.PortName(), c.opened);
    }
}

}  // namespace
