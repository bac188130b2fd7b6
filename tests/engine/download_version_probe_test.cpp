// Picking the current tile versions out of the provider pages: only values of exactly the
// expected digits are stored, and a missing or malformed one leaves the setting alone.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "engine/download/tile_version_probe.h"
#include "support/tile_server.h"

using namespace engine;
namespace ta = testsupport::tileanswers;

namespace {

struct RecordingStore : ITileVersionStore {
    void StoreTileVersion(std::string_view name, const std::string& value) override {
        values[std::string(name)] = value;
    }
    std::map<std::string, std::string> values;
};

std::map<std::string, std::string> Stored(const TileVersions& versions) {
    RecordingStore store;
    StoreTileVersions(versions, store);
    return store.values;
}

const char* const kLoader =
    "window.google = {};getScript(\"https://mts0.google.com/vt?lyrs=m@111111111&hl=zh-CN\","
    "\"https://mts1.google.com/vt?lyrs=m@222222222&hl=zh-CN\"],[\"https://khms0.google.com/"
    "kh?v=145&x=\"],[\"lyrs=m@333333333,h@x\",\"s@145&\"]);";

}  // namespace

TEST(TileVersionProbe, GoogleLoaderGivesRoadVersionAfterTheThirdMarkerAndSatelliteVersion) {
    struct Case {
        const char* name;
        std::string script;
        std::map<std::string, std::string> stored;
    };
    const std::vector<Case> cases = {
        {"nine and three digits",
         kLoader,
         {{"RoadMapTileVer", "333333333"}, {"SatMapTileVer", "145"}, {"SatMapTileVerNew", "145"}}},
        {"a comma within the nine characters",
         "m@111111111 m@222222222 m@3333,3333 s@152",
         {{"SatMapTileVer", "152"}, {"SatMapTileVerNew", "152"}}},
        {"fewer than nine characters left", "m@111111111 m@222222222 m@33333", {}},
        {"only two markers: no version from elsewhere", "m@123456789 m@234567890 s@1x2", {}},
        {"markers closer than nine characters count once",
         "m@1m@2m@3 m@444444444 m@555555555",
         {{"RoadMapTileVer", "555555555"}}},
        {"satellite version too short at the end", "s@15", {}},
        {"no markers at all", "<html>blocked</html>", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TileVersions versions;
        ParseGoogleLoader(c.script, versions);
        EXPECT_EQ(Stored(versions), c.stored);
    }
}

TEST(TileVersionProbe, BaiduPageGivesTheThreeGroupsOfTheDituObject) {
    const std::string full =
        "<script>var a=1;window.TVC={\"ditu\":{\"normal\":{\"version\":\"088\",\"updateDate\":"
        "\"20231201\"},\"satellite\":{\"version\":\"009\",\"updateDate\":\"20230101\"},"
        "\"satelliteStreet\":{\"version\":\"083\",\"updateDate\":\"20231202\"}}};"
        "window.other={}</script>";
    struct Case {
        const char* name;
        std::string page;
        std::map<std::string, std::string> stored;
    };
    const std::vector<Case> cases = {
        {"all three groups",
         full,
         {{"BNormalVer", "088"},
          {"BNormalUDT", "20231201"},
          {"BSatelliteVer", "009"},
          {"BSatelliteUDT", "20230101"},
          {"BSatelliteStreetVer", "083"},
          {"BSatelliteStreetUDT", "20231202"}}},
        {"a group without version keeps the stored version",
         "window.TVC={\"ditu\":{\"normal\":{\"updateDate\":\"20231201\"}}};",
         {{"BNormalUDT", "20231201"}}},
        {"empty values and wrong lengths are no versions; a number counts by its digits",
         "window.TVC={\"ditu\":{\"normal\":{\"version\":\"\",\"updateDate\":20231201},"
         "\"satellite\":{\"version\":88,\"updateDate\":\"2023-1-1\"}}};",
         {{"BNormalUDT", "20231201"}}},
        {"pair names are compared exactly",
         "window.TVC={\"ditu\":{\"Normal\":{\"version\":\"088\",\"updateDate\":\"20231201\"}}};",
         {}},
        {"not JSON", "window.TVC={ditu:{normal:{version:'088'}}};", {}},
        {"no marker", "<html>map</html>", {}},
        {"no closing braces", "window.TVC={\"ditu\":{\"normal\":{\"version\":\"088\"", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TileVersions versions;
        ParseBaiduPage(c.page, versions);
        EXPECT_EQ(Stored(versions), c.stored);
    }
}

TEST(TileVersionProbe, UpdateFetchesBothPagesAndAFailedOneStoresNothing) {
    testsupport::TileServer server([](const testsupport::TileRequest& request) {
        if (request.host == "maps.google.cn") {
            testsupport::CannedAnswer answer;
            answer.body = kLoader;
            answer.contentType = "text/javascript";
            return answer;
        }
        return ta::ServerError();  // the Baidu page
    });
    testsupport::ScopedRoute route(server);
    RecordingStore store;
    UpdateTileVersions(store);
    EXPECT_EQ(store.values, (std::map<std::string, std::string>{{"RoadMapTileVer", "333333333"},
                                                                {"SatMapTileVer", "145"},
                                                                {"SatMapTileVerNew", "145"}}));
    EXPECT_EQ(server.Count("/maps/api/js?sensor=false&language=zh-cn"), 1);
    EXPECT_EQ(server.Count("/"), 1);
    for (const auto& request : server.Server().Requests()) {
        EXPECT_EQ(request.version, "HTTP/1.0") << "lookups use the lookup client";
    }
}
