#pragma once
// Text from users and files (task, marker, track and place names, notes) as every XML file the
// system writes holds it, so that each file stays well-formed whatever the names contain:
// characters XML 1.0 forbids (controls other than tab, line feed and carriage return, U+FFFE,
// U+FFFF) are left out, and bytes that are not UTF-8 become U+FFFD.
#include <string>
#include <string_view>

namespace engine {

// The text with only the characters XML 1.0 allows, no markup escaped.
std::string XmlCharacters(std::string_view text);
// For element content: '&', '<' and '>' escaped; quotes pass unchanged.
std::string EscapeXmlText(std::string_view text);
// For attribute values in double quotes: EscapeXmlText plus the double quotation mark, and tab,
// line feed and carriage return as character references (a reader would turn them into spaces).
std::string EscapeXmlAttribute(std::string_view text);
// A CDATA section holding the text; a "]]>" in it is split over two sections.
std::string XmlCData(std::string_view text);

}  // namespace engine
