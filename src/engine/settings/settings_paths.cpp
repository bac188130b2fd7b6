#include "engine/settings/settings_paths.h"

#include <pwd.h>
#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <fstream>
#include <string_view>
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

std::optional<std::string> EnvironmentVariable(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr) {
        return std::nullopt;
    }
    return std::string(value);
}

// The value of one `XDG_DOCUMENTS_DIR=...` line as the shell reads it: quotes removed,
// backslash escapes resolved and a leading $HOME (or ${HOME}) replaced. Nothing when the line
// sets another variable, uses another variable or the value is not an absolute path.
std::optional<std::filesystem::path> DocumentsLine(std::string_view line,
                                                   const std::filesystem::path& home) {
    constexpr std::string_view key = "XDG_DOCUMENTS_DIR=";
    const auto start = line.find_first_not_of(" \t");
    if (start == std::string_view::npos || line.substr(start, key.size()) != key) {
        return std::nullopt;
    }
    std::string_view raw = line.substr(start + key.size());
    while (!raw.empty() && (raw.back() == '\r' || raw.back() == ' ' || raw.back() == '\t')) {
        raw.remove_suffix(1);
    }
    std::string value;
    bool quoted = false;
    for (std::size_t i = 0; i < raw.size(); ++i) {
        const char c = raw[i];
        if (c == '"') {
            quoted = !quoted;
        } else if (c == '\\' && i + 1 < raw.size()) {
            // Within quotes a backslash only escapes $ ` " and itself.
            const char next = raw[i + 1];
            if (!quoted || std::string_view("$`\"\\").find(next) != std::string_view::npos) {
                ++i;
                value += next;
            } else {
                value += c;
            }
        } else if (c == '$') {
            // Only a leading $HOME is expanded; any other variable makes the line unusable.
            const std::string_view rest = raw.substr(i);
            std::size_t length = 0;
            if (rest.starts_with("${HOME}")) {
                length = 7;
            } else if (rest.starts_with("$HOME") &&
                       (rest.size() == 5 ||
                        !(std::isalnum(static_cast<unsigned char>(rest[5])) || rest[5] == '_'))) {
                length = 5;
            }
            if (length == 0 || !value.empty()) {
                return std::nullopt;
            }
            value = home.string();
            i += length - 1;
        } else {
            value += c;
        }
    }
    if (value.empty() || value.front() != '/') {
        return std::nullopt;
    }
    return std::filesystem::path(value);
}

// "/a/b/" and "/a//b/./" as "/a/b".
std::filesystem::path Tidy(const std::filesystem::path& path) {
    std::filesystem::path tidy = path.lexically_normal();
    if (tidy.has_relative_path() && !tidy.has_filename()) {
        tidy = tidy.parent_path();
    }
    return tidy;
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
    return XdgBaseDirsFrom(EnvironmentVariable);
}

std::filesystem::path DocumentsFolder(const XdgBaseDirs& dirs, const EnvironmentLookup& lookup) {
    // The file is read as the shell sources it: the last line that sets the variable wins.
    std::optional<std::filesystem::path> found;
    std::ifstream in(dirs.configHome / "user-dirs.dirs");
    std::string line;
    while (std::getline(in, line)) {
        if (auto value = DocumentsLine(line, dirs.home)) {
            found = std::move(value);
        }
    }
    if (!found) {
        if (auto value = lookup("XDG_DOCUMENTS_DIR"); value && !value->empty()) {
            std::filesystem::path path(*value);
            if (path.is_absolute()) {
                found = std::move(path);
            }
        }
    }
    return Tidy(found.value_or(dirs.home));
}

std::filesystem::path DocumentsFolderFromEnvironment() {
    return DocumentsFolder(XdgBaseDirsFromEnvironment(), EnvironmentVariable);
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
