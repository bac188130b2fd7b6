#pragma once
// Lookups against web services that answer in JSON: the districts at a position, the position
// of an address, the outline of a district found by name, and the place of an IP address.
// Every answer goes through the answer cache (answer_cache.h) in the folder `cachePath`, so the
// same question is asked of a service only once.
//
// The lookups keep no state besides the cache folder and may run on any thread (they block for
// up to the client's time-out, so callers keep them off the UI thread). A failed transfer, an
// answer that fails the service's success test or one that cannot be read leaves the results as
// the caller passed them and ends Failed; a broken answer is logged, never thrown. A readable
// answer that holds nothing (no place, no district of that name) ends NotFound.
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "engine/core/core_types.h"
#include "geodata/search/lookup_result.h"

namespace geodata {

// Service addresses up to the path; the keys are the services' access keys.
inline constexpr std::string_view kDistrictQueryHost = "https://ditu.google.cn";
inline constexpr std::string_view kGeocodeHost = "https://maps.google.cn";
inline constexpr std::string_view kDistrictSearchHost = "https://restapi.amap.com";
inline constexpr std::string_view kIPLocationHost = "https://api.map.baidu.com";
inline constexpr std::string_view kDistrictSearchUniqId = "b81e4d92-0c5a-47f3-a6d8-2e9f0b13c7a4";
inline constexpr std::string_view kDistrictSearchKey = "3f9a0c7b51d24e6a8b0f97c2d4e1a605";
inline constexpr std::string_view kIPLocationAk = "A7c20e9b4f15d83e6a0b2c7d9e41f586";

struct TGeocodeResponse {
    engine::TGLatLngBounds Bounds;
    engine::TGLatLngBounds Viewport;
    engine::TLatLng location;
    std::string Formatted_address;
    std::string Status;
};

struct TPartitionDistrict {
    std::string name;
    std::string citycode;
    std::string adcode;
    std::string coords;  // "lng,lat;lng,lat;..."
    std::string srctype;
    std::string Status;  // not filled
};
using TPartitionDistricts = std::vector<TPartitionDistrict>;

// Request addresses, as sent and as digested for the cache file's name.
std::string DistrictQueryUrl(double lat, double lng);
std::string GeocodeUrl(std::string_view address);
std::string DistrictSearchUrl(std::string_view districtName);
std::string IPLocationUrl(std::string_view ip);
// The text whose digest names the IP lookup's cache file: the dotted address and "ip.json".
std::string IPLocationCacheKey(std::string_view ip);

// Districts at a GCJ-02 position, from the largest unit down, as one comma-separated text. The
// request carries the position rounded to hundredths, so nearby positions share one answer.
LookupResult QueryDistrict(const std::filesystem::path& cachePath, double lat, double lng,
                           std::string& district);

// Fills location (single precision), Formatted_address and Status from an "OK" answer; the
// other fields keep what the caller put there. Whenever an answer was read, a leading "中国" and
// everything from "邮政编码" on are cut from Formatted_address.
LookupResult GeocodeAddress(const std::filesystem::path& cachePath, std::string_view address,
                            TGeocodeResponse& response);

// The districts of that name with their outlines; on success `districts` holds the entries the
// answer lists (at most as many as it announces).
LookupResult SearchPartitionDistricts(const std::filesystem::path& cachePath, std::string_view name,
                                      TPartitionDistricts& districts);

// The address and BD-09 position of a dotted IPv4 address; a text with anything but digits and
// dots is refused without a request (the caller checks the address's form in full).
LookupResult LocateIP(const std::filesystem::path& cachePath, std::string_view ip,
                      std::string& address, engine::TGLatLng& position);

}  // namespace geodata
