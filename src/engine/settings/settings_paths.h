#pragma once
// The per-user folders of the system, following the XDG base-directory rules. The application
// computes them once at start-up and hands them to the stores, so tests can point every store
// at a temporary folder.
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace engine {

struct XdgBaseDirs {
    std::filesystem::path home;        // $HOME
    std::filesystem::path configHome;  // $XDG_CONFIG_HOME or ~/.config
    std::filesystem::path cacheHome;   // $XDG_CACHE_HOME or ~/.cache
    std::filesystem::path dataHome;    // $XDG_DATA_HOME or ~/.local/share
    std::filesystem::path stateHome;   // $XDG_STATE_HOME or ~/.local/state
};

// Looks a variable up; nothing when it is not set.
using EnvironmentLookup = std::function<std::optional<std::string>(const char* name)>;

// A variable that is unset, empty or not an absolute path falls back to its default under the
// home folder; without $HOME the password database's home folder is used.
XdgBaseDirs XdgBaseDirsFrom(const EnvironmentLookup& lookup);
XdgBaseDirs XdgBaseDirsFromEnvironment();

// The user's documents folder, as `xdg-user-dir DOCUMENTS` gives it: XDG_DOCUMENTS_DIR from
// user-dirs.dirs in the config folder ("$HOME/..." or an absolute path), else the variable of
// that name when it holds an absolute path, else the home folder. The task and marker folders
// live below it.
std::filesystem::path DocumentsFolder(const XdgBaseDirs& dirs, const EnvironmentLookup& lookup);
std::filesystem::path DocumentsFolderFromEnvironment();

// The folders behind the settings file and its path defaults.
struct SettingsPaths {
    std::filesystem::path configFile;        // .../Vantorel/settings.ini
    std::filesystem::path defaultOutputDir;  // ~/MapDownload
    std::filesystem::path cacheDir;          // $XDG_CACHE_HOME/Vantorel/Cache
    std::filesystem::path cefCacheDir;       // $XDG_CACHE_HOME/Vantorel/CefCache
};

SettingsPaths SettingsPathsFor(const XdgBaseDirs& dirs);

}  // namespace engine
