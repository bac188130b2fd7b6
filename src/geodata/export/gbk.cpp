#include "geodata/export/gbk.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <stdexcept>

namespace geodata {
namespace {

class Converter {
  public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
        if (cd_ == reinterpret_cast<iconv_t>(static_cast<std::intptr_t>(-1))) {
            throw std::runtime_error(std::string("no conversion from ") + from + " to " + to);
        }
    }
    ~Converter() { iconv_close(cd_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

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
    Converter converter("UTF-8", "GBK");
    std::string out;
    if (!converter.Run(gbk, out)) {
        return std::nullopt;
    }
    return out;
}

std::optional<std::string> Utf16ToUtf8(std::string_view utf16, bool bigEndian) {
    Converter converter("UTF-8", bigEndian ? "UTF-16BE" : "UTF-16LE");
    std::string out;
    if (utf16.size() % 2 != 0 || !converter.Run(utf16, out)) {
        return std::nullopt;
    }
    return out;
}

bool IsValidUtf8(std::string_view bytes) {
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        if (lead < 0x80) {
            ++i;
            continue;
        }
        const std::size_t length = SequenceLength(lead);
        if (length == 1 || i + length > bytes.size()) {
            return false;
        }
        for (std::size_t k = 1; k < length; ++k) {
            if ((static_cast<unsigned char>(bytes[i + k]) & 0xC0) != 0x80) {
                return false;
            }
        }
        const auto second = static_cast<unsigned char>(bytes[i + 1]);
        if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second > 0x9F) ||
            (lead == 0xF0 && second < 0x90) || (lead == 0xF4 && second > 0x8F)) {
            return false;  // overlong forms, surrogates, beyond U+10FFFF
        }
        i += length;
    }
    return true;
}

}  // namespace geodata
