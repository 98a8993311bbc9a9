#pragma once
// Private to the platform library: device textures held by an SDL renderer.
#include <SDL.h>

#include "platform/draw/Device.h"

namespace platform {

class SdlTexture : public Texture {
 public:
  SdlTexture(SDL_Renderer* r, SDL_Texture* t, int w, int h);
  ~SdlTexture() override;
  int Width() const override { return w_; }
  int Height() const override { return h_; }
  SDL_Texture* Get() const { return tex_; }
  // The renderer is going (and takes its textures with it): a holder that
  // outlives it keeps an empty texture instead of a dangling one.
  void Forget() { tex_ = nullptr; renderer_ = nullptr; }

 private:
  SDL_Renderer* renderer_;
  SDL_Texture* tex_;
  int w_, h_;
};

TexturePtr CreateSdlTexture(SDL_Renderer* renderer, int width, int height, const uint32_t* argb);
// Destroys a renderer after detaching every texture still alive on it.
void DestroySdlRenderer(SDL_Renderer* renderer);

}  // namespace platform
