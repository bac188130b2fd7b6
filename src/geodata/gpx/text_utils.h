#pragma once
// The text helpers the file readers share with the rest of the libraries (trimming, case-blind
// search and comparison, replacing) have their home in the engine.
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
using engine::TrimWhite;

inline bool IsWhite(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}

}  // namespace geodata
