#include "mainwindow/app/startup_settings.h"

#include "engine/settings/settings.h"
#include "mainwindow/app/exception_log.h"

namespace mainwindow {

engine::TMapType StartupMapType(engine::TSettings& settings) {
    constexpr int kDefault = 3;
    const int index = settings.GetIntSetting(engine::IntSetting::MapTypeIndex);
    if (index >= 0 && index < engine::kMapTypeCount) {
        return static_cast<engine::TMapType>(index);
    }
    Log(QStringLiteral("settings: MapTypeIndex %1 is not a layer; %2 is used")
            .arg(index)
            .arg(kDefault));
    settings.SetIntSetting(engine::IntSetting::MapTypeIndex, kDefault);
    return static_cast<engine::TMapType>(kDefault);
}

}  // namespace mainwindow
