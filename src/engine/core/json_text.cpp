#include "engine/core/json_text.h"

#include <vector>

namespace engine {
namespace {

// Builds an ordered_json from SAX events. Unlike the library's own DOM builder, a repeated name
// within one object does not replace the earlier value: the repeated pair and everything nested
// in its value are skipped.
class FirstKeyWinsBuilder {
  public:
    using number_integer_t = JsonValue::number_integer_t;
    using number_unsigned_t = JsonValue::number_unsigned_t;
    using number_float_t = JsonValue::number_float_t;
    using string_t = JsonValue::string_t;
    using binary_t = JsonValue::binary_t;

    bool null() { return Add(JsonValue(nullptr)); }
    bool boolean(bool value) { return Add(JsonValue(value)); }
    bool number_integer(number_integer_t value) { return Add(JsonValue(value)); }
    bool number_unsigned(number_unsigned_t value) { return Add(JsonValue(value)); }
    bool number_float(number_float_t value, const string_t&) { return Add(JsonValue(value)); }
    bool string(string_t& value) { return Add(JsonValue(std::move(value))); }
    bool binary(binary_t& value) { return Add(JsonValue::binary(std::move(value))); }

    bool start_object(std::size_t) { return Open(JsonValue::object()); }
    bool start_array(std::size_t) { return Open(JsonValue::array()); }
    bool end_object() { return Close(); }
    bool end_array() { return Close(); }

    bool key(string_t& name) {
        if (skipDepth_ > 0) {
            return true;
        }
        JsonValue& object = *stack_.back();
        if (object.contains(name)) {
            skipNext_ = true;
        } else {
            pendingKey_ = std::move(name);
        }
        return true;
    }

    bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception&) {
        failed_ = true;
        return false;
    }

    bool failed() const { return failed_; }
    JsonValue& result() { return root_; }

  private:
    // Places a complete value; returns where it went so that containers can be entered.
    JsonValue* Place(JsonValue value) {
        if (stack_.empty()) {
            root_ = std::move(value);
            return &root_;
        }
        JsonValue& parent = *stack_.back();
        if (parent.is_array()) {
            parent.push_back(std::move(value));
            return &parent.back();
        }
        auto [it, inserted] = parent.emplace(std::move(pendingKey_), std::move(value));
        pendingKey_.clear();
        return &it.value();
    }

    bool Add(JsonValue value) {
        if (skipDepth_ > 0) {
            return true;
        }
        if (skipNext_) {
            skipNext_ = false;
            return true;
        }
        Place(std::move(value));
        return true;
    }

    bool Open(JsonValue container) {
        if (skipDepth_ > 0) {
            ++skipDepth_;
            return true;
        }
        if (skipNext_) {
            skipNext_ = false;
            skipDepth_ = 1;
            return true;
        }
        stack_.push_back(Place(std::move(container)));
        return true;
    }

    bool Close() {
        if (skipDepth_ > 0) {
            --skipDepth_;
            return true;
        }
        stack_.pop_back();
        return true;
    }

    JsonValue root_;
    std::vector<JsonValue*> stack_;
    string_t pendingKey_;
    bool skipNext_ = false;
    int skipDepth_ = 0;
    bool failed_ = false;
};

}  // namespace

std::string ExtractJsonObjectText(std::string_view text) {
    std::string result(text);
    const std::size_t open = result.find('{');
    if (open != std::string::npos && open > 0) {
        result.erase(0, open);
    }
    if (result.empty()) {
        return result;
    }
    const std::size_t close = result.rfind('}');
    if (close == std::string::npos || close == 0) {
        result.resize(1);
    } else {
        result.resize(close + 1);
    }
    return result;
}

std::optional<JsonValue> ParseJsonText(std::string_view text) {
    try {
        FirstKeyWinsBuilder builder;
        const bool ok = JsonValue::sax_parse(text.begin(), text.end(), &builder);
        if (!ok || builder.failed()) {
            return std::nullopt;
        }
        return std::move(builder.result());
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

const JsonValue* FindJsonPair(const JsonValue& object, std::string_view name) {
    if (!object.is_object()) {
        return nullptr;
    }
    for (auto it = object.begin(); it != object.end(); ++it) {
        if (it.key() == name) {
            return &it.value();
        }
    }
    return nullptr;
}

std::string GetJsonStr(const JsonValue& object, std::string_view name) {
    const JsonValue* value = FindJsonPair(object, name);
    if (value == nullptr) {
        return {};
    }
    if (value->is_string()) {
        return value->get<std::string>();
    }
    if (value->is_number() || value->is_boolean()) {
        return value->dump();
    }
    return {};
}

}  // namespace engine
