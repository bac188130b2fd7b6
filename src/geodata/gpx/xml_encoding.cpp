#include "geodata/gpx/xml_encoding.h"

#include <cstdint>
#include <utility>

#include "engine/core/number_format.h"
#include "geodata/gpx/text_utils.h"
#include "geodata/text/encoding.h"

namespace geodata {
namespace {

// How the first bytes of an XML entity are laid out (XML 1.0, appendix F).
struct Layout {
    const char* encoding;  // nullptr for an 8-bit encoding, which the declaration names
    std::size_t markSize;  // the byte-order mark, left out of the text
};

bool StartsWith(std::string_view bytes, std::string_view prefix) {
    return bytes.substr(0, prefix.size()) == prefix;
}

Layout DetectLayout(std::string_view b) {
    using namespace std::string_view_literals;
    struct Sign {
        std::string_view start;
        Layout layout;
    };
    // The marks first, the four-byte ones before "FF FE" (which also begins UTF-32LE's);
    // then, without a mark, "<" or "<?" as wide characters.
    static constexpr Sign kSigns[] = {
        {"\x00\x00\xFE\xFF"sv, {"UTF-32BE", 4}}, {"\xFF\xFE\x00\x00"sv, {"UTF-32LE", 4}},
        {"\xFE\xFF"sv, {"UTF-16BE", 2}},         {"\xFF\xFE"sv, {"UTF-16LE", 2}},
        {"\xEF\xBB\xBF"sv, {"UTF-8", 3}},        {"\x00\x00\x00\x3C"sv, {"UTF-32BE", 0}},
        {"\x3C\x00\x00\x00"sv, {"UTF-32LE", 0}}, {"\x00\x3C\x00\x3F"sv, {"UTF-16BE", 0}},
        {"\x3C\x00\x3F\x00"sv, {"UTF-16LE", 0}},
    };
    for (const Sign& sign : kSigns) {
        if (StartsWith(b, sign.start)) {
            return sign.layout;
        }
    }
    return {nullptr, 0};
}

bool IsXmlSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// The encoding named by the declaration "<?xml ... encoding="..." ...?>" at the start of the
// text; empty when there is no declaration or it names none.
std::string DeclaredEncoding(std::string_view text) {
    if (!StartsWith(text, "<?xml") || text.size() < 6 || !IsXmlSpace(text[5])) {
        return {};
    }
    const std::size_t end = text.find("?>");
    const std::string_view declaration = text.substr(0, end);
    for (std::size_t at = declaration.find("encoding"); at != std::string_view::npos;
         at = declaration.find("encoding", at + 1)) {
        if (!IsXmlSpace(declaration[at - 1])) {
            continue;
        }
        std::size_t i = at + 8;
        while (i < declaration.size() && IsXmlSpace(declaration[i])) {
            ++i;
        }
        if (i >= declaration.size() || declaration[i] != '=') {
            continue;
        }
        ++i;
        while (i < declaration.size() && IsXmlSpace(declaration[i])) {
            ++i;
        }
        if (i >= declaration.size() || (declaration[i] != '"' && declaration[i] != '\'')) {
            return {};
        }
        const std::size_t close = declaration.find(declaration[i], i + 1);
        if (close == std::string_view::npos) {
            return {};
        }
        return std::string(declaration.substr(i + 1, close - i - 1));
    }
    return {};
}

// XML's grammar for encoding names: a letter, then letters, digits, ".", "_" and "-".
bool IsEncodingName(std::string_view name) {
    if (name.empty() ||
        !((name[0] >= 'A' && name[0] <= 'Z') || (name[0] >= 'a' && name[0] <= 'z'))) {
        return false;
    }
    for (const char c : name) {
        if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
              c == '.' || c == '_' || c == '-')) {
            return false;
        }
    }
    return true;
}

bool IsUtf8Name(std::string_view name) {
    return SameText(name, "UTF-8") || SameText(name, "UTF8");
}

// A name of a 16- or 32-bit encoding in a file whose first characters are single bytes: the
// declaration cannot be right, the bytes are read as UTF-8.
bool IsWideName(std::string_view name) {
    return StartsWithNoCase(name, "UTF-16") || StartsWithNoCase(name, "UTF-32") ||
           StartsWithNoCase(name, "UCS-2") || StartsWithNoCase(name, "UCS-4") ||
           SameText(name, "UTF16") || SameText(name, "UTF32") || SameText(name, "UNICODE");
}

XmlText Utf8Text(std::string_view bytes) {
    XmlText result;
    const std::size_t bad = FirstInvalidUtf8(bytes);
    if (bad != bytes.size()) {
        result.error = "The text is not UTF-8 (byte " +
                       engine::FormatInt(static_cast<std::int64_t>(bad)) +
                       "); declare its encoding in the XML declaration";
        return result;
    }
    result.ok = true;
    result.utf8 = std::string(bytes);
    return result;
}

// A declared name as the log shows it: short, printable ASCII.
std::string Shown(std::string_view name) {
    std::string shown;
    for (const char c : name.substr(0, 40)) {
        shown += c >= ' ' && c <= '~' ? c : '?';
    }
    return name.size() > 40 ? shown + "..." : shown;
}

XmlText Converted(std::string_view bytes, const std::string& encoding, const std::string& shown) {
    XmlText result;
    DecodedText decoded = DecodeToUtf8(bytes, encoding);
    switch (decoded.status) {
        case DecodedText::Status::Ok:
            result.ok = true;
            result.utf8 = std::move(decoded.text);
            break;
        case DecodedText::Status::UnknownEncoding:
            result.error = "Unknown encoding \"" + shown + "\"";
            break;
        case DecodedText::Status::InvalidText:
            result.error = "The text is not " + shown + " (byte " +
                           engine::FormatInt(static_cast<std::int64_t>(decoded.invalidAt)) + ")";
            break;
    }
    return result;
}

}  // namespace

XmlText XmlBytesToUtf8(std::string_view bytes) {
    const Layout layout = DetectLayout(bytes);
    const std::string_view body = bytes.substr(layout.markSize);
    if (layout.encoding != nullptr) {
        return std::string_view(layout.encoding) == "UTF-8"
                   ? Utf8Text(body)
                   : Converted(body, layout.encoding, layout.encoding);
    }
    const std::string declared = DeclaredEncoding(body);
    if (declared.empty() || IsUtf8Name(declared) || IsWideName(declared)) {
        return Utf8Text(body);
    }
    if (!IsEncodingName(declared)) {
        XmlText result;
        result.error = "Unknown encoding \"" + Shown(declared) + "\"";
        return result;
    }
    const bool gb2312 = SameText(declared, "GB2312") || SameText(declared, "GB_2312-80") ||
                        SameText(declared, "csGB2312") || SameText(declared, "EUC-CN");
    return Converted(body, gb2312 ? std::string("GBK") : declared, declared);
}

}  // namespace geodata
