// The real window: SDL window and renderer, our menu bar above the 640 x 480
// game area, letterboxed scaling, full screen toggle and in-window dialogs.
#include "platform/window/SdlWindow.h"

#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "platform/draw/RendererChoice.h"
#include "platform/draw/SdlTexture.h"
#include "platform/draw/WindowDevice.h"
#include "platform/text/Font.h"
#include "platform/text/TextCodec.h"
#include "platform/window/DisplayDriver.h"
#include "platform/window/SdlEvent.h"
#include "platform/window/SdlMenuBar.h"
#include "platform/window/Host.h"
#include "platform/window/SdlUi.h"
#include "platform/window/Window.h"

namespace platform {

namespace {
// The menu bar's face: the Windows one where fontconfig knows it, else IPA.
std::unique_ptr<Font> OpenMenuBarFont() {
  std::unique_ptr<Font> font = OpenFont("MS UI Gothic", 14, false, false);
  return font ? std::move(font) : OpenFont("IPAPGothic", 14, false, false);
}
constexpr uint32_t kHighlight = 0xFF3875D7;

class SdlWindow : public Window {
 public:
  explicit SdlWindow(const WindowConfig& c) : config_(c) {}
  ~SdlWindow() override { Teardown(); }

  bool Init() {
    // The close box alone asks the player; SDL would also turn it into a
    // second quit event, and SIGINT/SIGTERM into a question nobody may be
    // there to answer (saves are written crash-safe, so a signal may just end us).
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS | SDL_INIT_TIMER) != 0) {
      std::fprintf(stderr, "SDL video: %s\n", SDL_GetError());
      return false;
    }
    const char* driver = SDL_GetCurrentVideoDriver();
    if (ShowsNoWindow(SDL_getenv("SDL_VIDEODRIVER"), driver)) {
      std::fprintf(stderr, "SDL video: no display to show the window on (only the '%s' driver); "
                           "SDL_VIDEODRIVER=dummy runs without one\n", driver ? driver : "none");
      return false;
    }
    eventsCanWait_ = !driver || (std::strcmp(driver, "dummy") != 0 && std::strcmp(driver, "offscreen") != 0);
    wakeEvent_ = SDL_RegisterEvents(1);
    std::string title = Cp932ToUtf8(config_.title);
    int menu = config_.hasMenu ? SdlMenuBar::kHeight : 0;
    window_ = SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, config_.width,
                               config_.height + menu, SDL_WINDOW_RESIZABLE | SDL_WINDOW_HIDDEN);
    if (!window_) return false;
    SetIcon();
    renderer_ = CreateWindowRenderer(window_, software_);
    if (!renderer_) return false;
    device_ = WindowDevice::Create(renderer_, software_, config_.width, config_.height,
                                   [this](const ScreenRect* changed) { Compose(changed); });
    if (!device_) return false;
    uiFont_ = OpenMenuBarFont();
    if (config_.hasMenu) {
      SdlMenuBar::Host host;
      host.choose = [this](uint32_t command) { Enqueue(Message{WM_COMMAND, command, 0}); };
      host.redraw = [this](bool gameUnder) {
        if (gameUnder) device_->MarkDirty();
        Compose();
      };
      host.passOn = [](const SDL_Event& e) { OfferSdlEvent(e); };
      menuBar_ = std::make_unique<SdlMenuBar>(renderer_, uiFont_.get(), config_, std::move(host));
    }
    SDL_GetWindowSize(window_, &windowedW_, &windowedH_);
    return true;
  }

  bool Headless() const override { return false; }
  Device& GetDevice() override { return *device_; }
  void Show() override {
    if (window_) SDL_ShowWindow(window_);
  }
  // The window disappears at once; the renderer (and so every texture made
  // on it) lives until this object is destroyed, after the game has let go of
  // its textures.
  void Destroy() override {
    if (window_) SDL_HideWindow(window_);
    destroyed_ = true;
  }
  void Teardown() {
    menuBar_.reset();
    dialog_.reset();
    device_.reset();
    uiFont_.reset();
    DestroySdlRenderer(renderer_);
    if (window_) SDL_DestroyWindow(window_);
    renderer_ = nullptr;
    window_ = nullptr;
  }
  bool Minimized() const override { return window_ && (SDL_GetWindowFlags(window_) & SDL_WINDOW_MINIMIZED); }
  bool Focused() const override { return window_ && (SDL_GetWindowFlags(window_) & SDL_WINDOW_INPUT_FOCUS); }

  void WaitMessage(uint32_t timeoutMs) override {
    if (!QueueEmpty()) return;
    // In the browser the thread goes to the page until its next animation
    // frame, and again until an event comes or the time is up. A wait of
    // nothing still hands it over, or a loop that polls (a modal screen's)
    // would never let the page draw. SDL's own wait would sleep 1 ms at a
    // time, each sleep a trip through the page's timers: a 16 ms step then
    // took about 50 ms.
    if (!WorkerThreads()) {
      const uint64_t end = SDL_GetTicks64() + timeoutMs;
      do {
        LetHostRun();
        SDL_PumpEvents();
      } while (QueueEmpty() && !SDL_HasEvents(SDL_FIRSTEVENT, SDL_LASTEVENT) && SDL_GetTicks64() < end);
      return;
    }
    // Drivers without an event source to block on would have SDL poll every
    // millisecond; only posted messages can arrive there.
    if (eventsCanWait_)
      SDL_WaitEventTimeout(nullptr, int(timeoutMs));
    else
      WaitPosted(timeoutMs);
  }

  int MessageBox(const std::string& text, const std::string& title, uint32_t type) override;

  // Draws menu bar, game area and any dialog, then presents. `changed`
  // limits it to the window pixels showing that game rectangle, where the
  // window keeps its pixels between frames (the software renderer).
  void Compose(const ScreenRect* changed = nullptr) {
    if (!renderer_ || destroyed_) return;
    const int menu = MenuRoom();
    if (!software_) {
      int w, h;
      SDL_GetRendererOutputSize(renderer_, &w, &h);
      SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
      SDL_RenderClear(renderer_);
      SDL_Rect area = GameRect(w, h, menu);
      SDL_RenderCopy(renderer_, device_->Target(), nullptr, &area);
      if (menuBar_) menuBar_->Draw(w);
      if (dialog_) DrawDialog(area);
      SDL_RenderPresent(renderer_);
      return;
    }
    SDL_Surface* surface = SDL_GetWindowSurface(window_);
    if (!surface) return;
    SDL_Rect area = GameRect(surface->w, surface->h, menu);
    SDL_Rect clip = changed ? WindowRectOf(*changed, config_.width, config_.height, area)
                            : SDL_Rect{0, 0, surface->w, surface->h};
    if (clip.w <= 0 || clip.h <= 0) return;
    // The renderer draws into the same surface: its queue is flushed
    // around the game area's own copy.
    SDL_RenderSetClipRect(renderer_, &clip);
    if (!changed) {
      SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
      SDL_RenderClear(renderer_);
    }
    SDL_RenderFlush(renderer_);
    ScaleGameArea(device_->Surface(), surface, area, clip, !sharp_);
    if (menuBar_) menuBar_->Draw(surface->w);
    if (dialog_) DrawDialog(area);
    SDL_RenderSetClipRect(renderer_, nullptr);
    SDL_RenderFlush(renderer_);
    SDL_UpdateWindowSurfaceRects(window_, &clip, 1);
  }

 protected:
  // A message posted from another thread (the music's end) ends SDL's wait.
  void Wake() override {
    if (!eventsCanWait_ || wakeEvent_ == kNoEvent) return;
    SDL_Event e{};
    e.type = wakeEvent_;
    SDL_PushEvent(&e);
  }
  void PumpEvents() override {
    SDL_Event e;
    while (SDL_PollEvent(&e))
      if (!destroyed_) HandleEvent(e);
  }

 private:
  struct Dialog {
    Label text, title;
    std::vector<Label> buttons;
    std::vector<int> ids;
    int selected = 0;
    std::vector<SDL_Rect> buttonRects;
  };

  void SetIcon() {
    // A small generated icon: a message window on a dark blue field.
    const int n = 32;
    std::vector<uint32_t> px(n * n, 0xFF1E2A5Au);
    for (int y = 18; y < 28; ++y)
      for (int x = 3; x < 29; ++x) px[y * n + x] = (y == 18 || y == 27 || x == 3 || x == 28) ? 0xFFFFFFFF : 0xFF3A5FCD;
    for (int y = 6; y < 17; ++y)
      for (int x = 12; x < 20; ++x) px[y * n + x] = 0xFFF2C9A0;
    SDL_Surface* s = SDL_CreateRGBSurfaceWithFormatFrom(px.data(), n, n, 32, n * 4, SDL_PIXELFORMAT_ARGB8888);
    if (s) {
      SDL_SetWindowIcon(window_, s);
      SDL_FreeSurface(s);
    }
  }

  Label MakeLabel(const std::string& cp932) { return platform::MakeLabel(renderer_, uiFont_.get(), cp932); }
  void DrawLabel(const Label& l, int x, int y, uint32_t color) { platform::DrawLabel(renderer_, l, x, y, color); }
  void Fill(const SDL_Rect& r, uint32_t c) { platform::Fill(renderer_, r, c); }
  // Rows the menu bar takes above the game area.
  int MenuRoom() const { return menuBar_ ? menuBar_->Room() : 0; }

  void SetFullscreen(bool on) override {
    if (!window_ || Fullscreen() == on) return;
    ToggleFullscreen();
  }
  bool Fullscreen() const override {
    return window_ && (SDL_GetWindowFlags(window_) & SDL_WINDOW_FULLSCREEN_DESKTOP);
  }
  void WindowedSize(int& w, int& h) const override { w = windowedW_, h = windowedH_; }
  void SetWindowedSize(int w, int h) override {
    if (!window_ || w <= 0 || h <= 0) return;
    // In full screen SDL keeps it for when the window comes back.
    SDL_SetWindowSize(window_, w, h);
    windowedW_ = w;
    windowedH_ = h;
  }
  void SetMenuCheck(uint32_t command, bool on) override {
    if (menuBar_) menuBar_->SetCheck(command, on);
  }
  bool MenuChecked(uint32_t command) const override { return menuBar_ && menuBar_->Checked(command); }
  void SetSharpScaling(bool sharp) override {
    if (sharp == sharp_) return;
    sharp_ = sharp;
    if (SDL_Texture* target = device_ ? device_->Target() : nullptr) {
      if (sharp) SDL_GetTextureScaleMode(target, &smoothMode_);
      SDL_SetTextureScaleMode(target, sharp ? SDL_ScaleModeNearest : smoothMode_);
    }
    device_->MarkDirty();
    Compose();
  }

  SDL_Rect GameRect(int w, int h, int menu) const {
    int availH = std::max(1, h - menu);
    if (sharp_) {
      // The largest whole multiple that fits, centred; below 1x it fits as usual.
      int k = std::min(w / config_.width, availH / config_.height);
      if (k >= 1) {
        int gw = config_.width * k, gh = config_.height * k;
        return SDL_Rect{(w - gw) / 2, menu + (availH - gh) / 2, gw, gh};
      }
    }
    // Letterbox: keep the game area's aspect.
    int gw = w, gh = w * config_.height / config_.width;
    if (gh > availH) {
      gh = availH;
      gw = availH * config_.width / config_.height;
    }
    return SDL_Rect{(w - gw) / 2, menu + (availH - gh) / 2, gw, gh};
  }

  void DrawDialog(const SDL_Rect& area) {
    Dialog& d = *dialog_;
    int bw = 0;
    for (auto& b : d.buttons) bw += std::max(b.w + 24, 80) + 12;
    int width = std::max({d.text.w + 48, d.title.w + 48, bw + 24, 260});
    int height = 28 + d.text.h + 24 + 30 + 16;
    SDL_Rect box{area.x + (area.w - width) / 2, area.y + (area.h - height) / 2, width, height};
    Fill(SDL_Rect{box.x - 1, box.y - 1, box.w + 2, box.h + 2}, 0xFF404040);
    Fill(box, 0xFFF4F4F4);
    Fill(SDL_Rect{box.x, box.y, box.w, 26}, 0xFF2B4C8C);
    DrawLabel(d.title, box.x + 10, box.y + (26 - d.title.h) / 2, 0xFFFFFFFF);
    DrawLabel(d.text, box.x + 24, box.y + 40, 0xFF000000);
    int x = box.x + (box.w - bw) / 2 + 6;
    d.buttonRects.clear();
    for (size_t i = 0; i < d.buttons.size(); ++i) {
      int bwi = std::max(d.buttons[i].w + 24, 80);
      SDL_Rect r{x, box.y + box.h - 44, bwi, 28};
      Fill(SDL_Rect{r.x - 1, r.y - 1, r.w + 2, r.h + 2}, int(i) == d.selected ? kHighlight : 0xFF909090);
      Fill(r, int(i) == d.selected ? 0xFFDCE6F8 : 0xFFE6E6E6);
      DrawLabel(d.buttons[i], r.x + (r.w - d.buttons[i].w) / 2, r.y + (r.h - d.buttons[i].h) / 2, 0xFF000000);
      d.buttonRects.push_back(r);
      x += bwi + 12;
    }
  }

  void ToggleFullscreen() {
    bool full = SDL_GetWindowFlags(window_) & SDL_WINDOW_FULLSCREEN_DESKTOP;
    SDL_SetWindowFullscreen(window_, full ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP);
    if (menuBar_) menuBar_->SetFullscreen(Fullscreen());
    device_->MarkDirty();
  }

  // The game area's place in the window now (letterboxed, below the menu bar).
  GameArea CurrentGameArea() const {
    int w = 0, h = 0;
    SDL_GetWindowSize(window_, &w, &h);
    SDL_Rect r = GameRect(w, h, MenuRoom());
    return GameArea{r.x, r.y, r.w, r.h, config_.width, config_.height};
  }

  // Mouse events the menu bar did not take go to the hooks in game-area pixels.
  void OfferMouse(const SDL_Event& e) {
    GameArea area = CurrentGameArea();
    int32_t gx = 0, gy = 0;
    if (e.type == SDL_MOUSEMOTION) {
      WindowToGame(area, e.motion.x, e.motion.y, gx, gy);
      OfferEvent(Event::MouseMove(gx, gy));
    } else if (e.type == SDL_MOUSEWHEEL) {
      if (e.wheel.y == 0) return;
      int mx = 0, my = 0;
      SDL_GetMouseState(&mx, &my);
      WindowToGame(area, mx, my, gx, gy);
      int steps = e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -e.wheel.y : e.wheel.y;
      Event w = Event::Wheel(static_cast<int8_t>(std::clamp(steps, -1, 1)));
      w.x = gx;
      w.y = gy;
      OfferEvent(w);
    } else {
      MouseButton b = e.button.button == SDL_BUTTON_LEFT    ? MouseButton::Left
                      : e.button.button == SDL_BUTTON_RIGHT ? MouseButton::Right
                                                            : MouseButton::Middle;
      WindowToGame(area, e.button.x, e.button.y, gx, gy);
      OfferEvent(Event::MouseClick(b, e.type == SDL_MOUSEBUTTONDOWN, gx, gy));
    }
  }

  // Hands what the engine reads of an SDL event to the event hooks.
  static void OfferSdlEvent(const SDL_Event& sdl) {
    Event e;
    if (FromSdlEvent(sdl, e)) OfferEvent(e);
  }

  void HandleEvent(const SDL_Event& e) {
    if (e.type == wakeEvent_) return;  // its message is queued already
    if (menuBar_ && menuBar_->Take(e)) return;
    switch (e.type) {
      case SDL_QUIT: Enqueue(Message{WM_CLOSE, 0, 0}); return;
      case SDL_WINDOWEVENT:
        switch (e.window.event) {
          case SDL_WINDOWEVENT_CLOSE: Enqueue(Message{WM_CLOSE, 0, 0}); break;
          case SDL_WINDOWEVENT_MINIMIZED: Enqueue(Message{WM_ACTIVATE, uintptr_t(1) << 16, 0}); break;
          case SDL_WINDOWEVENT_RESTORED:
          case SDL_WINDOWEVENT_MAXIMIZED:
            Enqueue(Message{WM_ACTIVATE, 1, 0});
            device_->MarkDirty();
            break;
          case SDL_WINDOWEVENT_SIZE_CHANGED:
            // The size the player gives the window; not full screen's, nor a maximised one.
            if (!(SDL_GetWindowFlags(window_) & (SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_MAXIMIZED)))
              SDL_GetWindowSize(window_, &windowedW_, &windowedH_);
            [[fallthrough]];
          case SDL_WINDOWEVENT_EXPOSED:
            device_->MarkDirty();
            Enqueue(Message{WM_PAINT, 0, 0});
            break;
          default: break;
        }
        break;
      case SDL_MOUSEMOTION:
        Enqueue(Message{WM_MOUSEMOVE, 0, 0});
        OfferMouse(e);
        return;
      case SDL_MOUSEBUTTONDOWN:
      case SDL_MOUSEBUTTONUP:
      case SDL_MOUSEWHEEL:
        OfferMouse(e);
        return;
      case SDL_KEYDOWN:
        if (Event k; FromSdlEvent(e, k) && TakeWindowKey(k, e.key.keysym.mod & KMOD_ALT)) return;
        break;
      default: break;
    }
    OfferSdlEvent(e);
  }

  WindowConfig config_;
  SDL_Window* window_ = nullptr;
  SDL_Renderer* renderer_ = nullptr;
  bool software_ = false;  // software renderer on the window surface
  bool eventsCanWait_ = true;
  static constexpr uint32_t kNoEvent = uint32_t(-1);
  uint32_t wakeEvent_ = kNoEvent;
  std::unique_ptr<WindowDevice> device_;
  std::unique_ptr<Font> uiFont_;
  std::unique_ptr<SdlMenuBar> menuBar_;  // none when the window has no menu
  int windowedW_ = 0, windowedH_ = 0;    // the window's size out of full screen
  bool destroyed_ = false;
  bool sharp_ = false;
  SDL_ScaleMode smoothMode_ = SDL_ScaleModeLinear;
  std::unique_ptr<Dialog> dialog_;
};

int SdlWindow::MessageBox(const std::string& text, const std::string& title, uint32_t type) {
  if (!renderer_) {
    std::fprintf(stderr, "[dialog] %s: %s\n", Cp932ToUtf8(title).c_str(), Cp932ToUtf8(text).c_str());
    return (type & 0xF) == MB_YESNO ? IDYES : IDOK;
  }
  auto d = std::make_unique<Dialog>();
  d->text = MakeLabel(text);
  d->title = MakeLabel(title);
  if ((type & 0xF) == MB_YESNO) {
    d->buttons = {MakeLabel(SJ("はい(Y)")), MakeLabel(SJ("いいえ(N)"))};
    d->ids = {IDYES, IDNO};
  } else {
    d->buttons = {MakeLabel("OK")};
    d->ids = {IDOK};
  }
  dialog_ = std::move(d);
  if (menuBar_) menuBar_->Close();
  device_->UpdateGameArea();
  int answer = 0;
  bool redraw = true;
  while (answer == 0) {
    // Repaint only after something happened: a waiting box costs nothing.
    if (redraw) Compose();
    redraw = false;
    SDL_Event e;
    if (!SDL_WaitEventTimeout(&e, 250) || e.type == wakeEvent_) continue;
    redraw = true;
    if (e.type == SDL_WINDOWEVENT && e.window.event == SDL_WINDOWEVENT_EXPOSED) device_->MarkDirty();
    Dialog& dl = *dialog_;
    int n = int(dl.ids.size());
    if (e.type == SDL_KEYDOWN) {
      switch (e.key.keysym.sym) {
        case SDLK_LEFT: dl.selected = (dl.selected + n - 1) % n; break;
        case SDLK_RIGHT:
        case SDLK_TAB: dl.selected = (dl.selected + 1) % n; break;
        case SDLK_RETURN:
        case SDLK_KP_ENTER:
        case SDLK_SPACE: answer = dl.ids[dl.selected]; break;
        case SDLK_ESCAPE: answer = n == 2 ? IDNO : IDOK; break;
        case SDLK_y: if (n == 2) answer = IDYES; break;
        case SDLK_n: if (n == 2) answer = IDNO; break;
        default: break;
      }
    } else if (e.type == SDL_MOUSEBUTTONDOWN && e.button.button == SDL_BUTTON_LEFT) {
      SDL_Point p{e.button.x, e.button.y};
      for (size_t i = 0; i < dl.buttonRects.size(); ++i)
        if (SDL_PointInRect(&p, &dl.buttonRects[i])) answer = dl.ids[i];
    } else if (e.type == SDL_MOUSEMOTION) {
      SDL_Point p{e.motion.x, e.motion.y};
      for (size_t i = 0; i < dl.buttonRects.size(); ++i)
        if (SDL_PointInRect(&p, &dl.buttonRects[i])) dl.selected = int(i);
    } else if (e.type == SDL_WINDOWEVENT && e.window.event == SDL_WINDOWEVENT_CLOSE) {
      answer = n == 2 ? IDNO : IDOK;
    } else if (e.type == SDL_MOUSEBUTTONUP) {
      OfferMouse(e);  // a button held into the box is let go outside it
    } else if (e.type == SDL_KEYUP || e.type == SDL_CONTROLLERBUTTONUP || e.type == SDL_CONTROLLERAXISMOTION ||
               e.type == SDL_CONTROLLERDEVICEADDED || e.type == SDL_CONTROLLERDEVICEREMOVED) {
      // Releases and pad changes still reach the input unit, so that nothing
      // stays held after the box closes.
      OfferSdlEvent(e);
    }
  }
  dialog_.reset();
  device_->MarkDirty();
  Compose();
  TraceDialog(title, text, answer);
  return answer;
}

}  // namespace

std::unique_ptr<Window> CreateSdlWindow(const WindowConfig& config) {
  auto w = std::make_unique<SdlWindow>(config);
  if (!w->Init()) return nullptr;
  return w;
}

void PrepareWindowFonts() { OpenMenuBarFont(); }

}  // namespace platform
