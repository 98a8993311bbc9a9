#pragma once
// Shared between the audio sources; no SDL types here either.
#include <cstdint>
#include <vector>

#include "platform/Audio.h"

namespace platform {

struct AudioSegment::Impl {
  std::vector<int16_t> samples;  // interleaved stereo at kAudioRate
  void* chunk = nullptr;         // Mix_Chunk over `samples`, once downloaded
  uint32_t repeats = 0;
  int64_t loopStart = 0, loopEnd = 0;
};

namespace audio_internal {
// Mixer chunks over caller-owned samples; null without a device.
void* MakeChunk(int16_t* samples, size_t bytes);
void FreeChunk(void* chunk);
// The music graph whose stream the output plays (the latest one created).
void AttachMusic(MusicGraph* graph);
void DetachMusic(MusicGraph* graph);
}  // namespace audio_internal
}  // namespace platform
