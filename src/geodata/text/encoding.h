#pragma once
// Text in other encodings to and from the UTF-8 that the rest of the system speaks, through the
// system's converter (iconv): GBK, the code page of Chinese spreadsheets, web answers and older
// Chinese text files; UTF-16 text files; and any encoding a file declares.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace geodata {

struct DecodedText {
    enum class Status { Ok, UnknownEncoding, InvalidText };
    Status status = Status::Ok;
    std::string text;           // the UTF-8 text when Ok
    std::size_t invalidAt = 0;  // offset of the first byte not valid in the encoding
};

// Bytes in the named encoding (any name the system's converter knows, letter case ignored) to
// UTF-8. A name with characters other than letters, digits and "-_.:+()" is unknown (so that
// no converter suffix such as "//IGNORE" slips in).
DecodedText DecodeToUtf8(std::string_view bytes, std::string_view encoding);

// UTF-8 to GBK; a character that GBK lacks, or a byte that is not valid UTF-8, becomes "?".
std::string Utf8ToGbk(std::string_view utf8);

// GBK to UTF-8; nothing when the bytes are not valid GBK.
std::optional<std::string> GbkToUtf8(std::string_view gbk);

// UTF-16 (without its byte-order mark) to UTF-8; nothing when the bytes are not valid UTF-16.
std::optional<std::string> Utf16ToUtf8(std::string_view utf16, bool bigEndian);

// Whether the bytes are well-formed UTF-8.
bool IsValidUtf8(std::string_view bytes);
// Offset of the first byte that is not part of a well-formed UTF-8 sequence; the size when
// there is none.
std::size_t FirstInvalidUtf8(std::string_view bytes);

}  // namespace geodata
