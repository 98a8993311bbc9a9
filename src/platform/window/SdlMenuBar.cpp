#include "platform/window/SdlMenuBar.h"

#include <algorithm>

namespace platform {
namespace {
constexpr uint32_t kMenuBg = 0xFFF0F0F0, kMenuText = 0xFF000000, kHighlight = 0xFF3875D7, kListEdge = 0xFF808080,
                   kBarEdge = 0xFFB8B8B8;
}  // namespace

SdlMenuBar::SdlMenuBar(SDL_Renderer* renderer, Font* font, const WindowConfig& config, Host host)
    : renderer_(renderer), host_(std::move(host)) {
  popup_ = MakeLabel(renderer, font, config.menuPopup);
  for (const auto& extra : config.menuExtras) items_.push_back({MakeLabel(renderer, font, extra.label), extra.command});
  items_.push_back({MakeLabel(renderer, font, config.menuItem), config.menuCommand});
}

SDL_Rect SdlMenuBar::ItemRect(size_t i) const {
  int w = 160;
  for (const auto& item : items_) w = std::max(w, item.label.w + 36);
  const int h = kHeight + 4;
  return SDL_Rect{4, kHeight + int(i) * h, w, h};
}

int SdlMenuBar::ItemAt(int x, int y) const {
  SDL_Point p{x, y};
  for (size_t i = 0; i < items_.size(); ++i) {
    SDL_Rect r = ItemRect(i);
    if (SDL_PointInRect(&p, &r)) return int(i);
  }
  return -1;
}

void SdlMenuBar::SetFullscreen(bool on) {
  reveal_.SetFullscreen(on);
  reveal_.ListOpen(open_);
}

void SdlMenuBar::SetOpen(bool open, int hot) {
  const bool was = Shown();
  open_ = open;
  hot_ = hot;
  reveal_.ListOpen(open);
  // The game area under a closed list (or a bar that hid) is drawn again whole.
  host_.redraw(!open || was != Shown());
}

void SdlMenuBar::Close() {
  open_ = false;
  hot_ = -1;
  reveal_.ListOpen(false);
}

void SdlMenuBar::Choose(int i) {
  SetOpen(false, -1);
  if (i >= 0 && size_t(i) < items_.size()) host_.choose(items_[size_t(i)].command);
}

void SdlMenuBar::SetCheck(uint32_t command, bool on) {
  bool& mark = checks_[command];
  if (mark == on) return;
  mark = on;
  if (open_) host_.redraw(false);
}

bool SdlMenuBar::Checked(uint32_t command) const {
  auto it = checks_.find(command);
  return it != checks_.end() && it->second;
}

bool SdlMenuBar::Take(const SDL_Event& e) {
  if (e.type == SDL_KEYDOWN || e.type == SDL_KEYUP) return TakeKey(e);
  if (e.type == SDL_MOUSEMOTION || e.type == SDL_MOUSEBUTTONDOWN) return TakeMouse(e);
  return false;
}

bool SdlMenuBar::TakeKey(const SDL_Event& e) {
  const SDL_Keycode key = e.key.keysym.sym;
  const bool alt = key == SDLK_LALT || key == SDLK_RALT;
  const bool shown = Shown();
  if (e.type == SDL_KEYUP) {
    if (alt && !e.key.repeat) reveal_.AltUp();
    if (shown != Shown()) host_.redraw(true);
    if (!open_) return false;
    host_.passOn(e);  // releases must still reach the input unit
    return true;
  }
  if (alt) {
    if (!e.key.repeat) reveal_.AltDown();
    return open_;
  }
  reveal_.OtherInput();
  if (key == SDLK_F10) {
    // F10 opens on the last item (quitting), as the single-item menu did.
    SetOpen(!open_, open_ ? -1 : int(items_.size()) - 1);
    return true;
  }
  if (!open_) {
    if (shown != Shown()) host_.redraw(true);
    return false;
  }
  switch (key) {
    case SDLK_ESCAPE: SetOpen(false, -1); return true;
    case SDLK_UP: hot_ = hot_ <= 0 ? int(items_.size()) - 1 : hot_ - 1; break;
    case SDLK_DOWN: hot_ = hot_ < 0 || hot_ + 1 >= int(items_.size()) ? 0 : hot_ + 1; break;
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
    case SDLK_SPACE:
      if (hot_ >= 0) {
        Choose(hot_);
        return true;
      }
      hot_ = int(items_.size()) - 1;
      break;
    default: break;
  }
  host_.redraw(false);
  return true;
}

bool SdlMenuBar::TakeMouse(const SDL_Event& e) {
  const bool shown = Shown();
  if (e.type == SDL_MOUSEMOTION) {
    reveal_.PointerAt(e.motion.y, kHeight);
    if (shown != Shown()) host_.redraw(true);
    if (open_) {
      const int hot = ItemAt(e.motion.x, e.motion.y);
      if (hot != hot_) {
        hot_ = hot;
        host_.redraw(false);
      }
      return true;
    }
    // Over the shown bar in full screen the pointer is on the bar, not on the game beneath.
    return reveal_.Fullscreen() && Shown() && e.motion.y < kHeight;
  }
  if (e.button.button != SDL_BUTTON_LEFT) return false;
  SDL_Point p{e.button.x, e.button.y};
  SDL_Rect t = PopupTitleRect();
  if (Shown() && SDL_PointInRect(&p, &t)) {
    SetOpen(!open_, -1);
    return true;
  }
  if (open_) {
    const int at = ItemAt(p.x, p.y);
    if (at >= 0) Choose(at);
    else SetOpen(false, -1);
    return true;
  }
  reveal_.OtherInput();
  if (shown != Shown()) host_.redraw(true);
  // A click on the bar beside its title, in full screen, is no click on the game.
  return reveal_.Fullscreen() && shown && p.y < kHeight;
}

void SdlMenuBar::DrawCheck(const SDL_Rect& r, uint32_t color) {
  SDL_SetRenderDrawColor(renderer_, (color >> 16) & 0xFF, (color >> 8) & 0xFF, color & 0xFF, 0xFF);
  const int x = r.x + 5, y = r.y + r.h / 2;
  for (int thick = 0; thick < 2; ++thick) {
    SDL_RenderDrawLine(renderer_, x, y + thick, x + 3, y + 3 + thick);
    SDL_RenderDrawLine(renderer_, x + 3, y + 3 + thick, x + 9, y - 4 + thick);
  }
}

void SdlMenuBar::Draw(int w) {
  if (!Shown()) return;
  Fill(renderer_, SDL_Rect{0, 0, w, kHeight}, kMenuBg);
  if (reveal_.Fullscreen()) Fill(renderer_, SDL_Rect{0, kHeight - 1, w, 1}, kBarEdge);  // over the game: an edge below it
  SDL_Rect t = PopupTitleRect();
  if (open_) Fill(renderer_, t, kHighlight);
  DrawLabel(renderer_, popup_, t.x + 8, (kHeight - popup_.h) / 2, open_ ? 0xFFFFFFFF : kMenuText);
  if (!open_) return;
  SDL_Rect first = ItemRect(0), last = ItemRect(items_.size() - 1);
  Fill(renderer_, SDL_Rect{first.x - 1, first.y - 1, first.w + 2, last.y + last.h - first.y + 2}, kListEdge);
  for (size_t i = 0; i < items_.size(); ++i) {
    SDL_Rect r = ItemRect(i);
    const bool hot = int(i) == hot_;
    const uint32_t text = hot ? 0xFFFFFFFF : kMenuText;
    Fill(renderer_, r, hot ? kHighlight : kMenuBg);
    if (Checked(items_[i].command)) DrawCheck(r, text);
    DrawLabel(renderer_, items_[i].label, r.x + 20, r.y + (r.h - items_[i].label.h) / 2, text);
  }
}

}  // namespace platform
