// Every BMP layout the paint programs of the games' home platform wrote,
// from files put together byte by byte here, compared pixel by pixel with
// what each layout means there: a 32-bit picture without an alpha mask is
// opaque (the fourth byte is padding), one whose header has an alpha mask
// keeps it.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "platform/files/ImageDecoder.h"
#include "support/Bytes.h"

using platform::Image;
using testsupport::AppendLe16;
using testsupport::AppendLe32;
using testsupport::PutLe32;

namespace {

constexpr int kW = 11, kH = 5;  // odd, so every depth pads its rows

enum : uint32_t { kRgb = 0, kRle8 = 1, kRle4 = 2, kBitfields = 3 };

struct Masks {
  uint32_t r, g, b, a;
};

// A BMP of the given header size (12 for the old core header, 40, 108 for
// V4, 124 for V5) over `pixels` (rows as stored, padding included).
std::string Bmp(uint32_t headerSize, int32_t w, int32_t h, uint16_t bits, uint32_t compression,
                const std::vector<uint32_t>& palette, const Masks* masks, const std::string& pixels) {
  std::string info;
  AppendLe32(info, headerSize);
  if (headerSize == 12) {
    AppendLe16(info, uint16_t(w)), AppendLe16(info, uint16_t(h)), AppendLe16(info, 1), AppendLe16(info, bits);
  } else {
    AppendLe32(info, uint32_t(w)), AppendLe32(info, uint32_t(h)), AppendLe16(info, 1), AppendLe16(info, bits);
    AppendLe32(info, compression);
    AppendLe32(info, uint32_t(pixels.size()));
    AppendLe32(info, 2835), AppendLe32(info, 2835);  // 72 dpi
    AppendLe32(info, uint32_t(palette.size())), AppendLe32(info, 0);
    if (headerSize >= 108) {
      AppendLe32(info, masks ? masks->r : 0), AppendLe32(info, masks ? masks->g : 0);
      AppendLe32(info, masks ? masks->b : 0), AppendLe32(info, masks ? masks->a : 0);
      AppendLe32(info, 0x73524742);  // 'sRGB'
      info += std::string(headerSize - 60, '\0');
    }
  }
  if (headerSize == 40 && compression == kBitfields && masks) {
    AppendLe32(info, masks->r), AppendLe32(info, masks->g), AppendLe32(info, masks->b);
  }
  for (uint32_t c : palette) {
    info += char(c & 0xFF), info += char((c >> 8) & 0xFF), info += char((c >> 16) & 0xFF);
    if (headerSize != 12) info += '\0';
  }
  std::string f = "BM";
  AppendLe32(f, uint32_t(14 + info.size() + pixels.size()));
  AppendLe32(f, 0);
  AppendLe32(f, uint32_t(14 + info.size()));
  return f + info + pixels;
}

// Which value a pixel shows; small, so that palettes of every size hold it.
int Value(int x, int y, int levels) { return (x * 3 + y * 5 + (x > 6 ? 1 : 0)) % levels; }

uint32_t Colour(int v) {
  return 0xFF000000u | uint32_t(v * 6 + 8) << 16 | uint32_t(255 - v * 13) << 8 | uint32_t((v * 71) & 0xFF);
}

// The bit-field value of an 8-bit channel, and what it reads back as.
uint32_t Field(uint32_t v8, uint32_t mask) {
  int shift = 0;
  while (!((mask >> shift) & 1)) ++shift;
  uint32_t max = mask >> shift;
  return ((v8 * max + 127) / 255) << shift;
}
uint32_t Back(uint32_t v8, uint32_t mask) {
  int shift = 0;
  while (!((mask >> shift) & 1)) ++shift;
  uint32_t max = mask >> shift;
  uint32_t stored = (v8 * max + 127) / 255;
  return (stored * 255 + max / 2) / max;
}

// Palette pictures of `bits` bits per pixel, bottom-up or top-down.
std::string Paletted(uint16_t bits, bool topDown, uint32_t header, Image& want) {
  const int levels = 1 << bits;
  const int used = bits == 8 ? 40 : levels;  // an 8-bit palette shorter than 256 entries
  std::vector<uint32_t> palette;
  for (int v = 0; v < used; ++v) palette.push_back(Colour(v) & 0xFFFFFF);
  want = Image{};
  want.width = kW, want.height = kH;
  std::string rows;
  const size_t stride = ((size_t(kW) * bits + 31) / 32) * 4;
  for (int row = 0; row < kH; ++row) {
    const int y = topDown ? row : kH - 1 - row;
    std::string line(stride, '\0');
    for (int x = 0; x < kW; ++x) {
      const int v = Value(x, y, used);
      const size_t bit = size_t(x) * bits;
      line[bit / 8] = char(uint8_t(line[bit / 8]) | uint8_t(v << (8 - bits - bit % 8)));
    }
    rows += line;
  }
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) want.argb.push_back(Colour(Value(x, y, used)));
  return Bmp(header, kW, topDown ? -kH : kH, bits, kRgb, palette, nullptr, rows);
}

// Direct-colour pictures: `masks` say where each channel sits (their
// meaning under BI_RGB is the format's default), `alpha` whether the
// header's alpha mask is in force.
std::string Direct(uint16_t bits, uint32_t header, uint32_t compression, Masks m, bool topDown, Image& want,
                   uint8_t paddingByte = 0) {
  want = Image{};
  want.width = kW, want.height = kH;
  want.argb.resize(kW * kH);
  const size_t stride = ((size_t(kW) * bits + 31) / 32) * 4;
  std::string rows;
  for (int row = 0; row < kH; ++row) {
    const int y = topDown ? row : kH - 1 - row;
    std::string line;
    for (int x = 0; x < kW; ++x) {
      const uint32_t r = uint32_t(x * 23), g = uint32_t(255 - y * 50), b = uint32_t((x * y * 17) & 0xFF),
                     a = uint32_t(x * 25);
      uint32_t px = Field(r, m.r) | Field(g, m.g) | Field(b, m.b) | (m.a ? Field(a, m.a) : 0);
      if (bits == 32 && !m.a) px |= uint32_t(paddingByte) << 24;
      for (int k = 0; k < bits / 8; ++k) line += char((px >> (8 * k)) & 0xFF);
      const uint32_t shownA = m.a ? Back(a, m.a) : 255u;
      want.argb[size_t(y) * kW + x] = shownA << 24 | Back(r, m.r) << 16 | Back(g, m.g) << 8 | Back(b, m.b);
    }
    line.resize(stride, '\0');
    rows += line;
  }
  const bool writeMasks = compression == kBitfields;
  return Bmp(header, kW, topDown ? -kH : kH, bits, compression, {}, writeMasks ? &m : nullptr, rows);
}

Image Decode(const std::string& file, const std::string& what) {
  Image img;
  std::string why;
  EXPECT_TRUE(platform::DecodeImage(file, "p.bmp", img, &why)) << what << ": " << why;
  return img;
}

// `tolerance` per channel: SDL widens 16-bit fields by its own tables,
// which may land one step away from rounding.
void ExpectSame(const Image& got, const Image& want, const std::string& what, int tolerance = 0) {
  ASSERT_EQ(got.width, want.width) << what;
  ASSERT_EQ(got.height, want.height) << what;
  auto near = [tolerance](uint32_t a, uint32_t b) {
    for (int shift = 0; shift < 32; shift += 8)
      if (std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)) > tolerance) return false;
    return true;
  };
  for (size_t i = 0; i < want.argb.size(); ++i)
    ASSERT_TRUE(near(got.argb[i], want.argb[i])) << what << " pixel " << i % want.width << "," << i / want.width
                                         << std::hex << " got " << got.argb[i] << " want " << want.argb[i];
}

const Masks k555{0x7C00, 0x03E0, 0x001F, 0}, k565{0xF800, 0x07E0, 0x001F, 0}, k1555{0x7C00, 0x03E0, 0x001F, 0x8000},
    k4444{0x0F00, 0x00F0, 0x000F, 0xF000}, k888{0xFF0000, 0x00FF00, 0x0000FF, 0},
    k8888{0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000}, kBgra{0x0000FF00, 0x00FF0000, 0xFF000000, 0x000000FF};

}  // namespace

TEST(BmpFormats, PalettesOfOneFourAndEightBitsBothWays) {
  Image want;
  for (uint16_t bits : {1, 4, 8})
    for (bool topDown : {false, true})
      for (uint32_t header : {40u, 124u}) {
        const std::string what = std::to_string(bits) + "-bit" + (topDown ? " top-down" : " bottom-up") +
                                 " header " + std::to_string(header);
        const std::string file = Paletted(bits, topDown, header, want);
        ExpectSame(Decode(file, what), want, what);
      }
  // The old core header with three-byte palette entries.
  const std::string core = Paletted(8, false, 12, want);
  ExpectSame(Decode(core, "core header"), want, "core header");
}

TEST(BmpFormats, DirectColourWithAndWithoutBitFields) {
  struct Case {
    const char* name;
    uint16_t bits;
    uint32_t header, compression;
    Masks masks;
    uint8_t padding = 0;
  };
  const Case cases[] = {
      {"16-bit 5-5-5 default", 16, 40, kRgb, k555},
      {"16-bit 5-6-5 bit fields", 16, 40, kBitfields, k565},
      {"16-bit 5-5-5 bit fields", 16, 40, kBitfields, k555},
      {"16-bit 1-5-5-5 with an alpha mask", 16, 108, kBitfields, k1555},
      {"16-bit 4-4-4-4 with an alpha mask", 16, 124, kBitfields, k4444},
      {"24-bit", 24, 40, kRgb, k888},
      {"32-bit, padding byte 0", 32, 40, kRgb, k888, 0},
      {"32-bit, padding byte used", 32, 40, kRgb, k888, 0x5A},
      {"32-bit bit fields without alpha", 32, 40, kBitfields, k888, 0x33},
      {"32-bit with an alpha mask", 32, 108, kBitfields, k8888},
      {"32-bit, channels elsewhere, alpha mask", 32, 124, kBitfields, kBgra},
  };
  Image want;
  for (const Case& c : cases)
    for (bool topDown : {false, true}) {
      const std::string what = std::string(c.name) + (topDown ? " top-down" : " bottom-up");
      const std::string file = Direct(c.bits, c.header, c.compression, c.masks, topDown, want, c.padding);
      ExpectSame(Decode(file, what), want, what, c.bits == 16 ? 1 : 0);
    }
}

namespace {
// RLE pictures of a 6 x 4 picture: rows as stored bottom-up, runs and
// absolute runs (word-padded), a delta, end-of-line and end-of-picture
// codes. Pixels a delta skips show palette entry 0.
std::string RleBmp(uint16_t bits, Image& want) {
  const std::vector<uint32_t> palette = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};
  // The picture, top row first, as palette indices.
  const int rows[4][6] = {{1, 1, 1, 1, 2, 3}, {4, 4, 0, 0, 0, 0}, {2, 3, 2, 1, 1, 1}, {3, 3, 0, 0, 3, 3}};
  std::string data;
  for (int y = 3; y >= 0; --y) {
    if (bits == 8) {
      switch (y) {
        case 0: data += std::string("\x03\x01\x00\x03\x01\x02\x03\x00", 8); break;  // run 3, absolute 3
        case 1: data += std::string("\x02\x04\x04\x00", 4); break;          // two runs
        case 2: data += std::string("\x00\x03\x02\x03\x02\x00\x03\x01", 8); break;  // absolute 3, padded; run 3
        case 3: data += std::string("\x02\x03\x00\x02\x02\x00\x02\x03", 8); break;  // a delta skips two
      }
    } else {
      // RLE4 runs alternate the two nibbles of their byte.
      switch (y) {
        case 0: data += std::string("\x03\x11\x00\x03\x12\x30", 6); break;  // run 3, absolute 3
        case 1: data += std::string("\x02\x44\x04\x00", 4); break;
        case 2: data += std::string("\x04\x23\x02\x11", 4); break;  // 2,3,2,3 then 1,1
        case 3: data += std::string("\x02\x33\x00\x02\x02\x00\x02\x33", 8); break;
      }
    }
    data += std::string("\x00\x00", 2);  // end of line
  }
  data += std::string("\x00\x01", 2);  // end of picture
  want = Image{};
  want.width = 6, want.height = 4;
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 6; ++x) {
      int v = rows[y][x];
      if (bits == 4 && y == 2) v = (x < 4) ? (x % 2 ? 3 : 2) : 1;  // the RLE4 row as written above
      want.argb.push_back(0xFF000000u | palette[size_t(v)]);
    }
  return Bmp(40, 6, 4, bits, bits == 8 ? kRle8 : kRle4, palette, nullptr, data);
}
}  // namespace

TEST(BmpFormats, RunLengthEightAndFourBits) {
  Image want;
  for (uint16_t bits : {8, 4}) {
    const std::string what = "RLE" + std::to_string(bits);
    ExpectSame(Decode(RleBmp(bits, want), what), want, what);
  }
}

TEST(BmpFormats, DamagedFilesFail) {
  Image want, got;
  const std::string good = Direct(24, 40, kRgb, k888, false, want);
  for (size_t len = 0; len < good.size(); len += 5)
    EXPECT_FALSE(platform::DecodeImage(good.substr(0, len), "p.bmp", got)) << "cut at " << len;
  std::string bad = good;
  bad[28] = 7;  // 7 bits per pixel
  EXPECT_FALSE(platform::DecodeImage(bad, "p.bmp", got)) << "7 bits";
  bad = good;
  PutLe32(bad, 30, 9);  // an unknown compression
  EXPECT_FALSE(platform::DecodeImage(bad, "p.bmp", got)) << "compression 9";
  EXPECT_TRUE(got.argb.empty());
}
