// KML files: any bytes import (or are refused), what was read writes out again, and the
// written file is well-formed XML.
#include <pugixml.hpp>

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
        const auto out = fuzz::ScratchDir() / "out.kml";
        kml.ExportKML(out);
        pugi::xml_document written;
        if (!written.load_file(out.c_str())) {
            __builtin_trap();  // the writer produced a file no XML reader takes
        }
    } catch (const std::exception&) {
    }
    return 0;
}
