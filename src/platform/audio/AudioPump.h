#pragma once
// The music's pull by the main loop where no device plays it.
#include <cstdint>

namespace platform {

// On the null output nothing pulls the music, so the main loop does: once
// per pass it calls AudioPumpToClock, which renders and drops the music for
// the milliseconds the clock (real or virtual) moved since the last call, at
// most one second at a time. Pieces so advance, end and loop in step with
// the clock. Both do nothing on a device, which pulls by itself.
void AudioPump(uint32_t ms);
void AudioPumpToClock();

}  // namespace platform
