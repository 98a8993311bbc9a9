#include "comfort/Pointer.h"

#include "framework/TextFont.h"
#include "input/GameActions.h"
#include "msgbox/CMsgBox.h"
#include "platform/draw/Device.h"

namespace comfort {
using platform::MouseButton;
using Type = platform::Event::Type;

namespace {
bool InGameArea(int32_t x, int32_t y) {
  const platform::Device* device = TextFont::GetDevice();
  const int32_t w = device ? device->Width() : 640, h = device ? device->Height() : 480;
  return x >= 0 && y >= 0 && x < w && y < h;
}
}  // namespace

void Pointer::Take(const platform::Event& e) {
  switch (e.type) {
    case Type::MouseMotion:
      if (int32_t id = 0; box_.MenuOpen() && box_.MenuItemAt(float(e.x), float(e.y), id)) box_.MoveMenuCursorTo(id);
      break;
    case Type::MouseDown:
      if (e.mouse != MouseButton::Left || !InGameArea(e.x, e.y)) break;  // the letterbox bars are no part of the game
      if (box_.MenuOpen()) {
        // A click decides the item under it; elsewhere it does nothing.
        int32_t id = 0;
        if (!box_.MenuItemAt(float(e.x), float(e.y), id)) break;
        box_.MoveMenuCursorTo(id);
      }
      Press(true);
      break;
    case Type::MouseUp:
      if (e.mouse == MouseButton::Left && held_) Press(false);
      break;
    case Type::MouseWheel:
      if (e.wheel < 0 && actions_ && !held_ && !box_.MenuOpen()) {
        // One decide, held for the decide grid to see it: a tap.
        Latch().Press(actions_, ACT_DECIDE);
        Latch().Release(actions_, ACT_DECIDE);
      }
      break;
    default:
      break;
  }
}

void Pointer::Press(bool down) {
  held_ = down;
  if (!actions_) return;
  if (down) Latch().Press(actions_, ACT_DECIDE);
  else Latch().Release(actions_, ACT_DECIDE);
}

}  // namespace comfort
