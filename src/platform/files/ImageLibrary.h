#pragma once
// SDL_image, opened at run time rather than linked (see LateLibrary.h): it
// reads JPEG and BMP pictures and writes screenshots, and brings libtiff,
// libwebp and their kin, which no game needs at start-up. It is opened by
// the first picture or screenshot that needs it; without it those fail with
// the reason.
#include <SDL_image.h>

#include <string>

#include "platform/files/LateLibrary.h"

namespace platform::image_library {

#define VANTOREL_IMAGE_FUNCTIONS(F) F(IMG_LoadJPG_RW) F(IMG_LoadBMP_RW) F(IMG_SavePNG_RW) F(IMG_SaveJPG_RW)

struct ImageFunctions {
  VANTOREL_IMAGE_FUNCTIONS(VANTOREL_LATE_FUNCTION)
};

// Null when the library or one of its functions is missing (`why` says which).
const ImageFunctions* Img(std::string* why = nullptr);

extern const char kImageLibrary[];

}  // namespace platform::image_library
