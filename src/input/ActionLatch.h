#pragma once
// Every press of decide or a direction counts once, however short. The game
// acts on these slots only when their grid fires (0.06 s decide, 0.1 s
// directions); a press let go before that would clear its slot unseen. A
// latched press keeps its slot set until its grid has fired once, then lets
// go as a release would have. Presses are also counted, so that a screen
// can tell a press made after it opened from one held since before.
#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>

namespace input {

class ActionLatch {
 public:
  static constexpr int32_t kSlots = 9;  // the action slots 0..8 the game reads

  // The action's control went down: the slot is set. `fresh` counts it as
  // a new press (a button going down; an axis leaving its centre), not an
  // axis moving on while pushed.
  void Press(int32_t* slots, int32_t slot, bool fresh = true);
  // The control was let go: the slot clears now, or, while its grid has not
  // yet seen the press, once it has.
  void Release(int32_t* slots, int32_t slot);
  // The slots' grid fired: the presses it saw are let go of where their
  // control is up again.
  void GridFired(int32_t* slots, std::initializer_list<int32_t> group);

  // Fresh presses of the slot since the latch was made.
  uint64_t Presses(int32_t slot) const;
  // Whether the slot's control is down (by the events seen so far).
  bool Down(int32_t slot) const;

 private:
  struct State {
    bool down = false;
    bool unseen = false;  // pressed since the grid last fired
    uint64_t presses = 0;
  };
  static bool Valid(int32_t slot) { return slot >= 0 && slot < kSlots; }
  std::array<State, kSlots> states_{};
};

}  // namespace input
