// The software game area that redraws only what changed, pixel-exact.
#include "platform/draw/SoftwareCanvas.h"

#include <algorithm>
#include <cmath>

#include "platform/draw/Device.h"
#include "platform/draw/FrameDamage.h"
#include "platform/draw/ScreenRect.h"
#include "platform/draw/SdlReplay.h"
#include "platform/draw/SdlTexture.h"

namespace platform {
namespace {
bool Inside(const ScreenRect& a, const ScreenRect& b) {
  return a.x >= b.x && a.y >= b.y && a.x + a.w <= b.x + b.w && a.y + a.h <= b.y + b.h;
}
bool Meets(const ScreenRect& a, const ScreenRect& b) {
  return a.x < b.x + b.w && b.x < a.x + a.w && a.y < b.y + b.h && b.y < a.y + a.h;
}
bool Near(float a, float b) { return std::fabs(a - b) < 1e-3f; }

// A textured quad SDL's software renderer may turn into a stretch blit: an
// axis-aligned rectangle not drawn one texel per pixel, or turned or mirrored.
// Quads it draws as triangles sample per pixel and clip exactly.
bool StretchedCopy(const Device::Command& c) {
  if (c.clear || !c.tex) return false;
  const Vertex* v = c.v;
  bool upright = v[0].y == v[1].y && v[1].x == v[2].x && v[2].y == v[3].y && v[3].x == v[0].x;
  bool turned = v[0].x == v[1].x && v[1].y == v[2].y && v[2].x == v[3].x && v[3].y == v[0].y;
  if (!upright && !turned) return false;
  if (turned) return true;
  float w = float(c.tex->Width()), h = float(c.tex->Height());
  float dx = v[1].x - v[0].x, dy = v[3].y - v[0].y;
  float du = (v[1].u - v[0].u) * w, dv = (v[3].v - v[0].v) * h;
  // The other corners' texture coordinates must fit an upright copy too.
  bool plain = Near(v[2].u, v[1].u) && Near(v[3].u, v[0].u) && Near(v[1].v, v[0].v) && Near(v[2].v, v[3].v);
  return !(plain && dx > 0 && dy > 0 && Near(dx, du) && Near(dy, dv));
}
}  // namespace

SoftwareCanvas::SoftwareCanvas(int w, int h) : w_(w), h_(h) {
  surface_ = SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_ARGB8888);
  if (surface_) renderer_ = SDL_CreateSoftwareRenderer(surface_);
  if (renderer_) base_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_TARGET, w, h);
  if (base_) SDL_SetTextureBlendMode(base_, SDL_BLENDMODE_NONE);
}

SoftwareCanvas::~SoftwareCanvas() {
  baseCommands_.clear();
  last_.clear();
  if (base_) SDL_DestroyTexture(base_);
  DestroySdlRenderer(renderer_);
  if (surface_) SDL_FreeSurface(surface_);
}

void SoftwareCanvas::Whole(const std::vector<Device::Command>& frame) {
  // As the off-screen device draws: opaque black, then the frame.
  SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
  SDL_RenderClear(renderer_);
  ReplayCommands(renderer_, frame);
  ++wholeRepaints_;
}

void SoftwareCanvas::BuildLayer(const std::vector<Device::Command>& frame, size_t count) {
  SDL_SetRenderTarget(renderer_, base_);
  SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
  SDL_RenderClear(renderer_);
  baseCommands_.assign(frame.begin(), frame.begin() + std::ptrdiff_t(count));
  ReplayCommands(renderer_, baseCommands_);
  SDL_SetRenderTarget(renderer_, nullptr);
  baseValid_ = true;
  ++layerBuilds_;
}

ScreenRect SoftwareCanvas::Grow(const std::vector<Device::Command>& frame, size_t from, ScreenRect r) const {
  for (bool grown = true; grown;) {
    grown = false;
    for (size_t i = from; i < frame.size(); ++i) {
      if (!StretchedCopy(frame[i])) continue;
      ScreenRect b = CommandBounds(frame[i], w_, h_);
      if (Meets(b, r) && !Inside(b, r)) {
        r = UnionRect(r, b);
        grown = true;
      }
    }
  }
  return r;
}

void SoftwareCanvas::Draw(const std::vector<Device::Command>& frame, const ScreenRect& rect) {
  if (!Ok()) return;
  const ScreenRect whole{0, 0, w_, h_};
  ScreenRect r;
  SDL_Rect clipped;
  SDL_Rect in{rect.x, rect.y, rect.w, rect.h}, all{0, 0, w_, h_};
  if (SDL_IntersectRect(&in, &all, &clipped)) r = ScreenRect{clipped.x, clipped.y, clipped.w, clipped.h};
  if (r.Empty()) return;
  if (r == whole) {
    Whole(frame);
  } else {
    // The layer serves when it is a start of this frame; it is rebuilt at the
    // first command that changed when it is not, or when the commands
    // between its end and that one would make the rectangle grow.
    size_t firstChange = 0;
    while (firstChange < frame.size() && firstChange < last_.size() && frame[firstChange] == last_[firstChange])
      ++firstChange;
    size_t k = baseCommands_.size();
    bool usable = baseValid_ && k <= frame.size() && std::equal(baseCommands_.begin(), baseCommands_.end(), frame.begin());
    ScreenRect g = usable ? Grow(frame, k, r) : r;
    if (!usable || (!(g == r) && k < firstChange)) {
      BuildLayer(frame, firstChange);
      k = firstChange;
      g = Grow(frame, k, r);
    }
    if (g == whole) {
      Whole(frame);
    } else {
      SDL_Rect clip{g.x, g.y, g.w, g.h};
      SDL_RenderCopy(renderer_, base_, &clip, &clip);
      ReplayClipped(renderer_, frame, k, g);
    }
  }
  SDL_RenderFlush(renderer_);
  last_ = frame;
}

}  // namespace platform
