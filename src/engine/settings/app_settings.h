#pragma once
// The one process-wide settings object. The application creates it explicitly at start-up,
// before any window or worker exists, and destroys it at shutdown.
#include "engine/settings/settings.h"

namespace engine {

// Creates the process-wide instance over the given folders; throws std::logic_error when it
// exists already (destroy it first).
TSettings& CreateAppSettings(const SettingsPaths& paths);
// The process-wide instance; throws std::logic_error when it has not been created.
TSettings& AppSettings();
bool HasAppSettings();
void DestroyAppSettings();

}  // namespace engine
