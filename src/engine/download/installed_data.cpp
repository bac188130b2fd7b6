#include "engine/download/installed_data.h"

#include <system_error>

#include "engine/core/atomic_file.h"

namespace engine {

std::filesystem::path InstalledDataFile(std::string_view name) {
    std::error_code ec;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) {
        return {};
    }
    const std::filesystem::path bin = exe.parent_path();
    const std::filesystem::path candidates[] = {
        bin / ".." / "share" / "vantorel" / name,             // installed
        std::filesystem::path(VANTOREL_RESOURCE_DIR) / name,  // a build that was not installed
    };
    for (const auto& candidate : candidates) {
        if (std::filesystem::is_regular_file(candidate, ec)) {
            return candidate.lexically_normal();
        }
    }
    return {};
}

std::string LoadSubstituteImage() {
    const std::filesystem::path file = InstalledDataFile("404.png");
    std::string bytes;
    if (file.empty() || !ReadFileBytes(file, bytes)) {
        return {};
    }
    return bytes;
}

}  // namespace engine
