#pragma once
// A table of typed settings persisted in an ini file: one section per type ("Boolean",
// "Integer", "Float", "String"), one key per setting whose value differs from its default.
// There is no cache; every read and every write goes to the file, so several objects on one
// file always agree.
#include <cstdint>
#include <mutex>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "engine/settings/ini_file.h"

namespace engine {

// A settings table that cannot be built (two settings of one type sharing an index).
class IniConfigError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

enum class SettingKind : std::uint8_t { Boolean, Integer, Float, String };

struct SettingDescriptor {
    std::string name;  // also the ini key
    SettingKind kind = SettingKind::Integer;
    int index = 0;            // unique within its kind
    int declaredDefault = 0;  // Boolean (non-zero is true) and Integer settings only
};

class TIniConfig {
  public:
    virtual ~TIniConfig() = default;
    TIniConfig(const TIniConfig&) = delete;
    TIniConfig& operator=(const TIniConfig&) = delete;

    const IniFile& Ini() const { return ini_; }
    // The descriptor table, sorted by name.
    const std::vector<SettingDescriptor>& PropList() const { return propList_; }

    // The registered default of a setting name (letter case ignored); empty when none.
    virtual std::string GetDefaultValue(std::string_view name) const;
    void AddDefault(std::string name, std::string value);

    // An index without a descriptor of that type reads false, 0, 0 or "". A stored text that
    // does not parse as the setting's type reads as its default, with a line in the log.
    bool GetBoolSetting(int index) const;
    std::int32_t GetIntSetting(int index) const;
    double GetFloatSetting(int index) const;
    std::string GetStrSetting(int index) const;

    // A value equal to the setting's default deletes its key; anything else is written.
    // An index without a descriptor does nothing. A refused write throws IniWriteError.
    void SetBoolSetting(int index, bool value);
    void SetIntSetting(int index, std::int32_t value);
    void SetFloatSetting(int index, double value);
    void SetStrSetting(int index, std::string_view value);

    // Section of a type.
    static std::string_view SectionName(SettingKind kind);

  protected:
    // `className` names the store in error texts.
    TIniConfig(std::string className, std::vector<SettingDescriptor> props, IniFile ini);
    // Second construction step, run by the most derived constructor once its RegisterDefaults
    // can be called: registers the defaults, then checks the indices (throws IniConfigError).
    void Initialize();
    virtual void RegisterDefaults() {}
    // Writes a line to the program's log the first time this store meets it, so that a damaged
    // value read at every page load or download start leaves one trace, not thousands.
    void LogOnce(const std::string& line) const;

  private:
    void CheckPropIndexes() const;
    const SettingDescriptor* Find(SettingKind kind, int index) const;
    bool BoolDefault(const SettingDescriptor& prop) const { return prop.declaredDefault != 0; }
    double FloatDefault(const SettingDescriptor& prop) const;
    void LogUnreadable(const SettingDescriptor& prop, std::string_view text,
                       std::string_view fallback) const;

    std::string className_;
    IniFile ini_;
    std::vector<SettingDescriptor> propList_;
    std::vector<std::string> defPropNames_;
    std::vector<std::string> defPropValues_;
    mutable std::mutex loggedLock_;
    mutable std::set<std::string> logged_;  // guarded by loggedLock_
};

}  // namespace engine
