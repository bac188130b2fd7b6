#pragma once
// Small text helpers shared by the libraries' readers and writers, one home for each.
// Letter case is folded for the ASCII letters only: keys, tags and task names are compared byte
// for byte otherwise, so UTF-8 text (Chinese names) never depends on the process locale.
#include <string>
#include <string_view>
#include <vector>

namespace engine {

// The UTF-8 byte-order mark that files written for Windows programs start with.
inline constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// `text` without a leading byte-order mark.
std::string_view WithoutBom(std::string_view text);

char LowerAscii(char c);
std::string LowerAscii(std::string_view text);
std::string UpperAscii(std::string_view text);
// Equal but for the letter case of ASCII letters.
bool SameText(std::string_view a, std::string_view b);
bool StartsWithNoCase(std::string_view text, std::string_view prefix);

// Without leading and trailing blanks (spaces and tabs).
std::string_view Trim(std::string_view text);
// Without leading and trailing white space and other control characters: every byte up to the
// space, as the class library's Trim. Bytes of UTF-8 characters stay, whatever the locale.
std::string_view TrimWhite(std::string_view text);

// Lines ending with CR LF, CR or LF; a break at the very end opens no further line, and an empty
// text has no lines.
std::vector<std::string> SplitLines(std::string_view text);

// The fields between the separators: "" is one empty field, "a,,b" three fields.
std::vector<std::string_view> Split(std::string_view text, char separator);

// Position of `needle` in `text` from `from` on, ASCII letters compared without case; npos if
// absent.
std::size_t FindNoCase(std::string_view text, std::string_view needle, std::size_t from = 0);

// Every occurrence of `from` replaced by `to`, left to right without overlaps; an empty `from`
// replaces nothing. The NoCase form finds `from` as FindNoCase does.
std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to);
std::string ReplaceAllNoCase(std::string_view text, std::string_view from, std::string_view to);

}  // namespace engine
