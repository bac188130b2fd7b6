#include "geodata/search/lookup_reading.h"

#include <optional>

#include "engine/core/number_format.h"

namespace geodata::lookup_detail {

double NumberOf(const engine::JsonValue& object, std::string_view name) {
    const std::optional<double> value = engine::ParseFloat(engine::GetJsonStr(object, name));
    if (!value) {
        throw MalformedAnswer("unreadable number \"" + std::string(name) + "\"");
    }
    return *value;
}

std::int64_t IntegerOf(const engine::JsonValue& object, std::string_view name) {
    const std::optional<std::int64_t> value = engine::ParseInt(engine::GetJsonStr(object, name));
    if (!value) {
        throw MalformedAnswer("unreadable integer \"" + std::string(name) + "\"");
    }
    return *value;
}

const engine::JsonValue* ObjectOf(const engine::JsonValue& object, std::string_view name) {
    const engine::JsonValue* value = engine::FindJsonPair(object, name);
    return value != nullptr && value->is_object() ? value : nullptr;
}

const engine::JsonValue& RequiredObjectOf(const engine::JsonValue& object, std::string_view name) {
    const engine::JsonValue* value = ObjectOf(object, name);
    if (value == nullptr) {
        throw MalformedAnswer("no object \"" + std::string(name) + "\"");
    }
    return *value;
}

void LogLookup(std::string_view lookup, std::string_view message, std::string_view url) {
    std::string line(lookup);
    line += ": ";
    line += message;
    line += " (";
    line += url;
    line += ")";
    engine::AppendLog(line);
}

}  // namespace geodata::lookup_detail
