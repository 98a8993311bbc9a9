// A piece's loudness: FluidSynth renders it ahead, faster than real time,
// into libebur128.
#include "platform/audio/MusicLoudness.h"

#include <dlfcn.h>
#include <ebur128.h>

#include <cmath>
#include <limits>

#include "platform/audio/AudioMix.h"
#include "platform/audio/SoundLibraries.h"

namespace platform {
namespace {
// fluid_synth_set_sample_rate is marked deprecated (changing the rate of a
// playing synthesiser clicks); between two pieces nothing plays. Looked up
// on its own, so that a library without it still plays, measured at full rate.
using SetRate = void (*)(fluid_synth_t*, float);
SetRate SampleRateSetter() {
  static const SetRate set = [] {
    void* library = late_library::OpenShared(sound_libraries::kFluidLibrary, RTLD_NOW | RTLD_NOLOAD);
    return library ? reinterpret_cast<SetRate>(dlsym(library, "fluid_synth_set_sample_rate")) : nullptr;
  }();
  return set;
}
constexpr int kMeasureRate = kAudioRate / 4;
constexpr int kMeasureBlock = 1024;
}  // namespace

double MeasureLoudness(fluid_synth_t* synth, const std::string& smf, const std::vector<MasterVolumeChange>& master,
                       const std::atomic<bool>& cancel) {
  const sound_libraries::FluidFunctions& fl = *sound_libraries::Fluid();
  const SetRate setRate = SampleRateSetter();
  const int rate = setRate ? kMeasureRate : kAudioRate;
  if (setRate) setRate(synth, static_cast<float>(rate));
  fl.fluid_synth_system_reset(synth);
  double lufs = std::numeric_limits<double>::quiet_NaN();
  fluid_player_t* player = fl.new_fluid_player(synth);
  ebur128_state* meter = ebur128_init(2, static_cast<unsigned long>(rate), EBUR128_MODE_I);
  if (player && meter && fl.fluid_player_add_mem(player, smf.data(), smf.size()) == FLUID_OK &&
      fl.fluid_player_play(player) == FLUID_OK) {
    std::vector<float> block(kMeasureBlock * 2);
    const size_t limit = static_cast<size_t>(rate) * kMeasuredSeconds;
    size_t frames = 0, next = 0;
    float gain = 1.0f;
    while (!cancel && frames < limit && fl.fluid_player_get_status(player) == FLUID_PLAYER_PLAYING) {
      fl.fluid_synth_write_float(synth, kMeasureBlock, block.data(), 0, 2, block.data(), 1, 2);
      const int tick = fl.fluid_player_get_current_tick(player);
      while (next < master.size() && int64_t(master[next].tick) <= int64_t(tick)) gain = master[next++].gain;
      if (gain != 1.0f)
        for (float& v : block) v *= gain;
      ebur128_add_frames_float(meter, block.data(), kMeasureBlock);
      frames += kMeasureBlock;
    }
    double measured = 0.0;
    if (!cancel && ebur128_loudness_global(meter, &measured) == EBUR128_SUCCESS) lufs = measured;
  }
  if (meter) ebur128_destroy(&meter);
  if (player) fl.delete_fluid_player(player);
  if (setRate) setRate(synth, static_cast<float>(kAudioRate));
  fl.fluid_synth_system_reset(synth);
  return lufs;
}

}  // namespace platform
