#include "DdsWriter.h"

#include <squish.h>

#include <bit>

namespace ddswriter {
namespace {

constexpr uint32_t kCaps = 0x1, kHeight = 0x2, kWidth = 0x4, kPitch = 0x8, kPixelFormat = 0x1000,
                   kMipCount = 0x20000, kLinearSize = 0x80000;
constexpr uint32_t kCapsTexture = 0x1000;

void Append32(std::string& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(char((v >> (8 * i)) & 0xFF));
}

// An 8-bit channel into a masked field, rounded.
uint32_t ToMask(uint32_t v8, uint32_t mask) {
  if (mask == 0) return 0;
  int shift = std::countr_zero(mask);
  uint32_t max = mask >> shift;
  return ((v8 * max + 127) / 255) << shift;
}

}  // namespace

std::string Header(uint32_t width, uint32_t height, const PixelFormat& f, uint32_t pitchOrSize,
                   uint32_t mipCount) {
  const bool blocks = (f.flags & kPfFourCC) != 0;
  std::string out = "DDS ";
  Append32(out, 124);
  Append32(out, kCaps | kHeight | kWidth | kPixelFormat | (blocks ? kLinearSize : kPitch) |
                    (mipCount > 1 ? kMipCount : 0));
  Append32(out, height);
  Append32(out, width);
  Append32(out, pitchOrSize);
  Append32(out, 0);  // depth
  Append32(out, mipCount);
  for (int i = 0; i < 11; ++i) Append32(out, 0);
  Append32(out, 32);  // pixel format size
  Append32(out, f.flags);
  Append32(out, f.fourCC);
  Append32(out, f.bits);
  Append32(out, f.r);
  Append32(out, f.g);
  Append32(out, f.b);
  Append32(out, f.a);
  Append32(out, kCapsTexture);
  for (int i = 0; i < 4; ++i) Append32(out, 0);  // caps 2-4, reserved
  return out;
}

std::string EncodeMasked(uint32_t width, uint32_t height, const std::vector<uint32_t>& argb, const PixelFormat& f,
                         uint32_t mipCount, uint32_t rowPitch) {
  const uint32_t bytes = f.bits / 8;
  const uint32_t pitch = rowPitch ? rowPitch : width * bytes;
  std::string out = Header(width, height, f, pitch, mipCount);
  out.reserve(out.size() + size_t(pitch) * height);
  for (uint32_t y = 0; y < height; ++y) {
    for (uint32_t x = 0; x < width; ++x) {
      const uint32_t px = argb[size_t(y) * width + x];
      uint32_t v = ToMask(px >> 24, f.a) | ToMask((px >> 16) & 0xFF, f.r);
      if (!(f.flags & kPfLuminance)) v |= ToMask((px >> 8) & 0xFF, f.g) | ToMask(px & 0xFF, f.b);
      for (uint32_t i = 0; i < bytes; ++i) out += char((v >> (8 * i)) & 0xFF);
    }
    out.append(pitch - width * bytes, char(0xCD));
  }
  return out;
}

std::string EncodePalette(uint32_t width, uint32_t height, const std::vector<uint32_t>& paletteArgb,
                          const std::vector<uint8_t>& indices, bool withAlpha) {
  const PixelFormat f{kPfPalette8, 0, 8, 0, 0, 0, 0};
  std::string out = Header(width, height, f, width);
  for (size_t i = 0; i < 256; ++i) {
    const uint32_t c = i < paletteArgb.size() ? paletteArgb[i] : 0;
    out += char((c >> 16) & 0xFF);
    out += char((c >> 8) & 0xFF);
    out += char(c & 0xFF);
    out += char(withAlpha ? c >> 24 : 0);
  }
  out.append(indices.begin(), indices.end());
  return out;
}

std::string EncodeDxt(uint32_t width, uint32_t height, const std::vector<uint32_t>& argb, int squishFlags,
                      uint32_t mipCount, bool premultiplied) {
  premultiplied = premultiplied && !(squishFlags & squish::kDxt1);
  const uint32_t code = (squishFlags & squish::kDxt1)   ? FourCC("DXT1")
                        : (squishFlags & squish::kDxt3) ? (premultiplied ? FourCC("DXT2") : FourCC("DXT3"))
                                                        : (premultiplied ? FourCC("DXT4") : FourCC("DXT5"));
  const PixelFormat f{kPfFourCC, code, 0, 0, 0, 0, 0};
  std::vector<unsigned char> rgba(argb.size() * 4);
  for (size_t i = 0; i < argb.size(); ++i) {
    const uint32_t a = argb[i] >> 24;
    auto colour = [&](int shift) {
      const uint32_t c = (argb[i] >> shift) & 0xFF;
      return (unsigned char)(premultiplied ? (c * a + 127) / 255 : c);
    };
    rgba[i * 4 + 0] = colour(16);
    rgba[i * 4 + 1] = colour(8);
    rgba[i * 4 + 2] = colour(0);
    rgba[i * 4 + 3] = (unsigned char)a;
  }
  std::string blocks(size_t(squish::GetStorageRequirements(int(width), int(height), squishFlags)), '\0');
  squish::CompressImage(rgba.data(), int(width), int(height), blocks.data(), squishFlags);
  return Header(width, height, f, uint32_t(blocks.size()), mipCount) + blocks;
}

}  // namespace ddswriter
