#pragma once
// Read-only files installed with the program (share/vantorel), found relative to the
// executable so that a build tree runs too (there they come from the source's resources/).
#include <filesystem>
#include <string>
#include <string_view>

namespace engine {

// The first existing candidate for `name` (a file or a folder); empty when none exists.
std::filesystem::path InstalledDataFile(std::string_view name);

// The layer-11 substitute tile ("404.png"); empty when the file is missing or unreadable.
std::string LoadSubstituteImage();

}  // namespace engine
