#pragma once
// The background colours offered by the stitch and clip dialogs: a custom entry first, then
// the named colours in the order the dialogs list them.
#include <QString>
#include <array>

#include "engine/core/utilities.h"

namespace rasterui {

struct NamedColour {
    const char* name;  // UTF-8
    engine::TColor colour;
};

inline constexpr engine::TColor RgbColour(int red, int green, int blue) {
    return static_cast<engine::TColor>(red | (green << 8) | (blue << 16));
}

inline constexpr const char* kCustomColourName = "自定义...";
inline constexpr engine::TColor kWhite = RgbColour(255, 255, 255);

// The 17 named colours; the box puts the custom entry before them.
const std::array<NamedColour, 17>& NamedColours();

// Box index of a colour: 1 + its position among the named colours; 0 (the custom entry) for a
// colour that is not named.
int ColourBoxIndex(engine::TColor colour);

// Red, green and blue of a colour; a system colour (negative value) reads as white, since
// nothing here has a system palette to resolve it against.
void ColourRgb(engine::TColor colour, int& red, int& green, int& blue);

}  // namespace rasterui
