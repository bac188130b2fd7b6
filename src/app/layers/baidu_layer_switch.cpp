#include "baidu_layer_switch.h"

#include "app/page/page_scripts.h"
#include "app/services/page_wait.h"
#include "engine/core/catalogue.h"
#include "engine/settings/settings.h"

namespace app {

void SwitchBaiduLayer(engine::TSettings& settings, PageWait& page, engine::TMapType mapType,
                      int cityNameIndex, std::function<void(const QString&)> then) {
    settings.SetBoolSetting(engine::BoolSetting::BigFontMode, false);
    const std::size_t city =
        cityNameIndex >= 0 && cityNameIndex < static_cast<int>(engine::Baidu3DCities.size())
            ? static_cast<std::size_t>(cityNameIndex)
            : 0;
    page.Run(
        pagescript::ChangeMapType(mapType, true, QString::fromUtf8(engine::Baidu3DCities[city]),
                                  QString::fromUtf8(engine::Baidu3DCityCenters[city])),
        std::move(then));
}

}  // namespace app
