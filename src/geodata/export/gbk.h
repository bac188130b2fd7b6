#pragma once
// GBK, the code page of Chinese spreadsheets and of older Chinese text files, to and from the
// UTF-8 that the rest of the system speaks; and UTF-16 text files to UTF-8.
#include <optional>
#include <string>
#include <string_view>

namespace geodata {

// UTF-8 to GBK; a character that GBK lacks, or a byte that is not valid UTF-8, becomes "?".
std::string Utf8ToGbk(std::string_view utf8);

// GBK to UTF-8; nothing when the bytes are not valid GBK.
std::optional<std::string> GbkToUtf8(std::string_view gbk);

// UTF-16 (without its byte-order mark) to UTF-8; nothing when the bytes are not valid UTF-16.
std::optional<std::string> Utf16ToUtf8(std::string_view utf16, bool bigEndian);

// Whether the bytes are well-formed UTF-8.
bool IsValidUtf8(std::string_view bytes);

}  // namespace geodata
