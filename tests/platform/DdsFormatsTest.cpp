// Every DDS layout that the texture tools of the games' home platform wrote,
// from files made by the shared writer (not by the reader), compared pixel
// by pixel with what each format means.
#include <gtest/gtest.h>

#include <squish.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "common/DdsWriter.h"
#include "platform/files/ImageDecoder.h"
#include "support/Bytes.h"

using platform::Image;

namespace {

// Distinct colours and alphas per pixel.
Image Pattern(int w, int h) {
  Image img;
  img.width = w, img.height = h;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      img.argb.push_back(uint32_t(255 - 37 * y) << 24 | uint32_t(x * 51) << 16 | uint32_t(y * 61 + 9) << 8 |
                         uint32_t(230 - x * 29));
  return img;
}

Image Grey(Image img) {
  for (uint32_t& px : img.argb) {
    const uint32_t l = (px >> 8) & 0xFF;
    px = (px & 0xFF000000) | l << 16 | l << 8 | l;
  }
  return img;
}

// What a field of `mask` keeps of an 8-bit channel, read back to 8 bits.
uint32_t Quantised(uint32_t v8, uint32_t mask, uint32_t absent) {
  if (mask == 0) return absent;
  uint32_t max = mask;
  while (!(max & 1)) max >>= 1;
  const uint32_t stored = (v8 * max + 127) / 255;
  return (stored * 255 + max / 2) / max;
}

// The picture a masked format means for `src`.
Image Meaning(const Image& src, const ddswriter::PixelFormat& f) {
  Image want = src;
  const bool grey = f.flags & ddswriter::kPfLuminance, alphaOnly = f.flags == ddswriter::kPfAlpha;
  for (uint32_t& px : want.argb) {
    const uint32_t a = Quantised(px >> 24, f.a, 255);
    if (alphaOnly) {
      px = a << 24;
      continue;
    }
    const uint32_t r = Quantised((px >> 16) & 0xFF, f.r, 0);
    const uint32_t g = grey ? r : Quantised((px >> 8) & 0xFF, f.g, 0);
    const uint32_t b = grey ? r : Quantised(px & 0xFF, f.b, 0);
    px = a << 24 | r << 16 | g << 8 | b;
  }
  return want;
}

Image Decode(const std::string& bytes) {
  Image img;
  std::string why;
  EXPECT_TRUE(platform::DecodeImage(bytes, "t.dds", img, &why)) << why;
  return img;
}

void ExpectSame(const Image& got, const Image& want, int tolerance, const std::string& what) {
  ASSERT_EQ(got.width, want.width) << what;
  ASSERT_EQ(got.height, want.height) << what;
  for (size_t i = 0; i < want.argb.size(); ++i) {
    for (int shift = 0; shift < 32; shift += 8) {
      const int g = int((got.argb[i] >> shift) & 0xFF), w = int((want.argb[i] >> shift) & 0xFF);
      ASSERT_LE(std::abs(g - w), tolerance) << what << " pixel " << i << std::hex << " got " << got.argb[i]
                                            << " want " << want.argb[i];
    }
  }
}

std::string Masked(const Image& img, const ddswriter::PixelFormat& f, uint32_t pitch = 0) {
  return ddswriter::EncodeMasked(uint32_t(img.width), uint32_t(img.height), img.argb, f, 1, pitch);
}

// The same file with the layout named by its numeric format code instead.
std::string ByCode(std::string file, uint32_t code) {
  testsupport::PutLe32(file, 80, ddswriter::kPfFourCC);
  testsupport::PutLe32(file, 84, code);
  for (size_t at = 88; at < 108; at += 4) testsupport::PutLe32(file, at, 0);
  return file;
}

struct Layout {
  const char* name;
  ddswriter::PixelFormat format;
  uint32_t code;  // its numeric format code
  bool grey;
};
const Layout kLayouts[] = {
    {"R8G8B8", ddswriter::kR8G8B8, 20, false},         {"A8R8G8B8", ddswriter::kA8R8G8B8, 21, false},
    {"X8R8G8B8", ddswriter::kX8R8G8B8, 22, false},     {"R5G6B5", ddswriter::kR5G6B5, 23, false},
    {"X1R5G5B5", ddswriter::kX1R5G5B5, 24, false},     {"A1R5G5B5", ddswriter::kA1R5G5B5, 25, false},
    {"A4R4G4B4", ddswriter::kA4R4G4B4, 26, false},     {"R3G3B2", ddswriter::kR3G3B2, 27, false},
    {"A8", ddswriter::kA8, 28, false},                 {"A8R3G3B2", ddswriter::kA8R3G3B2, 29, false},
    {"X4R4G4B4", ddswriter::kX4R4G4B4, 30, false},     {"A2B10G10R10", ddswriter::kA2B10G10R10, 31, false},
    {"A8B8G8R8", ddswriter::kA8B8G8R8, 32, false},     {"A2R10G10B10", ddswriter::kA2R10G10B10, 35, false},
    {"L8", ddswriter::kL8, 50, true},                  {"A8L8", ddswriter::kA8L8, 51, true},
    {"A4L4", ddswriter::kA4L4, 52, true},
};

}  // namespace

TEST(DdsFormats, EveryUncompressedLayoutByMasksAndByFormatCode) {
  for (const Layout& l : kLayouts) {
    const Image src = l.grey ? Grey(Pattern(7, 5)) : Pattern(7, 5);
    const Image want = Meaning(src, l.format);
    ExpectSame(Decode(Masked(src, l.format)), want, 0, std::string(l.name) + " by masks");
    ExpectSame(Decode(ByCode(Masked(src, l.format), l.code)), want, 0, std::string(l.name) + " by format code");
  }
}

TEST(DdsFormats, RowsPaddedPastTheirWidthAreReadAtThePitch) {
  const Image src = Pattern(5, 4);
  ExpectSame(Decode(Masked(src, ddswriter::kR8G8B8, 20)), Meaning(src, ddswriter::kR8G8B8), 0, "24-bit, pitch 20");
  ExpectSame(Decode(Masked(src, ddswriter::kL8, 8)), Meaning(src, ddswriter::kL8), 0, "8-bit, pitch 8");
  // A pitch narrower than the row cannot be meant: the rows are packed.
  std::string narrow = Masked(src, ddswriter::kA8R8G8B8);
  testsupport::PutLe32(narrow, 20, 4);
  ExpectSame(Decode(narrow), src, 0, "pitch under the row");
  // Padding that the file does not hold fails as truncated, never reads past it.
  std::string cut = Masked(src, ddswriter::kA8R8G8B8, 64);
  cut.resize(cut.size() - (64 - 5 * 4));
  Image img;
  EXPECT_TRUE(platform::DecodeImage(cut, "t.dds", img, nullptr)) << "the last row needs no padding";
  cut.resize(cut.size() - 1);
  EXPECT_FALSE(platform::DecodeImage(cut, "t.dds", img, nullptr));
}

TEST(DdsFormats, PaletteWithAndWithoutAlpha) {
  std::vector<uint32_t> palette(256);
  for (size_t i = 0; i < 256; ++i) palette[i] = uint32_t(i) << 24 | uint32_t(255 - i) << 16 | uint32_t(i / 2) << 8 | 7;
  std::vector<uint8_t> indices = {0, 1, 2, 200, 255, 128, 9, 77};
  Image want;
  want.width = 4, want.height = 2;
  for (uint8_t i : indices) want.argb.push_back(palette[i]);
  ExpectSame(Decode(ddswriter::EncodePalette(4, 2, palette, indices, true)), want, 0, "palette with alpha");
  // Entries without alpha (all flags zero) mean an opaque picture.
  for (uint32_t& px : want.argb) px |= 0xFF000000;
  const std::string opaque = ddswriter::EncodePalette(4, 2, palette, indices, false);
  ExpectSame(Decode(opaque), want, 0, "palette without alpha");
  ExpectSame(Decode(ByCode(opaque, 41)), want, 0, "palette by format code");
  Image img;
  EXPECT_FALSE(platform::DecodeImage(opaque.substr(0, 128 + 1000), "t.dds", img, nullptr)) << "palette cut";
  EXPECT_FALSE(platform::DecodeImage(opaque.substr(0, opaque.size() - 1), "t.dds", img, nullptr)) << "indices cut";
}

TEST(DdsFormats, PremultipliedBlocksComeBackStraight) {
  Image src;
  src.width = src.height = 4;
  // Flat alphas per row so the block's alpha is exact; colours are opaque-ish greys and a red.
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) src.argb.push_back(uint32_t(255 - y * 60) << 24 | 0xC04020);
  for (int flags : {squish::kDxt3, squish::kDxt5}) {
    const std::string file = ddswriter::EncodeDxt(4, 4, src.argb, flags, 1, true);
    EXPECT_EQ(file.substr(84, 4), flags == squish::kDxt3 ? "DXT2" : "DXT4");
    // Block colour (5-6-5) and the premultiplied rounding cost a few steps,
    // more where alpha is small.
    ExpectSame(Decode(file), src, 24, flags == squish::kDxt3 ? "DXT2" : "DXT4");
  }
  // DXT1's one-bit alpha: transparent texels come back transparent.
  Image cut = src;
  for (size_t i = 0; i < 8; ++i) cut.argb[i] = 0x00000000;
  for (size_t i = 8; i < 16; ++i) cut.argb[i] = 0xFFC04020;
  const Image got = Decode(ddswriter::EncodeDxt(4, 4, cut.argb, squish::kDxt1));
  for (size_t i = 0; i < 8; ++i) EXPECT_EQ(got.argb[i] >> 24, 0u) << i;
  for (size_t i = 8; i < 16; ++i) EXPECT_EQ(got.argb[i] >> 24, 255u) << i;
}

TEST(DdsFormats, ACubeMapShowsItsFirstFace) {
  Image face = Pattern(4, 4);
  std::string file = Masked(face, ddswriter::kA8R8G8B8);
  testsupport::PutLe32(file, 112, 0x200 | 0xFC00);  // a cube map with all six faces
  for (int other = 1; other < 6; ++other) file += std::string(4 * 4 * 4, char(0x11 * other));
  ExpectSame(Decode(file), face, 0, "cube map");
}

TEST(DdsFormats, LayoutsNoToolWroteAreRefused) {
  const Image src = Pattern(4, 4);
  Image img;
  std::string why;
  const std::string good = Masked(src, ddswriter::kA8R8G8B8);
  // A format code that names nothing the reader knows (D3DFMT_D16 and such).
  EXPECT_FALSE(platform::DecodeImage(ByCode(good, 80), "t.dds", img, &why));
  EXPECT_NE(why.find("unsupported"), std::string::npos) << why;
  // Grey wider than 16 bits, alpha-only without an alpha mask.
  std::string wide = Masked(Grey(src), ddswriter::kL8);
  testsupport::PutLe32(wide, 88, 32);
  EXPECT_FALSE(platform::DecodeImage(wide, "t.dds", img, &why));
  std::string noAlpha = Masked(src, ddswriter::kA8);
  testsupport::PutLe32(noAlpha, 104, 0);
  EXPECT_FALSE(platform::DecodeImage(noAlpha, "t.dds", img, &why));
}
