#pragma once
// The container that spreadsheet readers look for in an .xls file: a compound document
// (version 3, 512-byte sectors) holding one named stream. Readers that take a bare record
// stream (a few do) read the stream out of it just as well; others (the GDAL driver, for one)
// open nothing else.
#include <string>
#include <string_view>

namespace geodata {

// The whole file of a compound document whose root holds the one stream `name` with `data`.
// A stream below the small-stream cut-off (4096 bytes) is padded with zeros to it, as
// spreadsheet programs pad theirs, so that no small-stream table is needed.
std::string BuildCompoundFile(std::u16string_view name, std::string_view data);

}  // namespace geodata
