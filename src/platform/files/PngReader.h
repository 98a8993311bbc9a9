#pragma once
// PNG through libpng's own conversions. SDL_image's loader loses the
// transparent colour of grey pictures (the whole picture comes out in wrong
// colours) and of 16-bit ones, so PNG is read here.
#include <string>
#include <string_view>

#include "platform/files/ImageDecoder.h"

namespace platform {

// Every colour type and depth: grey of 1 to 16 bits, grey with alpha,
// palettes with tRNS alpha, RGB and RGBA of 8 and 16 bits, a transparent
// colour (tRNS) of any of them, interlaced or not. The caller has checked
// the dimensions and that the file is complete.
bool DecodePng(std::string_view bytes, Image& out, std::string* why = nullptr);

}  // namespace platform
