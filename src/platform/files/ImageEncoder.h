#pragma once
// Pictures to PNG, JPEG or BMP.
#include <string>

#include "platform/files/ImageDecoder.h"

namespace platform {

// Writes a picture as PNG, JPEG or BMP (alpha kept in PNG and BMP), for
// screenshots, tools and tests. False for other types or on failure.
bool EncodeImage(const Image& image, ImageType type, std::string& out, int jpegQuality = 90);

}  // namespace platform
