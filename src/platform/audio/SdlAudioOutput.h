#pragma once
// Private to the platform library: the sound device through SDL2_mixer.
#include <atomic>
#include <memory>

#include "platform/audio/AudioMix.h"
#include "platform/audio/AudioOutput.h"

namespace platform {

// Mixes in floats: the music stream at the music bus's level, each effect at
// master x path x the effect bus's level, summed unclipped by the mixer,
// then the limiter over the sum.
class SdlAudioOutput : public AudioOutput {
 public:
  static constexpr int kMaxChannels = 256;  // beyond this the oldest play gives way

  // Opens the device; null, said on the debug output, when there is none.
  static std::unique_ptr<SdlAudioOutput> Open();
  ~SdlAudioOutput() override;
  SdlAudioOutput(const SdlAudioOutput&) = delete;
  SdlAudioOutput& operator=(const SdlAudioOutput&) = delete;

  bool PlaysSound() const override { return true; }
  void* MakeChunk(float* samples, size_t bytes) override;
  HRESULT Play(AudioSegment::Impl& segment, int pathSlot, uint64_t serial, int& channel) override;
  void Stop(int channel, uint64_t serial) override;
  bool Playing(int channel, uint64_t serial) const override;
  void StopPath(int pathSlot) override;
  int PlayingVoices() const override;
  int Channels() const override { return channels_; }
  void SetMusic(MusicGraph* music) override;
  void Pump(uint32_t) override {}  // the device pulls the music itself

  // Frees a chunk made here; safe after the device closed.
  static void FreeChunk(void* chunk);

 private:
  SdlAudioOutput() = default;
  int PickChannel();
  static void GainEffect(int channel, void* stream, int len, void* self);
  static void LimitMix(void* self, uint8_t* stream, int len);

  int channels_ = 0;
  uint64_t serial_[kMaxChannels] = {};  // which play each channel carries
  bool musicHooked_ = false;
  MixLimiter limiter_;  // the mixer thread's only
  // Read by the mixer thread in the gain effect; written by the window thread.
  std::atomic<int> channelPath_[kMaxChannels] = {};
};

}  // namespace platform
