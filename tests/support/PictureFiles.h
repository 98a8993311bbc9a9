#pragma once
// Builders for DDS and TGA files, shared by the tests and the benchmarks so
// that no binary picture files need to live in the repository.
#include <squish.h>

#include <bit>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/files/ImageDecoder.h"
#include "support/Bytes.h"

namespace pictures {

constexpr uint32_t kDdpfAlphaPixels = 0x1, kDdpfFourCC = 0x4, kDdpfRgb = 0x40;

struct DdsFormat {
  uint32_t flags = kDdpfRgb;
  uint32_t fourCC = 0;
  uint32_t bits = 32;
  uint32_t r = 0, g = 0, b = 0, a = 0;
};

inline constexpr DdsFormat kA8R8G8B8{kDdpfRgb | kDdpfAlphaPixels, 0, 32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000};
inline constexpr DdsFormat kX8R8G8B8{kDdpfRgb, 0, 32, 0xFF0000, 0xFF00, 0xFF, 0};
inline constexpr DdsFormat kA8B8G8R8{kDdpfRgb | kDdpfAlphaPixels, 0, 32, 0xFF, 0xFF00, 0xFF0000, 0xFF000000};
inline constexpr DdsFormat kR8G8B8{kDdpfRgb, 0, 24, 0xFF0000, 0xFF00, 0xFF, 0};
inline constexpr DdsFormat kR5G6B5{kDdpfRgb, 0, 16, 0xF800, 0x07E0, 0x001F, 0};
inline constexpr DdsFormat kA1R5G5B5{kDdpfRgb | kDdpfAlphaPixels, 0, 16, 0x7C00, 0x03E0, 0x001F, 0x8000};
inline constexpr DdsFormat kA4R4G4B4{kDdpfRgb | kDdpfAlphaPixels, 0, 16, 0x0F00, 0x00F0, 0x000F, 0xF000};

inline uint32_t FourCC(const char* s) {
  return uint32_t(uint8_t(s[0])) | uint32_t(uint8_t(s[1])) << 8 | uint32_t(uint8_t(s[2])) << 16 |
         uint32_t(uint8_t(s[3])) << 24;
}

using testsupport::PutLe32;
inline void Put32(std::string& s, size_t at, uint32_t v) { PutLe32(s, at, v); }

inline std::string DdsHeader(uint32_t width, uint32_t height, const DdsFormat& f, uint32_t mips = 1) {
  std::string h(128, '\0');
  h.replace(0, 4, "DDS ");
  Put32(h, 4, 124);
  Put32(h, 8, 0x1 | 0x2 | 0x4 | 0x1000 | (mips > 1 ? 0x20000 : 0));  // caps, height, width, pixel format
  Put32(h, 12, height);
  Put32(h, 16, width);
  Put32(h, 28, mips);
  Put32(h, 76, 32);
  Put32(h, 80, f.flags);
  Put32(h, 84, f.fourCC);
  Put32(h, 88, f.bits);
  Put32(h, 92, f.r);
  Put32(h, 96, f.g);
  Put32(h, 100, f.b);
  Put32(h, 104, f.a);
  Put32(h, 108, 0x1000);  // DDSCAPS_TEXTURE
  return h;
}

// 8-bit channel into a masked field, rounded.
inline uint32_t ToMask(uint32_t v8, uint32_t mask) {
  if (mask == 0) return 0;
  int shift = std::countr_zero(mask);
  uint32_t max = mask >> shift;
  return ((v8 * max + 127) / 255) << shift;
}

inline std::string MakeDds(const platform::Image& img, const DdsFormat& f) {
  std::string out = DdsHeader(img.width, img.height, f);
  for (uint32_t px : img.argb) {
    uint32_t v = ToMask(px >> 24, f.a) | ToMask((px >> 16) & 0xFF, f.r) | ToMask((px >> 8) & 0xFF, f.g) |
                 ToMask(px & 0xFF, f.b);
    for (uint32_t i = 0; i < f.bits / 8; ++i) out += char((v >> (8 * i)) & 0xFF);
  }
  return out;
}

inline std::vector<unsigned char> ToRgba(const platform::Image& img) {
  std::vector<unsigned char> rgba;
  rgba.reserve(img.argb.size() * 4);
  for (uint32_t px : img.argb) {
    rgba.push_back((px >> 16) & 0xFF);
    rgba.push_back((px >> 8) & 0xFF);
    rgba.push_back(px & 0xFF);
    rgba.push_back(px >> 24);
  }
  return rgba;
}

// squishFlags: squish::kDxt1, kDxt3 or kDxt5.
inline std::string MakeDxtDds(const platform::Image& img, int squishFlags) {
  const char* code = squishFlags == squish::kDxt1 ? "DXT1" : squishFlags == squish::kDxt3 ? "DXT3" : "DXT5";
  DdsFormat f{kDdpfFourCC, FourCC(code), 0, 0, 0, 0, 0};
  std::vector<unsigned char> rgba = ToRgba(img);
  std::string blocks(size_t(squish::GetStorageRequirements(img.width, img.height, squishFlags)), '\0');
  squish::CompressImage(rgba.data(), img.width, img.height, blocks.data(), squishFlags);
  return DdsHeader(img.width, img.height, f) + blocks;
}

// Uncompressed (type 2) or RLE (type 10) true-colour TGA, 24 or 32 bits,
// stored bottom-up (the usual origin) or top-down.
inline std::string MakeTga(const platform::Image& img, int bits, bool rle, bool topDown) {
  std::string out(18, '\0');
  out[2] = char(rle ? 10 : 2);
  out[12] = char(img.width & 0xFF);
  out[13] = char(img.width >> 8);
  out[14] = char(img.height & 0xFF);
  out[15] = char(img.height >> 8);
  out[16] = char(bits);
  out[17] = char((bits == 32 ? 8 : 0) | (topDown ? 0x20 : 0));
  auto pixel = [&](uint32_t px) {
    std::string p;
    p += char(px & 0xFF);
    p += char((px >> 8) & 0xFF);
    p += char((px >> 16) & 0xFF);
    if (bits == 32) p += char(px >> 24);
    return p;
  };
  for (int row = 0; row < img.height; ++row) {
    int y = topDown ? row : img.height - 1 - row;
    const uint32_t* line = &img.argb[size_t(y) * img.width];
    if (!rle) {
      for (int x = 0; x < img.width; ++x) out += pixel(line[x]);
      continue;
    }
    // Runs of equal pixels become run packets, everything else raw packets.
    int x = 0;
    while (x < img.width) {
      int run = 1;
      while (x + run < img.width && run < 128 && line[x + run] == line[x]) ++run;
      if (run > 1) {
        out += char(0x80 | (run - 1));
        out += pixel(line[x]);
        x += run;
        continue;
      }
      int raw = 1;
      while (x + raw < img.width && raw < 128 && line[x + raw] != line[x + raw - 1]) ++raw;
      if (x + raw < img.width && raw > 1) --raw;  // leave the start of the next run to it
      out += char(raw - 1);
      for (int i = 0; i < raw; ++i) out += pixel(line[x + i]);
      x += raw;
    }
  }
  return out;
}

inline platform::Image MakeImage(int w, int h, uint32_t (*pattern)(int x, int y)) {
  platform::Image img;
  img.width = w;
  img.height = h;
  img.argb.resize(size_t(w) * h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) img.argb[size_t(y) * w + x] = pattern(x, y);
  return img;
}

}  // namespace pictures
