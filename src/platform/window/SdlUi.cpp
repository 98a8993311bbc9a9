#include "platform/window/SdlUi.h"

#include "platform/draw/SdlTexture.h"
#include "platform/text/TextCodec.h"

namespace platform {

Label MakeLabel(SDL_Renderer* renderer, Font* font, const std::string& cp932, uint32_t color) {
  Label l;
  if (!font || cp932.empty()) return l;
  TextImage img;
  if (!font->Render(Cp932ToUtf8(cp932), img) || img.width == 0) return l;
  for (auto& p : img.argb) p = (p & 0xFF000000u) | (color & 0xFFFFFF);
  l.tex = CreateSdlTexture(renderer, img.width, img.height, img.argb.data());
  l.w = img.width;
  l.h = img.height;
  return l;
}

void DrawLabel(SDL_Renderer* renderer, const Label& l, int x, int y, uint32_t color) {
  auto* t = dynamic_cast<SdlTexture*>(l.tex.get());
  if (!t) return;
  SDL_SetTextureColorMod(t->Get(), (color >> 16) & 0xFF, (color >> 8) & 0xFF, color & 0xFF);
  SDL_Rect r{x, y, l.w, l.h};
  SDL_RenderCopy(renderer, t->Get(), nullptr, &r);
}

void Fill(SDL_Renderer* renderer, const SDL_Rect& r, uint32_t c) {
  SDL_SetRenderDrawColor(renderer, (c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF, (c >> 24) & 0xFF);
  SDL_RenderFillRect(renderer, &r);
}

}  // namespace platform
