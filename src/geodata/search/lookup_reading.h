#pragma once
// Reading values out of a web answer for the lookups and the place search. A value that cannot
// be read throws MalformedAnswer, which the lookup turns into a log line and "no result".
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

#include "engine/core/json_text.h"
#include "engine/log/logger.h"
#include "geodata/search/lookup_result.h"

namespace geodata::lookup_detail {

struct MalformedAnswer : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The number `name` of `object`, written as a JSON number or as a text with ".".
double NumberOf(const engine::JsonValue& object, std::string_view name);
std::int64_t IntegerOf(const engine::JsonValue& object, std::string_view name);
// The object `name` of `object`, or nullptr when it is missing or not an object.
const engine::JsonValue* ObjectOf(const engine::JsonValue& object, std::string_view name);
// As ObjectOf, but a missing or wrong value throws MalformedAnswer.
const engine::JsonValue& RequiredObjectOf(const engine::JsonValue& object, std::string_view name);

void LogLookup(std::string_view lookup, std::string_view message, std::string_view url);

// Runs one lookup; whatever it throws is logged and counts as a failed lookup, so nothing
// escapes to the caller (who may be a background thread).
template <class Body>
LookupResult GuardedLookup(std::string_view lookup, std::string_view url, Body&& body) {
    try {
        return std::forward<Body>(body)();
    } catch (const std::exception& error) {
        LogLookup(lookup, error.what(), url);
    } catch (...) {
        LogLookup(lookup, "unknown error", url);
    }
    return LookupResult::Status::Failed;
}

}  // namespace geodata::lookup_detail
