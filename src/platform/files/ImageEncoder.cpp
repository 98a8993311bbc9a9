// PNG, JPEG and BMP writing through SDL and SDL_image.
#include "platform/files/ImageEncoder.h"

#include <SDL.h>

#include <climits>

#include "platform/files/ImageDecoder.h"
#include "platform/files/ImageLibrary.h"

namespace platform {

bool EncodeImage(const Image& image, ImageType type, std::string& out, int jpegQuality) {
  out.clear();
  if (image.width <= 0 || image.height <= 0 || image.width > kMaxImageSide || image.height > kMaxImageSide ||
      image.argb.size() != size_t(image.width) * size_t(image.height))
    return false;
  SDL_Surface* s = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint32_t*>(image.argb.data()), image.width,
                                                      image.height, 32, image.width * 4, SDL_PIXELFORMAT_ARGB8888);
  if (!s) return false;
  const image_library::ImageFunctions* img = image_library::Img();  // PNG and JPEG
  // SDL 2 has no growing memory stream: write into a buffer twice the raw
  // size, which none of the three formats can exceed, then cut it to length.
  uint64_t room = uint64_t(image.argb.size()) * 8 + 65536;
  bool ok = false;
  if (room <= uint64_t(INT_MAX)) {
    out.resize(size_t(room));
    if (SDL_RWops* rw = SDL_RWFromMem(out.data(), int(room))) {
      switch (type) {
        case ImageType::Png: ok = img && img->IMG_SavePNG_RW(s, rw, 0) == 0; break;
        case ImageType::Jpeg: ok = img && img->IMG_SaveJPG_RW(s, rw, 0, jpegQuality) == 0; break;
        case ImageType::Bmp: ok = SDL_SaveBMP_RW(s, rw, 0) == 0; break;
        default: break;
      }
      Sint64 written = SDL_RWtell(rw);
      SDL_RWclose(rw);
      if (ok && written > 0) out.resize(size_t(written));
      else ok = false;
    }
  }
  SDL_FreeSurface(s);
  if (!ok) out.clear();
  return ok;
}

}  // namespace platform
