#pragma once
// SDL_mixer and FluidSynth are opened at run time rather than linked (see
// files/LateLibrary.h). Between
// them they bring in about fifty shared libraries (PulseAudio, JACK, GLib,
// libinstpatch, libsndfile and their kin) whose loading would stand before
// main(); opened with dlopen, that happens on the start-up worker while the
// window is made. When either is missing the game plays silently and says
// why, as it does without a sound device.
#include <SDL_mixer.h>
#include <fluidsynth.h>

#include <string>

#include "platform/files/LateLibrary.h"

namespace platform::sound_libraries {

// The functions the engine calls, one row each; the members carry the
// functions' own names and types. (Mix_PlayChannel and Mix_GetError are
// macros over Mix_PlayChannelTimed and SDL_GetError.)
#define VANTOREL_MIXER_FUNCTIONS(F)                                                                    \
  F(Mix_OpenAudioDevice) F(Mix_QuerySpec) F(Mix_CloseAudio) F(Mix_AllocateChannels) F(Mix_SetPostMix) \
  F(Mix_HookMusic) F(Mix_QuickLoad_RAW) F(Mix_FreeChunk) F(Mix_RegisterEffect) F(Mix_UnregisterEffect) \
  F(Mix_PlayChannelTimed) F(Mix_HaltChannel) F(Mix_Playing)

#define VANTOREL_FLUID_FUNCTIONS(F)                                                                  \
  F(fluid_set_log_function) F(new_fluid_settings) F(delete_fluid_settings) F(fluid_settings_setint) \
  F(fluid_settings_setnum) F(fluid_settings_setstr) F(new_fluid_synth) F(delete_fluid_synth)        \
  F(fluid_synth_sfload) F(fluid_synth_write_float) F(fluid_synth_handle_midi_event)                 \
  F(fluid_synth_system_reset) F(fluid_synth_all_notes_off) F(fluid_synth_reverb_on)                 \
  F(fluid_synth_chorus_on) F(fluid_synth_get_active_voice_count) F(fluid_midi_event_get_type)       \
  F(new_fluid_player) F(delete_fluid_player) F(fluid_player_set_playback_callback)                  \
  F(fluid_player_add_mem) F(fluid_player_play) F(fluid_player_get_status)                           \
  F(fluid_player_get_total_ticks) F(fluid_player_get_current_tick) F(fluid_player_seek)

struct MixerFunctions {
  VANTOREL_MIXER_FUNCTIONS(VANTOREL_LATE_FUNCTION)
};
struct FluidFunctions {
  VANTOREL_FLUID_FUNCTIONS(VANTOREL_LATE_FUNCTION)
};

// The library's functions, or nullptr when it or one of its functions cannot
// be found; `why` then says what is missing. The first call (from any
// thread; a second caller waits for it) opens the library, later calls
// return at once. It stays open for the life of the process.
const MixerFunctions* Mixer(std::string* why = nullptr);
const FluidFunctions* Fluid(std::string* why = nullptr);

// ALSA's library prints its own lines to stderr when a device cannot be
// opened (a dozen for a machine without a sound card), before ours says the
// game plays silently. Called before SDL opens the audio: its handler then
// drops them. Does nothing where the library is not installed.
void QuietAlsa();

// The sonames opened, for --info and the messages.
extern const char kMixerLibrary[];
extern const char kFluidLibrary[];

}  // namespace platform::sound_libraries
