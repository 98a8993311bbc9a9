// Our own DDS reader: the 128-byte header, the first surface's first mip
// level, uncompressed layouts from the pixel-format bit masks and the three
// DXT block formats through libsquish.
#include "platform/files/DdsReader.h"

#include <squish.h>

#include <bit>
#include <cstring>

#include "platform/files/ImageDecoder.h"

namespace platform {
namespace {

constexpr size_t kHeaderBytes = 128;  // "DDS " + 124-byte header
constexpr uint32_t DDPF_ALPHAPIXELS = 0x1;
constexpr uint32_t DDPF_FOURCC = 0x4;
constexpr uint32_t DDPF_RGB = 0x40;

constexpr uint32_t FourCC(char a, char b, char c, char d) {
  return uint32_t(uint8_t(a)) | uint32_t(uint8_t(b)) << 8 | uint32_t(uint8_t(c)) << 16 | uint32_t(uint8_t(d)) << 24;
}

uint32_t Le32(const unsigned char* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24; }

bool Fail(std::string* why, const char* text) {
  if (why) *why = text;
  return false;
}

// One colour channel described by a bit mask, scaled to 8 bits.
struct Channel {
  uint32_t mask = 0;
  int shift = 0;
  uint32_t max = 0;  // largest raw value (mask >> shift)

  bool Init(uint32_t m) {
    mask = m;
    if (m == 0) return true;
    shift = std::countr_zero(m);
    max = m >> shift;
    return (max & (max + 1)) == 0;  // the bits must be contiguous
  }
  uint32_t Get(uint32_t pixel, uint32_t absent) const {
    if (mask == 0) return absent;
    uint32_t v = (pixel & mask) >> shift;
    if (max == 255) return v;  // the common 8-bit field needs no scaling
    return uint32_t((uint64_t(v) * 255 + max / 2) / max);
  }
};

bool DecodeMasked(const unsigned char* data, uint64_t available, int w, int h, const unsigned char* pf, Image& out,
                  std::string* why) {
  uint32_t flags = Le32(pf + 4);
  uint32_t bits = Le32(pf + 12);
  if (bits != 16 && bits != 24 && bits != 32) return Fail(why, "DDS: unsupported bit count");
  uint32_t bytesPerPixel = bits / 8;
  uint64_t needed = uint64_t(w) * uint64_t(h) * bytesPerPixel;
  if (needed > available) return Fail(why, "DDS: pixel data truncated");

  Channel r, g, b, a;
  uint32_t alphaMask = (flags & DDPF_ALPHAPIXELS) ? Le32(pf + 28) : 0;
  if (!r.Init(Le32(pf + 16)) || !g.Init(Le32(pf + 20)) || !b.Init(Le32(pf + 24)) || !a.Init(alphaMask))
    return Fail(why, "DDS: colour mask with gaps");
  if (r.mask == 0 && g.mask == 0 && b.mask == 0) return Fail(why, "DDS: no colour masks");
  uint64_t limit = bits == 32 ? 0xFFFFFFFFull : (1ull << bits) - 1;
  if ((uint64_t(r.mask | g.mask | b.mask | a.mask) & ~limit) != 0) return Fail(why, "DDS: mask wider than the pixel");

  out.width = w;
  out.height = h;
  out.argb.resize(size_t(w) * size_t(h));
  const unsigned char* p = data;
  for (uint32_t& px : out.argb) {
    uint32_t v = 0;
    for (uint32_t i = 0; i < bytesPerPixel; ++i) v |= uint32_t(p[i]) << (8 * i);
    p += bytesPerPixel;
    px = a.Get(v, 255) << 24 | r.Get(v, 0) << 16 | g.Get(v, 0) << 8 | b.Get(v, 0);
  }
  return true;
}

bool DecodeBlocks(const unsigned char* data, uint64_t available, int w, int h, int squishFlags, Image& out,
                  std::string* why) {
  uint64_t blockBytes = (squishFlags & squish::kDxt1) ? 8 : 16;
  uint64_t needed = uint64_t((w + 3) / 4) * uint64_t((h + 3) / 4) * blockBytes;
  if (needed > available) return Fail(why, "DDS: block data truncated");

  std::vector<unsigned char> rgba(size_t(w) * size_t(h) * 4);
  squish::DecompressImage(rgba.data(), w, h, data, squishFlags);
  out.width = w;
  out.height = h;
  out.argb.resize(size_t(w) * size_t(h));
  const unsigned char* s = rgba.data();
  for (uint32_t& px : out.argb) {
    px = uint32_t(s[3]) << 24 | uint32_t(s[0]) << 16 | uint32_t(s[1]) << 8 | s[2];
    s += 4;
  }
  return true;
}

}  // namespace

bool DecodeDds(std::string_view bytes, Image& out, std::string* why) {
  out = Image{};
  if (bytes.size() < kHeaderBytes) return Fail(why, "DDS: file shorter than its header");
  const auto* file = reinterpret_cast<const unsigned char*>(bytes.data());
  if (std::memcmp(file, "DDS ", 4) != 0) return Fail(why, "DDS: no magic number");
  if (Le32(file + 4) != 124) return Fail(why, "DDS: wrong header size");
  uint32_t height = Le32(file + 12);
  uint32_t width = Le32(file + 16);
  if (width == 0 || height == 0 || width > uint32_t(kMaxImageSide) || height > uint32_t(kMaxImageSide))
    return Fail(why, "DDS: dimensions out of range");
  const unsigned char* pf = file + 76;
  if (Le32(pf) != 32) return Fail(why, "DDS: wrong pixel-format size");

  const unsigned char* data = file + kHeaderBytes;
  uint64_t available = bytes.size() - kHeaderBytes;
  int w = int(width), h = int(height);
  uint32_t flags = Le32(pf + 4);
  bool ok;
  if (flags & DDPF_FOURCC) {
    uint32_t code = Le32(pf + 8);
    int squishFlags = code == FourCC('D', 'X', 'T', '1')   ? squish::kDxt1
                      : code == FourCC('D', 'X', 'T', '3') ? squish::kDxt3
                      : code == FourCC('D', 'X', 'T', '5') ? squish::kDxt5
                                                           : 0;
    if (squishFlags == 0) return Fail(why, "DDS: unsupported compressed format");
    ok = DecodeBlocks(data, available, w, h, squishFlags, out, why);
  } else if (flags & DDPF_RGB) {
    ok = DecodeMasked(data, available, w, h, pf, out, why);
  } else {
    return Fail(why, "DDS: unsupported pixel format");
  }
  if (!ok) out = Image{};
  return ok;
}

}  // namespace platform
