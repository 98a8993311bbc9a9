// The TGA reader on arbitrary bytes: it must fail cleanly or produce exactly
// width * height pixels within the size cap.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/files/ImageDecoder.h"
#include "platform/files/TgaReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  platform::Image img;
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  if (platform::DecodeTga(bytes, img)) {
    if (img.width <= 0 || img.height <= 0 || img.width > platform::kMaxImageSide ||
        img.height > platform::kMaxImageSide || img.argb.size() != size_t(img.width) * size_t(img.height))
      std::abort();
  } else if (!img.argb.empty()) {
    std::abort();
  }
  return 0;
}
