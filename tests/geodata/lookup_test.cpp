// Web lookups against canned answers on the loopback server: request forms, the answer cache,
// and answers that must leave nothing behind.
#include "geodata/search/geocoder.h"

#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "engine/core/body_limits.h"
#include "engine/core/md5.h"
#include "geodata/search/query_encoding.h"
#include "geodata/text/encoding.h"
#include "lookup_test_support.h"
#include "support/peak_memory.h"

namespace {

using geodata::EncodeQueryParam;
using geodata::GeocodeAddress;
using geodata::LocateIP;
using geodata::QueryDistrict;
using geodata::SearchPartitionDistricts;
using geodata::TGeocodeResponse;
using geodata::TPartitionDistricts;
using lookuptest::LookupTest;
using testsupport::CannedAnswer;

TEST(EncodeQueryParam, EncodesReservedBlanksAndNonAsciiButLeavesUrlPunctuation) {
    struct Case {
        const char* text;
        const char* encoded;
    };
    const Case cases[] = {
        {"a&b", "a%26b"},
        {"1+1", "1%2B1"},
        {"k=v", "k%3Dv"},
        {"两 个\t字", "%E4%B8%A4%20%E4%B8%AA%09%E5%AD%97"},
        {"北京市", "%E5%8C%97%E4%BA%AC%E5%B8%82"},
        {"50%#*<>\"{}|\\^[]`", "50%25%23%2A%3C%3E%22%7B%7D%7C%5C%5E%5B%5D%60"},
        {"47,37|smartmaps", "47,37%7Csmartmaps"},
        {"http://a.b/c?d:e,f.g-h_i~j!'()$;@", "http://a.b/c?d:e,f.g-h_i~j!'()$;@"},
        {"", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(EncodeQueryParam(c.text), c.encoded) << c.text;
    }
}

TEST(LookupUrls, CarryTheFixedQueriesAndRoundTheDistrictPosition) {
    EXPECT_EQ(geodata::DistrictQueryUrl(39.914889, 116.403874),
              "https://ditu.google.cn/dist_query?l=39.91,116.40");
    EXPECT_EQ(geodata::DistrictQueryUrl(-0.005, 9.999),
              "https://ditu.google.cn/dist_query?l=-0.01,10.00");
    EXPECT_EQ(geodata::GeocodeUrl("上海"),
              "https://maps.google.cn/maps/api/geocode/json?address=%E4%B8%8A%E6%B5%B7"
              "&sensor=false&language=zh-cn");
    EXPECT_EQ(geodata::DistrictSearchUrl("a=b&c"),
              "https://restapi.amap.com/gss/simple?encode=utf-8&number=10&batch=1&range=3000"
              "&resType=json&retvalue=1&sid=1003&rid=799311&districtName=a%3Db%26c"
              "&uniqid=b81e4d92-0c5a-47f3-a6d8-2e9f0b13c7a4&ia=1"
              "&key=3f9a0c7b51d24e6a8b0f97c2d4e1a605");
    EXPECT_EQ(geodata::IPLocationUrl("10.0.0.1"),
              "https://api.map.baidu.com/location/ip?ak=A7c20e9b4f15d83e6a0b2c7d9e41f586"
              "&ip=10.0.0.1&coor=bd09ll");
}

TEST_F(LookupTest, DistrictAnswerInGbkIsReadAndSharedByPositionsOfTheSameHundredths) {
    const std::string url = geodata::DistrictQueryUrl(39.914889, 116.403874);
    const std::string gbkBody = geodata::Utf8ToGbk(R"({"report":"0","dist":"北京市,东城区"})");
    ASSERT_FALSE(geodata::IsValidUtf8(gbkBody));
    Answer(url, 200, gbkBody);

    std::string district;
    ASSERT_TRUE(QueryDistrict(cacheDir, 39.914889, 116.403874, district));
    EXPECT_EQ(district, "北京市,东城区");
    ASSERT_EQ(Targets(), std::vector<std::string>{"/ditu.google.cn/dist_query?l=39.91,116.40"});

    // The cache holds the answer's bytes as received, under the digest of the request.
    ASSERT_EQ(CacheFiles(), std::vector<std::string>{engine::StrMD5Hex(url)});
    EXPECT_EQ(testsupport::ReadFileBytes(cacheDir / engine::StrMD5Hex(url)), gbkBody);

    std::string again;
    ASSERT_TRUE(QueryDistrict(cacheDir, 39.9121, 116.4049, again));
    EXPECT_EQ(again, "北京市,东城区");
    EXPECT_EQ(Asked(url), 1);
}

TEST_F(LookupTest, GeocodingReadsTheFirstResultTrimsTheAddressAndAsksOnce) {
    const std::string address = "北京 东城&区+1=2";
    const std::string url = geodata::GeocodeUrl(address);
    Answer(url, 200, R"({"results":[{"formatted_address":"中国北京市东城区 邮政编码: 100010",
        "geometry":{"location":{"lat":39.914889,"lng":116.403874}}},
        {"formatted_address":"second","geometry":{"location":{"lat":1,"lng":2}}}],"status":"OK"})");

    TGeocodeResponse response;
    response.Viewport.NorthEast = {40.0, 117.0};
    ASSERT_TRUE(GeocodeAddress(cacheDir, address, response));
    EXPECT_EQ(response.Status, "OK");
    EXPECT_EQ(response.location.lat, 39.914889f);
    EXPECT_EQ(response.location.lng, 116.403874f);
    EXPECT_EQ(response.Formatted_address, "北京市东城区 ");
    EXPECT_EQ(response.Viewport.NorthEast.lat, 40.0);  // not touched

    // "&", "+", "=", blanks and Chinese text all travel encoded.
    ASSERT_EQ(Targets(), std::vector<std::string>{
                             "/maps.google.cn/maps/api/geocode/json?address=%E5%8C%97%E4%BA%AC%20"
                             "%E4%B8%9C%E5%9F%8E%26%E5%8C%BA%2B1%3D2&sensor=false&language=zh-cn"});

    TGeocodeResponse cached;
    ASSERT_TRUE(GeocodeAddress(cacheDir, address, cached));
    EXPECT_EQ(cached.Formatted_address, "北京市东城区 ");
    EXPECT_EQ(Asked(url), 1);
}

TEST_F(LookupTest, GeocodingWithoutResultStillTrimsTheCallersAddress) {
    Answer(geodata::GeocodeUrl("无名"), 200, R"({"results":[],"status":"ZERO_RESULTS"})");
    TGeocodeResponse response;
    response.Status = "earlier";
    response.Formatted_address = "中国上海市 邮政编码 200000";
    EXPECT_EQ(GeocodeAddress(cacheDir, "无名", response).status(),
              geodata::LookupResult::Status::NotFound);
    EXPECT_EQ(response.Status, "earlier");
    EXPECT_EQ(response.Formatted_address, "上海市 ");
    EXPECT_TRUE(CacheFiles().empty());
}

TEST_F(LookupTest, DistrictSearchUnwrapsACallbackAndReadsNoMoreThanTheList) {
    const std::string url = geodata::DistrictSearchUrl("东城区");
    // "total" announces three districts, the list holds two.
    Answer(url, 200, R"(jsonp_12({"status":"E0","total":"3","list":[
        {"name":"东城区","citycode":"010","adcode":"110101","coords":"116.38,39.87;116.44,39.96",
         "srctype":"district"},
        {"name":"东城区","citycode":"0769","adcode":"441900","coords":"113.7,23.0;113.8,23.1"}]});)");

    TPartitionDistricts districts;
    ASSERT_TRUE(SearchPartitionDistricts(cacheDir, "东城区", districts));
    ASSERT_EQ(districts.size(), 2u);
    EXPECT_EQ(districts[0].name, "东城区");
    EXPECT_EQ(districts[0].citycode, "010");
    EXPECT_EQ(districts[0].adcode, "110101");
    EXPECT_EQ(districts[0].coords, "116.38,39.87;116.44,39.96");
    EXPECT_EQ(districts[0].srctype, "district");
    EXPECT_EQ(districts[1].adcode, "441900");
    EXPECT_EQ(districts[1].srctype, "");

    TPartitionDistricts cached;
    ASSERT_TRUE(SearchPartitionDistricts(cacheDir, "东城区", cached));
    EXPECT_EQ(cached.size(), 2u);
    EXPECT_EQ(Asked(url), 1);
    EXPECT_EQ(CacheFiles(), std::vector<std::string>{engine::StrMD5Hex(url)});
}

// A readable answer that names no place is "nothing found", not a failure.
TEST_F(LookupTest, AnswersThatNameNothingAreNotFoundRatherThanFailed) {
    Answer(geodata::DistrictSearchUrl("无名区"), 200, R"({"status":"E0","total":"0","list":[]})");
    TPartitionDistricts districts;
    const geodata::LookupResult district = SearchPartitionDistricts(cacheDir, "无名区", districts);
    EXPECT_EQ(district.status(), geodata::LookupResult::Status::NotFound);
    EXPECT_FALSE(district);
    EXPECT_TRUE(districts.empty());
    EXPECT_TRUE(CacheFiles().empty());
}

TEST_F(LookupTest, IpLocationIsCachedUnderTheDottedAddress) {
    const std::string body =
        R"({"address":"CN|北京|北京","content":{"address":"北京市",
        "point":{"x":"116.39564504","y":"39.92998578"}},"status":0})";
    for (const char* ip : {"10.0.0.1", "1.11.1.1", "11.1.1.1"}) {
        Answer(geodata::IPLocationUrl(ip), 200, body);
    }

    std::string address;
    engine::TGLatLng position;
    ASSERT_TRUE(LocateIP(cacheDir, "10.0.0.1", address, position));
    EXPECT_EQ(address, "北京市");
    EXPECT_EQ(position.lat, 39.92998578);
    EXPECT_EQ(position.lng, 116.39564504);
    EXPECT_EQ(CacheFiles(), std::vector<std::string>{engine::StrMD5Hex("10.0.0.1ip.json")});

    // Addresses that differ only in their dots are different questions.
    ASSERT_TRUE(LocateIP(cacheDir, "1.11.1.1", address, position));
    ASSERT_TRUE(LocateIP(cacheDir, "11.1.1.1", address, position));
    ASSERT_TRUE(LocateIP(cacheDir, "10.0.0.1", address, position));
    EXPECT_EQ(Targets().size(), 3u);
    EXPECT_EQ(CacheFiles().size(), 3u);

    // A text that could add parameters to the query is never sent.
    address = "kept";
    EXPECT_FALSE(LocateIP(cacheDir, "1.2.3.4&coor=gcj02", address, position));
    EXPECT_FALSE(LocateIP(cacheDir, "", address, position));
    EXPECT_EQ(address, "kept");
    EXPECT_EQ(Targets().size(), 3u);
}

// Every lookup against every kind of answer that yields no result: the lookup failed, the
// caller's values stay, no cache file is left, the next call asks the service again, and broken
// answers are logged.
TEST_F(LookupTest, AnswersWithoutResultLeaveNothingCachedAndTheCallersValuesAlone) {
    struct Lookup {
        const char* name;  // as it appears in the log
        std::string url;
        std::string statusError;
        std::string malformed;
        std::function<geodata::LookupResult()> run;  // checks that the caller's values stay
    };
    const std::filesystem::path cache = cacheDir;
    const std::vector<Lookup> lookups = {
        {"District query", geodata::DistrictQueryUrl(30.5, 114.3), R"({"report":"1","dist":"x"})",
         R"({"report":"0","dist":)",
         [cache] {
             std::string district = "kept";
             const geodata::LookupResult found = QueryDistrict(cache, 30.5, 114.3, district);
             EXPECT_EQ(district, "kept");
             return found;
         }},
        {"Geocoding", geodata::GeocodeUrl("武汉"), R"({"status":"OVER_QUERY_LIMIT"})",
         R"({"status":"OK","results":[{"geometry":{"location":{"lat":"north","lng":1}}}]})",
         [cache] {
             TGeocodeResponse response;
             response.Status = "kept";
             response.location.lat = 1.5f;
             const geodata::LookupResult found = GeocodeAddress(cache, "武汉", response);
             EXPECT_EQ(response.Status, "kept");
             EXPECT_EQ(response.location.lat, 1.5f);
             return found;
         }},
        {"District search", geodata::DistrictSearchUrl("武汉市"), R"({"status":"E1","total":"0"})",
         R"({"status":"E0","total":"many","list":[{"name":"武汉市"}]})",
         [cache] {
             TPartitionDistricts districts(1);
             districts[0].name = "kept";
             const geodata::LookupResult found =
                 SearchPartitionDistricts(cache, "武汉市", districts);
             EXPECT_EQ(districts.size(), 1u);
             EXPECT_EQ(districts[0].name, "kept");
             return found;
         }},
        {"IP location", geodata::IPLocationUrl("1.2.3.4"),
         R"({"status":2,"message":"Request Parameter Error:ip illegal"})",
         R"({"status":"0","content":{"address":"x","point":{"x":"116.4"}}})",
         [cache] {
             std::string address = "kept";
             engine::TGLatLng position{1, 2};
             const geodata::LookupResult found = LocateIP(cache, "1.2.3.4", address, position);
             EXPECT_EQ(address, "kept");
             EXPECT_EQ(position, (engine::TGLatLng{1, 2}));
             return found;
         }},
    };

    enum class Kind {
        StatusError,
        NotFoundPage,
        EmptyBody,
        Malformed,
        NotAnObject,
        CutShort,
        Endless
    };
    struct AnswerCase {
        const char* label;
        Kind kind;
        bool logged;
    };
    const AnswerCase answers[] = {
        {"status error", Kind::StatusError, true}, {"404 page", Kind::NotFoundPage, true},
        {"empty body", Kind::EmptyBody, false},    {"malformed", Kind::Malformed, true},
        {"JSON array", Kind::NotAnObject, true},   {"cut-short transfer", Kind::CutShort, true},
        {"endless body", Kind::Endless, true},
    };

    for (const AnswerCase& answerCase : answers) {
        for (const Lookup& lookup : lookups) {
            SCOPED_TRACE(std::string(lookup.name) + ", " + answerCase.label);
            CannedAnswer answer = lookuptest::JsonAnswer(200, "");
            switch (answerCase.kind) {
                case Kind::StatusError:
                    answer.body = lookup.statusError;
                    break;
                case Kind::NotFoundPage:
                    answer.status = 404;
                    answer.contentType = "text/html";
                    answer.body = "<html><body><h1>404 Not Found</h1></body></html>";
                    break;
                case Kind::EmptyBody:
                    break;
                case Kind::Malformed:
                    answer.body = lookup.malformed;
                    break;
                case Kind::NotAnObject:
                    answer.body = "[1,2,3]";
                    break;
                case Kind::CutShort:
                    answer.body = lookup.statusError;
                    answer.fault = CannedAnswer::Fault::TruncatedBody;
                    answer.sentBytes = 4;
                    break;
                case Kind::Endless:
                    answer.body = lookup.statusError;
                    answer.fault = CannedAnswer::Fault::EndlessBody;
                    break;
            }
            server.SetAnswer(ServerPath(lookup.url), answer);
            const int askedBefore = Asked(lookup.url);
            const std::size_t logBefore = LogText().size();

            // Each of these answers is a failed lookup, never an empty one.
            EXPECT_EQ(lookup.run().status(), geodata::LookupResult::Status::Failed);
            EXPECT_TRUE(CacheFiles().empty());
            EXPECT_EQ(Asked(lookup.url), askedBefore + 1);
            const std::string newLog = LogText().substr(logBefore);
            EXPECT_EQ(newLog.find(lookup.name) != std::string::npos, answerCase.logged) << newLog;

            EXPECT_FALSE(lookup.run());
            EXPECT_EQ(Asked(lookup.url), askedBefore + 2);
        }
    }
}

// A service that never ends its answer: the lookup fails near the answer limit with memory
// flat, nothing is cached, and the next lookup of the same request gets its answer.
TEST_F(LookupTest, EndlessAnswerFailsTheLookupWithFlatMemoryAndTheNextOneWorks) {
    const std::string url = geodata::GeocodeUrl("无尽");
    CannedAnswer endless = lookuptest::JsonAnswer(200, "");
    endless.fault = CannedAnswer::Fault::EndlessBody;
    server.SetAnswer(ServerPath(url), endless);
    const std::size_t peakBefore = testsupport::PeakResidentBytes();
    TGeocodeResponse response;
    EXPECT_FALSE(GeocodeAddress(cacheDir, "无尽", response));
    const std::size_t limit = engine::kMaxLookupAnswerBytes;
    EXPECT_LT(testsupport::PeakResidentBytes() - peakBefore, 2 * limit + (8u << 20));
    EXPECT_LT(server.EndlessBytesSent(), limit + (16u << 20));
    EXPECT_TRUE(CacheFiles().empty());
    EXPECT_NE(LogText().find("larger than"), std::string::npos) << LogText();

    Answer(url, 200, R"({"results":[{"formatted_address":"无尽 ",
        "geometry":{"location":{"lat":30.5,"lng":114.25}}}],"status":"OK"})");
    ASSERT_TRUE(GeocodeAddress(cacheDir, "无尽", response));
    EXPECT_EQ(response.location.lng, 114.25f);
    EXPECT_EQ(CacheFiles().size(), 1u);
}

TEST_F(LookupTest, ACachedFailingAnswerIsDeletedWithoutAskingAgain) {
    const std::string url = geodata::GeocodeUrl("旧");
    testsupport::WriteFileBytes(cacheDir / engine::StrMD5Hex(url),
                                R"({"status":"INVALID_REQUEST"})");
    TGeocodeResponse response;
    EXPECT_FALSE(GeocodeAddress(cacheDir, "旧", response));
    EXPECT_TRUE(CacheFiles().empty());
    EXPECT_EQ(Asked(url), 0);
}

TEST_F(LookupTest, ConcurrentLookupsOfOneRequestAllSucceedAndLeaveOneGoodFile) {
    const std::string url = geodata::GeocodeUrl("广州");
    const std::string body =
        R"({"results":[{"formatted_address":"广州市","geometry":{"location":{"lat":23.13,"lng":113.26}}}],"status":"OK"})";
    CannedAnswer slow = lookuptest::JsonAnswer(200, body);
    slow.delay = std::chrono::milliseconds(50);
    server.SetAnswer(ServerPath(url), slow);

    std::vector<int> found(6, 0);
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < found.size(); ++i) {
        threads.emplace_back([&, i] {
            TGeocodeResponse response;
            found[i] = GeocodeAddress(cacheDir, "广州", response) &&
                       response.Formatted_address == "广州市";
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(found, std::vector<int>(6, 1));
    ASSERT_EQ(CacheFiles(), std::vector<std::string>{engine::StrMD5Hex(url)});
    EXPECT_EQ(testsupport::ReadFileBytes(cacheDir / engine::StrMD5Hex(url)), body);
}

}  // namespace
