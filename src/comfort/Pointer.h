#pragma once
// The mouse over the game: the pointer moves a menu's cursor to the item
// under it, a left click or a wheel step down is a decide, pressed through
// the input unit's latch so that the decide grid sees it once however short.
// A click on an open menu decides only the item under it; the wheel steps
// text and never decides a menu.
#include <cstdint>

#include "input/ActionLatch.h"
#include "platform/window/Event.h"

class CMsgBox;

namespace comfort {

class Pointer {
 public:
  // Without a latch the pointer keeps one of its own.
  Pointer(CMsgBox& box, int32_t* actions, input::ActionLatch* latch) : box_(box), actions_(actions), latch_(latch) {}

  // A motion, left button or wheel-down event over the game.
  void Take(const platform::Event& e);
  // A screen of ours took the left button's release, or the step's
  // controls: the button no longer holds the decide.
  void LetGo() {
    if (held_) Press(false);
  }

 private:
  void Press(bool down);
  input::ActionLatch& Latch() { return latch_ ? *latch_ : own_; }
  CMsgBox& box_;
  int32_t* actions_;
  input::ActionLatch* latch_;
  input::ActionLatch own_;
  bool held_ = false;
};

}  // namespace comfort
