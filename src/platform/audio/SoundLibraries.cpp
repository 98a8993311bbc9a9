#include "platform/audio/SoundLibraries.h"

#include "platform/audio/AudioPerformance.h"
#ifdef __EMSCRIPTEN__
#include "platform/web/FluidWeb.h"
#endif

namespace platform::sound_libraries {

// The sonames of the Debian 12 packages libsdl2-mixer-2.0-0 and libfluidsynth3
// (the ones the build's headers belong to).
const char kMixerLibrary[] = "libSDL2_mixer-2.0.so.0";
const char kFluidLibrary[] = "libfluidsynth.so.3";

#ifdef __EMSCRIPTEN__
// The browser build links SDL_mixer in (a page cannot open libraries) and
// calls the FluidSynth module the page loads beside the engine.
#define VANTOREL_LINKED_FUNCTION(name) f.name = &::name;
const MixerFunctions* Mixer(std::string* why) {
  static const MixerFunctions functions = [] {
    MixerFunctions f;
    VANTOREL_MIXER_FUNCTIONS(VANTOREL_LINKED_FUNCTION)
    return f;
  }();
  if (why) why->clear();
  return &functions;
}

const FluidFunctions* Fluid(std::string* why) { return web::Fluid(why); }
#else
const MixerFunctions* Mixer(std::string* why) {
  VANTOREL_LATE_LIBRARY(MixerFunctions, kMixerLibrary, VANTOREL_MIXER_FUNCTIONS)
}

const FluidFunctions* Fluid(std::string* why) {
  VANTOREL_LATE_LIBRARY(FluidFunctions, kFluidLibrary, VANTOREL_FLUID_FUNCTIONS)
}
#endif

namespace {
void DropAlsaMessage(const char*, int, const char*, int, const char*, ...) {}
}  // namespace

void QuietAlsa() {
  static const bool done = [] {
    // The same library SDL's ALSA driver opens: one copy, one handler.
    void* alsa = late_library::OpenShared("libasound.so.2", RTLD_NOW | RTLD_LOCAL);
    if (!alsa) return false;
    using Handler = void (*)(const char*, int, const char*, int, const char*, ...);
    auto set = reinterpret_cast<int (*)(Handler)>(dlsym(alsa, "snd_lib_error_set_handler"));
    if (set) set(DropAlsaMessage);
    return set != nullptr;
  }();
  (void)done;
}

}  // namespace platform::sound_libraries

namespace platform {
// SDL_mixer links FluidSynth, so this maps both.
void PrepareSoundLibraries() { sound_libraries::Mixer(); }
}  // namespace platform
