#pragma once
// Line style of a route or track (colour and opacity) and the colour text helpers.
#include <cstdint>
#include <string>
#include <string_view>

namespace geodata {

// Red in the lowest byte, then green, then blue; bit 24 set means no colour chosen.
using TColor = std::uint32_t;
inline constexpr TColor kDefaultLineColor = 0x1000000;

// "RRGGBB" in upper-case hexadecimal digits; bits 24 and above are ignored.
std::string ColorToHexStr(TColor color);
// Reads "RRGGBB" (trimmed, cut to or padded on the left to six characters); an invalid pair
// of digits gives 0 for its colour byte.
TColor HexStrToColor(std::string_view text);

class TGPX_StyleLine {
  public:
    TColor Color() const { return fColor; }
    void SetColor(TColor color) { fColor = color; }
    double Opacity() const { return fOpacity; }
    void SetOpacity(double opacity) { fOpacity = opacity; }

    bool IsDefaultColor() const { return (fColor & kDefaultLineColor) != 0; }
    std::string ColorStr() const { return ColorToHexStr(fColor); }
    void SetColorStr(std::string_view text) { fColor = HexStrToColor(text); }
    // General number format with "."; a text that is not a number sets opacity 1.
    std::string OpacityStr() const;
    void SetOpacityStr(std::string_view text);

    void CopyFrom(const TGPX_StyleLine& style) {
        fColor = style.fColor;
        fOpacity = style.fOpacity;
    }

  private:
    TColor fColor = kDefaultLineColor;
    double fOpacity = 1.0;
};

}  // namespace geodata
