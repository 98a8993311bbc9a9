#include "platform/files/ImageLibrary.h"

namespace platform::image_library {

// The soname of the Debian 12 package libsdl2-image-2.0-0.
const char kImageLibrary[] = "libSDL2_image-2.0.so.0";

const ImageFunctions* Img(std::string* why) {
  VANTOREL_LATE_LIBRARY(ImageFunctions, kImageLibrary, VANTOREL_IMAGE_FUNCTIONS)
}

}  // namespace platform::image_library
