#pragma once
// Small text helpers of the file readers: white-space trimming and ASCII case-insensitive search.
#include <string>
#include <string_view>

namespace geodata {

inline bool IsWhite(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}
// Trims white space and every other control character, like the class library's Trim.
std::string_view TrimWhite(std::string_view text);
std::string LowerAscii(std::string_view text);
bool EqualsNoCase(std::string_view a, std::string_view b);
bool StartsWithNoCase(std::string_view text, std::string_view prefix);
// Position of `needle` in `text` from `from` on, letters compared without case; npos if absent.
std::size_t FindNoCase(std::string_view text, std::string_view needle, std::size_t from = 0);
// Every occurrence of `from` (letters without case) replaced by `to`.
std::string ReplaceAllNoCase(std::string_view text, std::string_view from, std::string_view to);
std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to);

}  // namespace geodata
