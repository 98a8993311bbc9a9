#pragma once
// How loud a MIDI piece sounds through the music synthesiser: its EBU R128
// integrated loudness, for the music bus to bring every piece to one level.
#include <atomic>
#include <string>
#include <vector>

#include "platform/audio/MidiMasterVolume.h"

typedef struct _fluid_synth_t fluid_synth_t;

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

}  // namespace platform
