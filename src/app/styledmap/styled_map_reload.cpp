#include "styled_map_reload.h"

#include "app/page/page_scripts.h"
#include "app/services/services.h"
#include "engine/settings/settings.h"

namespace styledmap {

void StyledMapReload::ReloadGoogleMap(const QString& params) {
    settings_.SetStrSetting(engine::StrSetting::StyleParamsURL, params.toStdString());
    if (!page_.IsBaiduMap()) {
        page_.RunScript(app::pagescript::SetStyleParams(params));
    }
}

}  // namespace styledmap
