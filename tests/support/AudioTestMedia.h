#pragma once
// Sound files made on the spot for the audio tests and the music benchmark.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace testmedia {

inline void Le(std::string& s, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
}
inline void Be(std::string& s, uint32_t v, int bytes) {
  for (int i = bytes - 1; i >= 0; --i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
}

// A 16-bit PCM WAV of a sine tone.
inline std::string SineWav(double seconds, int rate = 22050, int channels = 1, double amplitude = 0.5,
                           double hz = 440.0) {
  size_t frames = static_cast<size_t>(seconds * rate);
  std::string data;
  for (size_t i = 0; i < frames; ++i) {
    auto v = static_cast<int16_t>(std::lround(amplitude * 32767.0 * std::sin(2.0 * M_PI * hz * i / rate)));
    for (int c = 0; c < channels; ++c) Le(data, static_cast<uint16_t>(v), 2);
  }
  std::string f = "RIFF";
  Le(f, static_cast<uint32_t>(36 + data.size()), 4);
  f += "WAVEfmt ";
  Le(f, 16, 4);
  Le(f, 1, 2);  // PCM
  Le(f, static_cast<uint32_t>(channels), 2);
  Le(f, static_cast<uint32_t>(rate), 4);
  Le(f, static_cast<uint32_t>(rate * channels * 2), 4);
  Le(f, static_cast<uint32_t>(channels * 2), 2);
  Le(f, 16, 2);
  f += "data";
  Le(f, static_cast<uint32_t>(data.size()), 4);
  return f + data;
}

inline void Vlq(std::string& s, uint32_t v) {
  char b[5];
  int n = 0;
  b[n++] = static_cast<char>(v & 0x7F);
  while (v >>= 7) b[n++] = static_cast<char>(0x80 | (v & 0x7F));
  while (n) s += b[--n];
}

struct Note {
  uint32_t startTick, lengthTicks;
  uint8_t channel, key, velocity;
};

// A format-0 MIDI file, 96 ticks per quarter note, with the given tempo
// (microseconds per quarter) and programs per channel.
inline std::string Midi(const std::vector<Note>& notes, uint32_t tempo = 500000,
                        const std::vector<std::pair<uint8_t, uint8_t>>& programs = {{0, 0}}) {
  struct Ev {
    uint32_t tick;
    int order;
    std::string bytes;
  };
  std::vector<Ev> evs;
  for (const Note& n : notes) {
    evs.push_back({n.startTick, 1, {char(0x90 | n.channel), char(n.key), char(n.velocity)}});
    evs.push_back({n.startTick + n.lengthTicks, 0, {char(0x80 | n.channel), char(n.key), char(0)}});
  }
  std::stable_sort(evs.begin(), evs.end(),
                   [](const Ev& a, const Ev& b) { return a.tick != b.tick ? a.tick < b.tick : a.order < b.order; });
  std::string trk;
  Vlq(trk, 0);
  trk += "\xFF\x51\x03";
  Be(trk, tempo, 3);
  for (auto [ch, prog] : programs) {
    Vlq(trk, 0);
    trk += static_cast<char>(0xC0 | ch);
    trk += static_cast<char>(prog);
  }
  uint32_t now = 0;
  for (const Ev& e : evs) {
    Vlq(trk, e.tick - now);
    trk += e.bytes;
    now = e.tick;
  }
  Vlq(trk, 0);
  trk += "\xFF\x2F";
  trk += '\0';
  std::string f = "MThd";
  Be(f, 6, 4);
  Be(f, 0, 2);
  Be(f, 1, 2);
  Be(f, 96, 2);
  f += "MTrk";
  Be(f, static_cast<uint32_t>(trk.size()), 4);
  return f + trk;
}

// Four quarter notes of piano: 384 ticks, 2 s at 120 bpm (1 s at tempo 250000).
inline std::string Scale(uint32_t tempo = 500000, uint8_t velocity = 80) {
  std::vector<Note> notes;
  for (uint8_t i = 0; i < 4; ++i) notes.push_back({96u * i, 96, 0, static_cast<uint8_t>(60 + 2 * i), velocity});
  return Midi(notes, tempo);
}

}  // namespace testmedia
