#include "Wave.h"

#include <algorithm>
#include <cmath>

namespace makesound {

namespace {
constexpr float kPi = 3.14159265358979f;

void PutLe(std::string& out, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}
}  // namespace

void Wave::Mix(const Wave& other, float atSeconds, float gain) {
  size_t start = static_cast<size_t>(std::max(0.0f, atSeconds) * kRate);
  for (size_t i = 0; i < other.size() && start + i < s.size(); ++i) s[start + i] += other.s[i] * gain;
}

void Wave::Normalise(float peak) {
  float most = 0;
  for (float v : s) most = std::max(most, std::fabs(v));
  if (most <= 0) return;
  for (float& v : s) v *= peak / most;
}

void Wave::Soften(float inSeconds, float outSeconds) {
  size_t in = std::min(s.size(), static_cast<size_t>(inSeconds * kRate));
  size_t out = std::min(s.size(), static_cast<size_t>(outSeconds * kRate));
  for (size_t i = 0; i < in; ++i) s[i] *= float(i) / float(in);
  for (size_t i = 0; i < out; ++i) s[s.size() - 1 - i] *= float(i) / float(out);
}

float Noise::Next() {
  // xorshift32
  state_ ^= state_ << 13;
  state_ ^= state_ >> 17;
  state_ ^= state_ << 5;
  return float(state_) / 2147483648.0f - 1.0f;
}

float LowPass::Run(float x, float cutoffHz) {
  float a = 1.0f - std::exp(-2.0f * kPi * cutoffHz / kRate);
  y_ += a * (x - y_);
  return y_;
}

float BandPass::Run(float x, float centreHz, float q) {
  float f = 2.0f * std::sin(kPi * std::min(centreHz, kRate / 6.0f) / kRate);
  float high = x - low_ - band_ / q;
  band_ += f * high;
  low_ += f * band_;
  return band_;
}

void AddPartial(Wave& w, float at, float hz, float amp, float decay, float attack) {
  size_t start = static_cast<size_t>(at * kRate);
  for (size_t i = start; i < w.size(); ++i) {
    float t = float(i - start) / kRate;
    float env = std::exp(-t / decay) * std::min(1.0f, t / attack);
    if (env < 1e-4f && t > attack) break;
    w.s[i] += amp * env * std::sin(2.0f * kPi * hz * t);
  }
}

std::string EncodeWav(const Wave& w) {
  std::string out;
  uint32_t dataBytes = static_cast<uint32_t>(w.size() * 2);
  out += "RIFF";
  PutLe(out, 36 + dataBytes, 4);
  out += "WAVEfmt ";
  PutLe(out, 16, 4);
  PutLe(out, 1, 2);  // PCM
  PutLe(out, 1, 2);  // mono
  PutLe(out, kRate, 4);
  PutLe(out, kRate * 2, 4);
  PutLe(out, 2, 2);
  PutLe(out, 16, 2);
  out += "data";
  PutLe(out, dataBytes, 4);
  for (float v : w.s) {
    long q = std::lround(std::clamp(v, -1.0f, 1.0f) * 32767.0f);
    PutLe(out, static_cast<uint32_t>(static_cast<int16_t>(q)) & 0xFFFF, 2);
  }
  return out;
}

}  // namespace makesound
