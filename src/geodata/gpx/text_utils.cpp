#include "geodata/gpx/text_utils.h"

namespace geodata {
namespace {
char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}
bool IsTrimmed(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}
}  // namespace

std::string_view TrimWhite(std::string_view text) {
    while (!text.empty() && IsTrimmed(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsTrimmed(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

std::string LowerAscii(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        c = Lower(c);
    }
    return lower;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (Lower(a[i]) != Lower(b[i])) {
            return false;
        }
    }
    return true;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && EqualsNoCase(text.substr(0, prefix.size()), prefix);
}

std::size_t FindNoCase(std::string_view text, std::string_view needle, std::size_t from) {
    if (needle.empty()) {
        return from <= text.size() ? from : std::string_view::npos;
    }
    for (std::size_t i = from; i + needle.size() <= text.size(); ++i) {
        if (EqualsNoCase(text.substr(i, needle.size()), needle)) {
            return i;
        }
    }
    return std::string_view::npos;
}

std::string ReplaceAllNoCase(std::string_view text, std::string_view from, std::string_view to) {
    std::string result;
    std::size_t pos = 0;
    while (true) {
        const std::size_t hit = FindNoCase(text, from, pos);
        if (hit == std::string_view::npos || from.empty()) {
            result.append(text.substr(pos));
            return result;
        }
        result.append(text.substr(pos, hit - pos));
        result.append(to);
        pos = hit + from.size();
    }
}

std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to) {
    std::string result;
    std::size_t pos = 0;
    while (true) {
        const std::size_t hit = from.empty() ? std::string_view::npos : text.find(from, pos);
        if (hit == std::string_view::npos) {
            result.append(text.substr(pos));
            return result;
        }
        result.append(text.substr(pos, hit - pos));
        result.append(to);
        pos = hit + from.size();
    }
}

}  // namespace geodata
