#include "PictureFiles.h"

#include <squish.h>

#include <cctype>
#include <cstdint>
#include <cstring>
#include <vector>

#include "common/DdsWriter.h"
#include "platform/files/ImageEncoder.h"

namespace makeart {
namespace {

void Put32(std::string& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(char((v >> (8 * i)) & 0xFF));
}
void Put16(std::string& out, uint16_t v) {
  out.push_back(char(v & 0xFF));
  out.push_back(char(v >> 8));
}

}  // namespace

std::string EncodeDds(const Image& image, DdsKind kind) {
  const uint32_t w = uint32_t(image.width), h = uint32_t(image.height);
  // Mip count 0 (a single level) and the iterative cluster fit: the demo's
  // files have always been written so.
  if (kind == DdsKind::Argb8888) return ddswriter::EncodeMasked(w, h, image.argb, ddswriter::kA8R8G8B8, 0);
  const int squishFlags = (kind == DdsKind::Dxt1 ? squish::kDxt1 : squish::kDxt5) | squish::kColourIterativeClusterFit;
  return ddswriter::EncodeDxt(w, h, image.argb, squishFlags, 0);
}

std::string EncodeTga(const Image& image) {
  std::string out;
  out.push_back(0);  // no image id
  out.push_back(0);  // no colour map
  out.push_back(2);  // uncompressed true-colour
  out.append(5, '\0');
  Put16(out, 0);  // x origin
  Put16(out, 0);  // y origin
  Put16(out, uint16_t(image.width));
  Put16(out, uint16_t(image.height));
  out.push_back(32);
  out.push_back(8);  // eight alpha bits, bottom-left origin
  for (int y = image.height - 1; y >= 0; --y)
    for (int x = 0; x < image.width; ++x) Put32(out, image.argb[size_t(y) * image.width + x]);
  return out;
}

namespace {
bool EndsWith(const std::string& s, const char* tail) {
  const size_t n = std::strlen(tail);
  if (s.size() < n) return false;
  for (size_t i = 0; i < n; ++i)
    if (std::tolower(static_cast<unsigned char>(s[s.size() - n + i])) != tail[i]) return false;
  return true;
}
}  // namespace

bool EncodePictureFile(const Image& image, const std::string& fileName, DdsKind kind, std::string& bytes) {
  if (EndsWith(fileName, ".dds")) {
    bytes = EncodeDds(image, kind);
    return true;
  }
  if (kind != DdsKind::Argb8888) return false;
  if (EndsWith(fileName, ".tga")) {
    bytes = EncodeTga(image);
    return true;
  }
  const bool png = EndsWith(fileName, ".png");
  if (!png && !EndsWith(fileName, ".jpg") && !EndsWith(fileName, ".jpeg")) return false;
  // PNG and JPEG go through the platform's picture writer.
  platform::Image p;
  p.width = image.width;
  p.height = image.height;
  p.argb = image.argb;
  return platform::EncodeImage(p, png ? platform::ImageType::Png : platform::ImageType::Jpeg, bytes, 92);
}

}  // namespace makeart
