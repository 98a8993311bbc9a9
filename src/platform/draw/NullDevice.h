#pragma once
// A drawing device that draws nothing: it keeps the render states and
// records and presents frames like any device, its textures hold only their
// size, and it has no pixels to read. For units whose drawing is checked
// through what they ask of the device, not through pixels (those use the
// off-screen device).
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/draw/Device.h"

namespace platform {

class NullDevice : public Device {
 public:
  NullDevice(int width, int height) : Device(width, height) {}

  TexturePtr CreateTexture(int width, int height, const uint32_t* argb) override;
  bool ReadPixels(std::vector<uint32_t>&) override { return false; }

  int TexturesCreated() const { return texturesCreated_; }
  // The frame presented last, as recorded.
  const std::vector<Command>& PresentedFrame() const { return presented_; }

 protected:
  void PresentFrame() override { FinishFrame(); }

 private:
  int texturesCreated_ = 0;
};

}  // namespace platform
