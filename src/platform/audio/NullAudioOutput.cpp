#include "platform/audio/NullAudioOutput.h"

#include <algorithm>

#include "platform/audio/AudioMix.h"
#include "platform/audio/MusicGraph.h"

namespace platform {

void NullAudioOutput::Pump(uint32_t ms) {
  MusicGraph* music = audio_internal::AttachedMusic();
  if (!music || ms == 0) return;
  uint64_t& remainder = audio_internal::Pump().remainder;
  uint64_t total = remainder + static_cast<uint64_t>(ms) * kAudioRate;
  size_t frames = static_cast<size_t>(total / 1000);
  remainder = total % 1000;
  constexpr size_t kBlock = 2048;
  // The same blocks as a render, so the piece's end is seen at the same frame.
  while (frames > 0) {
    size_t n = std::min(frames, kBlock);
    music->Advance(n);
    frames -= n;
  }
}

namespace audio_internal {
AudioOutput& NullOutput() {
  static NullAudioOutput output;
  return output;
}
}  // namespace audio_internal

}  // namespace platform
