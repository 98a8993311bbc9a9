#pragma once
// Shared between the audio sources; no SDL types here either.
#include <cstdint>
#include <vector>

#include "platform/audio/AudioSegment.h"
#include "platform/audio/MusicGraph.h"

namespace platform {

struct AudioSegment::Impl {
  ~Impl();
  // The file's own PCM as parsed when loading (SDL's buffer), kept until the
  // sound is first needed; then converted into `samples` and freed.
  uint8_t* source = nullptr;
  uint32_t sourceBytes = 0;  // whole frames only
  uint16_t sourceFormat = 0;
  uint8_t sourceChannels = 0;
  int sourceRate = 0;
  bool decoded = false;
  size_t frames = 0;             // once decoded
  std::vector<int16_t> samples;  // interleaved stereo at kAudioRate, once decoded
  // The device's float copy that the chunk plays; `samples` is dropped while
  // it exists and made again from it (exactly) if asked for.
  std::vector<float> mixSamples;
  void* chunk = nullptr;  // Mix_Chunk over `mixSamples`, made on the first play
  uint32_t repeats = 0;
  int64_t loopStart = 0, loopEnd = 0;
};

namespace audio_internal {
// Converts the parsed file into `samples` if not done yet; false when that
// fails (the sound then has no frames).
bool Decode(AudioSegment::Impl& segment);
// Decodes and makes the mixer chunk if not done yet; false on failure.
bool MakePlayable(AudioSegment::Impl& segment);
// Mixer chunks over caller-owned float samples; null without a device.
void* MakeChunk(float* samples, size_t bytes);
void FreeChunk(void* chunk);
// The music graph whose stream the output plays (the latest one created).
void AttachMusic(MusicGraph* graph);
void DetachMusic(MusicGraph* graph);
}  // namespace audio_internal
}  // namespace platform
