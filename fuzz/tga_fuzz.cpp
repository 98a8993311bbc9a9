// The TGA reader on arbitrary bytes.
#include "ImageReaderCheck.h"
#include "platform/files/TgaReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return CheckImageReader([](std::string_view b, platform::Image& img) { return platform::DecodeTga(b, img); }, data, size);
}
