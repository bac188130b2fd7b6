#pragma once
// GBK, the code page of Chinese spreadsheets and of older Chinese text files, to and from the
// UTF-8 that the rest of the system speaks.
#include <optional>
#include <string>
#include <string_view>

namespace geodata {

// UTF-8 to GBK; a character that GBK lacks, or a byte that is not valid UTF-8, becomes "?".
std::string Utf8ToGbk(std::string_view utf8);

// GBK to UTF-8; nothing when the bytes are not valid GBK.
std::optional<std::string> GbkToUtf8(std::string_view gbk);

// Whether the bytes are well-formed UTF-8.
bool IsValidUtf8(std::string_view bytes);

}  // namespace geodata
