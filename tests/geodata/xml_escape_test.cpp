#include "geodata/xml/xml_escape.h"

#include <gtest/gtest.h>

namespace {

TEST(XmlEscapeTest, TextAndAttributeDifferOnlyInQuotes) {
    struct Case {
        const char* input;
        const char* text;
        const char* attribute;
    };
    const Case cases[] = {
        {"", "", ""},
        {"plain 中文", "plain 中文", "plain 中文"},
        {"a&b<c>d", "a&amp;b&lt;c&gt;d", "a&amp;b&lt;c&gt;d"},
        {"say \"hi\" 'x'", "say \"hi\" 'x'", "say &quot;hi&quot; 'x'"},
        {"&amp;", "&amp;amp;", "&amp;amp;"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(geodata::EscapeXmlText(c.input), c.text) << c.input;
        EXPECT_EQ(geodata::EscapeXmlAttribute(c.input), c.attribute) << c.input;
    }
}

}  // namespace
