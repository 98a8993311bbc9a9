#pragma once
// The music: MIDI pieces synthesised by FluidSynth.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "platform/audio/SoundFonts.h"
#include "platform/diagnostics/Result.h"

namespace platform {

// The music graph: one MIDI piece at a time. The soundfont loads on a
// background thread from the first piece played; a piece played before it
// is loaded starts with the first Render after the load (Play itself never
// waits).
// Chosen in this order: $VANTOREL_SOUNDFONT, FluidR3_GM, TimGM6mb, default-GM
// (SoundFonts.h); one that cannot be used is passed over, and said once.
class MusicGraph {
 public:
  // Event codes: the piece reached its end; (not sent); the piece ended
  // without reaching it (refused by the player, or nothing in it to play).
  enum : int { kComplete = 1, kUserAbort = 2, kErrorAbort = 3 };

  MusicGraph();
  ~MusicGraph();
  MusicGraph(const MusicGraph&) = delete;
  MusicGraph& operator=(const MusicGraph&) = delete;

  // Called whenever an event is queued, on whatever thread renders (the
  // audio thread on a device): it must only post.
  void SetNotify(std::function<void()> notify);
  // Stops the current piece and plays the MIDI file (engine path) from its
  // start, or from `tick` (a place Position gave): the controllers, programs
  // and tempo in force there are set, and notes sound from the first one
  // that starts at or after it. False, with the current piece going on, when
  // the file cannot be read or is no MIDI file.
  bool Play(std::string_view enginePath, int tick = 0);
  // Where the piece playing stands, in the MIDI file's ticks (the place a
  // piece asked for stands at until it starts); -1 when none can be had:
  // nothing plays, or there is no synthesiser to play it.
  int Position() const;
  // Takes effect from the next samples, ramped over one block.
  HRESULT SetVolume(int32_t hundredths);
  // For the sound device's stream: volumes follow the music bus's curve and
  // every piece is brought to one loudness, measured before it first sounds
  // (the piece starts once that is done; each piece is measured once). Off
  // (pulled renders), a volume is its plain gain on the piece's own level.
  void SetLevelling(bool on);
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
  // False when the block is silence without synthesis (nothing plays).
  bool Render(float* stereo, size_t frames, bool waitForLoad = true);
  // Moves the piece on by `frames` as Render would, for an output that drops
  // the samples: events, the end and the loop come at the same frame, but no
  // note is synthesised (a fraction of the cost). A later Render sounds again
  // from the next note played.
  void Advance(size_t frames);
  std::string SoundFontPath() const;

  struct Impl;

 private:
  // Starts making the synthesiser and loading the soundfont, once.
  void StartLoading();
  std::unique_ptr<Impl> impl_;
};

}  // namespace platform
