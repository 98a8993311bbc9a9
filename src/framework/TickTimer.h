#pragma once
// A millisecond timer record for fixed time grids. Times hold the 32-bit
// clock value in the low half of 64-bit counts; differences are taken on 32
// bits so that grids keep firing across the clock's wrap.
#include <cmath>
#include <cstdint>

#include "framework/DueTime.h"
#include "platform/headless/Clock.h"

struct TickTimer {
  uint64_t start = 0;
  uint64_t current = 0;
  uint64_t last = 0;
  float scale = 0.001f;  // seconds per millisecond

  void Reset() {
    start = last = current = timeGetTime();
    scale = 0.001f;
  }
  void Update() { current = timeGetTime(); }
  // Seconds since the last tick, as the grids compute them (float).
  float Elapsed() const { return static_cast<float>(static_cast<uint32_t>(current - last)) * scale; }
  // A grid of `period` seconds fires when the elapsed time reaches it.
  bool Fired(double period) const { return Elapsed() >= period; }
  void Tick() { last = current; }

  // The fewest whole milliseconds after `last` for which Fired(period) holds:
  // the float comparison decides, so it is found by trying.
  uint32_t FiringMs(double period) const {
    const double guess = std::floor(period * 1000.0) - 2.0;
    uint32_t ms = guess > 0 ? static_cast<uint32_t>(guess) : 0;
    while (!(static_cast<float>(ms) * scale >= period)) ++ms;
    return ms;
  }
  // Seconds from `now` until the grid of `period` fires (0 when it would now).
  double SecondsUntilFired(double period, double now) const {
    return due::Until(static_cast<uint32_t>(last) + FiringMs(period), now);
  }
};
