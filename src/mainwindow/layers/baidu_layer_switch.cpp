#include "mainwindow/layers/baidu_layer_switch.h"

#include "engine/core/catalogue.h"
#include "engine/settings/settings.h"
#include "mainwindow/app/page_wait.h"
#include "mainwindow/page/page_scripts.h"

namespace mainwindow {

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

}  // namespace mainwindow
