#include "StyledMapWizard/styled_map_reload.h"

#include "engine/settings/settings.h"
#include "mainwindow/app/services.h"
#include "mainwindow/page/page_scripts.h"

namespace styledmap {

void StyledMapReload::ReloadGoogleMap(const QString& params) {
    settings_.SetStrSetting(engine::StrSetting::StyleParamsURL, params.toStdString());
    if (!page_.IsBaiduMap()) {
        page_.RunScript(mainwindow::pagescript::SetStyleParams(params));
    }
}

}  // namespace styledmap
