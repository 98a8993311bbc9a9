#pragma once
// When a part of the game next needs a logic step. Every part that changes
// with time answers `double SecondsUntilDue(double now) const`: 0 when its
// next step changes something, kNever when only input can change it, else
// the seconds until the first step that will. The window's loop sleeps until
// the earliest answer or an event, so a still screen costs next to nothing;
// the steps slept through still run, in order, each at its own time, when it
// wakes. `now` is the engine's millisecond clock (timeGetTime) in seconds.
#include <cmath>
#include <cstdint>
#include <limits>

namespace due {

inline constexpr double kNever = std::numeric_limits<double>::infinity();

inline double NowSeconds(uint32_t clockMs) { return clockMs / 1000.0; }
inline uint32_t ClockMs(double now) { return static_cast<uint32_t>(static_cast<uint64_t>(std::llround(now * 1000.0))); }

// Seconds from `now` until the clock reads `atMs`, on the wrapping 32-bit
// clock; a time already passed gives 0.
inline double Until(uint32_t atMs, double now) {
  const int32_t ms = static_cast<int32_t>(atMs - ClockMs(now));
  return ms > 0 ? ms / 1000.0 : 0.0;
}

}  // namespace due
