// Repainting only what a frame changed: the changed rectangle, and that a
// partial repaint leaves exactly the pixels a whole repaint would.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "platform/draw/Device.h"
#include "platform/draw/FrameDamage.h"
#include "platform/draw/ScreenRect.h"
#include "platform/draw/SdlReplay.h"
#include "platform/draw/SdlTexture.h"
#include "platform/draw/SoftwareCanvas.h"

using namespace platform;

namespace {
constexpr int kW = 160, kH = 120;
const ScreenRect kWhole{0, 0, kW, kH};

Device::Command Clear(uint32_t argb) {
  Device::Command c;
  c.clear = true;
  c.clearColor = argb;
  return c;
}

Device::Command Quad(float x, float y, float w, float h, TexturePtr tex = nullptr, uint32_t color = 0xFFFFFFFF,
                     bool linear = false) {
  Device::Command c;
  c.v[0] = {x, y, 0.5f, 1, color, 0, 0};
  c.v[1] = {x + w, y, 0.5f, 1, color, 1, 0};
  c.v[2] = {x + w, y + h, 0.5f, 1, color, 1, 1};
  c.v[3] = {x, y + h, 0.5f, 1, color, 0, 1};
  c.tex = std::move(tex);
  c.linear = linear;
  return c;
}

// A frame like the message window's: background, a picture, the window, the cursor.
std::vector<Device::Command> Scene(float cursorX, uint32_t clear = 0xFF000000) {
  return {Clear(clear), Quad(0, 0, kW, kH, nullptr, 0xFF336699), Quad(20, 10, 40, 80, nullptr, 0xFFCC9966),
          Quad(5, 80, 150, 35, nullptr, 0xC0000000), Quad(cursorX, 100, 8, 8, nullptr, 0xFFFFFFFF)};
}
}  // namespace

TEST(ChangedRect, FollowsTheQuadsThatDiffer) {
  EXPECT_TRUE(ChangedRect(Scene(140), Scene(140), kW, kH).Empty());
  // Only the cursor moved: its old and new places, a pixel wider each side.
  EXPECT_EQ(ChangedRect(Scene(140), Scene(141.5f), kW, kH), (ScreenRect{139, 99, 12, 10}));
  // A quad shown or hidden in the middle: the lists differ in length, only it counts.
  auto shown = Scene(140);
  shown.insert(shown.begin() + 3, Quad(30.25f, 20, 10, 10));
  EXPECT_EQ(ChangedRect(Scene(140), shown, kW, kH), (ScreenRect{29, 19, 13, 12}));
  EXPECT_EQ(ChangedRect(shown, Scene(140), kW, kH), (ScreenRect{29, 19, 13, 12}));
  // Two quads that differ far apart: one rectangle holding both.
  auto two = Scene(140);
  two[2] = Quad(20, 11, 40, 80, nullptr, 0xFFCC9966);
  EXPECT_EQ(ChangedRect(Scene(141), two, kW, kH), (ScreenRect{19, 9, 131, 100}));
}

TEST(ChangedRect, WholeScreenWhenTheFrameStartsDifferently) {
  EXPECT_EQ(ChangedRect(Scene(140), Scene(140, 0xFF102030), kW, kH), kWhole);  // clear colour
  EXPECT_EQ(ChangedRect({}, Scene(140), kW, kH), kWhole);                        // the first frame
  auto noClear = Scene(140);
  noClear.erase(noClear.begin());
  EXPECT_EQ(ChangedRect(Scene(140), noClear, kW, kH), kWhole);
  EXPECT_EQ(ChangedRect(Scene(140), {}, kW, kH), kWhole);
}

TEST(ChangedRect, OddCoordinatesStayOnTheScreen) {
  auto odd = Scene(140);
  odd[4] = Quad(std::nanf(""), 100, 8, 8);
  EXPECT_EQ(ChangedRect(Scene(140), odd, kW, kH), kWhole);
  odd[4] = Quad(150, 100, 1e30f, 8);  // far off the right edge: clipped, no overflow
  EXPECT_EQ(ChangedRect(Scene(150), odd, kW, kH), (ScreenRect{149, 99, 11, 10}));
  odd[4] = Quad(-500, -500, 10, 10);  // wholly off screen: only the old place
  EXPECT_EQ(ChangedRect(Scene(150), odd, kW, kH), (ScreenRect{149, 99, 10, 10}));
  EXPECT_EQ(UnionRect(ScreenRect{}, ScreenRect{1, 2, 3, 4}), (ScreenRect{1, 2, 3, 4}));
}

namespace {
std::vector<uint32_t> Pixels(SDL_Surface* s) {
  std::vector<uint32_t> px(size_t(kW) * kH);
  for (int y = 0; y < kH; ++y)
    std::memcpy(&px[size_t(y) * kW], static_cast<uint8_t*>(s->pixels) + size_t(y) * s->pitch, kW * 4);
  return px;
}

// The reference: repainted whole every frame, as the off-screen device does.
class WholeCanvas {
 public:
  WholeCanvas() {
    surface_ = SDL_CreateRGBSurfaceWithFormat(0, kW, kH, 32, SDL_PIXELFORMAT_ARGB8888);
    renderer_ = surface_ ? SDL_CreateSoftwareRenderer(surface_) : nullptr;
  }
  ~WholeCanvas() {
    DestroySdlRenderer(renderer_);
    SDL_FreeSurface(surface_);
  }
  SDL_Renderer* Renderer() const { return renderer_; }
  std::vector<uint32_t> Draw(const std::vector<Device::Command>& frame) {
    SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
    SDL_RenderClear(renderer_);
    ReplayCommands(renderer_, frame);
    SDL_RenderFlush(renderer_);
    return Pixels(surface_);
  }

 private:
  SDL_Surface* surface_ = nullptr;
  SDL_Renderer* renderer_ = nullptr;
};

TexturePtr Pattern(SDL_Renderer* r, int w, int h, uint32_t seed) {
  std::vector<uint32_t> px(size_t(w) * h);
  std::mt19937 rng(seed);
  for (auto& p : px) p = rng() | (seed % 3 == 0 ? 0xFF000000u : 0u);  // some with alpha, some opaque
  return CreateSdlTexture(r, w, h, px.data());
}
}  // namespace

// Random edits of a scene with stretched, filtered, translucent, skewed and
// fractionally placed quads: after every frame the partly redrawn canvas
// equals the wholly repainted one, pixel for pixel.
TEST(SoftwareCanvas, PartialRedrawGivesTheSamePixelsAsAWholeRepaint) {
  WholeCanvas whole;
  SoftwareCanvas part(kW, kH);
  ASSERT_TRUE(whole.Renderer() && part.Ok());
  // Textures live on one renderer each; the frames differ only in that.
  std::vector<TexturePtr> wt, pt;
  const int sizes[][2] = {{32, 24}, {16, 16}, {7, 5}, {160, 120}};
  for (uint32_t i = 0; i < 4; ++i) {
    wt.push_back(Pattern(whole.Renderer(), sizes[i][0], sizes[i][1], i + 1));
    pt.push_back(Pattern(part.Renderer(), sizes[i][0], sizes[i][1], i + 1));
  }
  struct Item {
    float x, y, w, h;
    int tex;  // -1: untextured
    uint32_t color;
    bool linear, skew;
  };
  std::mt19937 rng(7);
  auto rnd = [&](float lo, float hi) { return std::uniform_real_distribution<float>(lo, hi)(rng); };
  auto randomItem = [&] {
    int tex = int(rng() % 5) - 1;
    Item it{rnd(-20, kW), rnd(-20, kH), rnd(1, 90), rnd(1, 70), tex,
            uint32_t(rng()) | (rng() % 2 ? 0xFF000000u : 0u), rng() % 2 == 0, rng() % 4 == 0};
    if (tex >= 0 && rng() % 2) {  // half of the pictures one texel per pixel, at a whole pixel
      it.w = float(sizes[tex][0]);
      it.h = float(sizes[tex][1]);
      it.x = std::floor(it.x);
      it.y = std::floor(it.y);
    }
    return it;
  };
  // A stretched background under everything, like the game's.
  std::vector<Item> items{{4, 4, kW - 8, kH - 8, 3, 0xFFFFFFFF, true, false}};
  for (int i = 0; i < 6; ++i) items.push_back(randomItem());
  uint32_t clear = 0xFF000000;
  auto frame = [&](const std::vector<TexturePtr>& tex) {
    std::vector<Device::Command> f{Clear(clear)};
    for (const Item& it : items) {
      f.push_back(Quad(it.x, it.y, it.w, it.h, it.tex < 0 ? nullptr : tex[size_t(it.tex)], it.color, it.linear));
      if (it.skew) f.back().v[2].x += it.w / 3, f.back().v[0].y += it.h / 4;
    }
    return f;
  };
  std::vector<Device::Command> shown;
  for (int step = 0; step < 300; ++step) {
    switch (rng() % 10) {
      case 0: items.insert(items.begin() + 1 + rng() % items.size(), randomItem()); break;
      case 1: if (items.size() > 2) items.erase(items.begin() + 1 + rng() % (items.size() - 1)); break;
      case 2: if (rng() % 4 == 0) clear = uint32_t(rng()) | 0xFF000000u; break;
      case 3: items[0].color ^= 0x30000000u; break;  // the background fades
      default: {
        Item& it = items[1 + rng() % (items.size() - 1)];
        it.x += rng() % 2 ? std::round(rnd(-3, 3)) : rnd(-3, 3);
        it.y += rng() % 2 ? std::round(rnd(-3, 3)) : rnd(-3, 3);
        if (rng() % 3 == 0) it.color ^= 0x40204000u;
        break;
      }
    }
    auto fp = frame(pt);
    ScreenRect r = step == 0 ? kWhole : ChangedRect(shown, fp, kW, kH);
    part.Draw(fp, r);
    shown = fp;
    ASSERT_EQ(whole.Draw(frame(wt)), Pixels(part.Surface()))
        << "step " << step << " rect " << r.x << "," << r.y << " " << r.w << "x" << r.h;
  }
  EXPECT_LT(part.WholeRepaints(), 150);  // most frames were redrawn in part
}

// The message window's still screen: a stretched background, the window and
// the animated cursor. After the first change only the cursor is redrawn.
TEST(SoftwareCanvas, AnimatedCursorOverAStretchedBackgroundRedrawsOnlyTheCursor) {
  WholeCanvas whole;
  SoftwareCanvas part(kW, kH);
  ASSERT_TRUE(whole.Renderer() && part.Ok());
  std::vector<TexturePtr> textures[2];
  SDL_Renderer* renderers[2] = {whole.Renderer(), part.Renderer()};
  for (int i = 0; i < 2; ++i)
    for (uint32_t t = 0; t < 3; ++t) textures[i].push_back(Pattern(renderers[i], t == 0 ? 64 : 24, t == 0 ? 48 : 8, t + 3));
  auto frame = [&](int side, int cursor) {
    auto& tx = textures[side];
    std::vector<Device::Command> f{Clear(0xFF000000), Quad(2, 2, kW - 4, kH - 4, tx[0], 0xFFFFFFFF, true),
                                   Quad(10, 80, 24, 8, tx[1]), Quad(140, 100, 6, 8, tx[2])};
    f.back().v[0].u = f.back().v[3].u = cursor * 0.25f;
    f.back().v[1].u = f.back().v[2].u = cursor * 0.25f + 0.25f;
    return f;
  };
  part.Draw(frame(1, 0), kWhole);
  for (int step = 1; step < 20; ++step) {
    part.Draw(frame(1, step % 4), ChangedRect(frame(1, (step - 1) % 4), frame(1, step % 4), kW, kH));
    ASSERT_EQ(whole.Draw(frame(0, step % 4)), Pixels(part.Surface())) << "step " << step;
  }
  EXPECT_EQ(part.WholeRepaints(), 1);
  EXPECT_EQ(part.LayerBuilds(), 1);
}
