#pragma once
// What every picture reader target checks: the reader fails cleanly (no
// pixels) or gives exactly width * height pixels within the size cap.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/files/ImageDecoder.h"

template <typename Decode>
int CheckImageReader(Decode decode, const uint8_t* data, size_t size) {
  platform::Image img;
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  if (decode(bytes, img)) {
    if (img.width <= 0 || img.height <= 0 || img.width > platform::kMaxImageSide ||
        img.height > platform::kMaxImageSide || img.argb.size() != size_t(img.width) * size_t(img.height))
      std::abort();
  } else if (!img.argb.empty()) {
    std::abort();
  }
  return 0;
}
