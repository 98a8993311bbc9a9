#pragma once
// The millisecond clock: real (SDL ticks) or virtual (headless mode, where the
// main loop advances it by hand). Unsigned 32-bit, wraps after 2^32 ms.
#include <cstdint>

namespace platform {
uint32_t timeGetTime();
void UseVirtualClock(uint32_t startMs);
void UseRealClock();
bool IsVirtualClock();
void AdvanceVirtualClock(uint32_t ms);
void SleepMs(uint32_t ms);  // no-op on the virtual clock
// While a lag is set, timeGetTime() on the calling thread reads that many
// milliseconds behind the clock: a logic step that fell due earlier than it
// runs sees the time it was due. 0 ends it; other threads never see it.
void SetClockLag(uint32_t ms);
}  // namespace platform

using platform::timeGetTime;
