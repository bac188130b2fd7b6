// The boundary store's file and its area texts: any bytes load, and every stored area and the
// input itself read as points, boxes, KML and GeoJSON.
#include "engine/core/core_types.h"
#include "fuzz_support.h"
#include "geodata/boundary/boundary_store.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input = fuzz::AsText(data, size);
    using geodata::TBoundary;
    try {
        const TBoundary store(fuzz::WriteScratch("boundary.txt", input));
        std::size_t read = 0;
        for (const std::string& line : store.Lines()) {
            const std::string name = line.substr(0, line.find('='));
            (void)store.GetLatLngArray(name);
            if (++read == 16) {
                break;
            }
        }
    } catch (const std::exception&) {
    }
    const auto points = TBoundary::StrToArray(input);
    (void)TBoundary::LatLngArrayToStr(points);
    (void)TBoundary::LatLngsToMercators(points);
    (void)TBoundary::IsRectangle(input);
    double maxX = 0, minX = 0, maxY = 0, minY = 0;
    (void)TBoundary::GetBounds(input, maxX, minX, maxY, minY);
    (void)TBoundary::GetBounds(input, engine::TGLatLngBounds{});
    try {
        (void)TBoundary::EncodePath(input);
    } catch (const std::invalid_argument&) {
        // An unreadable number is refused this way.
    }
    if (size < 4096) {
        (void)TBoundary::KmlText(input, "area", engine::TCoordType::ctGPS);
        (void)TBoundary::GeoJsonText(input, engine::TCoordType::ctBaidu);
    }
    return 0;
}
