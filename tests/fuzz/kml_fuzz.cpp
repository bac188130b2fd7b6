// KML files: any bytes import (or are refused) and what was read writes out again.
#include "fuzz_support.h"
#include "geodata/gpx/gpx_model.h"
#include "geodata/kml/kml_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto in = fuzz::WriteScratch("in.kml", fuzz::AsText(data, size));
    geodata::TGPX doc;
    geodata::TKMLFile kml;
    kml.GPXd = &doc;
    try {
        kml.ImportKML(in);
        kml.ExportKML(fuzz::ScratchDir() / "out.kml");
    } catch (const std::exception&) {
    }
    return 0;
}
