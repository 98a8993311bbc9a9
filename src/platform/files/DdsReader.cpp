// Our own DDS reader: the 128-byte header, the first surface's first mip
// level (of a cube map, the first face), uncompressed layouts from the
// pixel-format bit masks (colour, grey, alpha alone; also when the FourCC
// field names them by numeric format code), 8-bit palettes, and the five
// DXT block formats through libsquish (DXT2 and DXT4 un-premultiplied).
#include "platform/files/DdsReader.h"

#include <squish.h>

#include <algorithm>
#include <bit>
#include <cstring>

#include "platform/files/ByteOrder.h"
#include "platform/files/ImageDecoder.h"

namespace platform {
namespace {

constexpr size_t kHeaderBytes = 128;  // "DDS " + 124-byte header
constexpr uint32_t DDSD_PITCH = 0x8;
constexpr uint32_t DDPF_ALPHAPIXELS = 0x1;
constexpr uint32_t DDPF_ALPHA = 0x2;
constexpr uint32_t DDPF_FOURCC = 0x4;
constexpr uint32_t DDPF_PALETTEINDEXED8 = 0x20;
constexpr uint32_t DDPF_RGB = 0x40;
constexpr uint32_t DDPF_LUMINANCE = 0x20000;
constexpr uint32_t kCodeP8 = 41;  // the numeric format code of 8-bit palette pictures

constexpr uint32_t FourCC(char a, char b, char c, char d) {
  return uint32_t(uint8_t(a)) | uint32_t(uint8_t(b)) << 8 | uint32_t(uint8_t(c)) << 16 | uint32_t(uint8_t(d)) << 24;
}

using byte_order::Le32;

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

// An uncompressed layout: masks per channel, or a luminance mask (grey) or
// only an alpha mask.
struct MaskedFormat {
  uint32_t bits = 0;
  uint32_t r = 0, g = 0, b = 0, a = 0;
  bool luminance = false;  // r holds the luminance
  bool alphaOnly = false;  // black, with a
};

// The layouts that the FourCC field may name by their numeric format code.
bool FormatFromCode(uint32_t code, MaskedFormat& f) {
  struct Row {
    uint32_t code;
    MaskedFormat format;
  };
  static const Row kRows[] = {
      {20, {24, 0xFF0000, 0xFF00, 0xFF, 0}},                      // R8G8B8
      {21, {32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000}},             // A8R8G8B8
      {22, {32, 0xFF0000, 0xFF00, 0xFF, 0}},                      // X8R8G8B8
      {23, {16, 0xF800, 0x07E0, 0x001F, 0}},                      // R5G6B5
      {24, {16, 0x7C00, 0x03E0, 0x001F, 0}},                      // X1R5G5B5
      {25, {16, 0x7C00, 0x03E0, 0x001F, 0x8000}},                 // A1R5G5B5
      {26, {16, 0x0F00, 0x00F0, 0x000F, 0xF000}},                 // A4R4G4B4
      {27, {8, 0xE0, 0x1C, 0x03, 0}},                             // R3G3B2
      {28, {8, 0, 0, 0, 0xFF, false, true}},                      // A8
      {29, {16, 0xE0, 0x1C, 0x03, 0xFF00}},                       // A8R3G3B2
      {30, {16, 0x0F00, 0x00F0, 0x000F, 0}},                      // X4R4G4B4
      {31, {32, 0x3FF, 0xFFC00, 0x3FF00000, 0xC0000000}},         // A2B10G10R10
      {32, {32, 0xFF, 0xFF00, 0xFF0000, 0xFF000000}},             // A8B8G8R8
      {33, {32, 0xFF, 0xFF00, 0xFF0000, 0}},                      // X8B8G8R8
      {35, {32, 0x3FF00000, 0xFFC00, 0x3FF, 0xC0000000}},         // A2R10G10B10
      {50, {8, 0xFF, 0, 0, 0, true}},                             // L8
      {51, {16, 0xFF, 0, 0, 0xFF00, true}},                       // A8L8
      {52, {8, 0x0F, 0, 0, 0xF0, true}},                          // A4L4
  };
  for (const Row& row : kRows) {
    if (row.code == code) {
      f = row.format;
      return true;
    }
  }
  return false;
}

// Rows of `rowBytes` every `stride` bytes: what the pixels need of the file.
bool RowsFit(uint64_t available, int h, uint64_t rowBytes, uint64_t stride) {
  return stride * uint64_t(h - 1) + rowBytes <= available;
}

bool DecodeMasked(const unsigned char* data, uint64_t available, int w, int h, const MaskedFormat& f,
                  uint64_t pitch, Image& out, std::string* why) {
  if (f.bits != 8 && f.bits != 16 && f.bits != 24 && f.bits != 32) return Fail(why, "DDS: unsupported bit count");
  const uint32_t bytesPerPixel = f.bits / 8;
  const uint64_t rowBytes = uint64_t(w) * bytesPerPixel;
  const uint64_t stride = pitch >= rowBytes ? pitch : rowBytes;
  if (!RowsFit(available, h, rowBytes, stride)) return Fail(why, "DDS: pixel data truncated");

  Channel r, g, b, a;
  if (!r.Init(f.r) || !g.Init(f.g) || !b.Init(f.b) || !a.Init(f.a)) return Fail(why, "DDS: colour mask with gaps");
  if (!f.alphaOnly && r.mask == 0 && g.mask == 0 && b.mask == 0) return Fail(why, "DDS: no colour masks");
  if (f.alphaOnly && a.mask == 0) return Fail(why, "DDS: no alpha mask");
  uint64_t limit = f.bits == 32 ? 0xFFFFFFFFull : (1ull << f.bits) - 1;
  if ((uint64_t(r.mask | g.mask | b.mask | a.mask) & ~limit) != 0) return Fail(why, "DDS: mask wider than the pixel");

  out.width = w;
  out.height = h;
  out.argb.resize(size_t(w) * size_t(h));
  for (int y = 0; y < h; ++y) {
    const unsigned char* p = data + stride * uint64_t(y);
    uint32_t* row = &out.argb[size_t(y) * size_t(w)];
    for (int x = 0; x < w; ++x) {
      uint32_t v = 0;
      for (uint32_t i = 0; i < bytesPerPixel; ++i) v |= uint32_t(p[i]) << (8 * i);
      p += bytesPerPixel;
      if (f.alphaOnly) {
        row[x] = a.Get(v, 255) << 24;
      } else if (f.luminance) {
        uint32_t l = r.Get(v, 0);
        row[x] = a.Get(v, 255) << 24 | l << 16 | l << 8 | l;
      } else {
        row[x] = a.Get(v, 255) << 24 | r.Get(v, 0) << 16 | g.Get(v, 0) << 8 | b.Get(v, 0);
      }
    }
  }
  return true;
}

// 8-bit indices into the 256 entries (red, green, blue, flags) that follow
// the header. The flags byte is the entry's alpha where any entry sets one;
// tools that left them all zero meant an opaque picture.
bool DecodePalette(const unsigned char* data, uint64_t available, int w, int h, uint64_t pitch, Image& out,
                   std::string* why) {
  constexpr uint64_t kPaletteBytes = 256 * 4;
  if (available < kPaletteBytes) return Fail(why, "DDS: palette truncated");
  const uint64_t rowBytes = uint64_t(w);
  const uint64_t stride = pitch >= rowBytes ? pitch : rowBytes;
  if (!RowsFit(available - kPaletteBytes, h, rowBytes, stride)) return Fail(why, "DDS: pixel data truncated");
  bool anyAlpha = false;
  for (int i = 0; i < 256; ++i) anyAlpha = anyAlpha || data[i * 4 + 3] != 0;
  uint32_t colours[256];
  for (int i = 0; i < 256; ++i) {
    const unsigned char* e = data + i * 4;
    colours[i] = uint32_t(anyAlpha ? e[3] : 255) << 24 | uint32_t(e[0]) << 16 | uint32_t(e[1]) << 8 | e[2];
  }
  out.width = w;
  out.height = h;
  out.argb.resize(size_t(w) * size_t(h));
  for (int y = 0; y < h; ++y) {
    const unsigned char* p = data + kPaletteBytes + stride * uint64_t(y);
    for (int x = 0; x < w; ++x) out.argb[size_t(y) * size_t(w) + size_t(x)] = colours[p[x]];
  }
  return true;
}

bool DecodeBlocks(const unsigned char* data, uint64_t available, int w, int h, int squishFlags, bool premultiplied,
                  Image& out, std::string* why) {
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
    uint32_t r = s[0], g = s[1], b = s[2], a = s[3];
    if (premultiplied) {
      // DXT2 and DXT4 store colour times alpha; the engine draws straight alpha.
      auto undo = [a](uint32_t c) { return a == 0 ? 0u : std::min(255u, (c * 255 + a / 2) / a); };
      r = undo(r), g = undo(g), b = undo(b);
    }
    px = a << 24 | r << 16 | g << 8 | b;
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
  // The row pitch, where the header gives one (rows may be padded).
  const uint64_t pitch = (Le32(file + 8) & DDSD_PITCH) ? Le32(file + 20) : 0;
  uint32_t flags = Le32(pf + 4);
  bool ok;
  MaskedFormat masked;
  if (flags & DDPF_FOURCC) {
    uint32_t code = Le32(pf + 8);
    struct Block {
      uint32_t code;
      int squishFlags;
      bool premultiplied;
    };
    static const Block kBlocks[] = {
        {FourCC('D', 'X', 'T', '1'), squish::kDxt1, false}, {FourCC('D', 'X', 'T', '2'), squish::kDxt3, true},
        {FourCC('D', 'X', 'T', '3'), squish::kDxt3, false}, {FourCC('D', 'X', 'T', '4'), squish::kDxt5, true},
        {FourCC('D', 'X', 'T', '5'), squish::kDxt5, false},
    };
    const Block* block = nullptr;
    for (const Block& b : kBlocks)
      if (b.code == code) block = &b;
    if (block) {
      ok = DecodeBlocks(data, available, w, h, block->squishFlags, block->premultiplied, out, why);
    } else if (code == kCodeP8) {
      ok = DecodePalette(data, available, w, h, pitch, out, why);
    } else if (FormatFromCode(code, masked)) {
      ok = DecodeMasked(data, available, w, h, masked, pitch, out, why);
    } else {
      return Fail(why, "DDS: unsupported compressed format");
    }
  } else if (flags & (DDPF_RGB | DDPF_LUMINANCE | DDPF_ALPHA)) {
    masked.bits = Le32(pf + 12);
    masked.r = Le32(pf + 16);
    masked.luminance = (flags & DDPF_LUMINANCE) && !(flags & DDPF_RGB);
    masked.alphaOnly = (flags & DDPF_ALPHA) && !(flags & (DDPF_RGB | DDPF_LUMINANCE));
    if (!masked.luminance) {
      masked.g = Le32(pf + 20);
      masked.b = Le32(pf + 24);
    }
    if (masked.alphaOnly) masked.r = masked.g = masked.b = 0;
    masked.a = (flags & (DDPF_ALPHAPIXELS | DDPF_ALPHA)) ? Le32(pf + 28) : 0;
    // Grey comes in 8 or 16 bits (with alpha), never wider.
    if (masked.luminance && masked.bits > 16) return Fail(why, "DDS: unsupported luminance layout");
    ok = DecodeMasked(data, available, w, h, masked, pitch, out, why);
  } else if (flags & DDPF_PALETTEINDEXED8) {
    ok = DecodePalette(data, available, w, h, pitch, out, why);
  } else {
    return Fail(why, "DDS: unsupported pixel format");
  }
  if (!ok) out = Image{};
  return ok;
}

}  // namespace platform
