// The TGA reader: the 18-byte header, the image ID and colour map skipped
// or read, then raw or run-length packets of pixels into one stream that the
// origin bits place. Every read is checked against the file's end, and the
// file is walked once for completeness before the result is allocated.
#include "platform/files/TgaReader.h"

#include <cstdint>
#include <vector>

namespace platform {
namespace {

const unsigned char* U(std::string_view b) { return reinterpret_cast<const unsigned char*>(b.data()); }
uint32_t Le16(const unsigned char* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8; }

bool Fail(std::string* why, const char* text) {
  if (why) *why = std::string("TGA: ") + text;
  return false;
}

struct Header {
  unsigned idLength, mapType, imageType, mapFirst, mapLength, mapEntryBits, width, height, depth, descriptor;
  bool rle() const { return imageType >= 9; }
  unsigned kind() const { return imageType & 7; }  // 1 mapped, 2 true colour, 3 grey
  unsigned alphaBits() const { return descriptor & 0x0F; }
  uint64_t pixelBytes() const { return (depth + 7) / 8; }
  uint64_t mapBytes() const { return mapType ? uint64_t(mapLength) * ((mapEntryBits + 7) / 8) : 0; }
  uint64_t dataStart() const { return 18 + uint64_t(idLength) + mapBytes(); }
};

Header ReadHeader(const unsigned char* h) {
  return Header{h[0], h[1], h[2], Le16(h + 3), Le16(h + 5), h[7], Le16(h + 12), Le16(h + 14), h[16], h[17]};
}

bool DepthFits(const Header& h) {
  switch (h.kind()) {
    case 1: return h.depth == 8 || h.depth == 16;
    case 2: return h.depth == 15 || h.depth == 16 || h.depth == 24 || h.depth == 32;
    case 3: return h.depth == 8 || h.depth == 16;
    default: return false;
  }
}

// 5 bits to 8, rounded as the DDS reader scales its fields.
uint32_t Expand5(uint32_t v) { return (v * 255 + 15) / 31; }

// A 15/16-bit pixel (also a colour-map entry) as ARGB; `alpha` says whether
// the top bit is alpha.
uint32_t From16(uint32_t v, bool alpha) {
  uint32_t a = alpha ? ((v & 0x8000) ? 255u : 0u) : 255u;
  return a << 24 | Expand5((v >> 10) & 31) << 16 | Expand5((v >> 5) & 31) << 8 | Expand5(v & 31);
}

// One stored pixel (or map entry) as ARGB. The alpha bit of 16-bit pixels
// counts only when the descriptor declares alpha bits; 32-bit pixels keep
// their alpha byte here (see DecodeTga).
uint32_t FromColour(const unsigned char* p, unsigned bits, bool alpha) {
  switch (bits) {
    case 15:
    case 16: return From16(Le16(p), alpha && bits == 16);
    case 24: return 0xFF000000u | uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
    default: return uint32_t(p[3]) << 24 | uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
  }
}

}  // namespace

bool PlausibleTga(std::string_view b) {
  if (b.size() < 18) return false;
  // Byte 1 (colour-map type) must be 0 or 1, which no other format's magic
  // allows, so the sniffing order cannot be fooled.
  Header h = ReadHeader(U(b));
  if (h.mapType > 1) return false;
  if (h.kind() < 1 || h.kind() > 3 || (h.imageType & ~11u) != 0) return false;
  if (h.kind() == 1 && (h.mapType != 1 || h.mapLength == 0)) return false;
  if (h.mapType == 1 && h.mapEntryBits != 15 && h.mapEntryBits != 16 && h.mapEntryBits != 24 && h.mapEntryBits != 32)
    return false;
  return DepthFits(h) && h.width != 0 && h.height != 0;
}

bool TgaComplete(std::string_view b) {
  if (b.size() < 18) return false;
  const unsigned char* p = U(b);
  Header h = ReadHeader(p);
  uint64_t pos = h.dataStart();
  uint64_t pixelBytes = h.pixelBytes();
  uint64_t pixels = uint64_t(h.width) * h.height;
  if (!h.rle()) return pos + pixels * pixelBytes <= b.size();
  for (uint64_t done = 0; done < pixels;) {
    if (pos >= b.size()) return false;
    unsigned packet = p[pos++];
    uint64_t count = (packet & 0x7F) + 1;
    pos += (packet & 0x80) ? pixelBytes : count * pixelBytes;
    if (pos > b.size()) return false;
    done += count;
  }
  return true;
}

bool DecodeTga(std::string_view b, Image& out, std::string* why) {
  out = Image{};
  if (!PlausibleTga(b)) return Fail(why, "unreadable header");
  const unsigned char* p = U(b);
  const Header h = ReadHeader(p);
  if (h.width > unsigned(kMaxImageSide) || h.height > unsigned(kMaxImageSide))
    return Fail(why, "dimensions out of range");
  if (!TgaComplete(b)) return Fail(why, "file truncated");
  const bool alpha = h.alphaBits() > 0;

  // The colour map as ARGB entries; indices count from its first entry.
  std::vector<uint32_t> map;
  if (h.kind() == 1) {
    const unsigned char* entry = p + 18 + h.idLength;
    const unsigned entryBytes = (h.mapEntryBits + 7) / 8;
    map.resize(h.mapLength);
    for (unsigned i = 0; i < h.mapLength; ++i, entry += entryBytes)
      map[i] = FromColour(entry, h.mapEntryBits, alpha);
  }
  auto toArgb = [&](const unsigned char* px) -> uint32_t {
    switch (h.kind()) {
      case 1: {
        // An index outside the map is a damaged pixel, not a damaged
        // picture: it comes out clear rather than failing the whole file.
        uint32_t index = h.depth == 16 ? Le16(px) : px[0];
        return index >= h.mapFirst && index - h.mapFirst < map.size() ? map[index - h.mapFirst] : 0u;
      }
      case 3: {
        uint32_t l = px[0];
        uint32_t a = h.depth == 16 && alpha ? px[1] : 255u;
        return a << 24 | l << 16 | l << 8 | l;
      }
      default: return FromColour(px, h.depth, alpha);
    }
  };

  // Pixels arrive in file order; the origin bits say where each goes.
  const bool rightToLeft = h.descriptor & 0x10, topDown = h.descriptor & 0x20;
  out.width = int(h.width);
  out.height = int(h.height);
  out.argb.resize(size_t(h.width) * h.height);
  size_t n = 0;
  auto put = [&](uint32_t argb) {
    size_t row = n / h.width, col = n % h.width;
    size_t y = topDown ? row : h.height - 1 - row, x = rightToLeft ? h.width - 1 - col : col;
    out.argb[y * h.width + x] = argb;
    ++n;
  };
  const size_t total = out.argb.size(), pixelBytes = size_t(h.pixelBytes());
  const unsigned char* at = p + h.dataStart();
  // TgaComplete has checked that every packet and pixel below is in the file.
  while (n < total) {
    if (!h.rle()) {
      put(toArgb(at));
      at += pixelBytes;
      continue;
    }
    unsigned packet = *at++;
    size_t count = (packet & 0x7F) + 1;
    if (count > total - n) count = total - n;  // a packet past the last pixel is cut
    if (packet & 0x80) {
      uint32_t v = toArgb(at);
      at += pixelBytes;
      for (size_t i = 0; i < count; ++i) put(v);
    } else {
      for (size_t i = 0; i < count; ++i, at += pixelBytes) put(toArgb(at));
      at += ((packet & 0x7F) + 1 - count) * pixelBytes;
    }
  }
  // 32-bit pixels that declare no alpha bits: some tools store real alpha
  // without counting it, others leave the byte 0. All 0 means the latter,
  // and the picture is opaque; anything else is taken as alpha.
  const unsigned colourBits = h.kind() == 1 ? h.mapEntryBits : h.depth;
  if (!alpha && colourBits == 32 && h.kind() != 3) {
    bool anyAlpha = false;
    for (uint32_t px : out.argb) anyAlpha |= (px >> 24) != 0;
    if (!anyAlpha)
      for (uint32_t& px : out.argb) px |= 0xFF000000u;
  }
  return true;
}

}  // namespace platform
