// Place search against canned pages on the loopback server.
#include "geodata/search/poi_searcher.h"

#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <httplib.h>

#include "engine/core/md5.h"
#include "lookup_test_support.h"

namespace {

using geodata::TPOIData;
using geodata::TPOISearcher;
using geodata::TRequestParams;
using geodata::TResponse;
using lookuptest::LookupTest;
using testsupport::CannedAnswer;

TRequestParams Request(int pageIndex) {
    TRequestParams params;
    params.Keyword = "加油站 & 餐厅";
    params.PageSize = 2;
    params.PageIndex = pageIndex;
    params.Key = "never sent";
    params.Region = "北京市";
    params.Bounds = geodata::FormatSearchBounds(39.9, 116.3, 40.0, 116.5);
    params.ak = "KEY123";
    return params;
}

TEST(PlaceSearchRequest, CarriesEitherBoundsOrRegionAndTheTagOnlyWhenGiven) {
    const std::string head =
        "https://api.map.baidu.com/place/v2/search?ak=KEY123&output=json"
        "&query=%E5%8A%A0%E6%B2%B9%E7%AB%99%20%26%20%E9%A4%90%E5%8E%85&page_size=2&page_num=3"
        "&scope=2";
    struct Case {
        bool isBound;
        const char* tag;
        std::string tail;
    };
    const Case cases[] = {
        {false, "", "&region=%E5%8C%97%E4%BA%AC%E5%B8%82"},
        {false, "美食", "&region=%E5%8C%97%E4%BA%AC%E5%B8%82&tag=%E7%BE%8E%E9%A3%9F"},
        {true, "", "&bounds=39.900000,116.300000,40.000000,116.500000"},
        {true, "a+b", "&bounds=39.900000,116.300000,40.000000,116.500000&tag=a%2Bb"},
    };
    for (const Case& c : cases) {
        TRequestParams params = Request(3);
        params.IsBound = c.isBound;
        params.Tag = c.tag;
        EXPECT_EQ(TPOISearcher::RequestUrl(params), head + c.tail) << c.isBound << " " << c.tag;
    }
    EXPECT_EQ(geodata::FormatSearchBounds(-1.0000004, 0.12345651, 2, 179.9999996),
              "-1.000000,0.123457,2.000000,180.000000");
}

constexpr const char* kPage0 = R"({"status":0,"message":"ok","total":3,"results":[
    {"name":"中石化加油站","location":{"lat":39.915119,"lng":116.403963},"address":"东长安街1号",
     "telephone":"(010)12345678","uid":"a1b2",
     "detail_info":{"tag":"交通设施;加油站","type":"car","detail_url":"http://example.test/a1b2"}},
    {"name":"无位置","uid":"c3d4"}]})";
constexpr const char* kPage1 = R"({"status":0,"message":"ok","total":3,"results":[
    {"name":"第三","uid":"e5f6","location":{"lat":"39.9","lng":"116.4"}}]})";
constexpr const char* kBeyond = R"({"status":0,"message":"ok","total":3,"results":[]})";

class PlaceSearchTest : public LookupTest {
  protected:
    void SetUp() override {
        LookupTest::SetUp();
        server.SetHandler(
            ServerPath(std::string(geodata::kPlaceSearchHost) + "/place/v2/search"),
            [this](const httplib::Request& req, httplib::Response& res) {
                const std::string page = req.get_param_value("page_num");
                const char* body = page == "0" ? kPage0 : page == "1" ? kPage1 : kBeyond;
                server.Serve(lookuptest::JsonAnswer(200, body), req, res);
            });
    }

    // Pages in order, as the main window asks for them, until one comes back empty; with how
    // each page ended.
    std::vector<std::vector<TPOIData>> AllPages(
        TResponse& response, std::vector<geodata::LookupResult::Status>* results = nullptr) {
        std::vector<std::vector<TPOIData>> pages;
        TPOISearcher searcher(cacheDir);
        for (int index = 0; index < 5; ++index) {
            pages.push_back(searcher.Get(Request(index), response));
            if (results != nullptr) {
                results->push_back(searcher.LastResult().status());
            }
            if (pages.back().empty()) {
                break;
            }
        }
        return pages;
    }
};

TEST_F(PlaceSearchTest, ReadsPlacesPageByPageAndCachesOnlyPagesWithPlaces) {
    TResponse response;
    std::vector<geodata::LookupResult::Status> results;
    const std::vector<std::vector<TPOIData>> pages = AllPages(response, &results);
    ASSERT_EQ(pages.size(), 3u);
    // The page beyond the last is a readable answer without places: nothing found, no failure.
    using Status = geodata::LookupResult::Status;
    EXPECT_EQ(results, (std::vector<Status>{Status::Found, Status::Found, Status::NotFound}));
    ASSERT_EQ(pages[0].size(), 2u);
    ASSERT_EQ(pages[1].size(), 1u);
    EXPECT_TRUE(pages[2].empty());
    EXPECT_EQ(response.status, "0");
    EXPECT_EQ(response._message, "ok");
    EXPECT_EQ(response.total, 3);

    const TPOIData& first = pages[0][0];
    EXPECT_EQ(first.uid, "a1b2");
    EXPECT_EQ(first.name, "中石化加油站");
    EXPECT_EQ(first.address, "东长安街1号");
    EXPECT_EQ(first.telephone, "(010)12345678");
    EXPECT_EQ(first.location, (engine::TGLatLng{39.915119, 116.403963}));
    EXPECT_EQ(first.detail._type, "car");
    EXPECT_EQ(first.detail.tag, "交通设施;加油站");
    EXPECT_EQ(first.detail.url, "http://example.test/a1b2");
    // A place without location and details keeps 0, 0 and empty texts.
    EXPECT_EQ(pages[0][1].location, (engine::TGLatLng{0, 0}));
    EXPECT_EQ(pages[0][1].detail.url, "");
    EXPECT_EQ(pages[0][1].address, "");
    EXPECT_EQ(pages[1][0].location, (engine::TGLatLng{39.9, 116.4}));

    // The service sees the encoded request exactly as formed.
    std::vector<std::string> expected;
    for (int index = 0; index < 3; ++index) {
        expected.push_back(ServerTarget(TPOISearcher::RequestUrl(Request(index))));
    }
    EXPECT_EQ(Targets(), expected);

    // Only the two pages with places are kept; asking again reads them from the cache.
    std::vector<std::string> cached = {engine::StrMD5Hex(TPOISearcher::RequestUrl(Request(0))),
                                       engine::StrMD5Hex(TPOISearcher::RequestUrl(Request(1)))};
    std::sort(cached.begin(), cached.end());
    EXPECT_EQ(CacheFiles(), cached);
    server.ClearRequests();
    TResponse again;
    EXPECT_EQ(AllPages(again).size(), 3u);
    EXPECT_EQ(Targets(), std::vector<std::string>{expected[2]});
    EXPECT_EQ(again.total, 3);
}

TEST_F(PlaceSearchTest, BrokenOrFailingPagesFailReturnNothingAndLeaveNoCacheFile) {
    struct Case {
        const char* label;
        CannedAnswer answer;
        TResponse expected;  // from a caller's {"s", "m", 7}
        bool logged;
    };
    CannedAnswer dropped;
    dropped.fault = CannedAnswer::Fault::DropConnection;
    const Case cases[] = {
        {"dropped connection", dropped, {"s", "m", 7}, true},
        {"empty body", lookuptest::JsonAnswer(200, ""), {"s", "m", 7}, false},
        {"not JSON", lookuptest::JsonAnswer(502, "<html>Bad Gateway</html>"), {"s", "m", 7}, true},
        {"HTTP 500", lookuptest::JsonAnswer(500, "Internal Server Error"), {"s", "m", 7}, true},
        {"status error",
         lookuptest::JsonAnswer(200, R"({"status":2,"message":"Parameter Invalid"})"),
         {"2", "m", 7},
         true},
        {"unreadable total",
         lookuptest::JsonAnswer(200, R"({"status":0,"message":"ok","total":"many","results":[]})"),
         {"0", "ok", 7},
         true},
        {"unreadable coordinate",
         lookuptest::JsonAnswer(
             200,
             R"({"status":0,"message":"ok","total":1,"results":[{"uid":"x","location":{"lat":"?","lng":1}}]})"),
         {"0", "ok", 1},
         true},
    };
    TRequestParams params = Request(0);
    params.Keyword = "失败";
    const std::string url = TPOISearcher::RequestUrl(params);
    TPOISearcher searcher(cacheDir);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        server.SetAnswer(ServerPath(url), c.answer);
        const std::size_t logBefore = LogText().size();
        for (int attempt = 1; attempt <= 2; ++attempt) {
            TResponse response{"s", "m", 7};
            EXPECT_TRUE(searcher.Get(params, response).empty());
            EXPECT_TRUE(searcher.LastResult().Failed());
            EXPECT_EQ(response.status, c.expected.status);
            EXPECT_EQ(response._message, c.expected._message);
            EXPECT_EQ(response.total, c.expected.total);
            EXPECT_TRUE(CacheFiles().empty());
        }
        EXPECT_EQ(server.RequestCount(ServerPath(url)), 2);
        server.ClearRequests();
        EXPECT_EQ(LogText().substr(logBefore).find("Place search") != std::string::npos, c.logged);
    }
}

}  // namespace
