#pragma once
// Private to the platform library: the window's menu bar, drawn by us: the
// popup "システム" and its list of items (check marks beside those that
// are on), opened by a click or F10 and worked by the pointer or the keys.
// In full screen it is hidden over the game until asked for (MenuBarReveal).
#include <SDL.h>

#include <cstdint>
#include <functional>
#include <map>
#include <vector>

#include "platform/text/Font.h"
#include "platform/window/MenuBarReveal.h"
#include "platform/window/SdlUi.h"
#include "platform/window/Window.h"

namespace platform {

class SdlMenuBar {
 public:
  static constexpr int kHeight = 22;
  struct Host {
    std::function<void(uint32_t command)> choose;     // an item was chosen
    std::function<void(bool gameUnder)> redraw;       // gameUnder: the game area under the list or bar shows again
    std::function<void(const SDL_Event&)> passOn;     // a release the bar took still reaches the input unit
  };
  SdlMenuBar(SDL_Renderer* renderer, Font* font, const WindowConfig& config, Host host);

  // Rows the bar takes above the game area (none in full screen: it is drawn over it).
  int Room() const { return reveal_.Fullscreen() ? 0 : kHeight; }
  bool Shown() const { return reveal_.Shown(); }
  void SetFullscreen(bool on);
  // True when the bar took the event (window pixels).
  bool Take(const SDL_Event& e);
  void Draw(int windowWidth);
  // A dialog takes over: the list closes.
  void Close();
  void SetCheck(uint32_t command, bool on);
  bool Checked(uint32_t command) const;

 private:
  struct Item {
    Label label;
    uint32_t command = 0;
  };
  SDL_Rect PopupTitleRect() const { return SDL_Rect{4, 0, popup_.w + 16, kHeight}; }
  SDL_Rect ItemRect(size_t i) const;
  int ItemAt(int x, int y) const;  // -1 when none
  void SetOpen(bool open, int hot);
  void Choose(int i);
  bool TakeKey(const SDL_Event& e);
  bool TakeMouse(const SDL_Event& e);
  void DrawCheck(const SDL_Rect& item, uint32_t color);

  SDL_Renderer* renderer_;
  Host host_;
  Label popup_;
  std::vector<Item> items_;  // the list under "システム", the configured item last
  std::map<uint32_t, bool> checks_;
  int hot_ = -1;  // the highlighted item; -1 none
  bool open_ = false;
  MenuBarReveal reveal_;
};

}  // namespace platform
