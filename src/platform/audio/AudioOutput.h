#pragma once
// Private to the platform library: where the performance's sounds go. One
// output is current per program: the sound device (SdlAudioOutput) while a
// performance holds it open, else the null output (NullAudioOutput), which
// plays nothing and lets the main loop pull the music on the clock. What
// both share (path volumes, play serials, the music graph) is kept here.
#include <atomic>
#include <cstddef>
#include <cstdint>

#include "platform/audio/AudioInternal.h"
#include "platform/diagnostics/Result.h"

namespace platform {

class AudioPerformance;
class MusicGraph;

class AudioOutput {
 public:
  virtual ~AudioOutput() = default;
  // True when the output plays by itself, the music included.
  virtual bool PlaysSound() const = 0;
  // A mixer chunk over caller-owned float samples; null where nothing plays.
  virtual void* MakeChunk(float* samples, size_t bytes) = 0;
  // Starts a play of a playable segment at the path's volume; `channel` is
  // set to where it sounds.
  virtual HRESULT Play(AudioSegment::Impl& segment, int pathSlot, uint64_t serial, int& channel) = 0;
  // Stops the play `serial` on `channel` if it is still the one there.
  virtual void Stop(int channel, uint64_t serial) = 0;
  virtual bool Playing(int channel, uint64_t serial) const = 0;
  // Stops whatever sounds on the path.
  virtual void StopPath(int pathSlot) = 0;
  virtual int PlayingVoices() const = 0;
  virtual int Channels() const = 0;
  // The music graph whose stream the output plays (null: none).
  virtual void SetMusic(MusicGraph* music) = 0;
  // The main loop's pull of the music for `ms` of the clock.
  virtual void Pump(uint32_t ms) = 0;
};

namespace audio_internal {
constexpr int kMaxPaths = 64;

AudioOutput& CurrentOutput();
// The null output: current whenever no device is open, and what a
// performance that does not hold the output plays on.
AudioOutput& NullOutput();
// Makes `device` current (null: the null output again).
void SetCurrentOutput(AudioOutput* device);

// The performance that holds the output, if any.
AudioPerformance*& OutputOwner();
uint64_t NextPlaySerial();
// Path volumes as gains, and the master volume; the mixer thread reads them.
int AllocatePathSlot();
void ReleasePathSlot(int slot);
std::atomic<float>& PathGain(int slot);
std::atomic<float>& MasterGain();
// The music graph attached last.
MusicGraph* AttachedMusic();
// The main loop's pull of the music; started afresh when a graph is attached.
struct PumpState {
  uint64_t remainder = 0;  // ms x rate not yet turned into whole frames
  bool clockStarted = false;
  uint32_t clockMs = 0;
};
PumpState& Pump();
}  // namespace audio_internal

}  // namespace platform
