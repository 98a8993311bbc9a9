#pragma once
// What is layered over the comforts from above (saves, rollback, the game
// menu): the controller hands it the events over the running game before
// its own routes, the game's controls at each step, and asks it for its
// screens, its trace members and its drawing. A run without one plays as
// the comforts alone do.
#include <cstdint>
#include <string>
#include <vector>

#include "comfort/Room.h"
#include "platform/window/Event.h"

namespace comfort {

class Extension {
 public:
  virtual ~Extension() = default;
  // An event over the running game (no screen of ours open); true: taken.
  virtual bool TakeEvent(const platform::Event& e) = 0;
  // Once a step, after the events, with the game's action slots as the
  // input unit filled them; true: this step's controls are taken (the game
  // sees none of them).
  virtual bool TakeControls(const int32_t* actions, double now) = 0;
  // A save of the scripts was loaded (the record of play starts again).
  virtual void Loaded() = 0;
  // Its screens, in the order they take events, after the comforts' own.
  virtual std::vector<Room*> Screens() = 0;
  // Whether anything of it was used: the trace shows the comfort state from then on.
  virtual bool Used() const = 0;
  // Members of the trace's comfort object, each with a comma before it.
  virtual void Trace(std::string& members) const = 0;
  // Drawn over the game, before the screens.
  virtual void Render() = 0;
};

}  // namespace comfort
