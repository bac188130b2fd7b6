#pragma once
// White-space trimming of the file readers; the text helpers they share with the rest of the
// libraries (case-blind search and comparison, replacing) have their home in the engine.
#include <string>
#include <string_view>

#include "engine/core/text_helpers.h"

namespace geodata {

using engine::FindNoCase;
using engine::LowerAscii;
using engine::ReplaceAll;
using engine::ReplaceAllNoCase;
using engine::SameText;
using engine::StartsWithNoCase;

inline bool IsWhite(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}
// Trims white space and every other control character, like the class library's Trim.
std::string_view TrimWhite(std::string_view text);

}  // namespace geodata
