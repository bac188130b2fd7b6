#include "engine/core/xml_escape.h"

#include <cstddef>

namespace engine {
namespace {

enum class Markup { Keep, Text, Attribute };

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

bool IsContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// Length of the well-formed UTF-8 sequence that starts at `at` (2 to 4 bytes), with its code
// point; 0 when the bytes there are not one (overlong forms and surrogates included).
std::size_t MultiByteLength(std::string_view text, std::size_t at, char32_t& code) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[at + i]); };
    const unsigned char lead = byte(0);
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        code = lead & 0x0F;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        code = lead & 0x07;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (at + length > text.size() || byte(1) < low || byte(1) > high) {
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        if (!IsContinuation(byte(i))) {
            return 0;
        }
        code = (code << 6) | (byte(i) & 0x3F);
    }
    return length;
}

void AppendAscii(std::string& out, char c, Markup markup) {
    if (markup != Markup::Keep) {
        switch (c) {
            case '&':
                out += "&amp;";
                return;
            case '<':
                out += "&lt;";
                return;
            case '>':
                out += "&gt;";
                return;
            default:
                break;
        }
    }
    if (markup == Markup::Attribute) {
        switch (c) {
            case '"':
                out += "&quot;";
                return;
            case '\t':
                out += "&#9;";
                return;
            case '\n':
                out += "&#10;";
                return;
            case '\r':
                out += "&#13;";
                return;
            default:
                break;
        }
    }
    out += c;
}

std::string Clean(std::string_view text, Markup markup) {
    std::string out;
    out.reserve(text.size());
    std::size_t at = 0;
    while (at < text.size()) {
        const auto c = static_cast<unsigned char>(text[at]);
        if (c < 0x80) {
            if (c >= 0x20 || c == '\t' || c == '\n' || c == '\r') {
                AppendAscii(out, static_cast<char>(c), markup);
            }
            ++at;
            continue;
        }
        char32_t code = 0;
        const std::size_t length = MultiByteLength(text, at, code);
        if (length == 0) {
            out += kReplacement;
            ++at;
            continue;
        }
        if (code != 0xFFFE && code != 0xFFFF) {
            out.append(text, at, length);
        }
        at += length;
    }
    return out;
}

}  // namespace

std::string XmlCharacters(std::string_view text) {
    return Clean(text, Markup::Keep);
}

std::string EscapeXmlText(std::string_view text) {
    return Clean(text, Markup::Text);
}

std::string EscapeXmlAttribute(std::string_view text) {
    return Clean(text, Markup::Attribute);
}

std::string XmlCData(std::string_view text) {
    const std::string clean = XmlCharacters(text);
    std::string out = "<![CDATA[";
    std::size_t start = 0;
    for (std::size_t end; (end = clean.find("]]>", start)) != std::string::npos;) {
        // "]]" closes this section, the ">" opens the next one.
        out.append(clean, start, end + 2 - start);
        out += "]]><![CDATA[";
        start = end + 2;
    }
    out.append(clean, start, std::string::npos);
    return out + "]]>";
}

}  // namespace engine
