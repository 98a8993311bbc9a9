// The real window's menu bar (SDL's dummy video driver): above the game in a
// window; in full screen hidden over the game until the pointer reaches the
// top edge or Alt is tapped; F11 and Alt+Enter switch full screen in the
// window itself; check marks are kept per item.
#include <SDL.h>
#include <gtest/gtest.h>

#include "platform/text/TextCodec.h"
#include "platform/window/Window.h"

using namespace platform;

namespace {
constexpr int kW = 160, kH = 120;
constexpr uint32_t kBarColour = 0xF0F0F0, kSkipItem = 40003;

SDL_Window* FindWindow(const char* title) {
  for (Uint32 id = 1; id < 256; ++id)
    if (SDL_Window* w = SDL_GetWindowFromID(id); w && std::string(SDL_GetWindowTitle(w)) == title) return w;
  return nullptr;
}

// A pixel of the window surface, 0xRRGGBB.
uint32_t PixelAt(SDL_Window* w, int x, int y) {
  SDL_Surface* s = SDL_GetWindowSurface(w);
  if (!s) return 0;
  SDL_Surface* argb = SDL_ConvertSurfaceFormat(s, SDL_PIXELFORMAT_ARGB8888, 0);
  const uint32_t p = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(argb->pixels) + y * argb->pitch)[x] & 0xFFFFFF;
  SDL_FreeSurface(argb);
  return p;
}

void Push(Uint32 type, SDL_Keycode key, SDL_Scancode code, Uint16 mod = 0) {
  SDL_Event e{};
  e.type = type;
  e.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
  e.key.keysym.sym = key;
  e.key.keysym.scancode = code;
  e.key.keysym.mod = mod;
  SDL_PushEvent(&e);
}

void Motion(int x, int y) {
  SDL_Event e{};
  e.type = SDL_MOUSEMOTION;
  e.motion.x = x;
  e.motion.y = y;
  SDL_PushEvent(&e);
}

class MenuBarWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    WindowConfig config;
    config.title = "menu bar test";
    config.width = kW;
    config.height = kH;
    config.hasMenu = true;
    config.menuPopup = SJ("システム");
    config.menuExtras = {{SJ("既読スキップ"), kSkipItem}};
    config.menuItem = SJ("ゲームを終了する");
    config.menuCommand = 40001;
    window = Window::Create(config, false);
    ASSERT_TRUE(window);
    window->Show();
    sdl = FindWindow("menu bar test");
    ASSERT_TRUE(sdl);
    hook = Window::AddEventHook([this](const Event& e) {
      if (e.type == Event::Type::KeyDown) keysOffered.push_back(e.key);
    });
  }
  void TearDown() override { Window::RemoveEventHook(hook); }
  // Hands the pushed events to the window and draws a frame.
  void Pump() {
    window->PeekMessage();
    window->GetDevice().Clear(0xFF000000);
    window->GetDevice().Present();
  }
  bool BarShown() {
    int w = 0, h = 0;
    SDL_GetWindowSize(sdl, &w, &h);
    return PixelAt(sdl, w - 2, 2) == kBarColour;  // the bar's right end, clear of its title
  }
  std::unique_ptr<Window> window;
  SDL_Window* sdl = nullptr;
  int hook = 0;
  std::vector<Key> keysOffered;
};
}  // namespace

TEST_F(MenuBarWindow, FullScreenHidesTheBarUntilThePointerOrAltAsksForIt) {
  Pump();
  EXPECT_TRUE(BarShown());
  int w0 = 0, h0 = 0;
  window->WindowedSize(w0, h0);
  EXPECT_EQ(w0, kW);
  EXPECT_EQ(h0, kH + 22);

  Push(SDL_KEYDOWN, SDLK_F11, SDL_SCANCODE_F11);
  Pump();
  ASSERT_TRUE(window->Fullscreen());
  EXPECT_FALSE(BarShown());
  int w = 0, h = 0;
  window->WindowedSize(w, h);  // the window's own size is kept for its return
  EXPECT_EQ(w, w0);
  EXPECT_EQ(h, h0);

  Motion(100, 0);  // the top edge
  Pump();
  EXPECT_TRUE(BarShown());
  Motion(100, 200);
  Pump();
  EXPECT_FALSE(BarShown());

  Push(SDL_KEYDOWN, SDLK_LALT, SDL_SCANCODE_LALT);
  Push(SDL_KEYUP, SDLK_LALT, SDL_SCANCODE_LALT);
  Pump();
  EXPECT_TRUE(BarShown());
  Push(SDL_KEYDOWN, SDLK_z, SDL_SCANCODE_Z);
  Pump();
  EXPECT_FALSE(BarShown());

  // Alt+Enter leaves full screen; neither it nor F11 reached the game.
  Push(SDL_KEYDOWN, SDLK_LALT, SDL_SCANCODE_LALT, KMOD_LALT);
  Push(SDL_KEYDOWN, SDLK_RETURN, SDL_SCANCODE_RETURN, KMOD_LALT);
  Push(SDL_KEYUP, SDLK_RETURN, SDL_SCANCODE_RETURN, KMOD_LALT);
  Push(SDL_KEYUP, SDLK_LALT, SDL_SCANCODE_LALT);
  Pump();
  EXPECT_FALSE(window->Fullscreen());
  EXPECT_TRUE(BarShown());
  EXPECT_EQ(keysOffered, (std::vector<Key>{Key::LeftAlt, Key::Z, Key::LeftAlt}));
}

TEST_F(MenuBarWindow, ChecksAreKeptPerItemAndDrawnInTheList) {
  EXPECT_FALSE(window->MenuChecked(kSkipItem));
  Push(SDL_KEYDOWN, SDLK_F10, SDL_SCANCODE_F10);
  Pump();
  // The first item's row, left of its label, where a check mark goes.
  auto markArea = [&] {
    uint32_t lit = 0;
    for (int y = 22 + 6; y < 22 + 20; ++y)
      for (int x = 6; x < 18; ++x) lit += PixelAt(sdl, x, y) != kBarColour;
    return lit;
  };
  const uint32_t before = markArea();
  window->SetMenuCheck(kSkipItem, true);
  EXPECT_TRUE(window->MenuChecked(kSkipItem));
  EXPECT_FALSE(window->MenuChecked(40001));
  Pump();
  EXPECT_GT(markArea(), before + 6);
  window->SetMenuCheck(kSkipItem, false);
  Pump();
  EXPECT_EQ(markArea(), before);
}
