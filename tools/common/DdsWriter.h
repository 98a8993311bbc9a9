#pragma once
// Writes DDS pictures the way the texture tools of the engine's home
// platform did: a 128-byte header, then uncompressed masked pixels or
// DXT blocks. The demo's picture generator, the tests and the benchmarks
// share it, so files are built in one place and never by the reader's code.
#include <cstdint>
#include <string>
#include <vector>

namespace ddswriter {

constexpr uint32_t kPfAlphaPixels = 0x1, kPfAlpha = 0x2, kPfFourCC = 0x4, kPfPalette8 = 0x20, kPfRgb = 0x40,
                   kPfLuminance = 0x20000;

struct PixelFormat {
  uint32_t flags = kPfRgb;
  uint32_t fourCC = 0;
  uint32_t bits = 32;
  uint32_t r = 0, g = 0, b = 0, a = 0;
};

inline constexpr PixelFormat kA8R8G8B8{kPfRgb | kPfAlphaPixels, 0, 32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000};
inline constexpr PixelFormat kX8R8G8B8{kPfRgb, 0, 32, 0xFF0000, 0xFF00, 0xFF, 0};
inline constexpr PixelFormat kA8B8G8R8{kPfRgb | kPfAlphaPixels, 0, 32, 0xFF, 0xFF00, 0xFF0000, 0xFF000000};
inline constexpr PixelFormat kR8G8B8{kPfRgb, 0, 24, 0xFF0000, 0xFF00, 0xFF, 0};
inline constexpr PixelFormat kR5G6B5{kPfRgb, 0, 16, 0xF800, 0x07E0, 0x001F, 0};
inline constexpr PixelFormat kA1R5G5B5{kPfRgb | kPfAlphaPixels, 0, 16, 0x7C00, 0x03E0, 0x001F, 0x8000};
inline constexpr PixelFormat kA4R4G4B4{kPfRgb | kPfAlphaPixels, 0, 16, 0x0F00, 0x00F0, 0x000F, 0xF000};
inline constexpr PixelFormat kX4R4G4B4{kPfRgb, 0, 16, 0x0F00, 0x00F0, 0x000F, 0};
inline constexpr PixelFormat kX1R5G5B5{kPfRgb, 0, 16, 0x7C00, 0x03E0, 0x001F, 0};
inline constexpr PixelFormat kR3G3B2{kPfRgb, 0, 8, 0xE0, 0x1C, 0x03, 0};
inline constexpr PixelFormat kA8R3G3B2{kPfRgb | kPfAlphaPixels, 0, 16, 0xE0, 0x1C, 0x03, 0xFF00};
inline constexpr PixelFormat kA2B10G10R10{kPfRgb | kPfAlphaPixels, 0, 32, 0x3FF, 0xFFC00, 0x3FF00000, 0xC0000000};
inline constexpr PixelFormat kA2R10G10B10{kPfRgb | kPfAlphaPixels, 0, 32, 0x3FF00000, 0xFFC00, 0x3FF, 0xC0000000};
// Grey: the luminance mask is written in the red field, from the red channel.
inline constexpr PixelFormat kL8{kPfLuminance, 0, 8, 0xFF, 0, 0, 0};
inline constexpr PixelFormat kA8L8{kPfLuminance | kPfAlphaPixels, 0, 16, 0xFF, 0, 0, 0xFF00};
inline constexpr PixelFormat kA4L4{kPfLuminance | kPfAlphaPixels, 0, 8, 0x0F, 0, 0, 0xF0};
inline constexpr PixelFormat kA8{kPfAlpha, 0, 8, 0, 0, 0, 0xFF};

constexpr uint32_t FourCC(const char (&s)[5]) {
  return uint32_t(uint8_t(s[0])) | uint32_t(uint8_t(s[1])) << 8 | uint32_t(uint8_t(s[2])) << 16 |
         uint32_t(uint8_t(s[3])) << 24;
}

// The header alone. `pitchOrSize` is the row pitch of uncompressed pixels or
// the byte size of the top level's blocks (flagged as such); `mipCount` is
// written as given (0, as many tools wrote, also means a single level).
std::string Header(uint32_t width, uint32_t height, const PixelFormat& format, uint32_t pitchOrSize,
                   uint32_t mipCount = 1);

// A whole file of `argb` pixels (row by row, top first), each channel
// rounded into the format's masks.
// `rowPitch` (0: the row's own size) spaces the rows wider, padded with 0xCD.
std::string EncodeMasked(uint32_t width, uint32_t height, const std::vector<uint32_t>& argb,
                         const PixelFormat& format, uint32_t mipCount = 1, uint32_t rowPitch = 0);

// An 8-bit palette picture: 256 entries of red, green, blue and a flags byte
// (the entry's alpha when `withAlpha`, else 0), then one index per pixel.
std::string EncodePalette(uint32_t width, uint32_t height, const std::vector<uint32_t>& paletteArgb,
                          const std::vector<uint8_t>& indices, bool withAlpha);

// A whole file of DXT1, DXT3 or DXT5 blocks; `squishFlags` holds
// squish::kDxt1/kDxt3/kDxt5 and any of squish's fit options. Premultiplied,
// DXT3 and DXT5 become DXT2 and DXT4: colour times alpha.
std::string EncodeDxt(uint32_t width, uint32_t height, const std::vector<uint32_t>& argb, int squishFlags,
                      uint32_t mipCount = 1, bool premultiplied = false);

}  // namespace ddswriter
