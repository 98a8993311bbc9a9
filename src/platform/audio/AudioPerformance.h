#pragma once
// Sound output. There is one output per program, chosen when a performance
// opens it: the sound device through SDL2_mixer, or the null output that
// plays nothing (when no device opens, and always in headless mode) while
// everything else behaves the same.
//
// Effects are WAV files decoded once into mixer chunks; every play takes a
// mixer channel of its own, so a sound mixes over whatever sounds, itself
// included. Music is one MIDI piece at a time, synthesised by FluidSynth into
// the mixer's music stream; on the null output the main loop pulls it with
// AudioPump so that pieces advance and end on the (virtual) clock.
//
// The classes stand in for the DirectMusic loader, performance, audio paths,
// composer and notification event, and for the DirectShow music graph.
// Volumes are hundredths of a decibel; a volume v is the gain 10^(v/2000).
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "platform/audio/AudioSegment.h"
#include "platform/diagnostics/Result.h"

namespace platform {

class AudioOutput;

// Loads the sound device's libraries ahead of the first performance
// (start-up does this on a worker while the window is made); safe from any
// thread, and a no-op once done.
void PrepareSoundLibraries();

// One play of a segment.
class AudioSegmentState {
 public:
  AudioSegmentState(int channel, uint64_t serial) : channel_(channel), serial_(serial) {}
  // True while this play still sounds (never on the null output).
  bool Playing() const;

 private:
  int channel_;
  uint64_t serial_;
};
using AudioSegmentStatePtr = std::shared_ptr<AudioSegmentState>;

// A volume for everything played on it. Destroying a path stops what still
// sounds on it.
class AudioPath {
 public:
  ~AudioPath();
  AudioPath(const AudioPath&) = delete;
  AudioPath& operator=(const AudioPath&) = delete;
  // Any volume is accepted; the gain follows at once (fades are not kept).
  HRESULT SetVolume(int32_t hundredths, uint32_t fadeMs);
  int32_t Volume() const { return volume_; }
  int Slot() const { return slot_; }

  explicit AudioPath(int slot) : slot_(slot) {}

 private:
  int slot_;
  int32_t volume_ = 0;
};

class AudioComposer {};  // nothing in the engine composes; held for release order
class AudioEvent {};     // notifications are registered but never waited on

// Owns the output while it is open.
class AudioPerformance {
 public:
  AudioPerformance();
  ~AudioPerformance();
  AudioPerformance(const AudioPerformance&) = delete;
  AudioPerformance& operator=(const AudioPerformance&) = delete;

  // Opens the output: the sound device, or the null output when headless,
  // when no device can be opened (said on the debug output) or when another
  // performance holds the output.
  HRESULT InitAudio(bool headless);
  bool HasDevice() const;
  // The default path belongs to the performance and goes with CloseDown.
  HRESULT GetDefaultAudioPath(AudioPath*& out);
  HRESULT CreateStandardAudioPath(std::unique_ptr<AudioPath>& out);
  HRESULT SetNotificationHandle(AudioEvent* event);
  AudioEvent* NotificationHandle() const { return event_; }

  // Plays a segment as soon as possible on the path (the default path when
  // null). A secondary play mixes over everything; a primary play replaces
  // the primary sound still playing. Channels are added when all are busy,
  // up to a cap; past it the oldest play gives way.
  static constexpr uint32_t kSecondary = 0x80;
  HRESULT PlaySegment(AudioSegment& segment, uint32_t flags, AudioPath* path, AudioSegmentStatePtr& state);
  // The master volume scales every effect (not the music).
  HRESULT SetMasterVolume(int32_t hundredths);
  int PlayingVoices() const;
  int Channels() const;
  // Stops every sound and closes the output.
  HRESULT CloseDown();

 private:
  // The output played on: the null output unless this performance holds the
  // program's output and a device opened for it.
  AudioOutput& Output() const;
  bool open_ = false;
  bool ownsOutput_ = false;
  std::unique_ptr<AudioOutput> device_;
  AudioOutput* output_ = nullptr;
  float master_ = 1.0f;
  std::unique_ptr<AudioPath> defaultPath_;
  AudioEvent* event_ = nullptr;
  uint64_t primarySerial_ = 0;
  int primaryChannel_ = -1;
};

}  // namespace platform
