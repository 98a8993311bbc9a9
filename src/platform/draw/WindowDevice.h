#pragma once
// Private to the platform library: the drawing device of a real window.
#include <SDL.h>

#include <functional>
#include <memory>
#include <vector>

#include "platform/draw/Device.h"
#include "platform/draw/ScreenRect.h"
#include "platform/draw/SoftwareCanvas.h"

namespace platform {

// The device of a real window. The game area is kept between frames and only
// the part a new frame changes is redrawn: on a GPU into a target texture of
// the window's renderer, otherwise into a surface by a software renderer of
// its own. `compose` shows the game area in the window: the changed game
// rectangle, or null for the whole window.
class WindowDevice : public Device {
 public:
  using Compose = std::function<void(const ScreenRect* changed)>;
  WindowDevice(SDL_Renderer* windowRenderer, bool software, int w, int h, Compose compose);
  ~WindowDevice() override;
  bool Ok() const { return software_ ? canvas_->Ok() : target_ != nullptr; }

  TexturePtr CreateTexture(int width, int height, const uint32_t* argb) override;
  void PresentFrame() override;
  bool ReadPixels(std::vector<uint32_t>& argb) override;

  // Brings the game area up to date with the last presented frame.
  void UpdateGameArea();
  // The next Present composes the whole window (exposed, resized, a dialog gone).
  void MarkDirty() { windowDirty_ = true; }
  bool Software() const { return software_; }
  SDL_Texture* Target() const { return target_; }
  SDL_Surface* Surface() const { return canvas_ ? canvas_->Surface() : nullptr; }

 private:
  SDL_Renderer* windowRenderer_;
  bool software_;
  Compose compose_;
  SDL_Texture* target_ = nullptr;           // GPU: the game area
  std::unique_ptr<SoftwareCanvas> canvas_;  // software: the game area
  SDL_Renderer* gameRenderer_ = nullptr;    // the renderer drawing the game area
  ScreenRect damage_;                     // game-area pixels not yet redrawn
  bool windowDirty_ = true;
};

// Scales the game area (ARGB, shown over black) into `window` at `area`,
// nearest pixel, writing only the window pixels inside `clip`. Any part of
// the window is drawn exactly as a whole-window copy would draw it.
void ScaleGameArea(SDL_Surface* game, SDL_Surface* window, const SDL_Rect& area, const SDL_Rect& clip);
// The window pixels showing the game rectangle `r` when the game area is
// scaled to `area` (a pixel wider on each side, clipped to `area`).
SDL_Rect WindowRectOf(const ScreenRect& r, int gameW, int gameH, const SDL_Rect& area);

}  // namespace platform
