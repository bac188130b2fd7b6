// GPX documents: any text imports (or is refused), what was read writes out again, and the
// written file is well-formed XML.
#include <pugixml.hpp>

#include "fuzz_support.h"
#include "geodata/gpx/gpx_file.h"
#include "geodata/gpx/gpx_model.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    geodata::TGPX doc;
    geodata::TGPXFile file;
    file.GPXd = &doc;
    try {
        file.ImportGPXString(fuzz::AsText(data, size));
        (void)file.ExportGPXWPTList(doc.wpt);
        (void)file.ExportGPXRTEList(doc.rte);
        (void)file.ExportGPXTRKList(doc.trk);
        if (file.Loaded) {
            const auto out = fuzz::ScratchDir() / "out.gpx";
            file.ExportGPX(out);
            pugi::xml_document written;
            if (!written.load_file(out.c_str())) {
                __builtin_trap();  // the writer produced a file no XML reader takes
            }
        }
        doc.ComputeMetaBounds();
    } catch (const std::exception&) {
    }
    return 0;
}
