// PNG through libpng's own transformations: every layout is expanded to
// 8-bit BGRA by libpng (tRNS to alpha, palettes, low grey depths, 16 bits
// rounded to 8). No gamma is applied, as the pictures were drawn for
// screens that applied none.
//
// libpng reports errors by longjmp. The two steps that may jump hold no C++
// objects of their own, so nothing is skipped that needed destroying.
#include "platform/files/PngReader.h"

#include <png.h>

#include <bit>
#include <cstring>
#include <vector>

namespace platform {
namespace {

struct Source {
  std::string_view bytes;
  size_t pos = 0;
  char message[128] = "";
};

void ReadBytes(png_structp png, png_bytep to, png_size_t n) {
  auto* s = static_cast<Source*>(png_get_io_ptr(png));
  if (n > s->bytes.size() - s->pos) png_error(png, "file truncated");
  std::memcpy(to, s->bytes.data() + s->pos, n);
  s->pos += n;
}

void OnError(png_structp png, png_const_charp text) {
  auto* s = static_cast<Source*>(png_get_error_ptr(png));
  std::strncpy(s->message, text, sizeof s->message - 1);
  png_longjmp(png, 1);
}
void OnWarning(png_structp, png_const_charp) {}  // damaged ancillary chunks are dropped quietly

bool ReadHeader(png_structp png, png_infop info, png_uint_32& w, png_uint_32& h) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_read_info(png, info);
  w = png_get_image_width(png, info);
  h = png_get_image_height(png, info);
  if (w == 0 || h == 0 || w > png_uint_32(kMaxImageSide) || h > png_uint_32(kMaxImageSide))
    png_error(png, "dimensions out of range");
  png_set_expand(png);    // palette to RGB, grey below 8 bits to 8, tRNS to alpha
  png_set_scale_16(png);  // rounded, not cut to the high byte
  png_set_gray_to_rgb(png);
  png_set_filler(png, 0xFF, PNG_FILLER_AFTER);  // opaque alpha where the file has none
  png_set_bgr(png);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  if (png_get_rowbytes(png, info) != size_t(w) * 4) png_error(png, "unexpected row layout");
  return true;
}

bool ReadRows(png_structp png, png_bytepp rows) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_read_image(png, rows);
  return true;
}

}  // namespace

bool DecodePng(std::string_view bytes, Image& out, std::string* why) {
  out = Image{};
  Source source{bytes};
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &source, OnError, OnWarning);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  bool ok = info != nullptr;
  if (ok) {
    png_set_read_fn(png, &source, ReadBytes);
    png_uint_32 w = 0, h = 0;
    ok = ReadHeader(png, info, w, h);
    if (ok) {
      out.width = int(w);
      out.height = int(h);
      out.argb.resize(size_t(w) * h);
      std::vector<png_bytep> rows(h);
      for (png_uint_32 y = 0; y < h; ++y) rows[y] = reinterpret_cast<png_bytep>(&out.argb[size_t(y) * w]);
      // B, G, R, A bytes are 0xAARRGGBB words on this byte order.
      static_assert(std::endian::native == std::endian::little);
      ok = ReadRows(png, rows.data());
    }
  }
  png_destroy_read_struct(png ? &png : nullptr, info ? &info : nullptr, nullptr);
  if (!ok) {
    out = Image{};
    if (why) *why = std::string("PNG: ") + (source.message[0] ? source.message : "cannot be read");
  }
  return ok;
}

}  // namespace platform
