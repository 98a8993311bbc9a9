#pragma once
// Mono sample buffers for synthesising the effects, a few building blocks
// (oscillators, envelopes, noise, filters) and the 16-bit PCM .wav writer.
#include <cstdint>
#include <string>
#include <vector>

namespace makesound {

constexpr int kRate = 44100;

struct Wave {
  std::vector<float> s;  // -1..1
  explicit Wave(float seconds) : s(static_cast<size_t>(seconds * kRate), 0.0f) {}
  size_t size() const { return s.size(); }
  float Seconds() const { return float(s.size()) / kRate; }
  // Adds another wave starting at the given time, scaled.
  void Mix(const Wave& other, float atSeconds, float gain = 1.0f);
  // Scales so that the loudest sample reaches peak.
  void Normalise(float peak);
  // Short fades at both ends so that nothing clicks.
  void Soften(float inSeconds, float outSeconds);
};

// Deterministic white noise (the same file on every build).
class Noise {
 public:
  explicit Noise(uint32_t seed) : state_(seed ? seed : 1) {}
  float Next();  // -1..1
 private:
  uint32_t state_;
};

// One-pole low-pass and a resonant band-pass (state-variable) filter.
class LowPass {
 public:
  float Run(float x, float cutoffHz);
 private:
  float y_ = 0;
};
class BandPass {
 public:
  float Run(float x, float centreHz, float q);
 private:
  float low_ = 0, band_ = 0;
};

// A decaying sine partial: frequency, amplitude, decay time constant.
void AddPartial(Wave& w, float at, float hz, float amp, float decay, float attack = 0.002f);

// 16-bit mono PCM RIFF/WAVE bytes.
std::string EncodeWav(const Wave& w);

}  // namespace makesound
