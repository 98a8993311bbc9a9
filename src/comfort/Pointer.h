#pragma once
// The mouse over the game: the pointer moves a menu's cursor to the item
// under it, a left click or a wheel step down is a decide, and the decide
// slot is held for as long as the decide grid needs to see it once.
#include <cstdint>

#include "platform/window/Event.h"

class CMsgBox;

namespace comfort {

class Pointer {
 public:
  Pointer(CMsgBox& box, int32_t* actions) : box_(box), actions_(actions) {}

  // A motion, left button or wheel-down event over the game.
  void Take(const platform::Event& e);
  // A screen of ours took the left button's release.
  void LetGo() { held_ = false; }
  // A screen of ours took the step's controls: nothing is held or pending.
  void Forget() { held_ = tapPending_ = false; }
  // After every decide-grid firing: a click released before it, or a wheel
  // step, has now been seen and lets the decide go.
  void DecideGridFired();
  bool TapPending() const { return tapPending_; }

 private:
  void Press(bool down);
  CMsgBox& box_;
  int32_t* actions_;
  bool held_ = false;
  bool tapPending_ = false;  // a click or wheel decide the decide grid has not seen yet
};

}  // namespace comfort
