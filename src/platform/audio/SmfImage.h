#pragma once
// A standard MIDI file made fit for FluidSynth's reader before it sees it.
#include <string>

namespace platform {

// Leaves in `bytes` the standard MIDI file image that FluidSynth is given
// (unwrapping a RIFF RMID file): the header, then the tracks, each cut to
// what the file holds, other chunks left out, and a running status that
// follows a meta or SysEx event written out. False when it is no MIDI file.
bool ExtractSmf(std::string& bytes);

// The track's events with every running status that follows a meta or
// SysEx event written out as the status it repeats. The format says those
// events cancel running status; some sequencers kept it going across them,
// and FluidSynth refuses such a file whole. Where the events stop making
// sense the rest is kept as it is, for the player to judge.
std::string WriteOutRunningStatus(const std::string& track);

}  // namespace platform
