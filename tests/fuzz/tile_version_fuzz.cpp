// The tile-version probe: any page text is searched for versions; only values of the
// expected digits are ever kept.
#include <cctype>
#include <cstdlib>

#include "engine/download/tile_version_probe.h"
#include "fuzz_support.h"

namespace {

void ExpectDigits(const std::optional<std::string>& value) {
    if (!value) {
        return;
    }
    for (const char c : *value) {
        if (std::isdigit(static_cast<unsigned char>(c)) == 0) {
            std::abort();  // a version that is not a number would reach the tile URLs
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input = fuzz::AsText(data, size);
    engine::TileVersions versions;
    engine::ParseGoogleLoader(input, versions);
    engine::ParseBaiduPage(input, versions);
    for (const auto* value :
         {&versions.RoadMapTileVer, &versions.SatMapTileVer, &versions.BNormalUDT,
          &versions.BNormalVer, &versions.BSatelliteUDT, &versions.BSatelliteVer,
          &versions.BSatelliteStreetUDT, &versions.BSatelliteStreetVer}) {
        ExpectDigits(*value);
    }
    return 0;
}
