// Format sniffing, the checks every file passes first, and the SDL_image
// side of picture decoding (JPEG, BMP).
//
// IMG_LoadTyped_RW is not used: even with a type it runs the detection
// functions of all its other decoders first and loads whatever matches, so a
// game file could reach any of them. Calling the one loader for the sniffed
// type keeps the attack surface to JPEG and BMP (DDS and TGA are ours, PNG
// goes to libpng directly).
#include "platform/files/ImageDecoder.h"

#include <SDL.h>

#include <climits>
#include <cstring>
#include <memory>
#include <mutex>

#include "platform/files/ByteOrder.h"
#include "platform/files/DdsReader.h"
#include "platform/files/ImageLibrary.h"
#include "platform/files/PngReader.h"
#include "platform/files/TgaReader.h"

namespace platform {
namespace {

const unsigned char* U(std::string_view b) { return reinterpret_cast<const unsigned char*>(b.data()); }
using byte_order::Be16;
using byte_order::Be32;
using byte_order::Le16;
using byte_order::Le32;

bool Fail(std::string* why, std::string text) {
  if (why) *why = std::move(text);
  return false;
}

std::string LowerExtension(std::string_view hint) {
  size_t dot = hint.find_last_of('.');
  std::string ext(dot == std::string_view::npos ? hint : hint.substr(dot + 1));
  for (char& c : ext)
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
  return ext;
}

// The dimensions a file declares, read before any decoder allocates for them.
bool DeclaredSize(ImageType type, std::string_view b, uint32_t& w, uint32_t& h) {
  const unsigned char* p = U(b);
  switch (type) {
    case ImageType::Png:
      if (b.size() < 24 || std::memcmp(p + 12, "IHDR", 4) != 0) return false;
      w = Be32(p + 16);
      h = Be32(p + 20);
      return true;
    case ImageType::Bmp: {
      if (b.size() < 26) return false;
      uint32_t infoSize = Le32(p + 14);
      if (infoSize == 12) {
        w = Le16(p + 18);
        h = Le16(p + 20);
        return true;
      }
      int32_t sw = int32_t(Le32(p + 18)), sh = int32_t(Le32(p + 22));
      if (sw <= 0 || sh == 0 || sh == INT32_MIN) return false;
      w = uint32_t(sw);
      h = uint32_t(sh < 0 ? -sh : sh);
      return true;
    }
    case ImageType::Jpeg: {
      // Walk the marker segments up to the first start-of-frame.
      size_t i = 2;
      while (i + 4 <= b.size()) {
        if (p[i] != 0xFF) return false;
        unsigned marker = p[i + 1];
        if (marker == 0xFF) {  // fill byte
          ++i;
          continue;
        }
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {  // no length
          i += 2;
          continue;
        }
        if (marker == 0xD9 || marker == 0xDA) return false;  // end or scan before any frame
        uint32_t len = Be16(p + i + 2);
        bool sof = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (sof) {
          if (len < 7 || i + 9 > b.size()) return false;
          h = Be16(p + i + 5);
          w = Be16(p + i + 7);
          return true;
        }
        if (len < 2) return false;
        i += 2 + len;
      }
      return false;
    }
    default:
      return false;
  }
}

// SDL_image's JPEG loader fills in missing pixels rather than fail, and
// libpng stops reading before the end chunk. These walks make sure the
// whole file is present before it is handed over.
bool PngComplete(std::string_view b) {
  const unsigned char* p = U(b);
  uint64_t pos = 8;
  while (pos + 12 <= b.size()) {
    uint64_t len = Be32(p + pos);
    bool end = std::memcmp(p + pos + 4, "IEND", 4) == 0;
    pos += 12 + len;
    if (pos > b.size()) return false;
    if (end) return true;
  }
  return false;
}

bool JpegComplete(std::string_view b) {
  // Entropy-coded data escapes 0xFF as FF 00, so an FF D9 after the first
  // start of scan can only be the end-of-image marker.
  size_t sos = b.find("\xFF\xDA", 2);
  return sos != std::string_view::npos && b.find("\xFF\xD9", sos + 2) != std::string_view::npos;
}

// BMP compression codes SDL reads; it would take any other for plain rows.
bool BmpCompressionKnown(std::string_view b) {
  const unsigned char* p = U(b);
  if (b.size() < 34 || Le32(p + 14) < 40) return true;  // the old core header has no field
  uint32_t compression = Le32(p + 30);
  return compression <= 3;  // plain, RLE8, RLE4, bit fields
}

// A 32-bit BMP without bit fields has a padding byte, not alpha, where its
// home platform read it; SDL takes the byte as alpha unless it is 0 all over.
bool BmpAlphaIsPadding(std::string_view b) {
  const unsigned char* p = U(b);
  return b.size() >= 34 && Le32(p + 14) >= 40 && Le16(p + 28) == 32 && Le32(p + 30) == 0;
}

// What a JPEG's frame and markers say about its ink: four components are
// CMYK (or YCCK, which libjpeg turns into CMYK), and an Adobe marker means
// the values are stored inverted, as the paint programs write them.
struct JpegInk {
  bool cmyk = false;
  bool inverted = false;
};
JpegInk ReadJpegInk(std::string_view b) {
  const unsigned char* p = U(b);
  JpegInk ink;
  size_t i = 2;
  while (i + 4 <= b.size() && p[i] == 0xFF) {
    unsigned marker = p[i + 1];
    if (marker == 0xFF) {
      ++i;
      continue;
    }
    if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {
      i += 2;
      continue;
    }
    if (marker == 0xD9 || marker == 0xDA) break;
    uint32_t len = Be16(p + i + 2);
    if (marker == 0xEE && len >= 7 && i + 9 <= b.size() && std::memcmp(p + i + 4, "Adobe", 5) == 0)
      ink.inverted = true;
    bool sof = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
    if (sof && len >= 8 && i + 10 <= b.size()) ink.cmyk = p[i + 9] == 4;
    if (len < 2) break;
    i += 2 + len;
  }
  return ink;
}

// SDL_image hands a CMYK JPEG over as it is stored, the four values in the
// blue, green, red and alpha bytes; this makes them the colour they print.
void InkToColour(Image& img, bool inverted) {
  for (uint32_t& px : img.argb) {
    uint32_t c = px & 0xFF, m = (px >> 8) & 0xFF, y = (px >> 16) & 0xFF, k = px >> 24;
    if (!inverted) c = 255 - c, m = 255 - m, y = 255 - y, k = 255 - k;
    // With inverted values (255 = no ink) each channel is value * K / 255.
    auto mix = [k](uint32_t v) { return (v * k + 127) / 255; };
    px = 0xFF000000u | mix(c) << 16 | mix(m) << 8 | mix(y);
  }
}

bool Complete(ImageType type, std::string_view b) {
  switch (type) {
    case ImageType::Png: return PngComplete(b);
    case ImageType::Jpeg: return JpegComplete(b);
    default: return true;  // SDL's BMP loader fails on short reads by itself
  }
}

struct SurfaceFree {
  void operator()(SDL_Surface* s) const { SDL_FreeSurface(s); }
};
using SurfacePtr = std::unique_ptr<SDL_Surface, SurfaceFree>;

// The checks every file passes before a decoder sees it.
bool Checked(ImageType type, std::string_view bytes, std::string* why) {
  uint32_t w = 0, h = 0;
  if (!DeclaredSize(type, bytes, w, h)) return Fail(why, std::string(ImageTypeName(type)) + ": unreadable header");
  if (w == 0 || h == 0 || w > uint32_t(kMaxImageSide) || h > uint32_t(kMaxImageSide))
    return Fail(why, std::string(ImageTypeName(type)) + ": dimensions out of range");
  if (bytes.size() > size_t(INT_MAX)) return Fail(why, "file too large");
  if (!Complete(type, bytes)) return Fail(why, std::string(ImageTypeName(type)) + ": file truncated");
  if (type == ImageType::Bmp && !BmpCompressionKnown(bytes)) return Fail(why, "BMP: unknown compression");
  return true;
}

bool LoadWithSdlImage(ImageType type, std::string_view bytes, Image& out, std::string* why) {
  if (!Checked(type, bytes, why)) return false;
  std::string missing;
  const image_library::ImageFunctions* img = image_library::Img(&missing);
  if (!img) return Fail(why, std::string(ImageTypeName(type)) + ": " + missing);

  SDL_RWops* rw = SDL_RWFromConstMem(bytes.data(), int(bytes.size()));
  if (!rw) return Fail(why, SDL_GetError());
  SDL_Surface* raw = nullptr;
  {
    // SDL_image sets up its loaders' shared state on first use, unguarded;
    // start-up decodes pictures on a worker beside the main thread.
    static std::mutex oneAtATime;
    std::lock_guard lock(oneAtATime);
    switch (type) {
      case ImageType::Jpeg: raw = img->IMG_LoadJPG_RW(rw); break;
      case ImageType::Bmp: raw = img->IMG_LoadBMP_RW(rw); break;
      default: break;
    }
  }
  SDL_RWclose(rw);
  SurfacePtr loaded(raw);
  if (!loaded) return Fail(why, std::string(ImageTypeName(type)) + ": " + SDL_GetError());
  if (loaded->w <= 0 || loaded->h <= 0 || loaded->w > kMaxImageSide || loaded->h > kMaxImageSide)
    return Fail(why, std::string(ImageTypeName(type)) + ": dimensions out of range");

  out.width = loaded->w;
  out.height = loaded->h;
  if (!SDL_ISPIXELFORMAT_INDEXED(loaded->format->format) && !SDL_HasColorKey(loaded.get())) {
    // Straight into the result: no second surface, no second copy.
    out.argb.resize(size_t(loaded->w) * size_t(loaded->h));
    if (SDL_ConvertPixels(loaded->w, loaded->h, loaded->format->format, loaded->pixels, loaded->pitch,
                          SDL_PIXELFORMAT_ARGB8888, out.argb.data(), loaded->w * 4) == 0)
      return true;
  }
  // A palette entry the file marks transparent arrives as a colour key and
  // becomes alpha 0 here; no other key is applied.
  SurfacePtr argb(SDL_ConvertSurfaceFormat(loaded.get(), SDL_PIXELFORMAT_ARGB8888, 0));
  if (!argb) return Fail(why, SDL_GetError());
  out.width = argb->w;
  out.height = argb->h;
  out.argb.resize(size_t(argb->w) * size_t(argb->h));
  const auto* row = static_cast<const unsigned char*>(argb->pixels);
  for (int y = 0; y < argb->h; ++y, row += argb->pitch)
    std::memcpy(&out.argb[size_t(y) * size_t(argb->w)], row, size_t(argb->w) * 4);
  return true;
}

// JPEG and BMP, with the mends their SDL loaders need.
bool DecodeWithSdlImage(ImageType type, std::string_view bytes, Image& out, std::string* why) {
  if (!LoadWithSdlImage(type, bytes, out, why)) return false;
  if (type == ImageType::Bmp && BmpAlphaIsPadding(bytes))
    for (uint32_t& px : out.argb) px |= 0xFF000000u;
  if (type == ImageType::Jpeg) {
    JpegInk ink = ReadJpegInk(bytes);
    if (ink.cmyk) InkToColour(out, ink.inverted);
  }
  return true;
}

}  // namespace

const char* ImageTypeName(ImageType type) {
  switch (type) {
    case ImageType::Dds: return "DDS";
    case ImageType::Tga: return "TGA";
    case ImageType::Png: return "PNG";
    case ImageType::Jpeg: return "JPEG";
    case ImageType::Bmp: return "BMP";
    default: return "unknown";
  }
}

ImageType SniffImageType(std::string_view b, std::string_view extensionHint) {
  const unsigned char* p = U(b);
  if (b.size() >= 4 && std::memcmp(p, "DDS ", 4) == 0) return ImageType::Dds;
  if (b.size() >= 8 && std::memcmp(p, "\x89PNG\r\n\x1a\n", 8) == 0) return ImageType::Png;
  if (b.size() >= 3 && p[0] == 0xFF && p[1] == 0xD8 && p[2] == 0xFF) return ImageType::Jpeg;
  if (b.size() >= 2 && p[0] == 'B' && p[1] == 'M') return ImageType::Bmp;
  // Without a magic number only a TGA header is left to try. A file named
  // .tga needs just a plausible header; any other name also needs all the
  // pixel data the header promises, which keeps stray binaries out.
  if (!PlausibleTga(b)) return ImageType::Unknown;
  if (LowerExtension(extensionHint) == "tga" || TgaComplete(b)) return ImageType::Tga;
  return ImageType::Unknown;
}

bool DecodeImage(std::string_view bytes, std::string_view extensionHint, Image& out, std::string* why) {
  out = Image{};
  ImageType type = SniffImageType(bytes, extensionHint);
  bool ok = false;
  switch (type) {
    case ImageType::Dds: ok = DecodeDds(bytes, out, why); break;
    case ImageType::Tga: ok = DecodeTga(bytes, out, why); break;
    case ImageType::Png: ok = Checked(type, bytes, why) && DecodePng(bytes, out, why); break;
    case ImageType::Unknown:
      return Fail(why, "not a picture format we read (" + std::string(extensionHint) + ")");
    default: ok = DecodeWithSdlImage(type, bytes, out, why); break;
  }
  if (!ok) out = Image{};
  return ok;
}

}  // namespace platform
