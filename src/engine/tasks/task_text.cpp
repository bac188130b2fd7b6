#include "engine/tasks/task_text.h"

namespace engine {
namespace {

constexpr char16_t kReplacement = 0xFFFD;

bool IsContinuation(unsigned char c) {
    return (c & 0xC0) == 0x80;
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

bool IsHighSurrogate(char16_t u) {
    return u >= 0xD800 && u <= 0xDBFF;
}
bool IsLowSurrogate(char16_t u) {
    return u >= 0xDC00 && u <= 0xDFFF;
}

}  // namespace

std::u16string DecodeUtf8Units(std::string_view bytes) {
    std::u16string units;
    units.reserve(bytes.size());
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        int length = 0;
        char32_t cp = 0;
        char32_t minimum = 0;
        if (c < 0x80) {
            units += static_cast<char16_t>(c);
            ++i;
            continue;
        } else if (c >= 0xC2 && c <= 0xDF) {
            length = 2;
            cp = c & 0x1F;
            minimum = 0x80;
        } else if (c >= 0xE0 && c <= 0xEF) {
            length = 3;
            cp = c & 0x0F;
            minimum = 0x800;
        } else if (c >= 0xF0 && c <= 0xF4) {
            length = 4;
            cp = c & 0x07;
            minimum = 0x10000;
        }
        bool valid = length > 0 && i + static_cast<std::size_t>(length) <= bytes.size();
        for (int k = 1; valid && k < length; ++k) {
            const auto next = static_cast<unsigned char>(bytes[i + static_cast<std::size_t>(k)]);
            valid = IsContinuation(next);
            cp = (cp << 6) | (next & 0x3F);
        }
        if (!valid || cp < minimum || cp > 0x10FFFF) {
            units += kReplacement;  // one malformed byte at a time
            ++i;
            continue;
        }
        if (cp >= 0x10000) {
            cp -= 0x10000;
            units += static_cast<char16_t>(0xD800 + (cp >> 10));
            units += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
        } else {
            units += static_cast<char16_t>(cp);  // a three-byte surrogate form stays one unit
        }
        i += static_cast<std::size_t>(length);
    }
    return units;
}

std::string EncodeUtf8Units(std::u16string_view units, bool keepLoneSurrogates) {
    std::string out;
    out.reserve(units.size() * 3);
    for (std::size_t i = 0; i < units.size(); ++i) {
        const char16_t u = units[i];
        if (IsHighSurrogate(u) && i + 1 < units.size() && IsLowSurrogate(units[i + 1])) {
            AppendUtf8(out, 0x10000 + ((static_cast<char32_t>(u) - 0xD800) << 10) +
                                (static_cast<char32_t>(units[i + 1]) - 0xDC00));
            ++i;
        } else if ((IsHighSurrogate(u) || IsLowSurrogate(u)) && !keepLoneSurrogates) {
            AppendUtf8(out, kReplacement);
        } else {
            AppendUtf8(out, u);
        }
    }
    return out;
}

std::string ScrambleTaskLine(std::string_view text) {
    std::u16string units = DecodeUtf8Units(text);
    std::u16string scrambled;
    scrambled.reserve(units.size());
    for (char16_t u : units) {
        // U+FFF2 and U+FFF5 would turn into CR and LF and split the line; they are no
        // assigned characters, so they are stored as U+FFFD.
        if (u == 0xFFF2 || u == 0xFFF5) {
            u = kReplacement;
        }
        scrambled += static_cast<char16_t>(u ^ 0xFFFF);
    }
    // Complemented units that happen to form a surrogate pair are written as one four-byte
    // character, lone ones in their three-byte form; reading splits both back into the units.
    return EncodeUtf8Units(scrambled, true);
}

std::string UnscrambleTaskLine(std::string_view bytes) {
    std::u16string units = DecodeUtf8Units(bytes);
    for (char16_t& u : units) {
        if (u != kReplacement) {
            u = static_cast<char16_t>(u ^ 0xFFFF);
        }
    }
    return EncodeUtf8Units(units, false);
}

}  // namespace engine
