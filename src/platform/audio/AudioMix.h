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

// The music bus. The volumes the engine sets keep their values (-3000 the
// player's default, fades in 100 steps between -5000 and 0), but read as
// plain decibels they span 30 dB between the title's music and full volume,
// more than a player can listen across: the title would be near inaudible or
// full volume far past what the output holds. So each piece is first brought
// to one loudness (kMusicFullLoudness at volume 0, from its EBU R128
// integrated loudness, measured once when it loads), and the volume then
// follows a curve that keeps the order and is smooth for fades: 0 to -3000
// lowers it by kMusicDefaultDrop dB only, -3000 to -5000 falls on to 50 dB
// under full (where fades end, as before), and below that it falls faster
// still; -10000 is silence.
constexpr double kMusicFullLoudness = -15.0;  // LUFS
constexpr double kMusicDefaultDrop = 4.0;     // dB
// Decibels (at most 0) and the gain the curve gives a volume.
double MusicVolumeDb(int32_t hundredths);
float MusicVolumeGain(int32_t hundredths);
// The gain that brings a piece of the given loudness (LUFS) to
// kMusicFullLoudness, within +24 and -40 dB; 1 for silence (not finite).
float LoudnessGain(double lufs);

// Where the effect bus reaches the output, in hundredths of a decibel, on
// top of the master and path volumes, which keep their meaning (-600 halves
// the amplitude, +1000 is x3.16 against 0). The effect files peak at -4.4 to
// -7.5 dBFS and play at the master volume's +1000; -9 dB puts their peaks at
// -3.4 to -6.5 dBFS, below the limiter's knee, so one effect alone passes it
// untouched.
constexpr int32_t kEffectBusLevel = -900;
// The player's own levels (hundredths of a decibel, -10000 or less for
// silence), set from the settings on top of everything else: exact gains
// after the music curve and the effect bus.
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
