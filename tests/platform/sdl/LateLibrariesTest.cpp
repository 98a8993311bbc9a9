// The libraries opened at run time: every function the engine calls is
// found in the installed libraries (a renamed or missing one would otherwise
// only show on a player's machine, as silence or pictures that do not load).
#include <gtest/gtest.h>

#include <thread>

#include "platform/audio/SoundLibraries.h"
#include "platform/files/ImageLibrary.h"

using namespace platform::sound_libraries;
using platform::image_library::Img;
using platform::image_library::ImageFunctions;

TEST(LateLibraries, EveryFunctionTheEngineCallsIsFound) {
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
  const ImageFunctions* img = Img(&why);
  ASSERT_NE(img, nullptr) << why;
#define VANTOREL_EXPECT_FOUND(name) EXPECT_NE(img->name, nullptr) << #name;
  VANTOREL_IMAGE_FUNCTIONS(VANTOREL_EXPECT_FOUND)
#undef VANTOREL_EXPECT_FOUND
  // The functions are the libraries' own: FluidSynth answers.
  fluid_settings_t* settings = fluid->new_fluid_settings();
  ASSERT_NE(settings, nullptr);
  EXPECT_EQ(fluid->fluid_settings_setint(settings, "synth.cpu-cores", 1), FLUID_OK);
  fluid->delete_fluid_settings(settings);
}

TEST(LateLibraries, OpenedOnceWhicheverThreadAsksFirst) {
  const MixerFunctions* seen[4] = {};
  std::thread threads[4];
  for (int i = 0; i < 4; ++i) threads[i] = std::thread([&seen, i] { seen[i] = Mixer(); });
  for (auto& t : threads) t.join();
  for (const MixerFunctions* s : seen) EXPECT_EQ(s, Mixer());
}

TEST(LateLibraries, AMissingLibraryIsReportedWithItsNameNotCrashedOn) {
  struct Nothing {
    decltype(&::Mix_Playing) Mix_Playing = nullptr;
  };
  auto resolve = [](void* library, Nothing& f) -> std::string {
    VANTOREL_LATE_RESOLVE(Mix_Playing)
    return {};
  };
  const auto absent = platform::late_library::Open<Nothing>("libvantorel-no-such-library.so.9", resolve);
  std::string why;
  EXPECT_EQ(platform::late_library::Result(absent, &why), nullptr);
  EXPECT_NE(why.find("libvantorel-no-such-library.so.9 cannot be loaded"), std::string::npos) << why;
  // A library that lacks a function the engine calls counts as missing too.
  auto lacking = [](void* library, Nothing& f) -> std::string {
    if (!(f.Mix_Playing = reinterpret_cast<decltype(f.Mix_Playing)>(dlsym(library, "Mix_NoSuchFunction"))))
      return "Mix_NoSuchFunction";
    return {};
  };
  const auto partial = platform::late_library::Open<Nothing>(kMixerLibrary, lacking);
  EXPECT_EQ(platform::late_library::Result(partial, &why), nullptr);
  EXPECT_EQ(why, std::string(kMixerLibrary) + " has no Mix_NoSuchFunction");
}
