#pragma once
// FluidSynth in the browser: the page loads FluidSynth's own WebAssembly
// build (the one the npm package js-synthesizer ships) as a module of its
// own, with its own memory; these are its functions, called across.
#include <string>

#include "platform/audio/SoundLibraries.h"

namespace platform::web {

// The table of FluidSynth's functions over the page's module; null, with
// `why`, when the page carries none.
const sound_libraries::FluidFunctions* Fluid(std::string* why);

}  // namespace platform::web
