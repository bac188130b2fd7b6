#include "geodata/text/encoding.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <stdexcept>
#include <utility>

namespace geodata {
namespace {

const iconv_t kNoConverter = reinterpret_cast<iconv_t>(static_cast<std::intptr_t>(-1));

class Converter {
  public:
    // Throws when the system has no such conversion, unless told that the caller checks Open().
    Converter(const char* to, const char* from, bool mayFail = false) : cd_(iconv_open(to, from)) {
        if (!Open() && !mayFail) {
            throw std::runtime_error(std::string("no conversion from ") + from + " to " + to);
        }
    }
    ~Converter() {
        if (Open()) {
            iconv_close(cd_);
        }
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool Open() const { return cd_ != kNoConverter; }

    // Converts as much as it can; returns false at a byte sequence it cannot convert, with
    // `in` left at that sequence.
    bool Run(std::string_view& in, std::string& out) {
        char buffer[1024];
        while (!in.empty()) {
            char* src = const_cast<char*>(in.data());
            std::size_t srcLeft = in.size();
            char* dst = buffer;
            std::size_t dstLeft = sizeof buffer;
            const std::size_t rc = iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
            out.append(buffer, static_cast<std::size_t>(dst - buffer));
            in.remove_prefix(in.size() - srcLeft);
            if (rc == static_cast<std::size_t>(-1) && errno != E2BIG) {
                iconv(cd_, nullptr, nullptr, nullptr, nullptr);
                return false;
            }
        }
        return true;
    }

  private:
    iconv_t cd_;
};

bool IsEncodingNameChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '_' || c == '.' || c == ':' || c == '+' || c == '(' || c == ')';
}

// Length of the UTF-8 sequence that starts with `lead`; 1 for a stray byte.
std::size_t SequenceLength(unsigned char lead) {
    if (lead >= 0xF5) {
        return 1;
    }
    if (lead >= 0xF0) {
        return 4;
    }
    if (lead >= 0xE0) {
        return 3;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        return 2;
    }
    return 1;
}

}  // namespace

DecodedText DecodeToUtf8(std::string_view bytes, std::string_view encoding) {
    DecodedText result;
    if (encoding.empty() || encoding.size() > 64 ||
        !std::all_of(encoding.begin(), encoding.end(), IsEncodingNameChar)) {
        result.status = DecodedText::Status::UnknownEncoding;
        return result;
    }
    const std::string name(encoding);
    Converter converter("UTF-8", name.c_str(), true);
    if (!converter.Open()) {
        result.status = DecodedText::Status::UnknownEncoding;
        return result;
    }
    std::string_view rest = bytes;
    result.text.reserve(bytes.size());
    if (!converter.Run(rest, result.text)) {
        result.status = DecodedText::Status::InvalidText;
        result.invalidAt = bytes.size() - rest.size();
        result.text.clear();
    }
    return result;
}

std::string Utf8ToGbk(std::string_view utf8) {
    Converter converter("GBK", "UTF-8");
    std::string out;
    out.reserve(utf8.size());
    while (!converter.Run(utf8, out)) {
        out += '?';
        const auto lead = static_cast<unsigned char>(utf8.front());
        std::size_t skip = std::min(SequenceLength(lead), utf8.size());
        // A broken sequence loses only its bad bytes, not the character after it.
        if (!IsValidUtf8(utf8.substr(0, skip))) {
            skip = 1;
        }
        utf8.remove_prefix(skip);
    }
    return out;
}

std::optional<std::string> GbkToUtf8(std::string_view gbk) {
    DecodedText decoded = DecodeToUtf8(gbk, "GBK");
    if (decoded.status != DecodedText::Status::Ok) {
        return std::nullopt;
    }
    return std::move(decoded.text);
}

std::optional<std::string> Utf16ToUtf8(std::string_view utf16, bool bigEndian) {
    if (utf16.size() % 2 != 0) {
        return std::nullopt;
    }
    DecodedText decoded = DecodeToUtf8(utf16, bigEndian ? "UTF-16BE" : "UTF-16LE");
    if (decoded.status != DecodedText::Status::Ok) {
        return std::nullopt;
    }
    return std::move(decoded.text);
}

bool IsValidUtf8(std::string_view bytes) {
    return FirstInvalidUtf8(bytes) == bytes.size();
}

std::size_t FirstInvalidUtf8(std::string_view bytes) {
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        if (lead < 0x80) {
            ++i;
            continue;
        }
        const std::size_t length = SequenceLength(lead);
        if (length == 1 || i + length > bytes.size()) {
            return i;
        }
        for (std::size_t k = 1; k < length; ++k) {
            if ((static_cast<unsigned char>(bytes[i + k]) & 0xC0) != 0x80) {
                return i;
            }
        }
        const auto second = static_cast<unsigned char>(bytes[i + 1]);
        if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second > 0x9F) ||
            (lead == 0xF0 && second < 0x90) || (lead == 0xF4 && second > 0x8F)) {
            return i;  // overlong forms, surrogates, beyond U+10FFFF
        }
        i += length;
    }
    return bytes.size();
}

}  // namespace geodata
