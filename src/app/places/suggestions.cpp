#include "suggestions.h"

#include <array>

#include "engine/core/json_text.h"
#include "engine/log/logger.h"
#include "geodata/search/answer_cache.h"

namespace app {
namespace {

bool Unreserved(unsigned char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '-' ||
           c == '.' || c == '_';
}

// A JSON number, or a text holding one written with ".".
bool ReadNumber(const engine::JsonValue& object, std::string_view name, double& value) {
    const engine::JsonValue* pair = engine::FindJsonPair(object, name);
    if (pair == nullptr) {
        return false;
    }
    if (pair->is_number()) {
        value = pair->get<double>();
        return true;
    }
    if (!pair->is_string()) {
        return false;
    }
    const std::string text = pair->get<std::string>();
    const auto parsed = engine::ParseJsonText(text);
    if (!parsed || !parsed->is_number()) {
        return false;
    }
    value = parsed->get<double>();
    return true;
}

bool ReadSuggestion(const engine::JsonValue& item, TResponseData& value) {
    if (!item.is_object()) {
        return false;
    }
    value.Title = engine::GetJsonStr(item, "title");
    value.Province = engine::GetJsonStr(item, "province");
    value.City = engine::GetJsonStr(item, "city");
    value.District = engine::GetJsonStr(item, "district");
    double type = 0;
    if (engine::FindJsonPair(item, "type") != nullptr) {
        if (!ReadNumber(item, "type", type) || type != static_cast<int>(type)) {
            return false;
        }
    }
    // Kinds the box does not know are shown as ordinary places.
    value.PIOType =
        type >= 0 && type <= 4 ? static_cast<TPOIType>(static_cast<int>(type)) : TPOIType::ptNormal;
    const engine::JsonValue* location = engine::FindJsonPair(item, "location");
    if (location == nullptr || !location->is_object()) {
        return false;
    }
    return ReadNumber(*location, "lat", value.Location.Lat) &&
           ReadNumber(*location, "lng", value.Location.Lng);
}

}  // namespace

std::string UrlEncodeUtf8(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (Unreserved(c)) {
            out += ch;
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 0x0F];
        }
    }
    return out;
}

std::string SuggestionUrl(std::string_view keyword, std::string_view region, std::string_view key) {
    std::string url =
        std::string(kSuggestionHost) + "/ws/place/v1/suggestion/?keyword=" + UrlEncodeUtf8(keyword);
    if (!region.empty()) {
        url += "&region=" + UrlEncodeUtf8(region);
    }
    return url + "&output=json&key=" + UrlEncodeUtf8(key);
}

SuggestionAnswer ReadSuggestions(std::string_view text) {
    SuggestionAnswer answer;
    if (text.empty() || text.find("\"count\": 0") != std::string_view::npos) {
        answer.kind = SuggestionAnswer::Kind::Empty;
        return answer;
    }
    answer.kind = SuggestionAnswer::Kind::Broken;
    const auto json = engine::ParseJsonText(engine::ExtractJsonObjectText(text));
    if (!json || !json->is_object()) {
        return answer;
    }
    const engine::JsonValue* data = engine::FindJsonPair(*json, "data");
    if (data == nullptr || !data->is_array()) {
        return answer;
    }
    for (const engine::JsonValue& item : *data) {
        TResponseData value;
        if (!ReadSuggestion(item, value)) {
            answer.values.clear();
            return answer;
        }
        answer.values.push_back(std::move(value));
    }
    answer.kind =
        answer.values.empty() ? SuggestionAnswer::Kind::Empty : SuggestionAnswer::Kind::Found;
    return answer;
}

SuggestionAnswer FetchSuggestions(const std::filesystem::path& cachePath, const std::string& url) {
    geodata::CachedAnswer cached(cachePath, url);
    if (!cached.Received()) {
        engine::AppendLog("Place suggestions: " + cached.TransferError() + " for " + url);
        return {};
    }
    // An answer without a body (an error status, a dropped connection) cannot be read.
    if (cached.Body().empty()) {
        engine::AppendLog("Place suggestions: empty answer from " + url);
        return {};
    }
    SuggestionAnswer answer = ReadSuggestions(cached.Body());
    if (answer.kind == SuggestionAnswer::Kind::Found) {
        cached.Keep();
    } else if (answer.kind == SuggestionAnswer::Kind::Broken) {
        engine::AppendLog("Place suggestions: unreadable answer from " + url);
    }
    return answer;
}

std::string SuggestionDisplayText(const TResponseData& value) {
    static const std::array<const char*, 5> kCaptions = {"  ", "  [公交车站]", "  [地铁站]",
                                                         "  [公交线路]", "  [行政区划]"};
    const auto kind = static_cast<std::size_t>(value.PIOType);
    std::string text = value.Title + kCaptions.at(kind);
    if (kind != 0) {
        text += " ";
    }
    return text + value.Province + "-" + value.City;
}

}  // namespace app
