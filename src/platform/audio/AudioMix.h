#pragma once
// The output format, decibel gains, the bus levels and the limiter on the mix.
#include <cstddef>
#include <cstdint>

namespace platform {

// Output frames per second, stereo. The device mixes in 32-bit floats (full
// scale at 1), so that sounds summed over each other never clip before the
// limiter sees them; pulled music and decoded effects are 16-bit.
constexpr int kAudioRate = 44100;
// Frames per device buffer: 46 ms. The device's thread wakes once a buffer
// even when all is silent, and on a virtual machine each wake costs tens of
// microseconds: 1024 frames (23 ms) made that half the CPU of a waiting
// screen. 2048 is SDL_mixer's customary size and still half what other
// engines of the kind use.
constexpr int kDeviceFrames = 2048;

// 10^(hundredths/2000); -10000 and below are silence (0).
float DecibelGain(int32_t hundredths);
// Multiplies 16-bit samples by a gain, saturating instead of wrapping.
void ScaleSamples(int16_t* samples, size_t count, float gain);

// Where each bus reaches the output, in hundredths of a decibel, applied on
// top of every volume the engine sets; those keep their meaning (-600 halves
// the amplitude, +1000 is x3.16 against 0) and only the absolute level moves.
// FluidSynth at unity renders the demo's pieces at -20 to -30 dBFS RMS over
// 10 s, so the music's default -3000 would sit some 50 dB down; +33 dB brings
// the title's piece to -26 to -18 dBFS (TimGM6mb; FluidR3 -25 to -22). The
// effect files peak at -4.4 to -7.5 dBFS and play at the master volume's
// +1000; -9 dB puts their peaks at -3.4 to -6.5 dBFS, below the limiter's
// knee, so one effect alone passes it untouched.
constexpr int32_t kMusicBusLevel = 3300;
constexpr int32_t kEffectBusLevel = -900;
// Both include the player's own levels (hundredths of a decibel, -10000 or
// less for silence), set from the settings on top of everything else.
float MusicBusGain();
float EffectBusGain();
void SetPlayerLevels(int32_t musicHundredths, int32_t effectHundredths);

// The soft limiter on the summed mix (music and every effect, floats): the
// identity while the mix stays below the knee; above it the gain follows a
// peak envelope (instant attack, 0.1 s release) through a smooth curve that
// approaches the ceiling without reaching it, so nothing ever wraps, clips
// or sits at full scale. One per output; it runs on the mixer thread.
class MixLimiter {
 public:
  static constexpr int32_t kKnee = -300;    // -3 dBFS
  static constexpr int32_t kCeiling = -50;  // -0.5 dBFS
  MixLimiter();
  void Process(float* stereo, size_t frames);
  void Reset() { envelope_ = 0.0f; }
  float Curve(float peak) const;  // the output peak for an input peak above the knee

 private:
  float knee_, span_, release_;
  float envelope_ = 0.0f;
};

}  // namespace platform
