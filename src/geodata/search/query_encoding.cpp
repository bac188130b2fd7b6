#include "geodata/search/query_encoding.h"

#include <string_view>

namespace geodata {

namespace {

bool NeedsEncoding(unsigned char c) {
    static constexpr std::string_view kReserved = "*<>#%\"{}|\\^[]`&+=";
    return c <= 32 || c >= 127 || kReserved.find(static_cast<char>(c)) != std::string_view::npos;
}

}  // namespace

std::string EncodeQueryParam(std::string_view utf8Text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string encoded;
    encoded.reserve(utf8Text.size());
    for (const char ch : utf8Text) {
        const auto c = static_cast<unsigned char>(ch);
        if (NeedsEncoding(c)) {
            encoded += '%';
            encoded += kHex[c >> 4];
            encoded += kHex[c & 0x0F];
        } else {
            encoded += ch;
        }
    }
    return encoded;
}

}  // namespace geodata
