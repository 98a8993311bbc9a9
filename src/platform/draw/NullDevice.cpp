#include "platform/draw/NullDevice.h"

namespace platform {
namespace {
class SizeOnlyTexture : public Texture {
 public:
  SizeOnlyTexture(int w, int h) : w_(w), h_(h) {}
  int Width() const override { return w_; }
  int Height() const override { return h_; }

 private:
  int w_, h_;
};
}  // namespace

TexturePtr NullDevice::CreateTexture(int width, int height, const uint32_t* argb) {
  // Refused as the other devices refuse it, so that callers see the same.
  if (width <= 0 || height <= 0 || !argb) return nullptr;
  ++texturesCreated_;
  return std::make_shared<SizeOnlyTexture>(width, height);
}

}  // namespace platform
