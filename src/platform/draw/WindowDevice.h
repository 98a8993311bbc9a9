#pragma once
// Private to the platform library: the drawing device of a real window.
#include <SDL.h>

#include <functional>
#include <memory>
#include <vector>

#include "platform/draw/Device.h"
#include "platform/draw/ScreenRect.h"

namespace platform {

// The device of a real window. The game area is kept between frames and only
// the part a new frame changes is redrawn, by one of two kinds chosen with
// the window's renderer: on a GPU into a target texture of the window's
// renderer, otherwise into a surface by a software renderer of its own.
// `compose` shows the game area in the window: the changed game rectangle,
// or null for the whole window.
class WindowDevice : public Device {
 public:
  using Compose = std::function<void(const ScreenRect* changed)>;
  // `software`: the window's renderer is SDL's software one on the window
  // surface. Null when the game area cannot be made.
  static std::unique_ptr<WindowDevice> Create(SDL_Renderer* windowRenderer, bool software, int w, int h,
                                              Compose compose);

  void PresentFrame() override;
  // Brings the game area up to date with the last presented frame.
  void UpdateGameArea();
  // The next Present composes the whole window (exposed, resized, a dialog gone).
  void MarkDirty() { windowDirty_ = true; }
  // The game area: a target texture of the window's renderer (GPU), or a
  // surface (software); the other is null.
  virtual SDL_Texture* Target() const { return nullptr; }
  virtual SDL_Surface* Surface() const { return nullptr; }

 protected:
  WindowDevice(int w, int h, Compose compose);
  virtual bool Ok() const = 0;
  // Redraws `rect` of the game area from the last presented frame.
  virtual void Redraw(const ScreenRect& rect) = 0;

 private:
  Compose compose_;
  ScreenRect damage_;  // game-area pixels not yet redrawn
  bool windowDirty_ = true;
};

// Scales the game area (ARGB, shown over black) into `window` at `area`,
// bilinear when `smooth` (at the game's own size both give its pixels),
// else nearest pixel, writing only the window pixels inside `clip`. Any
// part of the window is drawn exactly as a whole-window copy would draw it.
void ScaleGameArea(SDL_Surface* game, SDL_Surface* window, const SDL_Rect& area, const SDL_Rect& clip,
                   bool smooth = false);
// The window pixels showing the game rectangle `r` when the game area is
// scaled to `area`: every window pixel that a game pixel of `r` reaches,
// bilinear filtering included (one game pixel wider on each side, plus one
// window pixel, clipped to `area`).
SDL_Rect WindowRectOf(const ScreenRect& r, int gameW, int gameH, const SDL_Rect& area);

}  // namespace platform
