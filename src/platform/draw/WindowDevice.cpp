// The device of a real window: the game area is kept between frames and a new
// frame redraws only the rectangle it changes (the wait cursor's animation is
// a few hundred pixels every 0.3 s).
#include "platform/draw/WindowDevice.h"

#include <algorithm>

#include "platform/draw/SdlReplay.h"
#include "platform/draw/SdlTexture.h"
#include "platform/draw/SoftwareCanvas.h"

namespace platform {

namespace {
// On a GPU: the game area is a target texture of the window's renderer.
class GpuWindowDevice final : public WindowDevice {
 public:
  GpuWindowDevice(SDL_Renderer* windowRenderer, int w, int h, Compose compose)
      : WindowDevice(w, h, std::move(compose)), windowRenderer_(windowRenderer) {
    target_ = SDL_CreateTexture(windowRenderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_TARGET, w, h);
    // Fitted to the window it is filtered; sharp scaling turns this off.
    if (target_) SDL_SetTextureScaleMode(target_, SDL_ScaleModeLinear);
  }
  ~GpuWindowDevice() override {
    presented_.clear();
    recording_.clear();
    if (target_) SDL_DestroyTexture(target_);
  }
  bool Ok() const override { return target_ != nullptr; }
  SDL_Texture* Target() const override { return target_; }

  TexturePtr CreateTexture(int width, int height, const uint32_t* argb) override {
    return CreateSdlTexture(windowRenderer_, width, height, argb);
  }

  bool ReadPixels(std::vector<uint32_t>& argb) override {
    if (!Ok()) return false;
    UpdateGameArea();
    argb.resize(size_t(Width()) * Height());
    SDL_SetRenderTarget(windowRenderer_, target_);
    bool ok = SDL_RenderReadPixels(windowRenderer_, nullptr, SDL_PIXELFORMAT_ARGB8888, argb.data(), Width() * 4) == 0;
    SDL_SetRenderTarget(windowRenderer_, nullptr);
    return ok;
  }

 protected:
  void Redraw(const ScreenRect& rect) override {
    SDL_SetRenderTarget(windowRenderer_, target_);
    RepaintRect(windowRenderer_, presented_, rect);
    SDL_SetRenderTarget(windowRenderer_, nullptr);
  }

 private:
  SDL_Renderer* windowRenderer_;
  SDL_Texture* target_ = nullptr;
};

// Without one: the game area is a surface drawn by a software renderer of
// its own, pixel-exact however little of it is redrawn.
class SoftwareWindowDevice final : public WindowDevice {
 public:
  SoftwareWindowDevice(int w, int h, Compose compose)
      : WindowDevice(w, h, std::move(compose)), canvas_(std::make_unique<SoftwareCanvas>(w, h)) {}
  ~SoftwareWindowDevice() override {
    presented_.clear();
    recording_.clear();
    canvas_.reset();
  }
  bool Ok() const override { return canvas_->Ok(); }
  SDL_Surface* Surface() const override { return canvas_->Surface(); }

  TexturePtr CreateTexture(int width, int height, const uint32_t* argb) override {
    return CreateSdlTexture(canvas_->Renderer(), width, height, argb);
  }

  bool ReadPixels(std::vector<uint32_t>& argb) override {
    if (!Ok()) return false;
    UpdateGameArea();
    CopySurfacePixels(canvas_->Surface(), Width(), Height(), argb);
    return true;
  }

 protected:
  void Redraw(const ScreenRect& rect) override { canvas_->Draw(presented_, rect); }

 private:
  std::unique_ptr<SoftwareCanvas> canvas_;
};
}  // namespace

std::unique_ptr<WindowDevice> WindowDevice::Create(SDL_Renderer* windowRenderer, bool software, int w, int h,
                                                   Compose compose) {
  std::unique_ptr<WindowDevice> device;
  if (software)
    device = std::make_unique<SoftwareWindowDevice>(w, h, std::move(compose));
  else
    device = std::make_unique<GpuWindowDevice>(windowRenderer, w, h, std::move(compose));
  if (!device->Ok()) return nullptr;
  return device;
}

WindowDevice::WindowDevice(int w, int h, Compose compose) : Device(w, h), compose_(std::move(compose)) {
  damage_ = ScreenRect{0, 0, w, h};
}

void WindowDevice::UpdateGameArea() {
  if (damage_.Empty() || !Ok()) return;
  Redraw(damage_);
  damage_ = ScreenRect{};
}

void WindowDevice::PresentFrame() {
  // A frame like the last one shown costs nothing; one that differs redraws
  // and shows only what changed, unless the window needs a whole repaint.
  ScreenRect changed;
  if (FinishFrame(&changed)) damage_ = UnionRect(damage_, changed);
  if (damage_.Empty() && !windowDirty_) return;
  ScreenRect shown = damage_;
  UpdateGameArea();
  bool whole = windowDirty_;
  windowDirty_ = false;
  compose_(whole ? nullptr : &shown);
}

SDL_Rect WindowRectOf(const ScreenRect& r, int gameW, int gameH, const SDL_Rect& area) {
  if (r.Empty() || gameW <= 0 || gameH <= 0) return SDL_Rect{0, 0, 0, 0};
  // 64-bit products: a huge full-screen area must not overflow.
  auto lo = [](int v, int scaled, int full) { return int(int64_t(v) * scaled / full) - 1; };
  auto hi = [](int v, int scaled, int full) { return int((int64_t(v) * scaled + full - 1) / full) + 1; };
  // A game pixel also tints its neighbours' window pixels when filtered.
  const int gx0 = std::max(0, r.x - 1), gx1 = std::min(gameW, r.x + r.w + 1);
  const int gy0 = std::max(0, r.y - 1), gy1 = std::min(gameH, r.y + r.h + 1);
  int x0 = std::max(area.x, area.x + lo(gx0, area.w, gameW)), x1 = std::min(area.x + area.w, area.x + hi(gx1, area.w, gameW));
  int y0 = std::max(area.y, area.y + lo(gy0, area.h, gameH)), y1 = std::min(area.y + area.h, area.y + hi(gy1, area.h, gameH));
  return SDL_Rect{x0, y0, std::max(0, x1 - x0), std::max(0, y1 - y0)};
}

namespace {
// A game pixel as shown over black: colour times alpha.
inline uint32_t OverBlack(uint32_t p) {
  const uint32_t a = p >> 24;
  if (a == 0xFF) return p & 0xFFFFFF;
  auto ch = [&](int shift) { return ((p >> shift & 0xFF) * a + 127) / 255 << shift; };
  return ch(16) | ch(8) | ch(0);
}

// Where window pixel i (0 at the area's edge) samples the game along one
// axis: the nearest pixel, or two pixels and the second's weight in 1/256.
struct Tap {
  int a, b;
  uint32_t w;
};
Tap NearestTap(int i, int areaLen, int gameLen) {
  const int s = std::min(gameLen - 1, int((int64_t(i) * 2 + 1) * gameLen / (int64_t(areaLen) * 2)));
  return Tap{s, s, 0};
}
Tap LinearTap(int i, int areaLen, int gameLen) {
  // The window pixel's centre in game coordinates, from pixel centres.
  const int64_t num = (int64_t(i) * 2 + 1) * gameLen - areaLen;  // 2·areaLen·u
  if (num <= 0) return Tap{0, 0, 0};
  const int64_t den = int64_t(areaLen) * 2;
  const int s = int(num / den);
  if (s >= gameLen - 1) return Tap{gameLen - 1, gameLen - 1, 0};
  return Tap{s, s + 1, uint32_t((num % den) * 256 / den)};
}
inline uint32_t Mix(uint32_t p, uint32_t q, uint32_t w) {
  if (w == 0) return p;
  uint32_t out = 0;
  for (int shift : {0, 8, 16}) {
    const uint32_t a = p >> shift & 0xFF, b = q >> shift & 0xFF;
    out |= ((a * (256 - w) + b * w + 128) >> 8) << shift;
  }
  return out;
}
}  // namespace

void ScaleGameArea(SDL_Surface* game, SDL_Surface* window, const SDL_Rect& area, const SDL_Rect& clip, bool smooth) {
  SDL_Rect r;
  if (!game || !window || area.w <= 0 || area.h <= 0 || !SDL_IntersectRect(&area, &clip, &r)) return;
  SDL_Rect bounds{0, 0, window->w, window->h};
  if (!SDL_IntersectRect(&r, &bounds, &r)) return;
  // At the game's own size filtering changes nothing: the cheaper path.
  if (area.w == game->w && area.h == game->h) smooth = false;
  auto tap = smooth ? LinearTap : NearestTap;
  std::vector<Tap> column(size_t(r.w));
  for (int i = 0; i < r.w; ++i) column[size_t(i)] = tap(r.x + i - area.x, area.w, game->w);
  std::vector<uint32_t> row(size_t(r.w));
  SDL_LockSurface(game);
  SDL_LockSurface(window);
  auto line = [&](int sy) {
    return reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(game->pixels) + size_t(sy) * game->pitch);
  };
  for (int y = r.y; y < r.y + r.h; ++y) {
    const Tap ty = tap(y - area.y, area.h, game->h);
    const uint32_t* top = line(ty.a);
    const uint32_t* bottom = line(ty.b);
    for (int i = 0; i < r.w; ++i) {
      const Tap& tx = column[size_t(i)];
      uint32_t p = OverBlack(top[tx.a]);
      if (smooth) {
        p = Mix(Mix(p, OverBlack(top[tx.b]), tx.w), Mix(OverBlack(bottom[tx.a]), OverBlack(bottom[tx.b]), tx.w), ty.w);
      }
      row[size_t(i)] = p | 0xFF000000u;
    }
    uint8_t* dst = static_cast<uint8_t*>(window->pixels) + size_t(y) * window->pitch +
                   size_t(r.x) * window->format->BytesPerPixel;
    SDL_ConvertPixels(r.w, 1, SDL_PIXELFORMAT_ARGB8888, row.data(), r.w * 4, window->format->format, dst, window->pitch);
  }
  SDL_UnlockSurface(window);
  SDL_UnlockSurface(game);
}

}  // namespace platform
