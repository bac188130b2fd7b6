#pragma once
// A settings store in a fresh temporary folder, for the settings dialog's tests.
#include "engine/settings/settings.h"
#include "support/scoped_log_folder.h"
#include "support/settings_paths_in.h"
#include "support/temp_dir.h"

namespace testmainwindow {

inline engine::SettingsPaths PathsIn(const testsupport::TempDir& home) {
    return testsupport::SettingsPathsIn(home);
}

struct TempSettings {
    testsupport::TempDir home;
    testsupport::ScopedLogFolder log{home / "log"};
    engine::TSettings settings{PathsIn(home)};
};

}  // namespace testmainwindow
