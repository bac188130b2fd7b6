#include "fuzz_support.h"

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <system_error>

#include "engine/log/logger.h"

namespace fuzz {
namespace {

class Scratch {
  public:
    Scratch() {
        std::error_code ec;
        path_ = std::filesystem::temp_directory_path(ec) /
                ("vantorel-fuzz-" + std::to_string(::getpid()));
        std::filesystem::create_directories(path_, ec);
        engine::SetLogFolder(path_ / "log");
        // A reader that would go to the network finds nothing: the proxy is a closed port.
        ::setenv("http_proxy", "http://127.0.0.1:9", 1);
        ::setenv("https_proxy", "http://127.0.0.1:9", 1);
        ::setenv("ALL_PROXY", "http://127.0.0.1:9", 1);
    }
    ~Scratch() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;
    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path path_;
};

}  // namespace

const std::filesystem::path& ScratchDir() {
    static const Scratch scratch;
    return scratch.path();
}

std::filesystem::path WriteScratch(const std::string& name, std::string_view bytes) {
    const std::filesystem::path file = ScratchDir() / name;
    std::error_code ec;
    std::filesystem::create_directories(file.parent_path(), ec);
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return file;
}

std::vector<std::string_view> SplitInput(std::string_view input, std::string_view separator,
                                         std::size_t maxParts) {
    std::vector<std::string_view> parts;
    while (parts.size() + 1 < maxParts) {
        const std::size_t at = input.find(separator);
        if (at == std::string_view::npos) {
            break;
        }
        parts.push_back(input.substr(0, at));
        input.remove_prefix(at + separator.size());
    }
    parts.push_back(input);
    return parts;
}

}  // namespace fuzz
