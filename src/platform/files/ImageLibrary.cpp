#include "platform/files/ImageLibrary.h"

namespace platform::image_library {

// The soname of the Debian 12 package libsdl2-image-2.0-0.
const char kImageLibrary[] = "libSDL2_image-2.0.so.0";

#ifdef __EMSCRIPTEN__
// The browser build links SDL_image in (a page cannot open libraries).
#define VANTOREL_LINKED_FUNCTION(name) f.name = &::name;
const ImageFunctions* Img(std::string* why) {
  static const ImageFunctions functions = [] {
    ImageFunctions f;
    VANTOREL_IMAGE_FUNCTIONS(VANTOREL_LINKED_FUNCTION)
    return f;
  }();
  if (why) why->clear();
  return &functions;
}
#else
const ImageFunctions* Img(std::string* why) {
  VANTOREL_LATE_LIBRARY(ImageFunctions, kImageLibrary, VANTOREL_IMAGE_FUNCTIONS)
}
#endif

}  // namespace platform::image_library
