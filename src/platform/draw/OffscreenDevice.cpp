// The off-screen device: SDL's software renderer drawing into a surface.
#include "platform/draw/OffscreenDevice.h"

#include <SDL.h>

#include "platform/draw/Device.h"
#include "platform/draw/SdlReplay.h"
#include "platform/draw/SdlTexture.h"

namespace platform {
namespace {

class OffscreenDevice : public Device {
 public:
  OffscreenDevice(int w, int h) : Device(w, h) {
    surface_ = SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_ARGB8888);
    if (surface_) renderer_ = SDL_CreateSoftwareRenderer(surface_);
  }
  ~OffscreenDevice() override {
    presented_.clear();
    recording_.clear();
    DestroySdlRenderer(renderer_);
    if (surface_) SDL_FreeSurface(surface_);
  }
  bool Ok() const { return renderer_ != nullptr; }

  TexturePtr CreateTexture(int width, int height, const uint32_t* argb) override {
    return CreateSdlTexture(renderer_, width, height, argb);
  }

  void PresentFrame() override {
    if (FinishFrame()) stale_ = true;
  }

  bool ReadPixels(std::vector<uint32_t>& argb) override {
    if (!renderer_) return false;
    if (stale_) {
      // Start from opaque black, as a freshly created back buffer would be.
      SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
      SDL_RenderClear(renderer_);
      ReplayCommands(renderer_, presented_);
      SDL_RenderPresent(renderer_);
      stale_ = false;
    }
    CopySurfacePixels(surface_, Width(), Height(), argb);
    return true;
  }

 private:
  SDL_Surface* surface_ = nullptr;
  SDL_Renderer* renderer_ = nullptr;
  bool stale_ = true;
};

}  // namespace

std::unique_ptr<Device> CreateOffscreenDevice(int width, int height) {
  auto d = std::make_unique<OffscreenDevice>(width, height);
  if (!d->Ok()) return nullptr;
  return d;
}

}  // namespace platform
