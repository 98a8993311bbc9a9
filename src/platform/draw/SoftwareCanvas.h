#pragma once
// Private to the platform library: the software game area.
#include <SDL.h>

#include <vector>

#include "platform/draw/Device.h"
#include "platform/draw/ScreenRect.h"

namespace platform {

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

}  // namespace platform
