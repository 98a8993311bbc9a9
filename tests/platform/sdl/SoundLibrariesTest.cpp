// SDL_mixer and FluidSynth, opened at run time: every function the engine
// calls is found in the installed libraries (a renamed or missing one would
// otherwise only show on a player's machine, as silence).
#include <gtest/gtest.h>

#include <thread>

#include "platform/audio/SoundLibraries.h"

using namespace platform::sound_libraries;

TEST(SoundLibraries, EveryFunctionTheEngineCallsIsFound) {
  std::string why;
  const MixerFunctions* mix = Mixer(&why);
  ASSERT_NE(mix, nullptr) << why;
  EXPECT_TRUE(why.empty());
#define VANTOREL_EXPECT_FOUND(name) EXPECT_NE(mix->name, nullptr) << #name;
  VANTOREL_MIXER_FUNCTIONS(VANTOREL_EXPECT_FOUND)
#undef VANTOREL_EXPECT_FOUND
  const FluidFunctions* fluid = Fluid(&why);
  ASSERT_NE(fluid, nullptr) << why;
#define VANTOREL_EXPECT_FOUND(name) EXPECT_NE(fluid->name, nullptr) << #name;
  VANTOREL_FLUID_FUNCTIONS(VANTOREL_EXPECT_FOUND)
#undef VANTOREL_EXPECT_FOUND
  // The functions are the libraries' own: FluidSynth answers.
  fluid_settings_t* settings = fluid->new_fluid_settings();
  ASSERT_NE(settings, nullptr);
  EXPECT_EQ(fluid->fluid_settings_setint(settings, "synth.cpu-cores", 1), FLUID_OK);
  fluid->delete_fluid_settings(settings);
}

TEST(SoundLibraries, OpenedOnceWhicheverThreadAsksFirst) {
  const MixerFunctions* seen[4] = {};
  std::thread threads[4];
  for (int i = 0; i < 4; ++i) threads[i] = std::thread([&seen, i] { seen[i] = Mixer(); });
  for (auto& t : threads) t.join();
  for (const MixerFunctions* s : seen) EXPECT_EQ(s, Mixer());
}
