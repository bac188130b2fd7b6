#include "StyledMapWizard/styled_map_reload.h"

#include "engine/settings/settings.h"
#include "mainwindow/app/services.h"

namespace styledmap {

void StyledMapReload::ReloadGoogleMap(const QString& params) {
    settings_.SetStrSetting(engine::StrSetting::StyleParamsURL, params.toStdString());
    page_.LoadMaps();
}

}  // namespace styledmap
