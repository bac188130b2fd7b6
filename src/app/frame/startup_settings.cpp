#include "startup_settings.h"

#include "engine/settings/settings.h"

namespace app {

engine::TMapType StartupMapType(engine::TSettings& settings) {
    const int index = settings.GetIndexSetting(engine::IntSetting::MapTypeIndex);
    if (index != settings.GetIntSetting(engine::IntSetting::MapTypeIndex)) {
        settings.SetIntSetting(engine::IntSetting::MapTypeIndex, index);
    }
    return static_cast<engine::TMapType>(index);
}

}  // namespace app
