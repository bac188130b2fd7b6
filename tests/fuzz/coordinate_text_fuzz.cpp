// Encoded polylines and coordinate texts: reading any text is safe.
#include "engine/core/core_types.h"
#include "engine/tasks/profiles.h"
#include "fuzz_support.h"
#include "geodata/boundary/boundary_store.h"
#include "geodata/polyline/polyline_codec.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input = fuzz::AsText(data, size);
    std::vector<engine::TGLatLng> points;
    (void)geodata::TGPolyLine::DecodePoints(input, points);
    const geodata::TGPolyLine codec(0.00001);
    (void)codec.DecodePath(input);
    (void)geodata::PlainEncodedText(input);
    (void)geodata::StoredEncodedText(input);
    if (size < 2048) {
        // Texts that are not numbers are refused by an exception.
        try {
            (void)codec.EncodePoints(input, true);
        } catch (const std::invalid_argument&) {
        }
        try {
            (void)codec.EncodePointsEx(input);
        } catch (const std::invalid_argument&) {
        }
    }
    (void)geodata::TBoundary::StrToLatLng(input);
    engine::TLatLng latLng{};
    engine::TProfiles::StrToLatLng(input, latLng);
    (void)engine::TProfiles::StrToZoomLevelArray(input);
    (void)engine::TProfiles::StrToTileBounds(input);
    return 0;
}
