#pragma once
// Our own DDS reader.
#include <string>
#include <string_view>

#include "platform/files/ImageDecoder.h"

namespace platform {

// The DDS reader on its own (uncompressed 16/24/32-bit layouts described by
// bit masks, DXT1/3/5; the first mip level of the first surface).
bool DecodeDds(std::string_view bytes, Image& out, std::string* why = nullptr);

}  // namespace platform
