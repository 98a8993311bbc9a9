// Every TGA layout the paint programs and texture tools of the games' home
// platform wrote, from files put together byte by byte here (not by the
// reader's code), compared pixel by pixel with what each layout means.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <tuple>
#include <string>
#include <vector>

#include "platform/files/ImageDecoder.h"
#include "support/Bytes.h"

using platform::Image;
using testsupport::AppendLe16;

namespace {

constexpr int kW = 9, kH = 4;

// A pixel's stored bytes and the ARGB it stands for.
struct Stored {
  std::string bytes;
  uint32_t argb;
};

// Which source value a pixel shows: the first three of each row are one
// run (so that RLE writes run packets), the rest differ.
int Value(int x, int y) { return x < 3 ? 7 : (x * 23 + y * 41) % 64; }

struct Layout {
  const char* name;
  uint8_t type;        // 1 mapped, 2 true colour, 3 grey (RLE adds 8)
  uint8_t depth;       // bits per stored pixel
  uint8_t alphaBits;   // the descriptor's count
  uint8_t mapBits;     // colour-map entry size, 0 without a map
  std::function<Stored(int v)> pixel;  // the stored pixel or map entry for value v
};

uint32_t Five(uint32_t v5) { return (v5 * 255 + 15) / 31; }

// 16-bit pixel for value v: a spread of 5-bit fields and the top bit set
// for odd values.
Stored Sixteen(int v, bool alphaCounts, bool fifteen) {
  uint32_t r = uint32_t(v * 3) % 32, g = uint32_t(31 - v % 32), b = uint32_t(v * 7) % 32, top = v & 1;
  uint32_t word = top << 15 | r << 10 | g << 5 | b;
  std::string bytes;
  AppendLe16(bytes, uint16_t(word));
  uint32_t a = (alphaCounts && !fifteen) ? (top ? 255u : 0u) : 255u;
  return {bytes, a << 24 | Five(r) << 16 | Five(g) << 8 | Five(b)};
}

Stored Bgr(int v, int bytesPerPixel, bool alpha) {
  uint8_t r = uint8_t(v * 4), g = uint8_t(255 - v * 3), b = uint8_t(v * 11), a = uint8_t(v * 4 + 1);
  std::string bytes{char(b), char(g), char(r)};
  if (bytesPerPixel == 4) bytes += char(a);
  uint32_t shownA = alpha ? a : 255u;
  return {bytes, shownA << 24 | uint32_t(r) << 16 | uint32_t(g) << 8 | b};
}

const Layout kLayouts[] = {
    {"true colour 15", 2, 15, 0, 0, [](int v) { return Sixteen(v, false, true); }},
    {"true colour 16 with its alpha bit", 2, 16, 1, 0, [](int v) { return Sixteen(v, true, false); }},
    {"true colour 16 without alpha bits", 2, 16, 0, 0, [](int v) { return Sixteen(v, false, false); }},
    {"true colour 24", 2, 24, 0, 0, [](int v) { return Bgr(v, 3, false); }},
    {"true colour 32", 2, 32, 8, 0, [](int v) { return Bgr(v, 4, true); }},
    {"grey 8", 3, 8, 0, 0,
     [](int v) {
       uint32_t l = uint32_t(v * 4);
       return Stored{std::string(1, char(l)), 0xFF000000u | l << 16 | l << 8 | l};
     }},
    {"grey 8 with alpha 8", 3, 16, 8, 0,
     [](int v) {
       uint32_t l = uint32_t(v * 4), a = uint32_t(250 - v * 3);
       return Stored{std::string{char(l), char(a)}, a << 24 | l << 16 | l << 8 | l};
     }},
    {"mapped 24-bit entries", 1, 8, 0, 24, [](int v) { return Bgr(v, 3, false); }},
    {"mapped 32-bit entries", 1, 8, 8, 32, [](int v) { return Bgr(v, 4, true); }},
    {"mapped 16-bit entries with alpha", 1, 8, 1, 16, [](int v) { return Sixteen(v, true, false); }},
    {"mapped 16-bit entries without alpha", 1, 8, 0, 16, [](int v) { return Sixteen(v, false, false); }},
    {"mapped 15-bit entries", 1, 8, 0, 15, [](int v) { return Sixteen(v, false, true); }},
    {"mapped 24-bit entries, 16-bit indices", 1, 16, 0, 24, [](int v) { return Bgr(v, 3, false); }},
};

// Packs stored pixels into RLE packets across the whole stream (packets may
// run over row ends, which the format allows).
std::string Rle(const std::vector<std::string>& px) {
  std::string out;
  size_t i = 0;
  while (i < px.size()) {
    size_t run = 1;
    while (i + run < px.size() && run < 128 && px[i + run] == px[i]) ++run;
    if (run >= 2) {
      out += char(0x80 | (run - 1));
      out += px[i];
      i += run;
      continue;
    }
    size_t raw = 1;
    while (i + raw < px.size() && raw < 128 && px[i + raw] != px[i + raw - 1]) ++raw;
    out += char(raw - 1);
    for (size_t k = 0; k < raw; ++k) out += px[i + k];
    i += raw;
  }
  return out;
}

constexpr uint16_t kMapFirst = 5;  // indices count from the map's first entry

// The whole file for a layout. `origin` is the descriptor's bits 4 and 5:
// 0 bottom-left, 0x10 bottom-right, 0x20 top-left, 0x30 top-right.
std::string Tga(const Layout& l, bool rle, uint8_t origin, Image& meaning) {
  meaning = Image{};
  meaning.width = kW, meaning.height = kH;
  meaning.argb.resize(kW * kH);
  std::string map;
  const bool mapped = l.type == 1;
  if (mapped)
    for (int v = 0; v < 64; ++v) map += l.pixel(v).bytes;
  std::vector<std::string> stream;
  for (int row = 0; row < kH; ++row)
    for (int col = 0; col < kW; ++col) {
      const int y = (origin & 0x20) ? row : kH - 1 - row, x = (origin & 0x10) ? kW - 1 - col : col;
      const int v = Value(x, y);
      const Stored s = l.pixel(v);
      meaning.argb[size_t(y) * kW + x] = s.argb;
      if (!mapped) {
        stream.push_back(s.bytes);
      } else {
        std::string index;
        if (l.depth == 16)
          AppendLe16(index, uint16_t(v + kMapFirst));
        else
          index = std::string(1, char(v + kMapFirst));
        stream.push_back(index);
      }
    }
  std::string f;
  const std::string id = "made by hand";
  f += char(id.size());
  f += char(mapped ? 1 : 0);
  f += char(l.type + (rle ? 8 : 0));
  AppendLe16(f, mapped ? kMapFirst : 0);
  AppendLe16(f, mapped ? 64 : 0);
  f += char(mapped ? l.mapBits : 0);
  AppendLe16(f, 0), AppendLe16(f, 0);  // x and y origin: display hints only
  AppendLe16(f, kW), AppendLe16(f, kH);
  f += char(l.depth);
  f += char(l.alphaBits | origin);
  f += id + map;
  if (rle) {
    f += Rle(stream);
  } else {
    for (const std::string& s : stream) f += s;
  }
  return f;
}

void ExpectSame(const Image& got, const Image& want, const std::string& what) {
  ASSERT_EQ(got.width, want.width) << what;
  ASSERT_EQ(got.height, want.height) << what;
  for (size_t i = 0; i < want.argb.size(); ++i)
    ASSERT_EQ(got.argb[i], want.argb[i]) << what << " pixel " << i % kW << "," << i / kW << std::hex << " got "
                                         << got.argb[i] << " want " << want.argb[i];
}

}  // namespace

TEST(TgaFormats, EveryLayoutRawAndRleFromEachOrigin) {
  for (const Layout& l : kLayouts)
    for (bool rle : {false, true})
      for (uint8_t origin : {0x00, 0x10, 0x20, 0x30}) {
        const std::string what = std::string(l.name) + (rle ? " RLE" : " raw") + " origin " + std::to_string(origin);
        Image want;
        const std::string file = Tga(l, rle, origin, want);
        Image got;
        std::string why;
        ASSERT_TRUE(platform::DecodeImage(file, "p.tga", got, &why)) << what << ": " << why;
        ExpectSame(got, want, what);
        // Not named .tga: the complete file is still recognised.
        ASSERT_TRUE(platform::DecodeImage(file, "p.bin", got, &why)) << what << ": " << why;
      }
}

// A 32-bit picture whose descriptor counts no alpha bits: bytes all 0 mean
// the tool wrote no alpha (opaque); any other bytes are alpha it forgot to
// count.
TEST(TgaFormats, ThirtyTwoBitsWithoutAlphaBits) {
  Layout l = kLayouts[4];
  l.alphaBits = 0;
  l.pixel = [](int v) {
    Stored s = Bgr(v, 4, false);
    s.bytes[3] = 0;
    return s;
  };
  Image want;
  std::string file = Tga(l, false, 0x20, want);
  Image got;
  ASSERT_TRUE(platform::DecodeImage(file, "p.tga", got));
  ExpectSame(got, want, "alpha bytes all 0");

  l.pixel = [](int v) { return Bgr(v, 4, true); };
  file = Tga(l, true, 0x00, want);
  ASSERT_TRUE(platform::DecodeImage(file, "p.tga", got));
  ExpectSame(got, want, "alpha bytes in use");
}

TEST(TgaFormats, DamagedFilesFailOrShowTheDamageClearly) {
  Image want, got;
  // Indices past the colour map: those pixels come out clear, the rest stand.
  std::string file = Tga(kLayouts[7], false, 0x20, want);
  const size_t pixelsAt = file.size() - kW * kH;
  file[pixelsAt] = char(0xFF);
  file[pixelsAt + 1] = char(kMapFirst - 1);
  ASSERT_TRUE(platform::DecodeImage(file, "p.tga", got));
  EXPECT_EQ(got.argb[0], 0u);
  EXPECT_EQ(got.argb[1], 0u);
  EXPECT_EQ(got.argb[2], want.argb[2]);

  // A last RLE packet that runs past the picture is cut to it.
  file = Tga(kLayouts[3], true, 0x20, want);
  file += std::string("\xFF\x01\x02\x03", 4);
  ASSERT_TRUE(platform::DecodeImage(file, "p.tga", got));
  ExpectSame(got, want, "over-long packets");

  // Each cut of a mapped and a 16-bit RLE file fails, map and ID included.
  for (const Layout* l : {&kLayouts[1], &kLayouts[9]}) {
    const std::string whole = Tga(*l, true, 0, want);
    for (size_t len = 0; len < whole.size(); ++len)
      ASSERT_FALSE(platform::DecodeImage(whole.substr(0, len), "p.tga", got)) << l->name << " cut at " << len;
  }

  // Depths a type does not have, and a mapped picture without its map.
  for (auto [type, depth, mapType] : {std::tuple{2, 8, 0}, {3, 24, 0}, {1, 24, 1}, {1, 8, 0}}) {
    file = Tga(kLayouts[7], false, 0, want);
    file[1] = char(mapType);
    file[2] = char(type);
    file[16] = char(depth);
    std::string why;
    EXPECT_FALSE(platform::DecodeImage(file, "p.tga", got, &why)) << type << "/" << depth;
    EXPECT_TRUE(got.argb.empty());
  }
}
