// The DDS reader on arbitrary bytes.
#include "ImageReaderCheck.h"
#include "platform/files/DdsReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return CheckImageReader([](std::string_view b, platform::Image& img) { return platform::DecodeDds(b, img); }, data, size);
}
