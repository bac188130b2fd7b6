#pragma once
// A settings store in a fresh temporary folder, for the settings dialog's tests.
#include "engine/settings/settings.h"
#include "support/temp_dir.h"

namespace testmainwindow {

inline engine::SettingsPaths PathsIn(const testsupport::TempDir& home) {
    engine::SettingsPaths paths;
    paths.configFile = home / "config/Vantorel/settings.ini";
    paths.defaultOutputDir = home / "MapDownload";
    paths.cacheDir = home / "cache/Cache";
    paths.cefCacheDir = home / "cache/CefCache";
    return paths;
}

struct TempSettings {
    testsupport::TempDir home;
    engine::TSettings settings{PathsIn(home)};
};

}  // namespace testmainwindow
