// The sound effects, each synthesised from partials, noise and filters.
#include <cmath>

#include "Sounds.h"

namespace makesound {
namespace {
constexpr float kPi = 3.14159265358979f;
}

// Decide: two bell-like notes a fifth apart (E6, B6), soft and bright.
Wave MakeDecide() {
  Wave w(0.45f);
  for (auto [at, hz] : {std::pair{0.0f, 1318.5f}, std::pair{0.06f, 1975.5f}}) {
    AddPartial(w, at, hz, 0.5f, 0.12f);
    AddPartial(w, at, hz * 2.0f, 0.15f, 0.05f);
    AddPartial(w, at, hz * 3.01f, 0.06f, 0.03f);
  }
  w.Normalise(0.55f);
  w.Soften(0.0005f, 0.02f);
  return w;
}

// Cursor move: a short wooden tick, a falling blip over a breath of noise.
Wave MakeCursor() {
  Wave w(0.08f);
  Noise noise(11);
  BandPass band;
  for (size_t i = 0; i < w.size(); ++i) {
    float t = float(i) / kRate;
    float hz = 1800.0f - 6000.0f * t;
    float blip = std::sin(2.0f * kPi * hz * t) * std::exp(-t / 0.015f);
    float click = band.Run(noise.Next(), 3200.0f, 4.0f) * std::exp(-t / 0.004f);
    w.s[i] = 0.7f * blip + 0.5f * click;
  }
  w.Normalise(0.45f);
  w.Soften(0.0003f, 0.01f);
  return w;
}

// A classroom's sliding door: a rattling roll along the rail, then the
// knock of the frame against the post.
Wave MakeDoor() {
  Wave w(1.1f);
  Noise noise(23);
  LowPass low;
  BandPass rattle;
  const float slide = 0.75f;
  for (size_t i = 0; i < w.size(); ++i) {
    float t = float(i) / kRate;
    float v = 0;
    if (t < slide) {
      float env = std::sin(kPi * t / slide);
      float bumps = 0.6f + 0.4f * std::sin(2.0f * kPi * (22.0f + 10.0f * t) * t);
      v = low.Run(noise.Next(), 700.0f) * 2.2f * env * bumps + rattle.Run(noise.Next(), 1400.0f, 6.0f) * 0.25f * env;
    }
    w.s[i] = v;
  }
  Wave knock(0.3f);
  AddPartial(knock, 0.0f, 110.0f, 0.9f, 0.06f);
  AddPartial(knock, 0.0f, 230.0f, 0.5f, 0.04f);
  AddPartial(knock, 0.0f, 523.0f, 0.2f, 0.02f);
  w.Mix(knock, slide - 0.02f);
  w.Normalise(0.6f);
  w.Soften(0.01f, 0.05f);
  return w;
}

// Light running steps on a school floor: six soft heel-and-toe taps.
Wave MakeFootsteps() {
  Wave w(1.3f);
  Noise noise(37);
  for (int step = 0; step < 6; ++step) {
    float at = 0.05f + 0.19f * float(step);
    float level = 0.5f + 0.1f * float(step);  // coming closer
    Wave tap(0.12f);
    BandPass band;
    for (size_t i = 0; i < tap.size(); ++i) {
      float t = float(i) / kRate;
      float body = std::sin(2.0f * kPi * (140.0f - 200.0f * t) * t) * std::exp(-t / 0.018f);
      float scuff = band.Run(noise.Next(), 1100.0f + 150.0f * float(step % 2), 2.0f) * std::exp(-t / 0.012f);
      tap.s[i] = level * (body + 0.9f * scuff);
    }
    w.Mix(tap, at);
  }
  w.Normalise(0.55f);
  w.Soften(0.005f, 0.05f);
  return w;
}

// An evening breeze through trees: noise through a slowly wandering band.
Wave MakeWind() {
  Wave w(4.0f);
  Noise noise(53);
  BandPass band;
  LowPass low;
  for (size_t i = 0; i < w.size(); ++i) {
    float t = float(i) / kRate;
    float gust = 0.55f + 0.3f * std::sin(2.0f * kPi * 0.31f * t) + 0.15f * std::sin(2.0f * kPi * 0.83f * t + 1.0f);
    float centre = 380.0f + 260.0f * gust;
    float x = noise.Next();
    w.s[i] = (band.Run(x, centre, 1.5f) * 0.8f + low.Run(x, 250.0f) * 0.6f) * gust;
  }
  w.Normalise(0.5f);
  w.Soften(0.8f, 1.2f);
  return w;
}

// A cat's "nyaa": a voiced tone whose pitch rises and falls while two
// formants glide from a closed "n" through "ya" to "a".
Wave MakeMeow() {
  Wave w(0.75f);
  const float len = 0.68f;
  float phase = 0;
  for (size_t i = 0; i < w.size(); ++i) {
    float t = float(i) / kRate;
    if (t > len) break;
    float u = t / len;
    float pitch = 560.0f + 420.0f * std::sin(kPi * std::pow(u, 0.7f)) - 120.0f * u;
    phase += 2.0f * kPi * pitch / kRate;
    float f1 = 500.0f + 700.0f * std::sin(kPi * std::min(1.0f, u * 1.4f));
    float f2 = 1900.0f - 500.0f * u;
    float v = 0;
    for (int h = 1; h <= 12; ++h) {
      float hz = pitch * float(h);
      float g1 = 1.0f / (1.0f + std::pow((hz - f1) / 250.0f, 2.0f));
      float g2 = 0.6f / (1.0f + std::pow((hz - f2) / 350.0f, 2.0f));
      v += (g1 + g2) / float(h) * std::sin(phase * float(h));
    }
    float env = std::min(1.0f, t / 0.04f) * std::pow(1.0f - u, 0.6f) * (1.0f + 0.08f * std::sin(2.0f * kPi * 7.0f * t));
    w.s[i] = v * env;
  }
  w.Normalise(0.5f);
  w.Soften(0.005f, 0.03f);
  return w;
}

// The school bell's four-note chime (E, C, D, G below), bell partials that
// ring on.
Wave MakeSchoolBell() {
  Wave w(5.5f);
  const float notes[] = {659.3f, 523.3f, 587.3f, 392.0f};
  for (int i = 0; i < 4; ++i) {
    float at = 0.05f + 0.9f * float(i);
    float hz = notes[i];
    AddPartial(w, at, hz * 0.5f, 0.35f, 1.6f, 0.004f);  // hum
    AddPartial(w, at, hz, 0.6f, 1.2f, 0.003f);
    AddPartial(w, at, hz * 1.2f, 0.25f, 0.8f, 0.003f);  // minor third: the bell's colour
    AddPartial(w, at, hz * 1.5f, 0.2f, 0.7f, 0.003f);
    AddPartial(w, at, hz * 2.0f, 0.25f, 0.5f, 0.003f);
    AddPartial(w, at, hz * 2.76f, 0.1f, 0.25f, 0.002f);
  }
  w.Normalise(0.5f);
  w.Soften(0.001f, 0.6f);
  return w;
}

// A small rising sparkle for the title and the ending.
Wave MakeSparkle() {
  Wave w(1.4f);
  const float notes[] = {1046.5f, 1318.5f, 1568.0f, 2093.0f, 2637.0f};
  for (int i = 0; i < 5; ++i) {
    AddPartial(w, 0.07f * float(i), notes[i], 0.4f, 0.35f);
    AddPartial(w, 0.07f * float(i), notes[i] * 2.0f, 0.1f, 0.15f);
  }
  w.Normalise(0.45f);
  w.Soften(0.001f, 0.2f);
  return w;
}

}  // namespace makesound
