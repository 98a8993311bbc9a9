#include "PictureFiles.h"

#include <squish.h>

#include <cstdint>
#include <vector>

namespace makeart {
namespace {

void Put32(std::string& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(char((v >> (8 * i)) & 0xFF));
}
void Put16(std::string& out, uint16_t v) {
  out.push_back(char(v & 0xFF));
  out.push_back(char(v >> 8));
}

constexpr uint32_t DDSD_CAPS = 0x1, DDSD_HEIGHT = 0x2, DDSD_WIDTH = 0x4, DDSD_PITCH = 0x8;
constexpr uint32_t DDSD_PIXELFORMAT = 0x1000, DDSD_LINEARSIZE = 0x80000;
constexpr uint32_t DDPF_ALPHAPIXELS = 0x1, DDPF_FOURCC = 0x4, DDPF_RGB = 0x40;
constexpr uint32_t DDSCAPS_TEXTURE = 0x1000;

constexpr uint32_t FourCC(const char (&s)[5]) {
  return uint32_t(uint8_t(s[0])) | uint32_t(uint8_t(s[1])) << 8 | uint32_t(uint8_t(s[2])) << 16 |
         uint32_t(uint8_t(s[3])) << 24;
}

}  // namespace

std::string EncodeDds(const Image& image, DdsKind kind) {
  const bool blocks = kind != DdsKind::Argb8888;
  const int squishFlags = (kind == DdsKind::Dxt1 ? squish::kDxt1 : squish::kDxt5) | squish::kColourIterativeClusterFit;
  const uint32_t dataSize = blocks ? uint32_t(squish::GetStorageRequirements(image.width, image.height, squishFlags))
                                   : uint32_t(image.width) * uint32_t(image.height) * 4;

  std::string out = "DDS ";
  Put32(out, 124);
  Put32(out, DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH | DDSD_PIXELFORMAT | (blocks ? DDSD_LINEARSIZE : DDSD_PITCH));
  Put32(out, uint32_t(image.height));
  Put32(out, uint32_t(image.width));
  Put32(out, blocks ? dataSize : uint32_t(image.width) * 4);  // linear size or row pitch
  Put32(out, 0);                                              // depth
  Put32(out, 0);                                              // mip levels: just the one
  for (int i = 0; i < 11; ++i) Put32(out, 0);
  // Pixel format: 32 bytes.
  Put32(out, 32);
  if (blocks) {
    Put32(out, DDPF_FOURCC);
    Put32(out, kind == DdsKind::Dxt1 ? FourCC("DXT1") : FourCC("DXT5"));
    for (int i = 0; i < 5; ++i) Put32(out, 0);
  } else {
    Put32(out, DDPF_RGB | DDPF_ALPHAPIXELS);
    Put32(out, 0);
    Put32(out, 32);
    Put32(out, 0x00FF0000);
    Put32(out, 0x0000FF00);
    Put32(out, 0x000000FF);
    Put32(out, 0xFF000000);
  }
  Put32(out, DDSCAPS_TEXTURE);
  for (int i = 0; i < 4; ++i) Put32(out, 0);  // caps 2-4, reserved

  if (!blocks) {
    for (uint32_t p : image.argb) Put32(out, p);  // little-endian ARGB = bytes B, G, R, A
    return out;
  }
  std::vector<uint8_t> rgba(image.argb.size() * 4);
  for (size_t i = 0; i < image.argb.size(); ++i) {
    uint32_t p = image.argb[i];
    rgba[i * 4 + 0] = uint8_t(p >> 16);
    rgba[i * 4 + 1] = uint8_t(p >> 8);
    rgba[i * 4 + 2] = uint8_t(p);
    rgba[i * 4 + 3] = uint8_t(p >> 24);
  }
  std::string data(dataSize, '\0');
  squish::CompressImage(rgba.data(), image.width, image.height, data.data(), squishFlags);
  return out + data;
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

}  // namespace makeart
