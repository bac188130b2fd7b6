#pragma once
// Escaping of text written into XML files (tracks, boundaries, placemarks).
#include <string>
#include <string_view>

namespace geodata {

// Escapes '&', '<' and '>' for element content; quotes pass unchanged.
std::string EscapeXmlText(std::string_view text);
// EscapeXmlText plus the double quotation mark, for attribute values in double quotes.
std::string EscapeXmlAttribute(std::string_view text);

}  // namespace geodata
