#include "platform/files/DdsReader.h"
#include "platform/files/ImageDecoder.h"
#include "platform/files/ImageEncoder.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "support/PictureFiles.h"

using namespace platform;
using namespace pictures;

namespace {

// Distinct colours and alphas per pixel, so that flips and channel swaps show.
uint32_t Pattern(int x, int y) {
  uint32_t a = uint32_t(255 - 40 * y) & 0xFF, r = uint32_t(x * 50) & 0xFF, g = uint32_t(y * 70 + 10) & 0xFF,
           b = uint32_t(200 - x * 30) & 0xFF;
  return a << 24 | r << 16 | g << 8 | b;
}

Image Decode(const std::string& bytes, const char* name) {
  Image img;
  std::string why;
  EXPECT_TRUE(DecodeImage(bytes, name, img, &why)) << name << ": " << why;
  return img;
}

void ExpectNear(uint32_t got, uint32_t want, int tolerance, const std::string& where) {
  for (int shift = 0; shift < 32; shift += 8) {
    int g = int((got >> shift) & 0xFF), w = int((want >> shift) & 0xFF);
    ASSERT_LE(std::abs(g - w), tolerance) << where << std::hex << " got " << got << " want " << want;
  }
}

void ExpectSame(const Image& got, const Image& want, int tolerance, const std::string& what) {
  ASSERT_EQ(got.width, want.width) << what;
  ASSERT_EQ(got.height, want.height) << what;
  ASSERT_EQ(got.argb.size(), want.argb.size()) << what;
  for (size_t i = 0; i < want.argb.size(); ++i) ExpectNear(got.argb[i], want.argb[i], tolerance, what + " pixel " + std::to_string(i));
}

Image Opaque(Image img) {
  for (uint32_t& px : img.argb) px |= 0xFF000000;
  return img;
}

}  // namespace

TEST(DdsReader, UncompressedLayoutsFromMasks) {
  Image src = MakeImage(5, 3, Pattern);
  ExpectSame(Decode(MakeDds(src, kA8R8G8B8), "a.dds"), src, 0, "A8R8G8B8");
  ExpectSame(Decode(MakeDds(src, kA8B8G8R8), "a.dds"), src, 0, "A8B8G8R8");
  ExpectSame(Decode(MakeDds(src, kX8R8G8B8), "a.dds"), Opaque(src), 0, "X8R8G8B8 is opaque");
  ExpectSame(Decode(MakeDds(src, kR8G8B8), "a.dds"), Opaque(src), 0, "R8G8B8");
  // Fewer bits: each channel comes back within half a step of the source.
  ExpectSame(Decode(MakeDds(src, kR5G6B5), "a.dds"), Opaque(src), 5, "R5G6B5");
  ExpectSame(Decode(MakeDds(src, kA4R4G4B4), "a.dds"), src, 9, "A4R4G4B4");
}

TEST(DdsReader, SmallFieldsExpandToFullRange) {
  Image white = MakeImage(1, 1, [](int, int) { return 0xFFFFFFFFu; });
  EXPECT_EQ(Decode(MakeDds(white, kR5G6B5), "w.dds").argb[0], 0xFFFFFFFFu);
  EXPECT_EQ(Decode(MakeDds(white, kA1R5G5B5), "w.dds").argb[0], 0xFFFFFFFFu);
  Image clear = MakeImage(1, 1, [](int, int) { return 0x00FF0000u; });
  EXPECT_EQ(Decode(MakeDds(clear, kA1R5G5B5), "c.dds").argb[0], 0x00FF0000u);
}

TEST(DdsReader, BlockFormatsThroughSquish) {
  // Solid 4x4 blocks of colours that 5:6:5 holds exactly; alphas that DXT3's
  // four bits and DXT5's end points hold exactly.
  Image src = MakeImage(8, 8, [](int x, int y) -> uint32_t {
    static const uint32_t colours[4] = {0xFFFF0000, 0x88FFFFFF, 0x0000FF00, 0xFF0000FF};
    return colours[(y / 4) * 2 + x / 4];
  });
  ExpectSame(Decode(MakeDxtDds(src, squish::kDxt3), "b.dds"), src, 0, "DXT3");
  ExpectSame(Decode(MakeDxtDds(src, squish::kDxt5), "b.dds"), src, 0, "DXT5");
  // DXT1 has one bit of alpha: 0x88 rounds to opaque, 0x00 stays clear.
  Image dxt1 = Decode(MakeDxtDds(src, squish::kDxt1), "b.dds");
  ASSERT_EQ(dxt1.argb.size(), 64u);
  EXPECT_EQ(dxt1.argb[0], 0xFFFF0000u);
  EXPECT_EQ(dxt1.argb[4] >> 24, 0xFFu);
  EXPECT_EQ(dxt1.argb[4 * 8] >> 24, 0x00u);
  EXPECT_EQ(dxt1.argb[63], 0xFF0000FFu);
}

TEST(DdsReader, SizesThatAreNotMultiplesOfFour) {
  Image src = MakeImage(6, 5, [](int, int) { return 0xFF00FF00u; });
  Image got = Decode(MakeDxtDds(src, squish::kDxt5), "odd.dds");
  ExpectSame(got, src, 0, "6x5 DXT5");
}

TEST(DdsReader, FirstMipLevelOnly) {
  Image src = MakeImage(4, 4, Pattern);
  std::string file = MakeDds(src, kA8R8G8B8);
  Put32(file, 28, 3);  // three mip levels follow
  file += std::string(2 * 2 * 4 + 4, '\x55');
  ExpectSame(Decode(file, "m.dds"), src, 0, "mip 0");
}

TEST(DdsReader, RejectsBadHeadersCleanly) {
  Image src = MakeImage(4, 4, Pattern);
  auto fails = [](std::string file, const char* what) {
    Image img;
    std::string why;
    EXPECT_FALSE(DecodeDds(file, img, &why)) << what;
    EXPECT_TRUE(img.argb.empty() && img.width == 0) << what;
    EXPECT_FALSE(why.empty()) << what;
  };
  std::string good = MakeDds(src, kA8R8G8B8);
  std::string f;
  f = good; Put32(f, 4, 100); fails(f, "header size");
  f = good; Put32(f, 76, 0); fails(f, "pixel-format size");
  f = good; Put32(f, 16, 0); fails(f, "zero width");
  f = good; Put32(f, 12, 8193); fails(f, "height over the cap");
  f = good; Put32(f, 16, 0xFFFFFFFF); Put32(f, 12, 0xFFFFFFFF); fails(f, "lying dimensions");
  f = good; Put32(f, 16, 8192); Put32(f, 12, 8192); fails(f, "large but truncated");
  f = good; Put32(f, 80, kDdpfFourCC); Put32(f, 84, FourCC("DX10")); fails(f, "unknown FourCC");
  f = good; Put32(f, 88, 12); fails(f, "12-bit pixels");
  f = good; Put32(f, 92, 0x00FF00FF); fails(f, "mask with gaps");
  f = MakeDds(src, kR5G6B5); Put32(f, 92, 0x1F0000); fails(f, "mask wider than 16 bits");
  f = good; Put32(f, 80, 0x20000); fails(f, "luminance");
  f = good; Put32(f, 92, 0); Put32(f, 96, 0); Put32(f, 100, 0); fails(f, "no colour masks");
}

TEST(DdsReader, EveryTruncationFails) {
  Image src = MakeImage(8, 8, Pattern);
  for (const std::string& file :
       {MakeDds(src, kA8R8G8B8), MakeDds(src, kR8G8B8), MakeDds(src, kR5G6B5), MakeDxtDds(src, squish::kDxt1),
        MakeDxtDds(src, squish::kDxt5)}) {
    for (size_t len = 0; len < file.size(); ++len) {
      Image img;
      ASSERT_FALSE(DecodeImage(file.substr(0, len), "t.dds", img)) << "length " << len << " of " << file.size();
    }
  }
}

TEST(TgaDecoding, RawAndRleBothOrigins) {
  Image src = MakeImage(7, 4, [](int x, int y) -> uint32_t {
    // Runs and single pixels, so that RLE writes both packet kinds.
    return x < 3 ? 0x80102030u + uint32_t(y) : Pattern(x, y);
  });
  for (bool rle : {false, true})
    for (bool top : {false, true}) {
      std::string what = std::string(rle ? "RLE" : "raw") + (top ? " top-down" : " bottom-up");
      ExpectSame(Decode(MakeTga(src, 32, rle, top), "p.tga"), src, 0, what + " 32-bit");
      ExpectSame(Decode(MakeTga(src, 24, rle, top), "p.tga"), Opaque(src), 0, what + " 24-bit");
    }
}

TEST(TgaDecoding, TruncatedFilesFail) {
  Image src = MakeImage(6, 6, Pattern);
  for (bool rle : {false, true}) {
    std::string file = MakeTga(src, 32, rle, false);
    for (size_t len = 0; len < file.size(); ++len) {
      Image img;
      EXPECT_FALSE(DecodeImage(file.substr(0, len), "t.tga", img)) << (rle ? "RLE " : "raw ") << len;
    }
  }
}

TEST(SdlImageFormats, PngAndBmpKeepAlphaJpegIsClose) {
  Image src = MakeImage(16, 12, Pattern);
  std::string png, bmp, jpg;
  ASSERT_TRUE(EncodeImage(src, ImageType::Png, png));
  ASSERT_TRUE(EncodeImage(src, ImageType::Bmp, bmp));
  Image smooth = MakeImage(16, 12, [](int x, int y) { return 0xFF000000u | uint32_t(x * 8) << 16 | uint32_t(y * 8) << 8 | 0x80; });
  ASSERT_TRUE(EncodeImage(smooth, ImageType::Jpeg, jpg, 95));
  ExpectSame(Decode(png, "a.png"), src, 0, "PNG");
  ExpectSame(Decode(bmp, "a.bmp"), src, 0, "BMP");
  ExpectSame(Decode(jpg, "a.jpg"), smooth, 12, "JPEG");
}

TEST(SdlImageFormats, TruncatedOrLyingFilesFail) {
  Image src = MakeImage(16, 12, Pattern);
  std::string png, bmp, jpg;
  ASSERT_TRUE(EncodeImage(src, ImageType::Png, png));
  ASSERT_TRUE(EncodeImage(src, ImageType::Bmp, bmp));
  ASSERT_TRUE(EncodeImage(src, ImageType::Jpeg, jpg));
  Image img;
  for (const std::string* file : {&png, &bmp, &jpg})
    for (size_t len = 0; len + 1 < file->size(); len += 7)
      EXPECT_FALSE(DecodeImage(file->substr(0, len), "cut", img)) << len << " of " << file->size();

  // Dimensions over the cap are refused before the decoder allocates.
  std::string big = png;
  big[16] = 0; big[17] = 0; big[18] = 0x20; big[19] = 0x01;  // width 8193
  EXPECT_FALSE(DecodeImage(big, "big.png", img));
  big = bmp;
  Put32(big, 18, 100000);
  EXPECT_FALSE(DecodeImage(big, "big.bmp", img));
  std::string tga = MakeTga(src, 32, true, false);
  tga[12] = char(0xFF); tga[13] = char(0xFF);  // 65535 wide
  EXPECT_FALSE(DecodeImage(tga, "big.tga", img));
}

TEST(ImageSniffing, ContentDecidesExtensionOnlyHelpsTga) {
  Image src = MakeImage(4, 4, Pattern);
  std::string png;
  ASSERT_TRUE(EncodeImage(src, ImageType::Png, png));
  EXPECT_EQ(SniffImageType(png, "picture.dds"), ImageType::Png);
  EXPECT_EQ(SniffImageType(MakeDds(src, kA8R8G8B8), "picture.tga"), ImageType::Dds);
  std::string tga = MakeTga(src, 32, false, false);
  EXPECT_EQ(SniffImageType(tga, "Cursor.TGA"), ImageType::Tga);
  EXPECT_EQ(SniffImageType(tga, "cursor.bin"), ImageType::Tga);  // pixel data fits the header
  // A header-shaped start with no data behind it is a TGA only by name.
  std::string stub = tga.substr(0, 20);
  EXPECT_EQ(SniffImageType(stub, "x.tga"), ImageType::Tga);
  EXPECT_EQ(SniffImageType(stub, "x.dat"), ImageType::Unknown);
  EXPECT_EQ(SniffImageType("plain text, not a picture", "x.tga"), ImageType::Unknown);
  EXPECT_EQ(SniffImageType("", ""), ImageType::Unknown);
  Image img;
  std::string why;
  EXPECT_FALSE(DecodeImage("GIF89a....", "a.gif", img, &why));
  EXPECT_FALSE(why.empty());
}

namespace {
uint32_t Crc32(const std::string& s) {
  uint32_t c = 0xFFFFFFFFu;
  for (unsigned char b : s) {
    c ^= b;
    for (int k = 0; k < 8; ++k) c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1)));
  }
  return ~c;
}

void Be(std::string& s, uint32_t v) {
  for (int i = 3; i >= 0; --i) s += char((v >> (8 * i)) & 0xFF);
}

void Chunk(std::string& png, const char* type, const std::string& data) {
  Be(png, uint32_t(data.size()));
  std::string body = std::string(type) + data;
  png += body;
  Be(png, Crc32(body));
}

// A PNG of the given rows (each starting with its filter byte) in a stored
// deflate stream; `chunks` go between IHDR and IDAT.
std::string Png(uint32_t w, uint32_t h, char colourType, const std::string& rows, const std::string& chunks) {
  uint32_t a = 1, b = 0;
  for (unsigned char c : rows) {
    a = (a + c) % 65521;
    b = (b + a) % 65521;
  }
  std::string z = "\x78\x01\x01";
  z += char(rows.size() & 0xFF);
  z += char(rows.size() >> 8);
  z += char(~rows.size() & 0xFF);
  z += char((~rows.size() >> 8) & 0xFF);
  z += rows;
  Be(z, b << 16 | a);
  std::string png = "\x89PNG\r\n\x1a\n";
  std::string ihdr;
  Be(ihdr, w);
  Be(ihdr, h);
  ihdr += std::string("\x08", 1) + colourType + std::string("\x00\x00\x00", 3);
  Chunk(png, "IHDR", ihdr);
  png += chunks;
  Chunk(png, "IDAT", z);
  Chunk(png, "IEND", "");
  return png;
}

// 4 x 2 indices into red, green, blue; entry 1 (green) transparent by tRNS.
std::string PalettedPng() {
  std::string chunks;
  Chunk(chunks, "PLTE", std::string("\xFF\x00\x00\x00\xFF\x00\x00\x00\xFF", 9));
  Chunk(chunks, "tRNS", std::string("\xFF\x00", 2));
  return Png(4, 2, 3, std::string("\0\x00\x01\x02\x01\0\x02\x02\x00\x01", 10), chunks);
}

// 2 x 1 RGB, the second pixel's colour marked transparent by tRNS.
std::string KeyedRgbPng() {
  std::string chunks;
  Chunk(chunks, "tRNS", std::string("\x00\x04\x00\x05\x00\x06", 6));
  return Png(2, 1, 2, std::string("\0\x01\x02\x03\x04\x05\x06", 7), chunks);
}
}  // namespace

// Direct-colour pictures convert straight into the result; paletted and
// colour-keyed ones go through SDL's surface conversion, which turns the
// transparent entry or colour into alpha 0.
TEST(SdlImageFormats, PalettedAndColourKeyedPicturesKeepTheirTransparentPixels) {
  Image img = Decode(PalettedPng(), "p.png");
  ASSERT_EQ(img.width, 4);
  ASSERT_EQ(img.height, 2);
  const uint32_t red = 0xFFFF0000u, blue = 0xFF0000FFu;
  EXPECT_EQ(img.argb[0], red);
  EXPECT_EQ(img.argb[1] >> 24, 0u);  // the tRNS entry
  EXPECT_EQ(img.argb[2], blue);
  EXPECT_EQ(img.argb[4], blue);
  EXPECT_EQ(img.argb[6], red);
  EXPECT_EQ(img.argb[7] >> 24, 0u);

  Image keyed = Decode(KeyedRgbPng(), "k.png");
  ASSERT_EQ(keyed.argb.size(), 2u);
  EXPECT_EQ(keyed.argb[0], 0xFF010203u);
  EXPECT_EQ(keyed.argb[1] >> 24, 0u);

  Image src = MakeImage(5, 3, Pattern);
  std::string png;
  ASSERT_TRUE(EncodeImage(src, ImageType::Png, png));
  ExpectSame(Decode(png, "d.png"), src, 0, "direct PNG");
  ExpectSame(Decode(MakeTga(src, 24, false, true), "d.tga"), Opaque(src), 0, "24-bit TGA");
}
