#include "engine/core/profile_name.h"

#include <gtest/gtest.h>

namespace engine {
namespace {

LocalTimeSource FixedTime(int month, int day, int hour, int minute) {
    return [=] {
        std::tm t{};
        t.tm_year = 126;
        t.tm_mon = month - 1;
        t.tm_mday = day;
        t.tm_hour = hour;
        t.tm_min = minute;
        t.tm_sec = 59;
        return t;
    };
}

TEST(ProfileName, CaptionFollowedByMonthDayHourMinute) {
    EXPECT_EQ(MakeProfileName(TMapType::mtGoogleSatellite, FixedTime(1, 5, 7, 3)),
              "谷歌卫星01050703");
    EXPECT_EQ(MakeProfileName(TMapType::mtArcGIS_Community, FixedTime(12, 31, 23, 59)),
              "ArcGIS彩色版(含POI)12312359");
    EXPECT_EQ(MakeProfileName(TMapType::mtOsmRoadMap, FixedTime(10, 10, 0, 0)), "OSM10100000");
}

TEST(ProfileName, CurrentTimeGivesEightDigits) {
    const std::string name = MakeProfileName(TMapType::mtSmartearth);
    ASSERT_EQ(name.size(), std::string("SmartEarth").size() + 8);
    EXPECT_EQ(name.rfind("SmartEarth", 0), 0u);
    for (char c : name.substr(10)) {
        EXPECT_TRUE(c >= '0' && c <= '9') << name;
    }
}

}  // namespace
}  // namespace engine
