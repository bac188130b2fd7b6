#pragma once
// Small helpers for JSON web answers: cut the object out of a wrapped text, parse it without
// exceptions, and look up pairs of an object by name in their order.
#include <optional>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

namespace engine {

using JsonValue = nlohmann::ordered_json;

// Cuts a text to its JSON object: drops everything before the first "{" (when that is not the
// first character) and everything after the last "}" (looking back to the second character).
// A text without such a "}" comes back as its first character alone.
std::string ExtractJsonObjectText(std::string_view text);

// Parses JSON text into a value whose objects keep their pairs in the order of the text. When a
// name occurs twice in one object, the first pair is kept. Malformed text (broken syntax,
// invalid UTF-8, trailing characters) gives nothing; no exception escapes.
std::optional<JsonValue> ParseJsonText(std::string_view text);

// The value of the first pair named exactly `name` (letter case counts), owned by `object`;
// nullptr when there is none or `object` is not an object.
const JsonValue* FindJsonPair(const JsonValue& object, std::string_view name);

// As FindJsonPair, but the value's text: a string's content, a number's written form, "true" or
// "false". Empty when there is no such pair, or for null, objects and arrays.
std::string GetJsonStr(const JsonValue& object, std::string_view name);

}  // namespace engine
