#pragma once
// A screen of ours over the game (the history, the settings; saves later):
// while one is open it takes every platform event and the game's own
// controls, and the game stands still. The controller keeps them in the
// order they take events; at most one is open at a time.
#include <cstdint>
#include <string>

#include "platform/window/Event.h"

namespace comfort {

class Room {
 public:
  virtual ~Room() = default;
  virtual bool IsOpen() const = 0;
  virtual void Close() = 0;
  // A platform event while open (the controller has already let the skip
  // keys and a held click go).
  virtual void TakeEvent(const platform::Event& e) = 0;
  // The game's action slots as the input unit filled them this step;
  // `decidePressed` is true on the step the decide went down.
  virtual void TakeControls(const int32_t* actions, bool decidePressed) = 0;
  virtual void Render() = 0;
};

}  // namespace comfort
