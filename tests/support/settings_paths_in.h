#pragma once
// Where a settings store made for a test keeps its files: all inside one temporary folder,
// laid out as the program lays them out under a home folder.
#include <filesystem>

#include "engine/settings/settings_paths.h"
#include "support/temp_dir.h"

namespace testsupport {

inline engine::SettingsPaths SettingsPathsIn(const std::filesystem::path& dir) {
    engine::SettingsPaths paths;
    paths.configFile = dir / "config/Vantorel/settings.ini";
    paths.defaultOutputDir = dir / "home/MapDownload";
    paths.cacheDir = dir / "cache/Vantorel/Cache";
    paths.cefCacheDir = dir / "cache/Vantorel/CefCache";
    return paths;
}

inline engine::SettingsPaths SettingsPathsIn(const TempDir& dir) {
    return SettingsPathsIn(dir.path());
}

}  // namespace testsupport
