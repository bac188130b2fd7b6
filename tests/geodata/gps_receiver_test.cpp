#include "geodata/gps/gps_receiver.h"

#include <ctime>
#include <stdexcept>
#include <string>
#include <system_error>
#include <vector>

#include <gtest/gtest.h>

#include "gga_cases.h"
#include "support/temp_dir.h"

namespace geodata {
namespace {

constexpr const char* kGga = "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47";
constexpr const char* kRmc = "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A";

class FakePort : public IGpsPort {
  public:
    explicit FakePort(bool canOpen) : canOpen_(canOpen) {}
    bool IsOpen() const override { return open_; }
    void Open() override {
        if (!canOpen_) {
            throw std::runtime_error("no such port");
        }
        open_ = true;
    }
    void Close() override { open_ = false; }

  private:
    bool canOpen_;
    bool open_ = false;
};

std::chrono::system_clock::time_point LocalTime(int year, int month, int day, int hour, int min,
                                                int sec) {
    std::tm tm{};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_hour = hour;
    tm.tm_min = min;
    tm.tm_sec = sec;
    tm.tm_isdst = -1;
    return std::chrono::system_clock::from_time_t(std::mktime(&tm));
}

struct Harness {
    explicit Harness(bool canOpen = true, std::filesystem::path logFolder = {})
        : folder(logFolder.empty() ? temp.path() / "Tracker" / "Tracker" : logFolder),
          receiver(std::make_unique<FakePort>(canOpen), NmeaDayLog(folder, [this] { return now; }),
                   [this](const std::string& m) { messages.push_back(m); }) {
        receiver.OnDataNotify = [this](GpsReceiver& sender, std::unique_ptr<TGPXwpt> point,
                                       int status) {
            EXPECT_EQ(&sender, &receiver);
            EXPECT_EQ(status, 0);
            points.push_back(std::move(point));
        };
    }
    std::string Log(const char* day = "20240315") const {
        return testsupport::ReadFileBytes(folder / (std::string(day) + ".nmea"));
    }

    testsupport::TempDir temp;
    std::filesystem::path folder;
    std::chrono::system_clock::time_point now = LocalTime(2024, 3, 15, 10, 0, 0);
    std::vector<std::string> messages;
    std::vector<std::unique_ptr<TGPXwpt>> points;
    GpsReceiver receiver;
};

TEST(GpsReceiver, GgaOfGpsAndCombinedReceiversGiveFixesAndEveryLineIsLogged) {
    Harness h;
    h.receiver.Start();
    ASSERT_TRUE(h.receiver.Connected());
    const std::string stream =
        std::string("noise") + kGga + "\r\n" + kRmc + "\r\n" +
        "$GLGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*5B\r\n"
        "$BDGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*5A\n"
        "$GNGGA,123520,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*5B\r\n";
    // Deliver in uneven pieces, as a serial port does.
    for (std::size_t i = 0; i < stream.size(); i += 7) {
        h.receiver.ComRxChar(std::string_view(stream).substr(i, 7));
    }
    ASSERT_EQ(h.points.size(), 2u);
    EXPECT_DOUBLE_EQ(h.points[0]->DateTime * 86400, 12 * 3600 + 35 * 60 + 19);
    EXPECT_DOUBLE_EQ(h.points[1]->DateTime * 86400, 12 * 3600 + 35 * 60 + 20) << "the GN sentence";
    EXPECT_EQ(h.Log(), std::string(kGga) + "\r\n" + kRmc + "\r\n" +
                           "$GLGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*5B\r\n"
                           "$BDGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*5A\r\n"
                           "$GNGGA,123520,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*5B\r\n");
}

TEST(GpsReceiver, PointsReadAsTheNmeaReaderReadsThem) {
    for (const auto& c : testing::GgaCases()) {
        Harness h;
        h.receiver.Start();
        h.receiver.ComRxChar(c.sentence + "\r\n");
        ASSERT_EQ(h.points.size(), 1u) << c.sentence;
        testing::ExpectPointOf(c, *h.points[0]);
    }
}

TEST(GpsReceiver, PortThatDoesNotOpenHandlesNothing) {
    Harness h(false);
    h.receiver.Start();
    EXPECT_FALSE(h.receiver.Connected());
    EXPECT_EQ(h.messages, std::vector<std::string>{"无法打开串口！"});
    h.receiver.ComRxChar(std::string(kGga) + "\r\n");
    EXPECT_TRUE(h.points.empty());
    EXPECT_FALSE(std::filesystem::exists(h.folder));
}

TEST(GpsReceiver, StopAndStartDiscardHalfALine) {
    Harness h;
    h.receiver.Start();
    h.receiver.ComRxChar("$GPGGA,123519,4807.0");
    h.receiver.Stop();
    EXPECT_FALSE(h.receiver.Connected());
    EXPECT_FALSE(h.receiver.Port().IsOpen());
    h.receiver.Start();
    h.receiver.ComRxChar(std::string("38,N,01131.000,E*00\r\n") + kGga + "\r\n");
    ASSERT_EQ(h.points.size(), 1u);
    EXPECT_EQ(h.Log(), std::string(kGga) + "\r\n");
}

TEST(GpsReceiver, LostConnectionEndsAsAStopDoesAndOnlyOnce) {
    Harness h;
    h.receiver.Start();
    h.receiver.ComRxChar("$GPGGA,123519,4807.0");
    EXPECT_TRUE(h.receiver.ConnectionLost());
    EXPECT_FALSE(h.receiver.Connected());
    EXPECT_FALSE(h.receiver.Port().IsOpen());
    EXPECT_FALSE(h.receiver.ConnectionLost()) << "nothing left to end";
    h.receiver.ComRxChar(std::string(kGga) + "\r\n");
    EXPECT_TRUE(h.points.empty());

    h.receiver.Start();
    h.receiver.ComRxChar(std::string("38,N,01131.000,E*00\r\n") + kGga + "\r\n");
    EXPECT_EQ(h.points.size(), 1u);
    EXPECT_EQ(h.Log(), std::string(kGga) + "\r\n");
}

TEST(GpsReceiver, LinesAfterLocalMidnightGoToTheNewDay) {
    Harness h;
    h.receiver.Start();
    h.now = LocalTime(2024, 3, 15, 23, 59, 59);
    h.receiver.ComRxChar(std::string(kRmc) + "\r\n");
    h.now = LocalTime(2024, 3, 16, 0, 0, 1);
    h.receiver.ComRxChar(std::string(kGga) + "\r\n");
    EXPECT_EQ(h.Log("20240315"), std::string(kRmc) + "\r\n");
    EXPECT_EQ(h.Log("20240316"), std::string(kGga) + "\r\n");
}

TEST(GpsReceiver, ErrorsOfOneLineDoNotLoseTheOthers) {
    // The log folder cannot be created: every fix is still handed over, then the error is raised.
    testsupport::TempDir temp;
    testsupport::WriteFileBytes(temp / "blocker", "a file, not a folder");
    Harness h(true, temp / "blocker" / "Tracker");
    h.receiver.Start();
    EXPECT_THROW(h.receiver.ComRxChar(std::string(kGga) + "\r\n" + kGga + "\r\n"),
                 std::system_error);
    EXPECT_EQ(h.points.size(), 2u);

    // A handler that raises on the first fix: that line is not logged, the next one is.
    Harness g;
    int calls = 0;
    g.receiver.OnDataNotify = [&](GpsReceiver&, std::unique_ptr<TGPXwpt>, int) {
        if (++calls == 1) {
            throw std::runtime_error("handler failed");
        }
    };
    g.receiver.Start();
    const std::string second = "$GNGGA,123520,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*5B";
    EXPECT_THROW(g.receiver.ComRxChar(std::string(kGga) + "\r\n" + second + "\r\n"),
                 std::runtime_error);
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(g.Log(), second + "\r\n");
}

}  // namespace
}  // namespace geodata
