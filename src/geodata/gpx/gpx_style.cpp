#include "geodata/gpx/gpx_style.h"

#include <cmath>

#include "engine/core/number_format.h"
#include "geodata/gpx/text_utils.h"

namespace geodata {
namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

unsigned HexByte(std::string_view pair) {
    const int high = HexDigit(pair[0]);
    const int low = HexDigit(pair[1]);
    return high < 0 || low < 0 ? 0u : static_cast<unsigned>(high * 16 + low);
}

}  // namespace

std::string ColorToHexStr(TColor color) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    for (int shift : {0, 8, 16}) {
        const unsigned byte = (color >> shift) & 0xFF;
        text += kDigits[byte >> 4];
        text += kDigits[byte & 0xF];
    }
    return text;
}

TColor HexStrToColor(std::string_view text) {
    std::string digits(TrimWhite(text));
    if (digits.size() >= 7) {
        digits.resize(6);
    }
    if (digits.size() < 6) {
        digits.insert(0, 6 - digits.size(), '0');
    }
    const std::string_view v(digits);
    return HexByte(v.substr(0, 2)) + HexByte(v.substr(2, 2)) * 256 +
           HexByte(v.substr(4, 2)) * 65536;
}

std::string TGPX_StyleLine::OpacityStr() const {
    return engine::FormatFloat(std::fabs(fOpacity));
}

void TGPX_StyleLine::SetOpacityStr(std::string_view text) {
    const auto value = engine::ParseFloat(TrimWhite(text));
    fOpacity = value ? std::fabs(*value) : 1.0;
}

}  // namespace geodata
