#include "platform/SdlRender.h"

#include <map>

namespace platform {
namespace {
// The textures made on each renderer, so that they can be detached from it
// when it is destroyed. Window thread only.
std::multimap<SDL_Renderer*, std::weak_ptr<SdlTexture>>& LiveTextures() {
  static std::multimap<SDL_Renderer*, std::weak_ptr<SdlTexture>> live;
  return live;
}
}  // namespace

void DestroySdlRenderer(SDL_Renderer* renderer) {
  if (!renderer) return;
  auto range = LiveTextures().equal_range(renderer);
  for (auto it = range.first; it != range.second; ++it)
    if (auto t = it->second.lock()) t->Forget();
  LiveTextures().erase(renderer);
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
  auto texture = std::make_shared<SdlTexture>(t, width, height);
  auto& live = LiveTextures();
  // Drop entries of textures already gone now and then, so the map stays small.
  if (live.size() > 256) {
    for (auto it = live.begin(); it != live.end();) it = it->second.expired() ? live.erase(it) : std::next(it);
  }
  live.emplace(renderer, texture);
  return texture;
}

void ReplayCommands(SDL_Renderer* renderer, const std::vector<Device::Command>& commands) {
  static const int kIndices[6] = {0, 1, 2, 0, 2, 3};
  SDL_SetRenderDrawBlendMode(renderer, SDL_BLENDMODE_BLEND);
  for (const Device::Command& c : commands) {
    if (c.clear) {
      SDL_SetRenderDrawColor(renderer, (c.clearColor >> 16) & 0xFF, (c.clearColor >> 8) & 0xFF, c.clearColor & 0xFF,
                             (c.clearColor >> 24) & 0xFF);
      SDL_RenderClear(renderer);
      continue;
    }
    SDL_Vertex v[4];
    for (int i = 0; i < 4; ++i) {
      v[i].position = SDL_FPoint{c.v[i].x, c.v[i].y};
      uint32_t d = c.v[i].diffuse;
      v[i].color = SDL_Color{Uint8((d >> 16) & 0xFF), Uint8((d >> 8) & 0xFF), Uint8(d & 0xFF), Uint8(d >> 24)};
      v[i].tex_coord = SDL_FPoint{c.v[i].u, c.v[i].v};
    }
    SDL_Texture* tex = nullptr;
    if (auto* st = dynamic_cast<SdlTexture*>(c.tex.get())) {
      tex = st->Get();
      if (!tex) continue;  // detached from a renderer that is gone
      SDL_SetTextureScaleMode(tex, c.linear ? SDL_ScaleModeLinear : SDL_ScaleModeNearest);
    }
    SDL_RenderGeometry(renderer, tex, v, 4, kIndices, 6);
  }
}

}  // namespace platform
