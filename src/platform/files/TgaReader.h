#pragma once
// Our own TGA reader. SDL_image's draws a 16-bit picture with an alpha bit
// opaque and reads no 16-bit colour maps with alpha, so TGA is read here.
#include <string>
#include <string_view>

#include "platform/files/ImageDecoder.h"

namespace platform {

// True when the header describes a picture this reader takes (types 1, 2,
// 3 and their RLE forms 9, 10, 11; the depths each allows).
bool PlausibleTga(std::string_view bytes);
// True when every pixel the header promises is in the file (the RLE
// packets are walked).
bool TgaComplete(std::string_view bytes);

// Colour-mapped (8 or 16-bit indices into 15/16/24/32-bit entries), grey
// (8-bit, or 16-bit grey and alpha), true colour of 15, 16, 24 and 32 bits,
// each raw or RLE, any of the four origins. The descriptor's count of
// alpha bits decides whether the alpha bit or byte is alpha: with none, the
// picture is opaque.
bool DecodeTga(std::string_view bytes, Image& out, std::string* why = nullptr);

}  // namespace platform
