#pragma once
// The place-suggestion service: the request for a typed text, its answer read into records
// through the shared answer cache, and the display texts of the drop-down.
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace app {

inline constexpr std::string_view kSuggestionHost = "http://apis.map.qq.com";
inline constexpr std::string_view kSuggestionKey = "K7RQM-2XHVB-9TPLC-WD4NZ-6FJGA-Y3ESU";

enum class TPOIType : unsigned char {
    ptNormal = 0,
    ptBusStation = 1,
    ptSubwayStation = 2,
    ptBusRoute = 3,
    ptAdmiDistrict = 4,
};

struct TResponseData {
    std::string Title;
    std::string Province;
    std::string City;
    std::string District;
    struct {
        double Lat = 0;
        double Lng = 0;
    } Location;
    TPOIType PIOType = TPOIType::ptNormal;
};

// UTF-8 bytes; keeps 0-9, A-Z, a-z, "-", ".", "_"; every other byte as "%XX".
std::string UrlEncodeUtf8(std::string_view text);

// The request for `keyword`; an empty region leaves the region out.
std::string SuggestionUrl(std::string_view keyword, std::string_view region, std::string_view key);

struct SuggestionAnswer {
    enum class Kind {
        Failed,  // no answer arrived, or one without a body
        Empty,   // the service found nothing
        Broken,  // not an object with "data", or a value that cannot be read
        Found,
    };
    Kind kind = Kind::Failed;
    std::vector<TResponseData> values;
};

// Reads an answer's text (no network, no cache).
SuggestionAnswer ReadSuggestions(std::string_view text);

// Fetches through the answer cache in `cachePath` (empty: no cache); only an answer with
// suggestions is kept there. Blocks for the transfer: run it off the UI thread.
SuggestionAnswer FetchSuggestions(const std::filesystem::path& cachePath, const std::string& url);

// "title  [kind] province-city", or "title  province-city" for ordinary places.
std::string SuggestionDisplayText(const TResponseData& value);

}  // namespace app
