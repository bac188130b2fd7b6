#pragma once
// One page of places matching a keyword inside a region or a box, from the place search
// service, through the shared answer cache.
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "geodata/search/lookup_result.h"
#include "geodata/search/poi_data.h"

namespace geodata {

inline constexpr std::string_view kPlaceSearchHost = "https://api.map.baidu.com";

struct TRequestParams {
    std::string Keyword;
    std::int32_t PageSize = 0;
    std::int32_t PageIndex = 0;  // from 0
    std::string Key;             // not sent
    std::string Region;          // city or region name
    std::string Tag;             // category filter; may be empty
    std::string Bounds;          // "south,west,north,east" in BD-09 (FormatSearchBounds)
    bool IsBound = false;        // search in Bounds instead of Region
    std::string ak;              // the service's access key
};

struct TResponse {
    std::string status;
    std::string _message;
    std::int32_t total = 0;  // places in all pages
};

// The Bounds text of a box: six decimals with ".", smallest latitude and longitude first.
std::string FormatSearchBounds(double south, double west, double north, double east);

class TPOISearcher {
  public:
    // `cachePath`: the answer-cache folder (empty: no cache).
    explicit TPOISearcher(std::filesystem::path cachePath);

    // The request address of one page.
    static std::string RequestUrl(const TRequestParams& params);

    // One page of places; empty after a failed transfer, an unreadable answer, a status other
    // than "0" or a page without places. Fields of `response` that the answer does not reach
    // keep the caller's values. A page is cached only when places were read from it. Never
    // throws; a broken answer is logged. One thread at a time.
    std::vector<TPOIData> Get(TRequestParams params, TResponse& response);
    // How the last Get ended: NotFound for a readable page without places (status "0"),
    // Failed when no answer could be had or read or the service reported a fault.
    LookupResult LastResult() const { return lastResult_; }

  private:
    std::filesystem::path cachePath_;
    LookupResult lastResult_ = LookupResult::Status::NotFound;
};

}  // namespace geodata
