#pragma once
// Builders for DDS and TGA files, shared by the tests and the benchmarks so
// that no binary picture files need to live in the repository.
#include <squish.h>

#include <cstdint>
#include <string>
#include <vector>

#include "common/DdsWriter.h"
#include "platform/files/ImageDecoder.h"
#include "support/Bytes.h"

namespace pictures {

// DDS files come from the shared writer; the tests keep their short names.
using ddswriter::FourCC;
using DdsFormat = ddswriter::PixelFormat;
using ddswriter::kA1R5G5B5;
using ddswriter::kA4R4G4B4;
using ddswriter::kA8B8G8R8;
using ddswriter::kA8R8G8B8;
using ddswriter::kR5G6B5;
using ddswriter::kR8G8B8;
using ddswriter::kX8R8G8B8;
constexpr uint32_t kDdpfAlphaPixels = ddswriter::kPfAlphaPixels, kDdpfFourCC = ddswriter::kPfFourCC,
                   kDdpfRgb = ddswriter::kPfRgb;

using testsupport::PutLe32;
inline void Put32(std::string& s, size_t at, uint32_t v) { PutLe32(s, at, v); }

inline std::string MakeDds(const platform::Image& img, const DdsFormat& f) {
  return ddswriter::EncodeMasked(uint32_t(img.width), uint32_t(img.height), img.argb, f);
}

// squishFlags: squish::kDxt1, kDxt3 or kDxt5.
inline std::string MakeDxtDds(const platform::Image& img, int squishFlags) {
  return ddswriter::EncodeDxt(uint32_t(img.width), uint32_t(img.height), img.argb, squishFlags);
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
