#pragma once
// Music as note lists, a small text notation to write them in, and the
// Standard MIDI File (type 1) writer.
#include <string>
#include <vector>

namespace makesound {

constexpr int kTicksPerBeat = 480;

struct Note {
  int tick = 0, length = 0, key = 60, velocity = 80;
};

struct Track {
  std::string name;
  int channel = 0, program = 0;  // General MIDI program, 0-based
  int volume = 100, pan = 64, reverb = 40;
  std::vector<Note> notes;
};

struct Song {
  std::string title;
  int bpm = 90, beatsPerBar = 4;
  int bars = 0;  // the piece ends (and loops) after this many bars
  std::vector<Track> tracks;
};

std::string EncodeSmf(const Song& song);

// "C4" is middle C (60); sharps "#", flats "b". -1 when the name is bad.
int KeyOf(const std::string& name);

// A line of notes, "E5:1.5 D5:.5 r:1", durations in beats, appended to the
// track from the given tick; returns the tick after the last note. Notes
// sound for 95% of their length unless marked legato with a trailing "~".
int AddLine(Track& track, int tick, const std::string& text, int velocity);

// A chord symbol: "C", "Am", "G7", "Dm7", "Fmaj7", "Gsus4", with an optional
// bass note "/B". Pitch classes relative to C; the bass is the root unless
// given.
struct Chord {
  int root = 0, bass = 0;
  std::vector<int> tones;  // pitch classes, root first
};
Chord ParseChord(const std::string& symbol);
// The chord's tones voiced upwards from a key at or above lowest.
std::vector<int> Voice(const Chord& chord, int lowest, int count);

}  // namespace makesound
