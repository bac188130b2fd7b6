// Web answers: any body, found in the answer cache, is read by every lookup and the place
// search without harm. The body is placed in the cache first, so nothing is ever fetched.
#include "engine/core/md5.h"
#include "fuzz_support.h"
#include "geodata/search/geocoder.h"
#include "geodata/search/poi_searcher.h"

namespace {

void Cache(const std::string& key, std::string_view body) {
    fuzz::WriteScratch("answers/" + engine::StrMD5Hex(key), body);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view body = fuzz::AsText(data, size);
    const auto cache = fuzz::ScratchDir() / "answers";

    Cache(geodata::DistrictQueryUrl(39.9, 116.4), body);
    std::string district;
    (void)geodata::QueryDistrict(cache, 39.9, 116.4, district);

    Cache(geodata::GeocodeUrl("北京"), body);
    geodata::TGeocodeResponse geocode;
    (void)geodata::GeocodeAddress(cache, "北京", geocode);

    Cache(geodata::DistrictSearchUrl("北京"), body);
    geodata::TPartitionDistricts districts;
    (void)geodata::SearchPartitionDistricts(cache, "北京", districts);

    Cache(geodata::IPLocationCacheKey("1.2.3.4"), body);
    std::string address;
    engine::TGLatLng position{};
    (void)geodata::LocateIP(cache, "1.2.3.4", address, position);

    geodata::TRequestParams params;
    params.Keyword = "学校";
    params.PageSize = 20;
    params.Region = "北京";
    Cache(geodata::TPOISearcher::RequestUrl(params), body);
    geodata::TResponse response;
    (void)geodata::TPOISearcher(cache).Get(params, response);
    return 0;
}
