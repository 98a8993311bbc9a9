// Textures on an SDL renderer, detached when their renderer goes first.
#include "platform/draw/SdlTexture.h"

#include <map>
#include <set>

namespace platform {
namespace {
// The textures alive on each renderer, so that they can be detached from it
// when it is destroyed. A texture leaves the registry when it dies, so the
// registry holds no memory of its own between frames. Window thread only.
// Never freed: a renderer held by a static object may be destroyed at exit
// after this registry would be.
std::map<SDL_Renderer*, std::set<SdlTexture*>>& LiveTextures() {
  static auto* live = new std::map<SDL_Renderer*, std::set<SdlTexture*>>;
  return *live;
}
}  // namespace

SdlTexture::SdlTexture(SDL_Renderer* r, SDL_Texture* t, int w, int h) : renderer_(r), tex_(t), w_(w), h_(h) {
  LiveTextures()[renderer_].insert(this);
}

SdlTexture::~SdlTexture() {
  if (!renderer_) return;  // detached: its renderer already freed it
  auto it = LiveTextures().find(renderer_);
  if (it != LiveTextures().end()) {
    it->second.erase(this);
    if (it->second.empty()) LiveTextures().erase(it);
  }
  if (tex_) SDL_DestroyTexture(tex_);
}

void DestroySdlRenderer(SDL_Renderer* renderer) {
  if (!renderer) return;
  auto it = LiveTextures().find(renderer);
  if (it != LiveTextures().end()) {
    for (SdlTexture* t : it->second) t->Forget();
    LiveTextures().erase(it);
  }
  SDL_DestroyRenderer(renderer);
}

TexturePtr CreateSdlTexture(SDL_Renderer* renderer, int width, int height, const uint32_t* argb) {
  if (!renderer || width <= 0 || height <= 0 || !argb) return nullptr;
  SDL_Texture* t = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC, width, height);
  if (!t) return nullptr;
  if (SDL_UpdateTexture(t, nullptr, argb, width * 4) != 0) {
    SDL_DestroyTexture(t);
    return nullptr;
  }
  SDL_SetTextureBlendMode(t, SDL_BLENDMODE_BLEND);
  return std::make_shared<SdlTexture>(renderer, t, width, height);
}

}  // namespace platform
