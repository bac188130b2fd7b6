#include "engine/core/json_text.h"

#include <string>

#include <gtest/gtest.h>

namespace {

using engine::ExtractJsonObjectText;
using engine::FindJsonPair;
using engine::GetJsonStr;
using engine::JsonValue;
using engine::ParseJsonText;

TEST(ExtractJsonObjectText, CutsTheObjectOutOfItsWrapping) {
    struct Case {
        const char* text;
        const char* expected;
    };
    const Case cases[] = {
        {"renderReverse&&renderReverse({\"status\":0,\"a\":{\"b\":1}});",
         "{\"status\":0,\"a\":{\"b\":1}}"},
        {"var x = {\"a\":1};\n", "{\"a\":1}"},
        {"{\"a\":1} trailing", "{\"a\":1}"},  // a text starting with "{" keeps its start
        {"{\"a\":1", "{"},                    // no "}" after the first character
        {"abc", "a"},                         // neither brace
        {"}abc", "}"},                        // a "}" only at the first character is not met
        {"x}", "x}"},
        {"", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ExtractJsonObjectText(c.text), c.expected) << c.text;
    }
}

TEST(ParseJsonText, FirstOfTwoEqualNamesWinsAtEveryLevel) {
    const auto parsed = ParseJsonText(
        R"({"a":1,"b":{"x":"first","x":"second"},"a":{"deep":[1,{"a":2}]},"c":[{"k":1,"k":2}],)"
        R"("b":"later"})");
    ASSERT_TRUE(parsed.has_value());
    EXPECT_EQ(parsed->dump(), R"({"a":1,"b":{"x":"first"},"c":[{"k":1}]})");
}

TEST(ParseJsonText, KeepsPairsInTextOrder) {
    const auto parsed = ParseJsonText(R"({"z":1,"a":2,"m":3})");
    ASSERT_TRUE(parsed.has_value());
    std::string names;
    for (auto it = parsed->begin(); it != parsed->end(); ++it) {
        names += it.key();
    }
    EXPECT_EQ(names, "zam");
}

TEST(ParseJsonText, MalformedTextGivesNothing) {
    const std::string deep(100000, '[');
    const char* cases[] = {
        "",        "{",   R"({"a":})", R"({"a":1} x)", "{\"a\":\"\xff\"}", "renderReverse({})",
        "{'a':1}", "[1,]"};
    for (const char* text : cases) {
        EXPECT_FALSE(ParseJsonText(text).has_value()) << text;
    }
    EXPECT_FALSE(ParseJsonText(deep).has_value());
}

TEST(FindJsonPair, MatchesNamesExactlyAndReturnsTheObjectsOwnValue) {
    const auto object = ParseJsonText(R"({"Status":"OK","result":{"n":1},"status":"lower"})");
    ASSERT_TRUE(object.has_value());
    const JsonValue* result = FindJsonPair(*object, "result");
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(result, &(*object)["result"]);
    EXPECT_EQ(GetJsonStr(*object, "status"), "lower");
    EXPECT_EQ(GetJsonStr(*object, "Status"), "OK");
    EXPECT_EQ(FindJsonPair(*object, "STATUS"), nullptr);
    EXPECT_EQ(FindJsonPair(*object, "missing"), nullptr);
    EXPECT_EQ(FindJsonPair(JsonValue::array({1, 2}), "0"), nullptr);
}

TEST(GetJsonStr, GivesTheTextOfEachKindOfValue) {
    const auto object = ParseJsonText(
        R"({"s":"\u4e2d\u56fd","i":-42,"u":18446744073709551615,"f":116.403874,"t":true,)"
        R"("n":false,"z":null,"o":{"a":1},"a":[1]})");
    ASSERT_TRUE(object.has_value());
    struct Case {
        const char* name;
        const char* text;
    };
    const Case cases[] = {{"s", "中国"},       {"i", "-42"},  {"u", "18446744073709551615"},
                          {"f", "116.403874"}, {"t", "true"}, {"n", "false"},
                          {"z", ""},           {"o", ""},     {"a", ""},
                          {"missing", ""}};
    for (const Case& c : cases) {
        EXPECT_EQ(GetJsonStr(*object, c.name), c.text) << c.name;
    }
}

}  // namespace
