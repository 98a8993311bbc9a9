#pragma once
// Writes DDS pictures the way the texture tools of the engine's home
// platform did: a 128-byte header, then uncompressed masked pixels or
// DXT blocks. The demo's picture generator, the tests and the benchmarks
// share it, so files are built in one place and never by the reader's code.
#include <cstdint>
#include <string>
#include <vector>

namespace ddswriter {

constexpr uint32_t kPfAlphaPixels = 0x1, kPfFourCC = 0x4, kPfRgb = 0x40;

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
std::string EncodeMasked(uint32_t width, uint32_t height, const std::vector<uint32_t>& argb,
                         const PixelFormat& format, uint32_t mipCount = 1);

// A whole file of DXT1, DXT3 or DXT5 blocks; `squishFlags` holds
// squish::kDxt1/kDxt3/kDxt5 and any of squish's fit options.
std::string EncodeDxt(uint32_t width, uint32_t height, const std::vector<uint32_t>& argb, int squishFlags,
                      uint32_t mipCount = 1);

}  // namespace ddswriter
