// PNG and JPEG pictures in every colour layout libpng and libjpeg write,
// made here through those libraries' own writing interfaces (not through
// the engine's), compared pixel by pixel with what each layout means.
#include <gtest/gtest.h>

#include <png.h>
// jpeglib.h needs size_t and FILE declared before it.
#include <cstdio>
#include <cstdlib>
#include <jpeglib.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "platform/files/ImageDecoder.h"

using platform::Image;

namespace {

void Sink(png_structp png, png_bytep data, png_size_t length) {
  static_cast<std::string*>(png_get_io_ptr(png))->append(reinterpret_cast<const char*>(data), length);
}

struct PngLayout {
  const char* name;
  int colourType;  // PNG_COLOR_TYPE_*
  int bitDepth;
};

// Samples per pixel of a PNG colour type (the palette type stores indices).
int Channels(int colourType) {
  switch (colourType) {
    case PNG_COLOR_TYPE_GRAY: return 1;
    case PNG_COLOR_TYPE_GRAY_ALPHA: return 2;
    case PNG_COLOR_TYPE_RGB: return 3;
    case PNG_COLOR_TYPE_RGB_ALPHA: return 4;
    default: return 1;
  }
}

constexpr int kW = 13, kH = 9;  // odd, so that every Adam7 pass has its own pixels

// A sample of channel c at (x, y), in [0, max].
uint32_t Sample(int x, int y, int c, uint32_t max) {
  return uint32_t((uint64_t(x * 37 + y * 101 + c * 59) * 2654435761u) % (uint64_t(max) + 1));
}

// 8 bits from `bits`, the way the format scales a sample to the full range.
uint32_t To8(uint32_t v, int bits) {
  const uint32_t max = (1u << bits) - 1;
  return uint32_t((uint64_t(v) * 255 + max / 2) / max);
}

// A PNG of the layout, written by libpng (Adam7-interlaced when asked),
// and the picture it means. Palette pictures get a tRNS chunk with partial
// alpha; grey and RGB pictures without alpha get a transparent colour.
std::string WritePng(const PngLayout& l, bool interlaced, Image& want) {
  std::string out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    ADD_FAILURE() << "libpng could not write " << l.name;
    return {};
  }
  png_set_write_fn(png, &out, Sink, nullptr);
  png_set_IHDR(png, info, kW, kH, l.bitDepth, l.colourType, interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  const bool paletted = l.colourType == PNG_COLOR_TYPE_PALETTE;
  const int channels = Channels(l.colourType);
  const uint32_t max = (1u << l.bitDepth) - 1;
  std::vector<png_color> palette;
  std::vector<png_byte> alphas;
  if (paletted) {
    for (uint32_t i = 0; i <= max; ++i)
      palette.push_back(png_color{png_byte(i * 41 + 3), png_byte(255 - i * 29), png_byte(i * 97)});
    png_set_PLTE(png, info, palette.data(), int(palette.size()));
    for (uint32_t i = 0; i <= max && i < 3; ++i) alphas.push_back(png_byte(i * 100));  // 0, 100, 200, rest opaque
    png_set_tRNS(png, info, alphas.data(), int(alphas.size()), nullptr);
  }
  // The transparent colour of a grey or RGB picture: the sample value of
  // pixel (1, 0), so that at least one pixel is keyed.
  png_color_16 key{};
  const bool keyed = l.colourType == PNG_COLOR_TYPE_GRAY || l.colourType == PNG_COLOR_TYPE_RGB;
  if (keyed) {
    key.gray = png_uint_16(Sample(1, 0, 0, max));
    key.red = png_uint_16(Sample(1, 0, 0, max));
    key.green = png_uint_16(Sample(1, 0, 1, max));
    key.blue = png_uint_16(Sample(1, 0, 2, max));
    png_set_tRNS(png, info, nullptr, 0, &key);
  }
  png_write_info(png, info);

  const size_t rowBytes = (size_t(kW) * channels * l.bitDepth + 7) / 8;
  std::vector<std::vector<png_byte>> rows(kH, std::vector<png_byte>(rowBytes, 0));
  want = Image{};
  want.width = kW, want.height = kH;
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) {
      uint32_t s[4];
      for (int c = 0; c < channels; ++c) {
        s[c] = Sample(x, y, c, max);
        if (l.bitDepth == 16) {
          rows[y][size_t(x * channels + c) * 2] = png_byte(s[c] >> 8);  // network order
          rows[y][size_t(x * channels + c) * 2 + 1] = png_byte(s[c] & 0xFF);
        } else {
          const size_t bit = size_t(x * channels + c) * l.bitDepth;
          rows[y][bit / 8] |= png_byte(s[c] << (8 - l.bitDepth - bit % 8));
        }
      }
      uint32_t a = 255, r, g, b;
      if (paletted) {
        const png_color& p = palette[s[0]];
        r = p.red, g = p.green, b = p.blue;
        if (s[0] < alphas.size()) a = alphas[s[0]];
      } else if (channels <= 2) {
        r = g = b = To8(s[0], l.bitDepth);
        if (channels == 2) a = To8(s[1], l.bitDepth);
      } else {
        r = To8(s[0], l.bitDepth), g = To8(s[1], l.bitDepth), b = To8(s[2], l.bitDepth);
        if (channels == 4) a = To8(s[3], l.bitDepth);
      }
      if (keyed && s[0] == key.red && (channels == 1 || (s[1] == key.green && s[2] == key.blue))) a = 0;
      want.argb.push_back(a << 24 | r << 16 | g << 8 | b);
    }
  std::vector<png_bytep> pointers;
  for (auto& row : rows) pointers.push_back(row.data());
  png_write_image(png, pointers.data());
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return out;
}

// Pixels whose alpha is 0 show no colour: only their alpha is compared.
void ExpectSame(const Image& got, const Image& want, int tolerance, const std::string& what) {
  ASSERT_EQ(got.width, want.width) << what;
  ASSERT_EQ(got.height, want.height) << what;
  for (size_t i = 0; i < want.argb.size(); ++i) {
    const bool clear = (want.argb[i] >> 24) == 0;
    for (int shift = clear ? 24 : 0; shift < 32; shift += 8) {
      const int g = int((got.argb[i] >> shift) & 0xFF), w = int((want.argb[i] >> shift) & 0xFF);
      ASSERT_LE(std::abs(g - w), tolerance) << what << " pixel " << i % want.width << "," << i / want.width
                                            << std::hex << " got " << got.argb[i] << " want " << want.argb[i];
    }
  }
}

Image Decode(const std::string& file, const char* name, const std::string& what) {
  Image img;
  std::string why;
  EXPECT_TRUE(platform::DecodeImage(file, name, img, &why)) << what << ": " << why;
  return img;
}

}  // namespace

TEST(PngFormats, EveryColourTypeAndDepthPlainAndInterlaced) {
  const PngLayout layouts[] = {
      {"grey 1", PNG_COLOR_TYPE_GRAY, 1},          {"grey 2", PNG_COLOR_TYPE_GRAY, 2},
      {"grey 4", PNG_COLOR_TYPE_GRAY, 4},          {"grey 8", PNG_COLOR_TYPE_GRAY, 8},
      {"grey 16", PNG_COLOR_TYPE_GRAY, 16},        {"grey+alpha 8", PNG_COLOR_TYPE_GRAY_ALPHA, 8},
      {"grey+alpha 16", PNG_COLOR_TYPE_GRAY_ALPHA, 16}, {"RGB 8", PNG_COLOR_TYPE_RGB, 8},
      {"RGB 16", PNG_COLOR_TYPE_RGB, 16},          {"RGBA 8", PNG_COLOR_TYPE_RGB_ALPHA, 8},
      {"RGBA 16", PNG_COLOR_TYPE_RGB_ALPHA, 16},   {"palette 1", PNG_COLOR_TYPE_PALETTE, 1},
      {"palette 2", PNG_COLOR_TYPE_PALETTE, 2},    {"palette 4", PNG_COLOR_TYPE_PALETTE, 4},
      {"palette 8", PNG_COLOR_TYPE_PALETTE, 8},
  };
  for (const PngLayout& l : layouts)
    for (bool interlaced : {false, true}) {
      const std::string what = std::string(l.name) + (interlaced ? " interlaced" : "");
      Image want;
      const std::string file = WritePng(l, interlaced, want);
      // 16-bit samples may be cut to their high byte rather than rounded.
      ExpectSame(Decode(file, "p.png", what), want, l.bitDepth == 16 ? 1 : 0, what);
    }
}

namespace {

// A JPEG written by libjpeg from `samples` (components per pixel as the
// colour space has them), baseline or progressive.
std::string WriteJpeg(int w, int h, J_COLOR_SPACE in, J_COLOR_SPACE stored, int components,
                      const std::vector<uint8_t>& samples, bool progressive) {
  jpeg_compress_struct cinfo;
  jpeg_error_mgr err;
  cinfo.err = jpeg_std_error(&err);
  jpeg_create_compress(&cinfo);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &buffer, &size);
  cinfo.image_width = JDIMENSION(w);
  cinfo.image_height = JDIMENSION(h);
  cinfo.input_components = components;
  cinfo.in_color_space = in;
  jpeg_set_defaults(&cinfo);
  jpeg_set_colorspace(&cinfo, stored);
  jpeg_set_quality(&cinfo, 100, TRUE);
  for (int c = 0; c < cinfo.num_components; ++c)  // no chroma subsampling to blur the squares' edges
    cinfo.comp_info[c].h_samp_factor = cinfo.comp_info[c].v_samp_factor = 1;
  if (progressive) jpeg_simple_progression(&cinfo);
  jpeg_start_compress(&cinfo, TRUE);
  while (cinfo.next_scanline < cinfo.image_height) {
    JSAMPROW row = const_cast<JSAMPROW>(&samples[size_t(cinfo.next_scanline) * w * components]);
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  std::string out(reinterpret_cast<const char*>(buffer), size);
  jpeg_destroy_compress(&cinfo);
  std::free(buffer);
  return out;
}

// Flat 16 x 16 squares of distinct colours, which JPEG at quality 100
// keeps to a few steps; cut colour borders would need a wide tolerance.
constexpr int kSquare = 16, kCols = 3, kRows = 2;
uint32_t SquareColour(int x, int y) {
  static const uint32_t colours[kCols * kRows] = {0xFFC03010, 0xFF20A0E0, 0xFFF0F0F0,
                                                  0xFF404040, 0xFF10C060, 0xFF9050B0};
  return colours[(y / kSquare) * kCols + x / kSquare];
}

}  // namespace

TEST(JpegFormats, GreyColourProgressiveAndCmyk) {
  const int w = kSquare * kCols, h = kSquare * kRows;
  for (bool progressive : {false, true}) {
    const std::string how = progressive ? " progressive" : " baseline";
    std::vector<uint8_t> rgb, grey, cmyk, plainInk;
    Image wantRgb, wantGrey, wantCmyk;
    for (Image* img : {&wantRgb, &wantGrey, &wantCmyk}) img->width = w, img->height = h;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        const uint32_t c = SquareColour(x, y);
        const uint8_t r = uint8_t(c >> 16), g = uint8_t(c >> 8), b = uint8_t(c);
        rgb.insert(rgb.end(), {r, g, b});
        wantRgb.argb.push_back(c);
        grey.push_back(g);
        wantGrey.argb.push_back(0xFF000000u | uint32_t(g) * 0x010101u);
        // Inverted CMYK, as the paint programs store it in an Adobe JPEG:
        // 255 is no ink. With black ink K the colour is C * K / 255.
        const uint8_t k = uint8_t(180 + (x / kSquare) * 30);
        cmyk.insert(cmyk.end(), {r, g, b, k});
        plainInk.insert(plainInk.end(), {uint8_t(255 - r), uint8_t(255 - g), uint8_t(255 - b), uint8_t(255 - k)});
        auto ink = [k](uint8_t v) { return uint32_t((v * k + 127) / 255); };
        wantCmyk.argb.push_back(0xFF000000u | ink(r) << 16 | ink(g) << 8 | ink(b));
      }
    ExpectSame(Decode(WriteJpeg(w, h, JCS_RGB, JCS_YCbCr, 3, rgb, progressive), "p.jpg", "colour"), wantRgb, 6,
               "colour" + how);
    ExpectSame(Decode(WriteJpeg(w, h, JCS_GRAYSCALE, JCS_GRAYSCALE, 1, grey, progressive), "p.jpg", "grey"),
               wantGrey, 3, "grey" + how);
    ExpectSame(Decode(WriteJpeg(w, h, JCS_CMYK, JCS_CMYK, 4, cmyk, progressive), "p.jpg", "CMYK"), wantCmyk, 6,
               "CMYK" + how);
    ExpectSame(Decode(WriteJpeg(w, h, JCS_CMYK, JCS_YCCK, 4, cmyk, progressive), "p.jpg", "YCCK"), wantCmyk, 6,
               "YCCK" + how);
    // Without the Adobe marker, 255 is full ink.
    std::string plain = WriteJpeg(w, h, JCS_CMYK, JCS_CMYK, 4, plainInk, progressive);
    const size_t adobe = plain.find("\xFF\xEE");
    ASSERT_NE(adobe, std::string::npos);
    plain.erase(adobe, 2 + (size_t(uint8_t(plain[adobe + 2])) << 8 | uint8_t(plain[adobe + 3])));
    ExpectSame(Decode(plain, "p.jpg", "plain CMYK"), wantCmyk, 6, "plain CMYK" + how);
  }
}
