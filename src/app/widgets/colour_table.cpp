#include "colour_table.h"

namespace rasterui {

const std::array<NamedColour, 17>& NamedColours() {
    static constexpr std::array<NamedColour, 17> kColours{{
        {"白色", RgbColour(255, 255, 255)},
        {"黑色", RgbColour(0, 0, 0)},
        {"栗色", RgbColour(128, 0, 0)},
        {"绿色", RgbColour(0, 128, 0)},
        {"橄榄色", RgbColour(128, 128, 0)},
        {"深蓝色", RgbColour(0, 0, 128)},
        {"紫色", RgbColour(128, 0, 128)},
        {"蓝绿色", RgbColour(0, 128, 128)},
        {"灰色", RgbColour(128, 128, 128)},
        {"银色", RgbColour(192, 192, 192)},
        {"红色", RgbColour(255, 0, 0)},
        {"酸橙色", RgbColour(0, 255, 0)},
        {"黄色", RgbColour(255, 255, 0)},
        {"蓝色", RgbColour(0, 0, 255)},
        {"紫红色", RgbColour(255, 0, 255)},
        {"浅绿色", RgbColour(0, 255, 255)},
        {"天蓝色", RgbColour(166, 202, 240)},
    }};
    return kColours;
}

int ColourBoxIndex(engine::TColor colour) {
    const auto& colours = NamedColours();
    for (std::size_t i = 0; i < colours.size(); ++i) {
        if (colours[i].colour == colour) {
            return static_cast<int>(i) + 1;
        }
    }
    return 0;
}

void ColourRgb(engine::TColor colour, int& red, int& green, int& blue) {
    if (colour < 0) {
        colour = kWhite;
    }
    std::uint8_t r = 0, g = 0, b = 0;
    engine::ColorToRGBBytes(colour, r, g, b);
    red = r;
    green = g;
    blue = b;
}

}  // namespace rasterui
