#include "engine/core/xml_escape.h"

#include <gtest/gtest.h>

namespace {

TEST(XmlEscapeTest, TextAndAttributeEscapeMarkupAndLeaveOutWhatXmlForbids) {
    struct Case {
        std::string input;
        const char* text;
        const char* attribute;
    };
    const Case cases[] = {
        {"", "", ""},
        {"plain 中文 🗺", "plain 中文 🗺", "plain 中文 🗺"},
        {"a&b<c>d", "a&amp;b&lt;c&gt;d", "a&amp;b&lt;c&gt;d"},
        {"say \"hi\" 'x'", "say \"hi\" 'x'", "say &quot;hi&quot; 'x'"},
        {"&amp;", "&amp;amp;", "&amp;amp;"},
        // Tab, line feed and carriage return are XML characters; an attribute keeps them as
        // references, since a reader turns them into spaces there.
        {"a\tb\r\nc", "a\tb\r\nc", "a&#9;b&#13;&#10;c"},
        // Other controls (NUL too) are left out, DEL is a character.
        {std::string("a\x01-b\x1F-c\x7F-\0-d", 12), "a-b-c\x7F--d", "a-b-c\x7F--d"},
        // U+FFFE and U+FFFF are not characters; U+FFFD is.
        {"x\xEF\xBF\xBEy\xEF\xBF\xBFz\xEF\xBF\xBD", "xyz\xEF\xBF\xBD", "xyz\xEF\xBF\xBD"},
        // Bytes that are not UTF-8: a lone continuation, a cut sequence, an overlong form, a
        // surrogate, a byte above F4; each bad byte becomes U+FFFD.
        {"a\x80z", "a\xEF\xBF\xBDz", "a\xEF\xBF\xBDz"},
        {"\xE4\xB8", "\xEF\xBF\xBD\xEF\xBF\xBD", "\xEF\xBF\xBD\xEF\xBF\xBD"},
        {"\xC0\xBC", "\xEF\xBF\xBD\xEF\xBF\xBD", "\xEF\xBF\xBD\xEF\xBF\xBD"},
        {"\xED\xA0\x80", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD",
         "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
        {"\xF5<", "\xEF\xBF\xBD&lt;", "\xEF\xBF\xBD&lt;"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(engine::EscapeXmlText(c.input), c.text) << c.input;
        EXPECT_EQ(engine::EscapeXmlAttribute(c.input), c.attribute) << c.input;
    }
    EXPECT_EQ(engine::XmlCharacters("a&\x02<b>"), "a&<b>");
}

TEST(XmlEscapeTest, CDataSplitsItsEndMarkerAndLeavesOutForbiddenCharacters) {
    EXPECT_EQ(engine::XmlCData(""), "<![CDATA[]]>");
    EXPECT_EQ(engine::XmlCData("武汉 A&B <1>"), "<![CDATA[武汉 A&B <1>]]>");
    EXPECT_EQ(engine::XmlCData("a]]>b"), "<![CDATA[a]]]]><![CDATA[>b]]>");
    EXPECT_EQ(engine::XmlCData("]]>]]>"), "<![CDATA[]]]]><![CDATA[>]]]]><![CDATA[>]]>");
    // A control between "]]" and ">" is left out first, so the marker it hid is split too.
    EXPECT_EQ(engine::XmlCData("]]\x03>"), "<![CDATA[]]]]><![CDATA[>]]>");
}

}  // namespace
