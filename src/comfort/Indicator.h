#pragma once
// A small label in the game area's top right corner while skipping (held
// or skip mode) or auto mode is on, so that the player sees why the text
// runs by itself. Hidden with the window (H) and under the screens of ours.
#include <cstdint>

#include "comfort/Skipping.h"
#include "comfort/TextPainter.h"

namespace comfort {

class Indicator {
 public:
  Indicator();
  void Render(SkipState skip, bool autoMode);

  static constexpr float kRight = 624.0f, kTop = 16.0f, kHeight = 22.0f;

 private:
  TextPainter text_;
};

}  // namespace comfort
