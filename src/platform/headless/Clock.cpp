#include "platform/headless/Clock.h"

#include <SDL.h>

#include <atomic>

namespace platform {
namespace {
std::atomic<bool> g_virtual{false};
std::atomic<uint32_t> g_virtualNow{0};
thread_local uint32_t t_lag = 0;
}  // namespace

uint32_t timeGetTime() {
  uint32_t now = g_virtual.load() ? g_virtualNow.load() : static_cast<uint32_t>(SDL_GetTicks64());
  return now - t_lag;  // unsigned: right across the wrap
}
void SetClockLag(uint32_t ms) { t_lag = ms; }
void UseVirtualClock(uint32_t startMs) {
  g_virtualNow = startMs;
  g_virtual = true;
}
void UseRealClock() { g_virtual = false; }
bool IsVirtualClock() { return g_virtual.load(); }
void AdvanceVirtualClock(uint32_t ms) { g_virtualNow += ms; }
void SleepMs(uint32_t ms) {
  if (!g_virtual.load() && ms > 0) SDL_Delay(ms);
}
}  // namespace platform
