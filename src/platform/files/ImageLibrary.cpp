#include "platform/files/ImageLibrary.h"

namespace platform::image_library {

// The soname of the Debian 12 package libsdl2-image-2.0-0.
const char kImageLibrary[] = "libSDL2_image-2.0.so.0";

const ImageFunctions* Img(std::string* why) {
  static const late_library::Opened<ImageFunctions> opened =
      late_library::Open<ImageFunctions>(kImageLibrary, [](void* library, ImageFunctions& f) -> std::string {
        VANTOREL_IMAGE_FUNCTIONS(VANTOREL_LATE_RESOLVE)
        return {};
      });
  return late_library::Result(opened, why);
}

}  // namespace platform::image_library
