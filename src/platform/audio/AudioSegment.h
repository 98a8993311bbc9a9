#pragma once
// Sound effects (WAV) and the loader that finds and parses them.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/diagnostics/Result.h"

namespace platform {

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

}  // namespace platform
