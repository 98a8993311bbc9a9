#pragma once
// Picture files to 0xAARRGGBB pixels for textures. The format is taken from
// the content (DDS, PNG, JPEG and BMP have magic numbers; TGA has none and is
// recognised by a plausible header, more strictly when the file is not named
// .tga). DDS and TGA are read by our own small readers, PNG by libpng; JPEG
// and BMP go to SDL_image, each straight to its one loader so that no other
// decoder ever sees game files.
// Every path checks the dimensions against a cap and does its size
// arithmetic in 64 bits before allocating, so truncated or lying files fail
// cleanly.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

struct Image {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> argb;  // width * height pixels, row by row, top row first
};

enum class ImageType { Unknown, Dds, Tga, Png, Jpeg, Bmp };

// Largest accepted width or height.
constexpr int kMaxImageSide = 8192;

// The type the content shows; extensionHint is a file name or an extension
// such as ".tga" (case-insensitive) and is consulted only for TGA.
ImageType SniffImageType(std::string_view bytes, std::string_view extensionHint);
const char* ImageTypeName(ImageType type);

// Decodes a whole file. On failure `out` is left empty and `why` (if given)
// says what was wrong, in plain English for the debug output.
bool DecodeImage(std::string_view bytes, std::string_view extensionHint, Image& out, std::string* why = nullptr);

}  // namespace platform
