// GPX documents: any text imports (or is refused) and what was read writes out again.
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
        doc.ComputeMetaBounds();
    } catch (const std::exception&) {
    }
    return 0;
}
