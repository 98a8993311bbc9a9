#include "Midi.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <sstream>
#include <stdexcept>

namespace makesound {
namespace {

struct Event {
  int tick;
  int order;  // note-offs before note-ons at the same tick
  std::string bytes;
};

void PutBe(std::string& out, uint32_t v, int bytes) {
  for (int i = bytes - 1; i >= 0; --i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

void PutVarLen(std::string& out, uint32_t v) {
  char buf[5];
  int n = 0;
  buf[n++] = static_cast<char>(v & 0x7F);
  while (v >>= 7) buf[n++] = static_cast<char>((v & 0x7F) | 0x80);
  while (n) out.push_back(buf[--n]);
}

std::string Meta(int type, const std::string& data) {
  std::string e = {'\xFF', static_cast<char>(type)};
  PutVarLen(e, static_cast<uint32_t>(data.size()));
  return e + data;
}

std::string Chunk(std::vector<Event> events, int endTick) {
  std::stable_sort(events.begin(), events.end(),
                   [](const Event& a, const Event& b) { return a.tick != b.tick ? a.tick < b.tick : a.order < b.order; });
  std::string body;
  int now = 0;
  for (const Event& e : events) {
    PutVarLen(body, static_cast<uint32_t>(e.tick - now));
    body += e.bytes;
    now = e.tick;
  }
  PutVarLen(body, static_cast<uint32_t>(std::max(0, endTick - now)));
  body += Meta(0x2F, "");
  std::string chunk = "MTrk";
  PutBe(chunk, static_cast<uint32_t>(body.size()), 4);
  return chunk + body;
}

std::string Bytes(std::initializer_list<int> values) {
  std::string s;
  for (int v : values) s.push_back(static_cast<char>(v));
  return s;
}

}  // namespace

std::string EncodeSmf(const Song& song) {
  const int endTick = song.bars * song.beatsPerBar * kTicksPerBeat;
  std::string out = "MThd";
  PutBe(out, 6, 4);
  PutBe(out, 1, 2);
  PutBe(out, static_cast<uint32_t>(song.tracks.size() + 1), 2);
  PutBe(out, kTicksPerBeat, 2);

  std::vector<Event> conductor;
  conductor.push_back({0, 0, Meta(0x03, song.title)});
  std::string tempo;
  PutBe(tempo, static_cast<uint32_t>(60000000 / song.bpm), 3);
  conductor.push_back({0, 0, Meta(0x51, tempo)});
  conductor.push_back({0, 0, Meta(0x58, Bytes({song.beatsPerBar, 2, 24, 8}))});
  out += Chunk(conductor, endTick);

  for (const Track& t : song.tracks) {
    std::vector<Event> ev;
    int ch = t.channel & 0x0F;
    ev.push_back({0, 0, Meta(0x03, t.name)});
    ev.push_back({0, 0, Bytes({0xC0 | ch, t.program & 0x7F})});
    ev.push_back({0, 0, Bytes({0xB0 | ch, 7, t.volume & 0x7F})});
    ev.push_back({0, 0, Bytes({0xB0 | ch, 10, t.pan & 0x7F})});
    ev.push_back({0, 0, Bytes({0xB0 | ch, 91, t.reverb & 0x7F})});
    for (const Note& n : t.notes) {
      if (n.tick >= endTick) continue;
      int off = std::min(n.tick + n.length, endTick);  // nothing rings across the loop point
      ev.push_back({n.tick, 2, Bytes({0x90 | ch, n.key & 0x7F, std::clamp(n.velocity, 1, 127)})});
      ev.push_back({off, 1, Bytes({0x80 | ch, n.key & 0x7F, 64})});
    }
    out += Chunk(std::move(ev), endTick);
  }
  return out;
}

int KeyOf(const std::string& name) {
  static const int base[] = {9, 11, 0, 2, 4, 5, 7};  // A..G
  if (name.empty() || name[0] < 'A' || name[0] > 'G') return -1;
  int pc = base[name[0] - 'A'];
  size_t i = 1;
  while (i < name.size() && (name[i] == '#' || name[i] == 'b')) pc += name[i++] == '#' ? 1 : -1;
  if (i >= name.size()) return -1;
  int octave = std::atoi(name.c_str() + i);
  return (octave + 1) * 12 + pc;
}

int AddLine(Track& track, int tick, const std::string& text, int velocity) {
  std::istringstream in(text);
  std::string word;
  while (in >> word) {
    size_t colon = word.find(':');
    if (colon == std::string::npos) throw std::runtime_error("note without a length: " + word);
    bool legato = word.back() == '~';
    std::string pitch = word.substr(0, colon);
    int length = static_cast<int>(std::lround(std::atof(word.c_str() + colon + 1) * kTicksPerBeat));
    if (pitch != "r") {
      int key = KeyOf(pitch);
      if (key < 0) throw std::runtime_error("bad note name: " + word);
      track.notes.push_back({tick, legato ? length : length * 95 / 100, key, velocity});
    }
    tick += length;
  }
  return tick;
}

Chord ParseChord(const std::string& symbol) {
  Chord c;
  std::string s = symbol, bass;
  size_t slash = s.find('/');
  if (slash != std::string::npos) {
    bass = s.substr(slash + 1);
    s = s.substr(0, slash);
  }
  int root = KeyOf(s.substr(0, 1) + "0") % 12;
  size_t i = 1;
  while (i < s.size() && (s[i] == '#' || s[i] == 'b')) root += s[i++] == '#' ? 1 : -1;
  std::string quality = s.substr(i);
  std::vector<int> steps;
  if (quality == "") steps = {0, 4, 7};
  else if (quality == "m") steps = {0, 3, 7};
  else if (quality == "7") steps = {0, 4, 7, 10};
  else if (quality == "m7") steps = {0, 3, 7, 10};
  else if (quality == "maj7") steps = {0, 4, 7, 11};
  else if (quality == "sus4") steps = {0, 5, 7};
  else if (quality == "add9") steps = {0, 4, 7, 14};
  else throw std::runtime_error("unknown chord: " + symbol);
  c.root = (root + 12) % 12;
  for (int st : steps) c.tones.push_back((c.root + st) % 12);
  c.bass = bass.empty() ? c.root : KeyOf(bass + "0") % 12;
  return c;
}

std::vector<int> Voice(const Chord& chord, int lowest, int count) {
  std::vector<int> keys;
  int key = lowest;
  size_t next = 0;
  // Start on the first chord tone at or above lowest, then climb through the tones.
  for (;; ++key) {
    auto it = std::find(chord.tones.begin(), chord.tones.end(), key % 12);
    if (it != chord.tones.end()) {
      next = static_cast<size_t>(it - chord.tones.begin());
      break;
    }
  }
  keys.push_back(key);
  while (static_cast<int>(keys.size()) < count) {
    next = (next + 1) % chord.tones.size();
    int pc = chord.tones[next];
    do ++key;
    while (key % 12 != pc);
    keys.push_back(key);
  }
  return keys;
}

}  // namespace makesound
