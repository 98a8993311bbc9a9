#pragma once
// How loud a MIDI piece sounds through the music synthesiser: its EBU R128
// integrated loudness, for the music bus to bring every piece to one level.
#include <atomic>
#include <string>
#include <vector>

#include "platform/audio/MidiMasterVolume.h"

typedef struct _fluid_synth_t fluid_synth_t;
typedef struct _fluid_hashtable_t fluid_settings_t;

namespace platform {

// Renders the piece (a standard MIDI file image) from its start on `synth`,
// which nothing else may use meanwhile, with the piece's own master-volume
// changes, and returns its integrated loudness in LUFS; -infinity for a piece
// that never sounds, NaN when it cannot be played or `cancel` was set. At
// most the first kMeasuredSeconds are heard: a loop's loudness is known long
// before. The synthesiser is rendered at a quarter of the output's rate
// when the library still allows that (the loudness comes out within 0.3 dB,
// four times as fast), and is reset, at the output's rate, afterwards.
constexpr int kMeasuredSeconds = 120;
double MeasureLoudness(fluid_synth_t* synth, const std::string& smf, const std::vector<MasterVolumeChange>& master,
                       const std::atomic<bool>& cancel);

// The settings the music's synthesiser is made with (rate, gain, timing),
// which a synthesiser measuring ahead must share to hear what it hears.
void SetMusicSynthSettings(fluid_settings_t* settings);

// A synthesiser of its own with one soundfont, measuring pieces ahead of
// play (vantorel-script loudness): the values the music graph would find.
class PieceMeter {
 public:
  PieceMeter() = default;
  PieceMeter(const PieceMeter&) = delete;
  PieceMeter& operator=(const PieceMeter&) = delete;
  ~PieceMeter();
  // Opens FluidSynth and loads `soundFont`; false with the reason.
  bool Open(const std::string& soundFont, std::string& why);
  // A piece's loudness (a standard MIDI file image), as MeasureLoudness.
  double Measure(const std::string& smf);

 private:
  fluid_settings_t* settings_ = nullptr;
  fluid_synth_t* synth_ = nullptr;
};

}  // namespace platform
