// The output's mix stage: the level at which each bus reaches the output,
// and the soft limiter on the summed mix.
#include "platform/audio/AudioMix.h"

#include <algorithm>
#include <atomic>
#include <cmath>

namespace platform {
namespace {
constexpr float kReleaseSeconds = 0.1f;
// 60 dB over full scale, past any real sum (256 effect channels at full
// scale and +1 dB come to some 290). Samples beyond it are cut to it first,
// so that one wild value holds the gain down for 0.7 s at most.
constexpr float kMaxInput = 1000.0f;
}

float DecibelGain(int32_t hundredths) {
  if (hundredths <= -10000) return 0.0f;
  return static_cast<float>(std::pow(10.0, static_cast<double>(hundredths) / 2000.0));
}

double MusicVolumeDb(int32_t hundredths) {
  // x: the volume's own attenuation in dB. Linear (slope s) down to 30, a
  // parabola from there to (50, 50) that leaves with the same slope, and a
  // straight line with the parabola's last slope after it.
  const double x = -std::min<int32_t>(hundredths, 0) / 100.0;
  const double s = kMusicDefaultDrop / 30.0, q = (50.0 - kMusicDefaultDrop - 20.0 * s) / 400.0;
  if (x <= 30.0) return -s * x;
  if (x <= 50.0) return -(kMusicDefaultDrop + s * (x - 30.0) + q * (x - 30.0) * (x - 30.0));
  return -(50.0 + (s + 40.0 * q) * (x - 50.0));
}

float MusicVolumeGain(int32_t hundredths) {
  if (hundredths <= -10000) return 0.0f;
  return static_cast<float>(std::pow(10.0, MusicVolumeDb(hundredths) / 20.0));
}

float LoudnessGain(double lufs) {
  if (!std::isfinite(lufs)) return 1.0f;
  return static_cast<float>(std::pow(10.0, std::clamp(kMusicFullLoudness - lufs, -40.0, 24.0) / 20.0));
}

namespace {
// The mixer thread reads them; the game's thread sets them.
std::atomic<float> g_playerMusic{1.0f}, g_playerEffects{1.0f};
}  // namespace

float MusicBusGain() { return g_playerMusic.load(std::memory_order_relaxed); }

float EffectBusGain() {
  static const float gain = DecibelGain(kEffectBusLevel);
  return gain * g_playerEffects.load(std::memory_order_relaxed);
}

void SetPlayerLevels(int32_t musicHundredths, int32_t effectHundredths) {
  g_playerMusic.store(DecibelGain(musicHundredths), std::memory_order_relaxed);
  g_playerEffects.store(DecibelGain(effectHundredths), std::memory_order_relaxed);
}

MixLimiter::MixLimiter()
    : knee_(DecibelGain(kKnee)),
      span_(DecibelGain(kCeiling) - knee_),
      release_(std::exp(-1.0f / (kReleaseSeconds * static_cast<float>(kAudioRate)))) {}

float MixLimiter::Curve(float peak) const {
  // Slope 1 at the knee, so the bend starts without a kink; tanh < 1 keeps
  // the result below the ceiling however loud the input.
  return knee_ + span_ * std::tanh((peak - knee_) / span_);
}

void MixLimiter::Process(float* stereo, size_t frames) {
  // Silence with the gain at rest passes unchanged (the device's blocks
  // while nothing sounds): a scan instead of the whole loop.
  if (envelope_ == 0.0f && std::all_of(stereo, stereo + 2 * frames, [](float v) { return v == 0.0f; })) return;
  float envelope = envelope_;
  for (size_t i = 0; i < frames; ++i) {
    float* frame = stereo + 2 * i;
    float peak = 0.0f;
    for (int c = 0; c < 2; ++c) {
      float a = std::fabs(frame[c]);
      if (!(a <= kMaxInput)) {
        // Not a number: nothing a gain could bring back; silence.
        if (std::isnan(a)) {
          frame[c] = 0.0f;
          a = 0.0f;
        } else {
          frame[c] = std::copysign(kMaxInput, frame[c]);
          a = kMaxInput;
        }
      }
      if (a > peak) peak = a;
    }
    // Instant attack, so no sample gets past the curve; the release lets the
    // gain come back smoothly instead of following each wave.
    envelope = peak >= envelope ? peak : peak + release_ * (envelope - peak);
    if (envelope > knee_) {
      float gain = Curve(envelope) / envelope;
      frame[0] *= gain;
      frame[1] *= gain;
    }
  }
  // A release tail far below the knee no longer matters; dropping it keeps
  // denormals out of the loop.
  envelope_ = envelope < 1e-6f ? 0.0f : envelope;
}

void ScaleSamples(int16_t* samples, size_t count, float gain) {
  for (size_t i = 0; i < count; ++i) {
    float v = std::nearbyint(static_cast<float>(samples[i]) * gain);
    samples[i] = static_cast<int16_t>(std::clamp(v, -32768.0f, 32767.0f));
  }
}

}  // namespace platform
