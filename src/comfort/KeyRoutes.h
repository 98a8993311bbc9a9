#pragma once
// Which comfort an event over the running game asks for: the keys (H hides
// the window, Page Up the history, Tab skip mode, A auto mode, F2 the
// settings, Ctrl held skips), the pad (left shoulder history, right
// shoulder held skip, Back settings) and the mouse (right click hides, the
// wheel up opens the history, the rest is the pointer's). A control the
// player bound to one of the game's actions keeps that action instead.
#include <functional>
#include <string>

#include "comfort/Skipping.h"
#include "platform/window/Event.h"

namespace comfort {

enum class Ask : uint8_t {
  Nothing, HideWindow, OpenHistory, ToggleSkipMode, ToggleAuto, OpenSettings, HoldSkip, LetGoSkip, Pointer
};

struct Route {
  Ask ask = Ask::Nothing;
  Skipping::Source source = Skipping::kLeftCtrl;  // for HoldSkip and LetGoSkip
};

class KeyRoutes {
 public:
  explicit KeyRoutes(std::function<bool(const std::string& control)> bound) : bound_(std::move(bound)) {}
  Route Of(const platform::Event& e) const;

 private:
  bool Bound(const std::string& control) const { return bound_ && bound_(control); }
  std::function<bool(const std::string& control)> bound_;
};

}  // namespace comfort
