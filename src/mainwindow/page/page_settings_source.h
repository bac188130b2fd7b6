#pragma once
// The page settings taken from the settings store.
#include "engine/settings/settings.h"
#include "mainwindow/page/page_settings_script.h"

namespace mainwindow {

PageSettings PageSettingsFrom(const engine::TSettings& settings);

}  // namespace mainwindow
