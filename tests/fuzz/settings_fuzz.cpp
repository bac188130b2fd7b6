// The settings file: any bytes parse, and every setting reads from them.
#include "engine/settings/ini_file.h"
#include "engine/settings/settings.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input = fuzz::AsText(data, size);
    const auto document = engine::IniDocument::Parse(input);
    const std::string text = document.Serialize();
    for (const auto& section : document.Sections()) {
        for (const auto& key : document.Keys(section)) {
            (void)document.Get(section, key);
        }
    }
    (void)engine::IniDocument::Parse(text).Serialize();
    try {
        engine::SettingsPaths paths;
        paths.configFile = fuzz::WriteScratch("settings/settings.ini", input);
        paths.defaultOutputDir = fuzz::ScratchDir() / "out";
        paths.cacheDir = fuzz::ScratchDir() / "cache";
        paths.cefCacheDir = fuzz::ScratchDir() / "cef";
        const engine::TSettings settings(paths);
        for (const auto& prop : settings.PropList()) {
            switch (prop.kind) {
                case engine::SettingKind::Boolean:
                    (void)settings.GetBoolSetting(prop.index);
                    break;
                case engine::SettingKind::Integer:
                    (void)settings.GetIntSetting(prop.index);
                    break;
                case engine::SettingKind::Float:
                    (void)settings.GetFloatSetting(prop.index);
                    break;
                case engine::SettingKind::String:
                    (void)settings.GetStrSetting(prop.index);
                    break;
            }
        }
    } catch (const std::exception&) {
    }
    return 0;
}
