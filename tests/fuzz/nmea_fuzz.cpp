// NMEA: a log file of any bytes imports, and the receiver's line assembler takes the same
// bytes in pieces of any size.
#include "fuzz_support.h"
#include "geodata/gps/nmea_line_assembler.h"
#include "geodata/gpx/gpx_model.h"
#include "geodata/nmea/nmea_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input = fuzz::AsText(data, size);
    const auto in = fuzz::WriteScratch("in.nmea", input);
    geodata::TGPX doc;
    geodata::TNMEAFile nmea;
    nmea.GPXd = &doc;
    try {
        nmea.ImportNMEA(in);
    } catch (const std::exception&) {
    }
    // The first byte sets the piece size, as a serial port hands over what it has.
    const std::size_t piece = size > 0 ? 1 + data[0] % 17 : 1;
    geodata::NmeaLineAssembler assembler;
    for (std::size_t at = 0; at < input.size(); at += piece) {
        for (const std::string& line : assembler.Feed(input.substr(at, piece))) {
            (void)geodata::TNMEAFile::CheckPass(line);
        }
    }
    return 0;
}
