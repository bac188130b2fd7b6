#include "geodata/search/poi_searcher.h"

#include <limits>
#include <optional>
#include <utility>

#include "engine/core/json_text.h"
#include "engine/core/number_format.h"
#include "geodata/search/answer_cache.h"
#include "geodata/search/lookup_reading.h"
#include "geodata/search/query_encoding.h"

namespace geodata {

using engine::GetJsonStr;
using engine::JsonValue;
using lookup_detail::LogLookup;
using lookup_detail::NumberOf;
using lookup_detail::ObjectOf;

namespace {

constexpr std::string_view kLookup = "Place search";

TPOIData ReadPlace(const JsonValue& element) {
    TPOIData place;
    place.uid = GetJsonStr(element, "uid");
    place.name = GetJsonStr(element, "name");
    place.address = GetJsonStr(element, "address");
    place.telephone = GetJsonStr(element, "telephone");
    if (const JsonValue* location = ObjectOf(element, "location")) {
        place.location.lat = NumberOf(*location, "lat");
        place.location.lng = NumberOf(*location, "lng");
    }
    if (const JsonValue* detail = ObjectOf(element, "detail_info")) {
        place.detail._type = GetJsonStr(*detail, "type");
        place.detail.tag = GetJsonStr(*detail, "tag");
        place.detail.url = GetJsonStr(*detail, "detail_url");
    }
    return place;
}

}  // namespace

std::string FormatSearchBounds(double south, double west, double north, double east) {
    return engine::FormatFixed(south, 6) + "," + engine::FormatFixed(west, 6) + "," +
           engine::FormatFixed(north, 6) + "," + engine::FormatFixed(east, 6);
}

TPOISearcher::TPOISearcher(std::filesystem::path cachePath) : cachePath_(std::move(cachePath)) {}

std::string TPOISearcher::RequestUrl(const TRequestParams& params) {
    std::string url = std::string(kPlaceSearchHost) + "/place/v2/search?ak=" + params.ak +
                      "&output=json&query=" + EncodeQueryParam(params.Keyword) +
                      "&page_size=" + engine::FormatInt(params.PageSize) +
                      "&page_num=" + engine::FormatInt(params.PageIndex) + "&scope=2";
    if (params.IsBound) {
        url += "&bounds=" + EncodeQueryParam(params.Bounds);
    } else {
        url += "&region=" + EncodeQueryParam(params.Region);
    }
    if (!params.Tag.empty()) {
        url += "&tag=" + EncodeQueryParam(params.Tag);
    }
    return url;
}

std::vector<TPOIData> TPOISearcher::Get(TRequestParams params, TResponse& response) {
    const std::string url = RequestUrl(params);
    std::vector<TPOIData> places;
    using Status = LookupResult::Status;
    lastResult_ = lookup_detail::GuardedLookup(kLookup, url, [&] {
        CachedAnswer answer(cachePath_, url);
        if (!answer.Received()) {
            LogLookup(kLookup, answer.TransferError(), url);
            return Status::Failed;
        }
        if (answer.Body().empty()) {
            return Status::Failed;
        }
        const std::optional<JsonValue> json = engine::ParseJsonText(answer.Body());
        if (!json || !json->is_object()) {
            LogLookup(kLookup, "answer is not a JSON object", url);
            return Status::Failed;
        }
        response.status = GetJsonStr(*json, "status");
        if (response.status != "0") {
            LogLookup(kLookup, "service reports \"" + response.status + "\"", url);
            return Status::Failed;
        }
        response._message = GetJsonStr(*json, "message");
        const std::int64_t total = lookup_detail::IntegerOf(*json, "total");
        if (total < std::numeric_limits<std::int32_t>::min() ||
            total > std::numeric_limits<std::int32_t>::max()) {
            throw lookup_detail::MalformedAnswer("\"total\" out of range");
        }
        response.total = static_cast<std::int32_t>(total);
        const JsonValue* results = engine::FindJsonPair(*json, "results");
        if (results == nullptr || !results->is_array() || results->empty()) {
            return Status::NotFound;
        }
        std::vector<TPOIData> read;
        read.reserve(results->size());
        for (const JsonValue& element : *results) {
            read.push_back(ReadPlace(element));
        }
        places = std::move(read);
        answer.Keep();
        return Status::Found;
    });
    return places;
}

}  // namespace geodata
