#pragma once
// Private to the platform library: the output that plays nothing.
#include "platform/audio/AudioOutput.h"

namespace platform {

// Every play is silent and never sounds; the music advances only as the main
// loop pulls it (AudioPump), rendered and dropped, so that pieces end and
// loop on the clock (the virtual one in headless runs) as on a device.
class NullAudioOutput : public AudioOutput {
 public:
  bool PlaysSound() const override { return false; }
  void* MakeChunk(float*, size_t) override { return nullptr; }
  HRESULT Play(AudioSegment::Impl&, int, uint64_t, int& channel) override {
    channel = -1;
    return E_FAIL;
  }
  void Stop(int, uint64_t) override {}
  bool Playing(int, uint64_t) const override { return false; }
  void StopPath(int) override {}
  int PlayingVoices() const override { return 0; }
  int Channels() const override { return 0; }
  void SetMusic(MusicGraph*) override {}
  void Pump(uint32_t ms) override;
};

}  // namespace platform
