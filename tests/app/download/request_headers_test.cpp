// What each kind of request the program makes tells the server about its client: the web
// lookups present the HTTP library's agent over HTTP/1.0, the tile requests (download workers,
// the historic-version probe) a desktop browser over HTTP/1.1.
#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "app/places/suggestions.h"
#include "app/tools/historic_versions.h"
#include "download_harness.h"
#include "engine/download/download_settings.h"
#include "engine/download/tile_version_probe.h"
#include "engine/net/user_agents.h"
#include "geodata/search/geocoder.h"
#include "geodata/search/poi_searcher.h"

namespace downloadui {
namespace {

struct RequestKind {
    const char* name;
    std::function<void(Harness&)> make;
    const char* userAgent;
    const char* version;
};

TEST(RequestHeaders, LookupsAndTileRequestsEachSendTheirAgentAndProtocol) {
    Harness h;
    const std::filesystem::path cache = h.dir / "answers";
    const RequestKind kinds[] = {
        {"download worker",
         [](Harness& h) {
             h.SetBox(39.90, 116.30, 39.95, 116.35);
             h.SetLevels({10});
             h.fakes.messages.answers = {false};  // no stitching after the summary
             h.controller->Start();
             ASSERT_TRUE(h.RunToEnd());
         },
         engine::kTileUserAgent, "HTTP/1.1"},
        {"historic-version probe",
         [](Harness&) { geodataui::ProbeHistoricVersions(131, 53958, 24829, {}, [](auto&) {}); },
         engine::kTileUserAgent, "HTTP/1.1"},
        {"tile-version update",
         [](Harness& h) {
             engine::SettingsTileVersionStore store(h.settings);
             engine::UpdateTileVersions(store);
         },
         engine::kLookupUserAgent, "HTTP/1.0"},
        {"geocoding",
         [&cache](Harness&) {
             geodata::TGeocodeResponse response;
             geodata::GeocodeAddress(cache, "武汉", response);
         },
         engine::kLookupUserAgent, "HTTP/1.0"},
        {"districts",
         [&cache](Harness&) {
             std::string district;
             geodata::QueryDistrict(cache, 30.5, 114.3, district);
             geodata::TPartitionDistricts districts;
             geodata::SearchPartitionDistricts(cache, "武汉市", districts);
         },
         engine::kLookupUserAgent, "HTTP/1.0"},
        {"place search",
         [&cache](Harness&) {
             geodata::TRequestParams params;
             params.Keyword = "餐厅";
             params.PageSize = 10;
             params.Region = "武汉";
             geodata::TResponse response;
             geodata::TPOISearcher(cache).Get(params, response);
         },
         engine::kLookupUserAgent, "HTTP/1.0"},
        {"place suggestions",
         [&cache](Harness&) {
             app::FetchSuggestions(cache, app::SuggestionUrl("武汉", "", app::kSuggestionKey));
         },
         engine::kLookupUserAgent, "HTTP/1.0"},
        {"IP location",
         [&cache](Harness&) {
             std::string address;
             engine::TGLatLng position;
             geodata::LocateIP(cache, "202.103.24.68", address, position);
         },
         engine::kLookupUserAgent, "HTTP/1.0"},
    };
    for (const RequestKind& kind : kinds) {
        SCOPED_TRACE(kind.name);
        h.server.Server().ClearRequests();
        kind.make(h);
        const auto requests = h.server.Server().Requests();
        ASSERT_FALSE(requests.empty());
        for (const auto& request : requests) {
            EXPECT_EQ(request.Header("User-Agent"), kind.userAgent) << request.target;
            EXPECT_EQ(request.version, kind.version) << request.target;
        }
    }
}

}  // namespace
}  // namespace downloadui
