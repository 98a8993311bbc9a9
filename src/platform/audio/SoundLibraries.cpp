#include "platform/audio/SoundLibraries.h"

#include <dlfcn.h>

#include "platform/audio/AudioPerformance.h"

namespace platform::sound_libraries {

// The sonames of the Debian 12 packages libsdl2-mixer-2.0-0 and libfluidsynth3
// (the ones the build's headers belong to).
const char kMixerLibrary[] = "libSDL2_mixer-2.0.so.0";
const char kFluidLibrary[] = "libfluidsynth.so.3";

namespace {

template <class Functions>
struct Opened {
  Functions functions;
  bool ok = false;
  std::string why;
};

// Opens `soname` and fills every member through `resolve`; a library
// missing any function counts as missing (it is left open: its
// constructors have run and closing it again buys nothing).
template <class Functions, class Resolve>
Opened<Functions> Open(const char* soname, Resolve resolve) {
  Opened<Functions> o;
  void* library = dlopen(soname, RTLD_NOW | RTLD_LOCAL);
  if (!library) {
    const char* error = dlerror();
    o.why = std::string(soname) + " cannot be loaded (" + (error ? error : "unknown reason") + ")";
    return o;
  }
  std::string missing = resolve(library, o.functions);
  if (!missing.empty()) {
    o.why = std::string(soname) + " has no " + missing;
    return o;
  }
  o.ok = true;
  return o;
}

#define VANTOREL_RESOLVE(name)                                                         \
  if (!(f.name = reinterpret_cast<decltype(f.name)>(dlsym(library, #name)))) return #name;

template <class Functions>
const Functions* Result(const Opened<Functions>& o, std::string* why) {
  if (why) *why = o.why;
  return o.ok ? &o.functions : nullptr;
}
}  // namespace

const MixerFunctions* Mixer(std::string* why) {
  static const Opened<MixerFunctions> opened =
      Open<MixerFunctions>(kMixerLibrary, [](void* library, MixerFunctions& f) -> std::string {
        VANTOREL_MIXER_FUNCTIONS(VANTOREL_RESOLVE)
        return {};
      });
  return Result(opened, why);
}

const FluidFunctions* Fluid(std::string* why) {
  static const Opened<FluidFunctions> opened =
      Open<FluidFunctions>(kFluidLibrary, [](void* library, FluidFunctions& f) -> std::string {
        VANTOREL_FLUID_FUNCTIONS(VANTOREL_RESOLVE)
        return {};
      });
  return Result(opened, why);
}
#undef VANTOREL_RESOLVE

}  // namespace platform::sound_libraries

namespace platform {
// SDL_mixer links FluidSynth, so this maps both.
void PrepareSoundLibraries() { sound_libraries::Mixer(); }
}  // namespace platform
