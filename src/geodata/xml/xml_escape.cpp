#include "geodata/xml/xml_escape.h"

namespace geodata {
namespace {

std::string Escape(std::string_view text, bool quotes) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += quotes ? "&quot;" : "\"";
                break;
            default:
                out += c;
                break;
        }
    }
    return out;
}

}  // namespace

std::string EscapeXmlText(std::string_view text) {
    return Escape(text, false);
}

std::string EscapeXmlAttribute(std::string_view text) {
    return Escape(text, true);
}

}  // namespace geodata
