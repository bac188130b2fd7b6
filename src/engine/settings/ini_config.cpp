#include "engine/settings/ini_config.h"

#include <algorithm>
#include <limits>

#include "engine/core/number_format.h"
#include "engine/core/text_helpers.h"
#include "engine/log/logger.h"

namespace engine {
namespace {

bool LessText(std::string_view a, std::string_view b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return LowerAscii(x) < LowerAscii(y);
    });
}

}  // namespace

TIniConfig::TIniConfig(std::string className, std::vector<SettingDescriptor> props, IniFile ini)
    : className_(std::move(className)), ini_(std::move(ini)), propList_(std::move(props)) {
    std::stable_sort(propList_.begin(), propList_.end(),
                     [](const SettingDescriptor& a, const SettingDescriptor& b) {
                         return LessText(a.name, b.name);
                     });
}

void TIniConfig::Initialize() {
    RegisterDefaults();
    CheckPropIndexes();
}

void TIniConfig::CheckPropIndexes() const {
    for (std::size_t later = 1; later < propList_.size(); ++later) {
        for (std::size_t earlier = 0; earlier < later; ++earlier) {
            const auto& a = propList_[later];
            const auto& b = propList_[earlier];
            if (a.kind == b.kind && a.index == b.index) {
                throw IniConfigError("Property index does not allow duplicates. Class: " +
                                     className_ + ", Property: " + a.name + " and " + b.name);
            }
        }
    }
}

std::string_view TIniConfig::SectionName(SettingKind kind) {
    switch (kind) {
        case SettingKind::Boolean:
            return "Boolean";
        case SettingKind::Integer:
            return "Integer";
        case SettingKind::Float:
            return "Float";
        case SettingKind::String:
            return "String";
    }
    return "";
}

std::string TIniConfig::GetDefaultValue(std::string_view name) const {
    for (std::size_t i = 0; i < defPropNames_.size(); ++i) {
        if (SameText(defPropNames_[i], name)) {
            return defPropValues_[i];
        }
    }
    return "";
}

void TIniConfig::AddDefault(std::string name, std::string value) {
    defPropNames_.push_back(std::move(name));
    defPropValues_.push_back(std::move(value));
}

const SettingDescriptor* TIniConfig::Find(SettingKind kind, int index) const {
    for (const auto& prop : propList_) {
        if (prop.kind == kind && prop.index == index) {
            return &prop;
        }
    }
    return nullptr;
}

void TIniConfig::LogOnce(const std::string& line) const {
    {
        const std::lock_guard<std::mutex> guard(loggedLock_);
        if (!logged_.insert(line).second) {
            return;
        }
    }
    AppendLog(line);
}

void TIniConfig::LogUnreadable(const SettingDescriptor& prop, std::string_view text,
                               std::string_view fallback) const {
    LogOnce("settings: [" + std::string(SectionName(prop.kind)) + "] " + prop.name + "=" +
            std::string(text) + " cannot be read; the default " + std::string(fallback) +
            " is used");
}

double TIniConfig::FloatDefault(const SettingDescriptor& prop) const {
    return ParseFloat(GetDefaultValue(prop.name)).value_or(0.0);
}

bool TIniConfig::GetBoolSetting(int index) const {
    const auto* prop = Find(SettingKind::Boolean, index);
    if (prop == nullptr) {
        return false;
    }
    const auto text = ini_.Read(SectionName(prop->kind), prop->name);
    if (!text) {
        return BoolDefault(*prop);
    }
    if (const auto value = ParseInt32(*text, true)) {
        return *value != 0;
    }
    LogUnreadable(*prop, *text, BoolDefault(*prop) ? "1" : "0");
    return BoolDefault(*prop);
}

std::int32_t TIniConfig::GetIntSetting(int index) const {
    const auto* prop = Find(SettingKind::Integer, index);
    if (prop == nullptr) {
        return 0;
    }
    const auto text = ini_.Read(SectionName(prop->kind), prop->name);
    if (!text) {
        return prop->declaredDefault;
    }
    if (const auto value = ParseInt32(*text, true)) {
        return *value;
    }
    LogUnreadable(*prop, *text, FormatInt(prop->declaredDefault));
    return prop->declaredDefault;
}

double TIniConfig::GetFloatSetting(int index) const {
    const auto* prop = Find(SettingKind::Float, index);
    if (prop == nullptr) {
        return 0;
    }
    const auto text = ini_.Read(SectionName(prop->kind), prop->name);
    if (!text) {
        return FloatDefault(*prop);
    }
    if (const auto value = ParseFloat(*text)) {
        return *value;
    }
    LogUnreadable(*prop, *text, FormatFloat(FloatDefault(*prop)));
    return FloatDefault(*prop);
}

std::string TIniConfig::GetStrSetting(int index) const {
    const auto* prop = Find(SettingKind::String, index);
    if (prop == nullptr) {
        return "";
    }
    auto text = ini_.Read(SectionName(prop->kind), prop->name);
    return text ? std::move(*text) : GetDefaultValue(prop->name);
}

void TIniConfig::SetBoolSetting(int index, bool value) {
    const auto* prop = Find(SettingKind::Boolean, index);
    if (prop == nullptr) {
        return;
    }
    if (value == BoolDefault(*prop)) {
        ini_.DeleteKey(SectionName(prop->kind), prop->name);
    } else {
        ini_.WriteString(SectionName(prop->kind), prop->name, value ? "1" : "0");
    }
}

void TIniConfig::SetIntSetting(int index, std::int32_t value) {
    const auto* prop = Find(SettingKind::Integer, index);
    if (prop == nullptr) {
        return;
    }
    if (value == prop->declaredDefault) {
        ini_.DeleteKey(SectionName(prop->kind), prop->name);
    } else {
        ini_.WriteString(SectionName(prop->kind), prop->name, FormatInt(value));
    }
}

void TIniConfig::SetFloatSetting(int index, double value) {
    const auto* prop = Find(SettingKind::Float, index);
    if (prop == nullptr) {
        return;
    }
    if (value == FloatDefault(*prop)) {
        ini_.DeleteKey(SectionName(prop->kind), prop->name);
    } else {
        ini_.WriteString(SectionName(prop->kind), prop->name, FormatFloat(value));
    }
}

void TIniConfig::SetStrSetting(int index, std::string_view value) {
    const auto* prop = Find(SettingKind::String, index);
    if (prop == nullptr) {
        return;
    }
    if (value == GetDefaultValue(prop->name)) {
        ini_.DeleteKey(SectionName(prop->kind), prop->name);
    } else {
        ini_.WriteString(SectionName(prop->kind), prop->name, value);
    }
}

}  // namespace engine
