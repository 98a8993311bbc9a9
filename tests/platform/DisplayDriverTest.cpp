// Whether SDL's choice of video driver leaves the game without a visible
// window: only a fallback SDL took by itself counts, never the user's choice.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/window/DisplayDriver.h"

TEST(DisplayDriver, OnlyAnInvisibleFallbackThatNobodyAskedForIsRefused) {
  using platform::ShowsNoWindow;
  for (const char* fallback : {"offscreen", "dummy", "evdev"}) {
    EXPECT_TRUE(ShowsNoWindow(nullptr, fallback)) << fallback;
    EXPECT_TRUE(ShowsNoWindow("", fallback)) << fallback;
    EXPECT_FALSE(ShowsNoWindow(fallback, fallback)) << fallback;  // SDL_VIDEODRIVER=dummy gets dummy
  }
  for (const char* visible : {"x11", "wayland", "KMSDRM"}) EXPECT_FALSE(ShowsNoWindow(nullptr, visible)) << visible;
  EXPECT_TRUE(ShowsNoWindow(nullptr, nullptr));
  EXPECT_FALSE(ShowsNoWindow("x11", "offscreen"));  // asked for something: what SDL gave stands
}

TEST(DisplayDriver, TheComposeTableIsSkippedUnlessThePlayerNamedTheirOwn) {
  const char* before = std::getenv("XCOMPOSEFILE");
  const std::string kept = before ? before : "";
  unsetenv("XCOMPOSEFILE");
  platform::SkipComposeTable();
  ASSERT_NE(std::getenv("XCOMPOSEFILE"), nullptr);
  EXPECT_STREQ(std::getenv("XCOMPOSEFILE"), "/dev/null");
  setenv("XCOMPOSEFILE", "", 1);  // set but empty counts as not set
  platform::SkipComposeTable();
  EXPECT_STREQ(std::getenv("XCOMPOSEFILE"), "/dev/null");
  setenv("XCOMPOSEFILE", "/home/player/.XCompose", 1);
  platform::SkipComposeTable();
  EXPECT_STREQ(std::getenv("XCOMPOSEFILE"), "/home/player/.XCompose");
  if (before) setenv("XCOMPOSEFILE", kept.c_str(), 1);
  else unsetenv("XCOMPOSEFILE");
}
