#pragma once
// Private to the platform library: replaying recorded frames on SDL.
#include <SDL.h>

#include <functional>
#include <memory>
#include <vector>

#include "platform/Device.h"

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
// Copies an ARGB8888 surface's top-left width x height pixels, row by row.
void CopySurfacePixels(SDL_Surface* surface, int width, int height, std::vector<uint32_t>& argb);
// Draws a recorded frame over whatever the target holds.
void ReplayCommands(SDL_Renderer* renderer, const std::vector<Device::Command>& commands);
// Draws commands[from...] inside `rect` only, as they would draw there
// unclipped (stretched pictures aside: see SoftwareCanvas).
void ReplayClipped(SDL_Renderer* renderer, const std::vector<Device::Command>& commands, size_t from,
                   const ScreenRect& rect);
// Redraws one rectangle of the target as a whole repaint would (opaque black,
// then the frame), leaving the pixels outside it alone.
void RepaintRect(SDL_Renderer* renderer, const std::vector<Device::Command>& commands, const ScreenRect& rect);

// A game area drawn by SDL's software renderer that redraws only a changed
// rectangle yet always holds exactly the pixels of a whole repaint. SDL
// draws a scaled picture through a clipped stretch blit whose sampling
// shifts with the clip, so the rectangle grows over every scaled picture it
// cuts; the commands that both frames start with (the background) are kept
// drawn in a layer of their own, from which the rectangle is restored first.
class SoftwareCanvas {
 public:
  SoftwareCanvas(int w, int h);
  ~SoftwareCanvas();
  SoftwareCanvas(const SoftwareCanvas&) = delete;
  SoftwareCanvas& operator=(const SoftwareCanvas&) = delete;
  bool Ok() const { return renderer_ && base_; }
  SDL_Renderer* Renderer() const { return renderer_; }  // textures are made on it
  SDL_Surface* Surface() const { return surface_; }     // ARGB8888
  // Draws `frame`, redrawing at least `rect`: the part in which it differs
  // from the frame drawn last (ChangedRect), or the whole area.
  void Draw(const std::vector<Device::Command>& frame, const ScreenRect& rect);
  // Whole repaints and layer rebuilds so far, for tests.
  int WholeRepaints() const { return wholeRepaints_; }
  int LayerBuilds() const { return layerBuilds_; }

 private:
  void Whole(const std::vector<Device::Command>& frame);
  void BuildLayer(const std::vector<Device::Command>& frame, size_t count);
  ScreenRect Grow(const std::vector<Device::Command>& frame, size_t from, ScreenRect r) const;

  int w_, h_;
  SDL_Surface* surface_ = nullptr;
  SDL_Renderer* renderer_ = nullptr;
  SDL_Texture* base_ = nullptr;                 // the layer: baseCommands_ drawn over black
  std::vector<Device::Command> baseCommands_;
  bool baseValid_ = false;
  std::vector<Device::Command> last_;           // the frame drawn last
  int wholeRepaints_ = 0, layerBuilds_ = 0;
};

// The window's renderer: SDL's accelerated one with vsync on a real GPU, or
// SDL's software renderer on the window surface (`software` set) when OpenGL
// would only be a software rasteriser. VANTOREL_RENDERER=software|accelerated
// overrides the choice.
SDL_Renderer* CreateWindowRenderer(SDL_Window* window, bool& software);

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
