#include "input/ActionLatch.h"

namespace input {

void ActionLatch::Press(int32_t* slots, int32_t slot, bool fresh) {
  if (!slots || !Valid(slot)) return;
  State& s = states_[static_cast<size_t>(slot)];
  slots[slot] = 1;
  s.down = true;
  s.unseen = true;
  if (fresh) ++s.presses;
}

void ActionLatch::Release(int32_t* slots, int32_t slot) {
  if (!slots || !Valid(slot)) return;
  State& s = states_[static_cast<size_t>(slot)];
  s.down = false;
  if (!s.unseen) slots[slot] = 0;
}

void ActionLatch::GridFired(int32_t* slots, std::initializer_list<int32_t> group) {
  if (!slots) return;
  for (int32_t slot : group) {
    if (!Valid(slot)) continue;
    State& s = states_[static_cast<size_t>(slot)];
    if (!s.unseen) continue;  // slots the latch did not hold stay as others left them
    s.unseen = false;
    if (!s.down) slots[slot] = 0;
  }
}

uint64_t ActionLatch::Presses(int32_t slot) const { return Valid(slot) ? states_[static_cast<size_t>(slot)].presses : 0; }

bool ActionLatch::Down(int32_t slot) const { return Valid(slot) && states_[static_cast<size_t>(slot)].down; }

}  // namespace input
