// A real window (SDL's dummy video driver in the tests) redraws only what a
// frame changed, yet shows exactly what a whole repaint would, also scaled.
#include <SDL.h>
#include <gtest/gtest.h>

#include <random>

#include "platform/draw/Device.h"
#include "platform/draw/OffscreenDevice.h"
#include "platform/draw/WindowDevice.h"
#include "platform/text/TextCodec.h"
#include "platform/window/Window.h"

using namespace platform;

namespace {
constexpr int kW = 160, kH = 120, kMenu = 22;

void Quad(Device& d, const TexturePtr& tex, float x, float y, float w, float h, float u0 = 0, float u1 = 1) {
  Vertex v[4] = {{x, y, 0.5f, 1, 0xFFFFFFFF, u0, 0},
                 {x + w, y, 0.5f, 1, 0xFFFFFFFF, u1, 0},
                 {x + w, y + h, 0.5f, 1, 0xFFFFFFFF, u1, 1},
                 {x, y + h, 0.5f, 1, 0xFFFFFFFF, u0, 1}};
  d.DrawQuad(v, tex);
}

struct Scene {
  TexturePtr background, window, cursor;
  explicit Scene(Device& d) {
    std::mt19937 rng(3);
    auto make = [&](int w, int h) {
      std::vector<uint32_t> px(size_t(w) * h);
      for (auto& p : px) p = rng() | 0xFF000000u;
      return d.CreateTexture(w, h, px.data());
    };
    background = make(64, 48);
    window = make(150, 30);
    cursor = make(24, 8);
  }
  // The still screen: a stretched, filtered background, the message window
  // and the wait cursor in its animation frame `f`.
  void Draw(Device& d, int f) const {
    d.Clear(0xFF000000);
    d.SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_LINEAR);
    Quad(d, background, 4, 4, kW - 8, kH - 8);
    d.SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_POINT);
    Quad(d, window, 5, 85, 150, 30);
    Quad(d, cursor, 140, 104, 6, 8, f * 0.25f, f * 0.25f + 0.25f);
    d.Present();
  }
};

SDL_Window* FindWindow(const char* title) {
  for (Uint32 id = 1; id < 256; ++id)
    if (SDL_Window* w = SDL_GetWindowFromID(id); w && std::string(SDL_GetWindowTitle(w)) == title) return w;
  return nullptr;
}

// The game-area pixels of the window surface, 0xRRGGBB.
std::vector<uint32_t> Shown(SDL_Window* w, const SDL_Rect& area) {
  SDL_Surface* s = SDL_GetWindowSurface(w);
  std::vector<uint32_t> out;
  if (!s) return out;
  SDL_Surface* argb = SDL_ConvertSurfaceFormat(s, SDL_PIXELFORMAT_ARGB8888, 0);
  for (int y = area.y; y < area.y + area.h; ++y)
    for (int x = area.x; x < area.x + area.w; ++x)
      out.push_back(reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(argb->pixels) + y * argb->pitch)[x] & 0xFFFFFF);
  SDL_FreeSurface(argb);
  return out;
}

// What a whole-window copy of the game pixels shows at `area`.
std::vector<uint32_t> Expected(std::vector<uint32_t> game, int windowW, int windowH, const SDL_Rect& area,
                               bool smooth = true) {
  SDL_Surface* g = SDL_CreateRGBSurfaceWithFormatFrom(game.data(), kW, kH, 32, kW * 4, SDL_PIXELFORMAT_ARGB8888);
  SDL_Surface* w = SDL_CreateRGBSurfaceWithFormat(0, windowW, windowH, 32, SDL_PIXELFORMAT_RGB888);
  ScaleGameArea(g, w, area, SDL_Rect{0, 0, windowW, windowH}, smooth);
  std::vector<uint32_t> out;
  for (int y = area.y; y < area.y + area.h; ++y)
    for (int x = area.x; x < area.x + area.w; ++x)
      out.push_back(reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(w->pixels) + y * w->pitch)[x] & 0xFFFFFF);
  SDL_FreeSurface(w);
  SDL_FreeSurface(g);
  return out;
}
}  // namespace

TEST(WindowRepaint, PartialRepaintsShowWhatAWholeRepaintWould) {
  WindowConfig config;
  config.title = "repaint test";
  config.width = kW;
  config.height = kH;
  config.hasMenu = true;
  config.menuPopup = SJ("システム");
  config.menuItem = SJ("ゲームを終了する");
  auto window = Window::Create(config, false);
  ASSERT_TRUE(window);
  window->Show();
  SDL_Window* sdl = FindWindow("repaint test");
  ASSERT_TRUE(sdl);
  auto offscreen = CreateOffscreenDevice(kW, kH);
  ASSERT_TRUE(offscreen);
  Device& device = window->GetDevice();
  Scene onWindow(device), offWindow(*offscreen);

  std::vector<uint32_t> a, b;
  for (int step = 0; step < 8; ++step) {
    onWindow.Draw(device, step % 4);
    offWindow.Draw(*offscreen, step % 4);
    ASSERT_TRUE(device.ReadPixels(a));
    ASSERT_TRUE(offscreen->ReadPixels(b));
    ASSERT_EQ(a, b) << "step " << step;
    // One game pixel per window pixel below the menu bar.
    ASSERT_EQ(Shown(sdl, SDL_Rect{0, kMenu, kW, kH}), Expected(a, kW, kH + kMenu, SDL_Rect{0, kMenu, kW, kH}))
        << "step " << step;
  }

  // Resized: letterboxed and scaled; the first frame after it shows the
  // whole window, the cursor's next frames only their part.
  SDL_SetWindowSize(sdl, 400, 300);
  window->PeekMessage();
  // Height 278 below the menu bar limits the 4:3 area to 370 x 278.
  const SDL_Rect area{15, kMenu, 370, 278};
  for (int step = 0; step < 6; ++step) {
    onWindow.Draw(device, step % 4);
    ASSERT_TRUE(device.ReadPixels(a));
    ASSERT_EQ(Shown(sdl, area), Expected(a, 400, 300, area)) << "scaled step " << step;
  }
  // Fitted, the picture is filtered: edges blend instead of dropping pixels.
  EXPECT_NE(Expected(a, 400, 300, area, true), Expected(a, 400, 300, area, false));
  // Sharp scaling: the largest whole multiple that fits, centred, nearest
  // pixel, partial repaints included.
  window->SetSharpScaling(true);
  const int k = std::min(400 / kW, 278 / kH);
  ASSERT_GE(k, 1);
  const SDL_Rect sharp{(400 - kW * k) / 2, kMenu + (278 - kH * k) / 2, kW * k, kH * k};
  for (int step = 0; step < 4; ++step) {
    onWindow.Draw(device, step % 4);
    ASSERT_TRUE(device.ReadPixels(a));
    ASSERT_EQ(Shown(sdl, sharp), Expected(a, 400, 300, sharp, false)) << "sharp step " << step;
  }
}
