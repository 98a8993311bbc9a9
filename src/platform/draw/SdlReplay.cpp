// Replays recorded frames through SDL's geometry renderer.
#include "platform/draw/SdlReplay.h"

#include <cstring>

#include "platform/draw/SdlTexture.h"

namespace platform {

namespace {
void SetDrawColor(SDL_Renderer* renderer, uint32_t argb) {
  SDL_SetRenderDrawColor(renderer, (argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF, (argb >> 24) & 0xFF);
}

// A clip rect set means a partial repaint: SDL's clear ignores the clip, so
// a clear becomes an unblended fill of the clip rect, which writes the same
// pixels.
void Replay(SDL_Renderer* renderer, const Device::Command* first, size_t count, const SDL_Rect* clip) {
  static const int kIndices[6] = {0, 1, 2, 0, 2, 3};
  SDL_SetRenderDrawBlendMode(renderer, SDL_BLENDMODE_BLEND);
  for (const Device::Command* p = first; p != first + count; ++p) {
    const Device::Command& c = *p;
    if (c.clear) {
      SetDrawColor(renderer, c.clearColor);
      if (clip) {
        SDL_SetRenderDrawBlendMode(renderer, SDL_BLENDMODE_NONE);
        SDL_RenderFillRect(renderer, clip);
        SDL_SetRenderDrawBlendMode(renderer, SDL_BLENDMODE_BLEND);
      } else {
        SDL_RenderClear(renderer);
      }
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
}  // namespace

void CopySurfacePixels(SDL_Surface* surface, int width, int height, std::vector<uint32_t>& argb) {
  argb.resize(size_t(width) * height);
  SDL_LockSurface(surface);
  for (int y = 0; y < height; ++y)
    std::memcpy(&argb[size_t(y) * width], static_cast<uint8_t*>(surface->pixels) + size_t(y) * surface->pitch,
                size_t(width) * 4);
  SDL_UnlockSurface(surface);
}

void ReplayCommands(SDL_Renderer* renderer, const std::vector<Device::Command>& commands) {
  Replay(renderer, commands.data(), commands.size(), nullptr);
}

void ReplayClipped(SDL_Renderer* renderer, const std::vector<Device::Command>& commands, size_t from,
                   const ScreenRect& rect) {
  if (rect.Empty() || from >= commands.size()) return;
  SDL_Rect clip{rect.x, rect.y, rect.w, rect.h};
  SDL_RenderSetClipRect(renderer, &clip);
  Replay(renderer, commands.data() + from, commands.size() - from, &clip);
  SDL_RenderSetClipRect(renderer, nullptr);
}

void RepaintRect(SDL_Renderer* renderer, const std::vector<Device::Command>& commands, const ScreenRect& rect) {
  if (rect.Empty()) return;
  SDL_Rect clip{rect.x, rect.y, rect.w, rect.h};
  SDL_RenderSetClipRect(renderer, &clip);
  // Opaque black first, as a fresh back buffer.
  SetDrawColor(renderer, 0xFF000000);
  SDL_SetRenderDrawBlendMode(renderer, SDL_BLENDMODE_NONE);
  SDL_RenderFillRect(renderer, &clip);
  Replay(renderer, commands.data(), commands.size(), &clip);
  SDL_RenderSetClipRect(renderer, nullptr);
}

}  // namespace platform
