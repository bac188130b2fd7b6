#pragma once
// What the fuzz targets share: the entry point every target defines, a scratch folder for the
// readers that take a file, and the input split into parts.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace fuzz {

// A folder of this process under the system's temporary folder, removed at exit. The first
// call also points the daily log there, so readers that log leave nothing elsewhere.
const std::filesystem::path& ScratchDir();

// Writes `bytes` to `name` in the scratch folder and gives its path.
std::filesystem::path WriteScratch(const std::string& name, std::string_view bytes);

inline std::string_view AsText(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// The input cut at every occurrence of `separator` (at most `maxParts` parts; the last one
// keeps the rest), so that one input can feed several arguments.
std::vector<std::string_view> SplitInput(std::string_view input, std::string_view separator,
                                         std::size_t maxParts);

}  // namespace fuzz
