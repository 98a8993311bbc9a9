#pragma once
// Sound output. There is one output per program: the sound device through
// SDL2_mixer, or a null output that plays nothing (when no device opens, and
// always in headless mode) while everything else behaves the same.
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

#include "platform/Result.h"

namespace platform {

// Output frames per second, stereo. The device mixes in 32-bit floats (full
// scale at 1), so that sounds summed over each other never clip before the
// limiter sees them; pulled music and decoded effects are 16-bit.
constexpr int kAudioRate = 44100;

// 10^(hundredths/2000); -10000 and below are silence (0).
float DecibelGain(int32_t hundredths);
// Multiplies 16-bit samples by a gain, saturating instead of wrapping.
void ScaleSamples(int16_t* samples, size_t count, float gain);

// Where each bus reaches the output, in hundredths of a decibel, applied on
// top of every volume the engine sets; those keep their meaning (-600 halves
// the amplitude, +1000 is x3.16 against 0) and only the absolute level moves.
// FluidSynth at unity renders the demo's pieces at -20 to -30 dBFS RMS over
// 10 s, so the music's default -3000 would sit some 50 dB down; +33 dB brings
// the title's piece to -26 to -18 dBFS (TimGM6mb; FluidR3 -25 to -22). The
// effect files peak at -4.4 to -7.5 dBFS and play at the master volume's
// +1000; -9 dB puts their peaks at -3.4 to -6.5 dBFS, below the limiter's
// knee, so one effect alone passes it untouched.
constexpr int32_t kMusicBusLevel = 3300;
constexpr int32_t kEffectBusLevel = -900;
float MusicBusGain();
float EffectBusGain();

// The soft limiter on the summed mix (music and every effect, floats): the
// identity while the mix stays below the knee; above it the gain follows a
// peak envelope (instant attack, 0.1 s release) through a smooth curve that
// approaches the ceiling without reaching it, so nothing ever wraps, clips
// or sits at full scale. One per output; it runs on the mixer thread.
class MixLimiter {
 public:
  static constexpr int32_t kKnee = -300;    // -3 dBFS
  static constexpr int32_t kCeiling = -50;  // -0.5 dBFS
  MixLimiter();
  void Process(float* stereo, size_t frames);
  void Reset() { envelope_ = 0.0f; }
  float Curve(float peak) const;  // the output peak for an input peak above the knee

 private:
  float knee_, span_, release_;
  float envelope_ = 0.0f;
};

class AudioPerformance;

// A sound effect: stereo 16-bit frames at kAudioRate. Loading parses and
// checks the file; the conversion to the output format waits until the
// sound is first played (or its samples are asked for), so that loading a
// batch of effects costs little.
class AudioSegment {
 public:
  ~AudioSegment();
  AudioSegment(const AudioSegment&) = delete;
  AudioSegment& operator=(const AudioSegment&) = delete;

  // Our segments are waves and need no MIDI mode; kept for the loading steps.
  HRESULT SetStandardMidiFile();
  HRESULT GetLength(int64_t& frames) const;
  // Start and end frames of the looped range; 0, 0 is the whole sound.
  HRESULT SetLoopPoints(int64_t start, int64_t end);
  static constexpr uint32_t kRepeatForever = 0xFFFFFFFFu;
  HRESULT SetRepeats(uint32_t repeats);
  // Readies the sound for the performance's output; the mixer chunk itself
  // is made on the first play.
  HRESULT Download(AudioPerformance& performance);

  // Both decode the sound first if it is not yet.
  const int16_t* Samples() const;  // interleaved left/right
  size_t Frames() const;
  bool Decoded() const;

  struct Impl;
  explicit AudioSegment(std::unique_ptr<Impl> impl);
  Impl& impl() const { return *impl_; }

 private:
  std::unique_ptr<Impl> impl_;
};
using AudioSegmentPtr = std::shared_ptr<AudioSegment>;

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

// Finds and decodes effect files (WAV).
class AudioLoader {
 public:
  // The directory relative engine paths are found from (a host path); it
  // must exist. Engine paths resolve from the working directory, which is
  // what the framework sets here.
  HRESULT SetSearchDirectory(const std::string& hostDirectory);
  const std::string& SearchDirectory() const { return directory_; }
  // Reads and parses a WAV file given as an engine path (CP932); a file
  // that cannot be played fails here, though the samples are converted only
  // when first needed.
  HRESULT LoadSegment(std::string_view enginePath, AudioSegmentPtr& out);

 private:
  std::string directory_;
};

class AudioComposer {};  // nothing in the engine composes; held for release order
class AudioEvent {};     // notifications are registered but never waited on

// Owns the output while it is open.
class AudioPerformance {
 public:
  AudioPerformance() = default;
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
  bool open_ = false;
  bool ownsOutput_ = false;
  float master_ = 1.0f;
  std::unique_ptr<AudioPath> defaultPath_;
  AudioEvent* event_ = nullptr;
  uint64_t primarySerial_ = 0;
  int primaryChannel_ = -1;
};

// The music graph: one MIDI piece at a time. The soundfont loads on a
// background thread from construction; a piece played before it is loaded
// starts with the first Render after the load (Play itself never waits).
// Chosen in this order: $VANTOREL_SOUNDFONT, FluidR3_GM, TimGM6mb, default-GM.
class MusicGraph {
 public:
  enum : int { kComplete = 1, kUserAbort = 2, kErrorAbort = 3 };  // event codes

  MusicGraph();
  ~MusicGraph();
  MusicGraph(const MusicGraph&) = delete;
  MusicGraph& operator=(const MusicGraph&) = delete;

  // Called whenever an event is queued, on whatever thread renders (the
  // audio thread on a device): it must only post.
  void SetNotify(std::function<void()> notify);
  // Stops the current piece and plays the MIDI file (engine path) from its
  // start. False, with the current piece going on, when the file cannot be
  // read or is no MIDI file.
  bool Play(std::string_view enginePath);
  // Takes effect from the next samples, ramped over one block.
  HRESULT SetVolume(int32_t hundredths);
  // Takes the next queued event; false when none is left.
  bool GetEvent(int& code);
  bool Playing() const;
  // Fills stereo frames. Silence, without synthesising, when nothing plays.
  // A piece asked for before the soundfont is in starts once it is. A pulled
  // render waits for the load, so the piece starts exactly where it was
  // asked for; the sound device's render (waitForLoad false) gives silence
  // until then instead: it runs under the device's lock, which the window
  // thread takes to start an effect, so waiting there would hold up the
  // window thread until the soundfont is in.
  void Render(int16_t* stereo, size_t frames, bool waitForLoad = true);
  // The same in floats (full scale at 1), unclipped: what the device plays.
  void Render(float* stereo, size_t frames, bool waitForLoad = true);
  std::string SoundFontPath() const;

  struct Impl;

 private:
  std::unique_ptr<Impl> impl_;
};

// On the null output nothing pulls the music, so the main loop does: once
// per pass it calls AudioPumpToClock, which renders and drops the music for
// the milliseconds the clock (real or virtual) moved since the last call, at
// most one second at a time. Pieces so advance, end and loop in step with
// the clock. Both do nothing on a device, which pulls by itself.
void AudioPump(uint32_t ms);
void AudioPumpToClock();

}  // namespace platform
