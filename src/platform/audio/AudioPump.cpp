#include "platform/audio/AudioPump.h"

#include <algorithm>

#include "platform/audio/AudioOutput.h"
#include "platform/headless/Clock.h"

namespace platform {

void AudioPump(uint32_t ms) { audio_internal::CurrentOutput().Pump(ms); }

void AudioPumpToClock() {
  auto& pump = audio_internal::Pump();
  uint32_t now = timeGetTime();
  uint32_t elapsed = pump.clockStarted ? now - pump.clockMs : 0;  // unsigned: right across the wrap
  pump.clockStarted = true;
  pump.clockMs = now;
  AudioPump(std::min<uint32_t>(elapsed, 1000));
}

}  // namespace platform
