#pragma once
// The quick decoder for the PNG tiles servers send: 8-bit grey, grey with alpha, RGB, RGBA and
// palette images, not interlaced, with or without tRNS, inflated with libdeflate. It declines
// every other file (other bit depths, interlace, colour profiles, a gamma that is not sRGB's,
// and anything damaged or out of the ordinary), which libpng then decodes: pixels, refusals and
// error texts stay libpng's.
#include <cstdint>
#include <string_view>

#include "engine/image/image_codec.h"

namespace engine {

// True when `bytes` (a PNG by its signature) was decoded into `image` as straight RGBA; false
// when it declined, leaving `image` unspecified. A side above `maxSide` is declined before any
// buffer is sized.
bool DecodePlainPng(std::string_view bytes, RgbaImage& image, std::int64_t maxSide);

}  // namespace engine
