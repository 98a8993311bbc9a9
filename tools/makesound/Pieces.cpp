// The game's music: each piece is a melody over a chord progression, with the
// accompaniment (bass, broken chords, string pad) derived from the chords.
// Every piece ends on a dominant that leads back into its first bar, so
// the player's endless repeat sounds like one tune.
#include <sstream>

#include "Midi.h"
#include "Sounds.h"

namespace makesound {
namespace {

std::vector<std::string> Split(const std::string& text) {
  std::istringstream in(text);
  std::vector<std::string> out;
  std::string w;
  while (in >> w) out.push_back(w);
  return out;
}

int Beats(int n) { return n * kTicksPerBeat; }

// The key of a pitch class in the octave from lowest up.
int KeyFrom(int pitchClass, int lowest) {
  int k = lowest;
  while (k % 12 != pitchClass) ++k;
  return k;
}

struct Arrangement {
  Arrangement(Song& s, Track* b, Track* c, Track* p) : song(s), bass(b), chords(c), pad(p) {}
  Song& song;
  Track *bass, *chords, *pad;
  int bassLow = 36;      // bass notes from here up one octave
  int chordLow = 55;     // broken chords above the bass note
  int padLow = 60;
  std::vector<int> pattern;  // eighths: 0 is the bass note, 1.. the chord tones upwards
  int chordVelocity = 58, padVelocity = 50, bassVelocity = 78;

  // One bar per chord symbol, from the given bar; the pad plays only when asked.
  void Play(int bar, const std::string& symbols, bool withPad) {
    const int barTicks = Beats(song.beatsPerBar);
    for (const std::string& s : Split(symbols)) {
      Chord c = ParseChord(s);
      int start = bar * barTicks;
      int low = KeyFrom(c.bass, bassLow);
      if (song.beatsPerBar == 4) {
        // The root, then the fifth (or the given bass again) on beat three.
        int third = c.bass == c.root ? KeyFrom((c.root + 7) % 12, bassLow) : low;
        bass->notes.push_back({start, Beats(2) - 30, low, bassVelocity});
        bass->notes.push_back({start + Beats(2), Beats(2) - 30, third, bassVelocity - 8});
      } else {
        bass->notes.push_back({start, Beats(song.beatsPerBar) - 30, low, bassVelocity});
      }
      std::vector<int> keys = {KeyFrom(c.bass, chordLow - 12)};
      for (int k : Voice(c, chordLow, 3)) keys.push_back(k);
      int half = kTicksPerBeat / 2;
      for (size_t i = 0; i < pattern.size(); ++i) {
        int accent = (i % 2 == 0) ? 6 : 0;
        chords->notes.push_back({start + int(i) * half, half * 2, keys[size_t(pattern[i]) % keys.size()],
                                 chordVelocity + accent - (i == 0 ? 0 : 4)});
      }
      if (withPad)
        for (int k : Voice(c, padLow, 3)) pad->notes.push_back({start, barTicks, k, padVelocity});
      ++bar;
    }
  }
};

}  // namespace

// 「放課後」: the title and school theme. C major, 4/4, piano over strings.
Song ComposeSchoolTheme() {
  Song song;
  song.title = "Houkago (After School)";
  song.bpm = 88;
  song.beatsPerBar = 4;
  song.bars = 24;
  song.tracks = {
      {"Piano (melody)", 0, 0, 104, 70, 50, {}},
      {"Piano (accompaniment)", 1, 0, 82, 56, 50, {}},
      {"Strings", 2, 48, 78, 80, 70, {}},
      {"Bass", 3, 32, 96, 64, 30, {}},
      {"Glockenspiel", 4, 9, 52, 90, 80, {}},
  };
  Track &melody = song.tracks[0], &glock = song.tracks[4];
  Arrangement a{song, &song.tracks[3], &song.tracks[1], &song.tracks[2]};
  a.pattern = {0, 1, 2, 3, 2, 1, 2, 1};

  const char* verse = "C G/B Am Em/G F C/E Dm7 G7";
  a.Play(0, verse, false);
  a.Play(8, "C G/B Am Em/G F G C C", true);
  a.Play(16, "F G Em Am Dm7 G C G7", true);

  int t = 0;
  t = AddLine(melody, t,
              "E5:2 G5:1 E5:1  D5:3 G4:1  C5:1.5 D5:.5 E5:1 A5:1  G5:3 r:1 "
              "A5:1.5 G5:.5 F5:1 A5:1  G5:1.5 F5:.5 E5:1 C5:1  D5:1 E5:1 F5:1 A5:1  G5:3 r:1",
              84);
  t = AddLine(melody, t,
              "E5:2 G5:1 E5:1  D5:2 G5:1 D5:1  C5:1.5 D5:.5 E5:1 A5:1  B5:2 G5:2 "
              "A5:1 C6:1 A5:1 F5:1  D5:1.5 E5:.5 F5:1 D5:1  C5:3 E5:.5 G5:.5  C5:2 r:2",
              90);
  int bridge = t;
  t = AddLine(melody, t,
              "A5:1.5 G5:.5 F5:1 E5:1  D5:1.5 E5:.5 F5:1 G5:1  E5:1.5 D5:.5 E5:1 B4:1  C5:2 A4:2 "
              "F5:1.5 E5:.5 D5:1 C5:1  B4:1 C5:1 D5:1 G5:1  E5:2 G5:1 C6:1  D5:1 F5:1 G5:1 B4:1",
              96);
  // The glockenspiel sparkles over the bridge, an octave up.
  AddLine(glock, bridge,
          "A6:1.5 G6:.5 F6:1 E6:1  D6:1.5 E6:.5 F6:1 G6:1  E6:1.5 D6:.5 E6:1 B5:1  C6:2 A5:2 "
          "F6:1.5 E6:.5 D6:1 C6:1  B5:1 C6:1 D6:1 G6:1  E6:2 G6:1 C7:1  D6:1 F6:1 G6:1 B5:1",
          64);
  return song;
}

// 「夕暮れの公園」: the evening park. A minor, a slow waltz: ocarina over
// nylon guitar and strings.
Song ComposeEveningTheme() {
  Song song;
  song.title = "Yuugure no Kouen (Evening Park)";
  song.bpm = 76;
  song.beatsPerBar = 3;
  song.bars = 24;
  song.tracks = {
      {"Ocarina", 0, 79, 100, 64, 60, {}},
      {"Guitar", 1, 24, 92, 48, 45, {}},
      {"Strings", 2, 49, 74, 84, 75, {}},
      {"Bass", 3, 32, 92, 64, 30, {}},
  };
  Track& melody = song.tracks[0];
  Arrangement a{song, &song.tracks[3], &song.tracks[1], &song.tracks[2]};
  a.pattern = {0, 1, 2, 3, 2, 1};
  a.chordLow = 57;
  a.Play(0, "Am F C G Am F Dm E7", false);
  a.Play(8, "Am F C G F G C E7", true);
  a.Play(16, "F G Em Am Dm G7 C E7", true);

  int t = 0;
  t = AddLine(melody, t,
              "A4:1 C5:1 E5:1  F5:2 E5:1  E5:1 D5:1 C5:1  D5:3~ "
              "C5:1 E5:1 A5:1  A5:2 G5:.5 F5:.5  F5:1 E5:1 D5:1  E5:2 G#4:1",
              80);
  t = AddLine(melody, t,
              "A4:1 C5:1 E5:1  F5:2 A5:1  G5:1.5 E5:.5 C5:1  D5:2 B4:1 "
              "C5:1 D5:1 F5:1  B4:1 D5:1 G5:1  E5:3~  E5:1 D5:1 B4:1",
              86);
  AddLine(melody, t,
          "A5:2 C6:1  B5:2 G5:1  G5:1.5 E5:.5 B4:1  C5:2 E5:1 "
          "F5:1.5 E5:.5 D5:1  B4:1 D5:1 F5:1  E5:2 C5:1  B4:2 G#4:1",
          92);
  return song;
}

// 「星の約束」: night in the park and the ending. F major, 4/4, slow: a music
// box over harp and strings.
Song ComposeNightTheme() {
  Song song;
  song.title = "Hoshi no Yakusoku (A Promise under the Stars)";
  song.bpm = 66;
  song.beatsPerBar = 4;
  song.bars = 16;
  song.tracks = {
      {"Music box", 0, 10, 96, 64, 70, {}},
      {"Harp", 1, 46, 84, 44, 60, {}},
      {"Strings", 2, 49, 80, 84, 80, {}},
      {"Bass", 3, 32, 84, 64, 40, {}},
  };
  Track& melody = song.tracks[0];
  Arrangement a{song, &song.tracks[3], &song.tracks[1], &song.tracks[2]};
  a.pattern = {0, 1, 2, 3, 1, 2, 3, 2};
  a.chordLow = 53;
  a.padLow = 57;
  a.Play(0, "F C/E Dm Am/C Bb F/A Gm7 C7", true);
  a.Play(8, "F C/E Dm Am/C Bb C F C7", true);

  AddLine(melody, 0,
          "C6:1.5 A5:.5 F5:2  E5:1 G5:1 C6:2  A5:1.5 F5:.5 D5:1 F5:1  E5:4 "
          "D5:1 F5:1 Bb5:1 D6:1  C6:1.5 A5:.5 F5:2  G5:1 Bb5:1 A5:1 G5:1  E5:2 G5:2 "
          "C6:1.5 A5:.5 F5:2  E5:1 G5:1 C6:2  A5:1 F5:1 A5:1 D6:1  C6:4 "
          "D6:1.5 C6:.5 Bb5:1 A5:1  G5:1 A5:1 Bb5:1 E5:1  F5:4  G5:2 E5:1 C5:1",
          78);
  return song;
}

}  // namespace makesound
