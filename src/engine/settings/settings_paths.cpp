#include "engine/settings/settings_paths.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

namespace engine {
namespace {

std::filesystem::path HomeFolder(const EnvironmentLookup& lookup) {
    if (auto home = lookup("HOME"); home && !home->empty()) {
        return *home;
    }
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* result = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &result) == 0 &&
        result != nullptr && result->pw_dir != nullptr && result->pw_dir[0] != '\0') {
        return result->pw_dir;
    }
    return "/";
}

std::filesystem::path BaseDir(const EnvironmentLookup& lookup, const char* name,
                              const std::filesystem::path& fallback) {
    if (auto value = lookup(name); value && !value->empty()) {
        std::filesystem::path path(*value);
        if (path.is_absolute()) {
            return path;
        }
    }
    return fallback;
}

}  // namespace

XdgBaseDirs XdgBaseDirsFrom(const EnvironmentLookup& lookup) {
    XdgBaseDirs dirs;
    dirs.home = HomeFolder(lookup);
    dirs.configHome = BaseDir(lookup, "XDG_CONFIG_HOME", dirs.home / ".config");
    dirs.cacheHome = BaseDir(lookup, "XDG_CACHE_HOME", dirs.home / ".cache");
    dirs.dataHome = BaseDir(lookup, "XDG_DATA_HOME", dirs.home / ".local" / "share");
    dirs.stateHome = BaseDir(lookup, "XDG_STATE_HOME", dirs.home / ".local" / "state");
    return dirs;
}

XdgBaseDirs XdgBaseDirsFromEnvironment() {
    return XdgBaseDirsFrom([](const char* name) -> std::optional<std::string> {
        const char* value = std::getenv(name);
        if (value == nullptr) {
            return std::nullopt;
        }
        return std::string(value);
    });
}

SettingsPaths SettingsPathsFor(const XdgBaseDirs& dirs) {
    SettingsPaths paths;
    paths.configFile = dirs.configHome / "Vantorel" / "settings.ini";
    paths.defaultOutputDir = dirs.home / "MapDownload";
    paths.cacheDir = dirs.cacheHome / "Vantorel" / "Cache";
    paths.cefCacheDir = dirs.cacheHome / "Vantorel" / "CefCache";
    return paths;
}

}  // namespace engine
