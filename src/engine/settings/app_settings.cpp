#include "engine/settings/app_settings.h"

#include <memory>
#include <stdexcept>

namespace engine {
namespace {

std::unique_ptr<TSettings>& Instance() {
    static std::unique_ptr<TSettings> instance;
    return instance;
}

}  // namespace

TSettings& CreateAppSettings(const SettingsPaths& paths) {
    // Replacing it would pull the object from under threads that hold a reference.
    if (Instance()) {
        throw std::logic_error("AppSettings created twice");
    }
    Instance() = std::make_unique<TSettings>(paths);
    return *Instance();
}

TSettings& AppSettings() {
    if (!Instance()) {
        throw std::logic_error("AppSettings used before CreateAppSettings");
    }
    return *Instance();
}

bool HasAppSettings() {
    return Instance() != nullptr;
}

void DestroyAppSettings() {
    Instance().reset();
}

}  // namespace engine
