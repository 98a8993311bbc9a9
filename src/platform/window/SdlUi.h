#pragma once
// Private to the platform library: what the window's own parts (the menu
// bar, dialogs) draw with: text labels in the window's UI font and filled
// rectangles, straight onto the window's renderer.
#include <SDL.h>

#include <cstdint>
#include <string>

#include "platform/draw/Device.h"
#include "platform/text/Font.h"

namespace platform {

struct Label {
  TexturePtr tex;
  int w = 0, h = 0;
};

// A label of CP932 text in `color` (empty without a font or text).
Label MakeLabel(SDL_Renderer* renderer, Font* font, const std::string& cp932, uint32_t color = 0xFFFFFFFF);
void DrawLabel(SDL_Renderer* renderer, const Label& l, int x, int y, uint32_t color);
void Fill(SDL_Renderer* renderer, const SDL_Rect& r, uint32_t argb);

}  // namespace platform
