#pragma once
// The page settings taken from the settings store.
#include "engine/settings/settings.h"
#include "page_settings_script.h"

namespace app {

PageSettings PageSettingsFrom(const engine::TSettings& settings);

}  // namespace app
