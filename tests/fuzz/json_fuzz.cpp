// The JSON helpers: any text is cut to its object and parsed without harm.
#include "engine/core/json_text.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input = fuzz::AsText(data, size);
    const std::string object = engine::ExtractJsonObjectText(input);
    for (const std::string_view text : {input, std::string_view(object)}) {
        const auto json = engine::ParseJsonText(text);
        if (json && json->is_object()) {
            for (const auto& [name, value] : json->items()) {
                (void)engine::FindJsonPair(*json, name);
                (void)engine::GetJsonStr(*json, name);
                (void)value;
            }
        }
    }
    return 0;
}
