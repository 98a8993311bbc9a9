#include "platform/audio/SoundLibraries.h"

#include "platform/audio/AudioPerformance.h"

namespace platform::sound_libraries {

// The sonames of the Debian 12 packages libsdl2-mixer-2.0-0 and libfluidsynth3
// (the ones the build's headers belong to).
const char kMixerLibrary[] = "libSDL2_mixer-2.0.so.0";
const char kFluidLibrary[] = "libfluidsynth.so.3";

const MixerFunctions* Mixer(std::string* why) {
  static const late_library::Opened<MixerFunctions> opened =
      late_library::Open<MixerFunctions>(kMixerLibrary, [](void* library, MixerFunctions& f) -> std::string {
        VANTOREL_MIXER_FUNCTIONS(VANTOREL_LATE_RESOLVE)
        return {};
      });
  return late_library::Result(opened, why);
}

const FluidFunctions* Fluid(std::string* why) {
  static const late_library::Opened<FluidFunctions> opened =
      late_library::Open<FluidFunctions>(kFluidLibrary, [](void* library, FluidFunctions& f) -> std::string {
        VANTOREL_FLUID_FUNCTIONS(VANTOREL_LATE_RESOLVE)
        return {};
      });
  return late_library::Result(opened, why);
}

}  // namespace platform::sound_libraries

namespace platform {
// SDL_mixer links FluidSynth, so this maps both.
void PrepareSoundLibraries() { sound_libraries::Mixer(); }
}  // namespace platform
