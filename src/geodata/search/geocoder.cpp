#include "geodata/search/geocoder.h"

#include <algorithm>
#include <optional>

#include "engine/core/json_text.h"
#include "engine/core/number_format.h"
#include "geodata/search/answer_cache.h"
#include "geodata/search/lookup_reading.h"
#include "geodata/search/query_encoding.h"
#include "geodata/text/encoding.h"

namespace geodata {

using engine::GetJsonStr;
using engine::JsonValue;
using lookup_detail::GuardedLookup;
using lookup_detail::LogLookup;
using lookup_detail::MalformedAnswer;
using lookup_detail::NumberOf;
using lookup_detail::RequiredObjectOf;
using Status = LookupResult::Status;

namespace {

// The geocoding service's status of a readable answer without a place.
constexpr std::string_view kGeocodeNothingFound = "ZERO_RESULTS";

// A leading "中国" and a trailing postcode note are noise in an address shown to the user.
void TrimFormattedAddress(std::string& address) {
    static constexpr std::string_view kCountry = "中国";
    static constexpr std::string_view kPostcode = "邮政编码";
    if (address.empty()) {
        return;
    }
    if (address.starts_with(kCountry)) {
        address.erase(0, kCountry.size());
    }
    const std::size_t postcode = address.find(kPostcode);
    if (postcode != std::string::npos) {
        address.erase(postcode);
    }
}

// False, logging a failed transfer, when the answer brought nothing to read.
bool AnswerArrived(const CachedAnswer& answer, std::string_view lookup, const std::string& url) {
    if (!answer.Received()) {
        LogLookup(lookup, answer.TransferError(), url);
        return false;
    }
    return !answer.Body().empty();
}

// The answer text as one JSON object; logs and gives nothing when it is not one.
std::optional<JsonValue> AnswerObject(std::string_view text, std::string_view lookup,
                                      const std::string& url) {
    std::optional<JsonValue> json = engine::ParseJsonText(text);
    if (!json || !json->is_object()) {
        LogLookup(lookup, "answer is not a JSON object", url);
        return std::nullopt;
    }
    return json;
}

}  // namespace

std::string DistrictQueryUrl(double lat, double lng) {
    return std::string(kDistrictQueryHost) + "/dist_query?l=" + engine::FormatFixed(lat, 2) + "," +
           engine::FormatFixed(lng, 2);
}

std::string GeocodeUrl(std::string_view address) {
    return std::string(kGeocodeHost) +
           "/maps/api/geocode/json?address=" + EncodeQueryParam(address) +
           "&sensor=false&language=zh-cn";
}

std::string DistrictSearchUrl(std::string_view districtName) {
    return std::string(kDistrictSearchHost) +
           "/gss/simple?encode=utf-8&number=10&batch=1&range=3000&resType=json&retvalue=1"
           "&sid=1003&rid=799311&districtName=" +
           EncodeQueryParam(districtName) + "&uniqid=" + std::string(kDistrictSearchUniqId) +
           "&ia=1&key=" + std::string(kDistrictSearchKey);
}

std::string IPLocationUrl(std::string_view ip) {
    return std::string(kIPLocationHost) + "/location/ip?ak=" + std::string(kIPLocationAk) +
           "&ip=" + std::string(ip) + "&coor=bd09ll";
}

std::string IPLocationCacheKey(std::string_view ip) {
    // The dots stay: without them 1.11.1.1 and 11.1.1.1 would share one cached answer.
    return std::string(ip) + "ip.json";
}

LookupResult QueryDistrict(const std::filesystem::path& cachePath, double lat, double lng,
                           std::string& district) {
    static constexpr std::string_view kLookup = "District query";
    const std::string url = DistrictQueryUrl(lat, lng);
    return GuardedLookup(kLookup, url, [&] {
        CachedAnswer answer(cachePath, url);
        if (!AnswerArrived(answer, kLookup, url)) {
            return Status::Failed;
        }
        // This service answers in GBK.
        const std::optional<std::string> text = GbkToUtf8(answer.Body());
        if (!text) {
            LogLookup(kLookup, "answer is not GBK text", url);
            return Status::Failed;
        }
        const std::optional<JsonValue> json = AnswerObject(*text, kLookup, url);
        if (!json) {
            return Status::Failed;
        }
        if (GetJsonStr(*json, "report") != "0") {
            LogLookup(kLookup, "service reports \"" + GetJsonStr(*json, "report") + "\"", url);
            return Status::Failed;
        }
        // An empty "dist" is a readable answer: no district is known there.
        district = GetJsonStr(*json, "dist");
        answer.Keep();
        return Status::Found;
    });
}

LookupResult GeocodeAddress(const std::filesystem::path& cachePath, std::string_view address,
                            TGeocodeResponse& response) {
    static constexpr std::string_view kLookup = "Geocoding";
    const std::string url = GeocodeUrl(address);
    return GuardedLookup(kLookup, url, [&] {
        CachedAnswer answer(cachePath, url);
        if (!AnswerArrived(answer, kLookup, url)) {
            return Status::Failed;
        }
        const std::optional<JsonValue> json = AnswerObject(answer.Body(), kLookup, url);
        if (!json) {
            return Status::Failed;
        }
        Status result = Status::Failed;
        const std::string status = GetJsonStr(*json, "status");
        if (status == "OK") {
            try {
                const JsonValue* results = engine::FindJsonPair(*json, "results");
                if (results == nullptr || !results->is_array() || results->empty() ||
                    !results->front().is_object()) {
                    throw MalformedAnswer("no result in an \"OK\" answer");
                }
                const JsonValue& first = results->front();
                const JsonValue& location =
                    RequiredObjectOf(RequiredObjectOf(first, "geometry"), "location");
                const double lat = NumberOf(location, "lat");
                const double lng = NumberOf(location, "lng");
                response.Status = "OK";
                response.location.lat = static_cast<float>(lat);
                response.location.lng = static_cast<float>(lng);
                response.Formatted_address = GetJsonStr(first, "formatted_address");
                result = Status::Found;
            } catch (const MalformedAnswer& error) {
                LogLookup(kLookup, error.what(), url);
            }
        } else if (status == kGeocodeNothingFound) {
            result = Status::NotFound;
        } else {
            LogLookup(kLookup, "service reports \"" + status + "\"", url);
        }
        TrimFormattedAddress(response.Formatted_address);
        if (result == Status::Found) {
            answer.Keep();
        }
        return result;
    });
}

LookupResult SearchPartitionDistricts(const std::filesystem::path& cachePath, std::string_view name,
                                      TPartitionDistricts& districts) {
    static constexpr std::string_view kLookup = "District search";
    const std::string url = DistrictSearchUrl(name);
    return GuardedLookup(kLookup, url, [&] {
        CachedAnswer answer(cachePath, url);
        if (!AnswerArrived(answer, kLookup, url)) {
            return Status::Failed;
        }
        // The answer may come wrapped in a script callback: keep the object only.
        const std::optional<JsonValue> json =
            AnswerObject(engine::ExtractJsonObjectText(answer.Body()), kLookup, url);
        if (!json) {
            return Status::Failed;
        }
        const std::string status = GetJsonStr(*json, "status");
        if (status != "E0") {
            LogLookup(kLookup, "service reports \"" + status + "\"", url);
            return Status::Failed;
        }
        const std::int64_t total = lookup_detail::IntegerOf(*json, "total");
        // Never more entries than the list holds, whatever the announced total.
        const JsonValue* list = engine::FindJsonPair(*json, "list");
        const std::size_t listed = list != nullptr && list->is_array() ? list->size() : 0;
        const std::size_t count =
            total <= 0 ? 0 : std::min(listed, static_cast<std::size_t>(total));
        TPartitionDistricts found(count);
        for (std::size_t i = 0; i < count; ++i) {
            const JsonValue& element = (*list)[i];
            TPartitionDistrict& district = found[i];
            district.name = GetJsonStr(element, "name");
            district.citycode = GetJsonStr(element, "citycode");
            district.adcode = GetJsonStr(element, "adcode");
            district.coords = GetJsonStr(element, "coords");
            district.srctype = GetJsonStr(element, "srctype");
        }
        districts = std::move(found);
        if (districts.empty()) {
            return Status::NotFound;
        }
        answer.Keep();
        return Status::Found;
    });
}

LookupResult LocateIP(const std::filesystem::path& cachePath, std::string_view ip,
                      std::string& address, engine::TGLatLng& position) {
    static constexpr std::string_view kLookup = "IP location";
    const std::string url = IPLocationUrl(ip);
    return GuardedLookup(kLookup, url, [&] {
        // The address goes into the query as it is: digits and dots only, so that it can never
        // add a parameter to the request.
        if (ip.empty() || ip.find_first_not_of("0123456789.") != std::string_view::npos) {
            LogLookup(kLookup, "not an IPv4 address", url);
            return Status::Failed;
        }
        CachedAnswer answer(cachePath, url, IPLocationCacheKey(ip));
        if (!AnswerArrived(answer, kLookup, url)) {
            return Status::Failed;
        }
        const std::optional<JsonValue> json = AnswerObject(answer.Body(), kLookup, url);
        if (!json) {
            return Status::Failed;
        }
        const std::string status = GetJsonStr(*json, "status");
        if (status != "0") {
            LogLookup(kLookup, "service reports \"" + status + "\"", url);
            return Status::Failed;
        }
        const JsonValue& content = RequiredObjectOf(*json, "content");
        const JsonValue& point = RequiredObjectOf(content, "point");
        const double lat = NumberOf(point, "y");
        const double lng = NumberOf(point, "x");
        position = {lat, lng};
        address = GetJsonStr(content, "address");
        answer.Keep();
        return Status::Found;
    });
}

}  // namespace geodata
