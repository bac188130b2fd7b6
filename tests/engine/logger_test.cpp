#include "engine/log/logger.h"

#include <ctime>
#include <regex>
#include <set>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace engine {
namespace {

// A local wall-clock time, whatever the time zone of the test run.
LogClock::time_point LocalTimePoint(int year, int month, int day, int hour, int minute, int second,
                                    int millisecond) {
    std::tm tm{};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_hour = hour;
    tm.tm_min = minute;
    tm.tm_sec = second;
    tm.tm_isdst = -1;
    return LogClock::from_time_t(std::mktime(&tm)) + std::chrono::milliseconds(millisecond);
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (auto end = text.find("\r\n"); end != std::string::npos; end = text.find("\r\n", start)) {
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    EXPECT_EQ(start, text.size()) << "the file does not end with a whole line";
    return lines;
}

// Points the daily log at a temporary folder for one test.
class LoggerTest : public ::testing::Test {
  protected:
    void SetUp() override { SetLogFolder(dir_ / "state/Vantorel/log"); }
    void TearDown() override { SetLogFolder({}); }
    testsupport::TempDir dir_;
};

TEST(LogStamps, FormatTheLocalTime) {
    const auto t = LocalTimePoint(2014, 7, 3, 15, 4, 5, 123);
    EXPECT_EQ(LogTimeStamp(t), "2014.07.03 15:04:05.123");
    EXPECT_EQ(LogDateStamp(t), "20140703");
    EXPECT_EQ(FormatLogLine("x", t), "[2014.07.03 15:04:05.123] x\r\n");
    EXPECT_EQ(LogTimeStamp(LocalTimePoint(2009, 12, 31, 0, 0, 0, 7)), "2009.12.31 00:00:00.007");
}

TEST_F(LoggerTest, DailyFileFollowsTheDateAndItsFolderIsCreated) {
    const auto folder = dir_ / "state/Vantorel/log";
    EXPECT_EQ(DefaultLogFileName(LocalTimePoint(2014, 7, 3, 23, 59, 59, 999)),
              folder / "20140703.log");
    EXPECT_TRUE(std::filesystem::is_directory(folder));
    EXPECT_EQ(DefaultLogFileName(LocalTimePoint(2014, 7, 4, 0, 0, 0, 0)), folder / "20140704.log");
    EXPECT_EQ(TaskLogFileName("北京 z18"), folder / "北京 z18.log");

    EXPECT_EQ(DefaultLogFolderFor(XdgBaseDirs{"/h", "/h/.config", "/h/.cache", "/h/.local/share",
                                              "/h/.local/state"}),
              "/h/.local/state/Vantorel/log");
}

TEST_F(LoggerTest, AppendsWholeLinesToTheNamedOrTheDailyFile) {
    EXPECT_TRUE(AppendLog(""));
    EXPECT_FALSE(std::filesystem::exists(dir_ / "state")) << "an empty message touched a file";

    const auto named = dir_ / "new/folder/task.log";
    ASSERT_TRUE(AppendLog("first", named));
    ASSERT_TRUE(AppendLog("瓦片下载失败: 18/215837/99333\nsecond physical line", named));
    const auto lines = Lines(testsupport::ReadFileBytes(named));
    ASSERT_EQ(lines.size(), 2u);
    const std::regex stamped(R"(\[\d{4}\.\d\d\.\d\d \d\d:\d\d:\d\d\.\d{3}\] ([\s\S]*))");
    std::smatch match;
    ASSERT_TRUE(std::regex_match(lines[0], match, stamped)) << lines[0];
    EXPECT_EQ(match[1], "first");
    ASSERT_TRUE(std::regex_match(lines[1], match, stamped)) << lines[1];
    EXPECT_EQ(match[1], "瓦片下载失败: 18/215837/99333\nsecond physical line");

    const std::string before = LogDateStamp();
    ASSERT_TRUE(AppendLog("daily"));
    const std::string after = LogDateStamp();
    const auto folder = dir_ / "state/Vantorel/log";
    const auto daily = std::filesystem::exists(folder / (before + ".log"))
                           ? folder / (before + ".log")
                           : folder / (after + ".log");
    const auto dailyLines = Lines(testsupport::ReadFileBytes(daily));
    ASSERT_EQ(dailyLines.size(), 1u);
    EXPECT_TRUE(dailyLines[0].ends_with("] daily"));
}

TEST_F(LoggerTest, ManyThreadsGiveWholeLines) {
    const auto file = dir_ / "threads.log";
    constexpr int kThreads = 8;
    constexpr int kLines = 400;
    const std::string payload(200, 'p');
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < kLines; ++i) {
                AppendLog("T" + std::to_string(t) + " L" + std::to_string(i) + " " + payload, file);
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    const std::regex line(R"(\[[0-9. :]{23}\] T([0-9]+) L([0-9]+) p{200})");
    std::set<std::pair<int, int>> seen;
    for (const auto& text : Lines(testsupport::ReadFileBytes(file))) {
        std::smatch match;
        ASSERT_TRUE(std::regex_match(text, match, line)) << text;
        seen.insert({std::stoi(match[1]), std::stoi(match[2])});
    }
    EXPECT_EQ(seen.size(), static_cast<std::size_t>(kThreads * kLines));
}

TEST_F(LoggerTest, FailureNeverThrowsAndIsReportedOnce) {
    testsupport::WriteFileBytes(dir_ / "plain", "a file, not a folder");
    const auto impossible = dir_ / "plain/task.log";
    ::testing::internal::CaptureStderr();
    bool first = true;
    bool second = true;
    EXPECT_NO_THROW(first = AppendLog("lost", impossible));
    EXPECT_NO_THROW(second = AppendLog("lost again", impossible));
    const std::string report = ::testing::internal::GetCapturedStderr();
    EXPECT_FALSE(first);
    EXPECT_FALSE(second);
    const auto at = report.find(impossible.string());
    ASSERT_NE(at, std::string::npos) << report;
    EXPECT_EQ(report.find(impossible.string(), at + 1), std::string::npos) << report;
    // Another file still works afterwards.
    EXPECT_TRUE(AppendLog("fine", dir_ / "ok.log"));
}

}  // namespace
}  // namespace engine
