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
// FluidSynth's own level. Its default, 0.2, keeps many voices inside 16
// bits; our device path is float up to the limiter, so unity is kept and the
// volume and the music bus's level (kMusicBusLevel) come on top.
constexpr double kSynthGain = 1.0;
}  // namespace

void SetMusicSynthSettings(fluid_settings_t* settings) {
  const sound_libraries::FluidFunctions& fl = *sound_libraries::Fluid();
  fl.fluid_settings_setnum(settings, "synth.sample-rate", kAudioRate);
  fl.fluid_settings_setnum(settings, "synth.gain", kSynthGain);
  fl.fluid_settings_setstr(settings, "player.timing-source", "sample");
  fl.fluid_settings_setint(settings, "synth.cpu-cores", 1);
  // Only the samples of the instruments in use are read (when a channel
  // selects them), not the whole soundfont: most of it is never heard.
  fl.fluid_settings_setint(settings, "synth.dynamic-sample-loading", 1);
}

PieceMeter::~PieceMeter() {
  if (synth_) sound_libraries::Fluid()->delete_fluid_synth(synth_);
  if (settings_) sound_libraries::Fluid()->delete_fluid_settings(settings_);
}

bool PieceMeter::Open(const std::string& soundFont, std::string& why) {
  std::string missing;
  const sound_libraries::FluidFunctions* fl = sound_libraries::Fluid(&missing);
  if (!fl) {
    why = missing;
    return false;
  }
  // Its warnings (about the soundfont's instruments) are no concern here.
  for (int level : {FLUID_WARN, FLUID_INFO, FLUID_DBG}) fl->fluid_set_log_function(level, nullptr, nullptr);
  if (!settings_) settings_ = fl->new_fluid_settings();
  if (settings_ && !synth_) {
    SetMusicSynthSettings(settings_);
    synth_ = fl->new_fluid_synth(settings_);
  }
  if (!synth_) {
    why = "the synthesiser could not be created";
    return false;
  }
  if (fl->fluid_synth_sfload(synth_, soundFont.c_str(), 1) == FLUID_FAILED) {
    why = "cannot load the soundfont " + soundFont;
    return false;
  }
  return true;
}

double PieceMeter::Measure(const std::string& smf) {
  const std::atomic<bool> never{false};
  return MeasureLoudness(synth_, smf, ReadMasterVolume(smf), never);
}

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
