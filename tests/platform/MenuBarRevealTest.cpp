// When the menu bar shows: always in a window; in full screen only while the
// player asks for it (the pointer at the top edge, a lone Alt tap, its list
// open), hiding again afterwards.
#include <gtest/gtest.h>

#include "platform/window/MenuBarReveal.h"

using platform::MenuBarReveal;

namespace {
constexpr int kBar = 22;
}  // namespace

TEST(MenuBarReveal, AWindowAlwaysShowsItsBar) {
  MenuBarReveal r;
  r.PointerAt(300, kBar);
  r.AltDown();
  r.AltUp();
  r.OtherInput();
  EXPECT_TRUE(r.Shown());
}

TEST(MenuBarReveal, FullScreenShowsItWhileThePointerIsAtTheTopOrOnIt) {
  MenuBarReveal r;
  r.SetFullscreen(true);
  EXPECT_FALSE(r.Shown());
  r.PointerAt(5, kBar);  // near the top, not at the edge: still hidden
  EXPECT_FALSE(r.Shown());
  r.PointerAt(0, kBar);
  EXPECT_TRUE(r.Shown());
  r.PointerAt(kBar - 1, kBar);  // down along the bar: it stays
  EXPECT_TRUE(r.Shown());
  r.PointerAt(kBar, kBar);  // off it
  EXPECT_FALSE(r.Shown());
  r.PointerAt(1, kBar);
  EXPECT_TRUE(r.Shown());
  r.SetFullscreen(false);
  r.SetFullscreen(true);  // a new full screen starts hidden
  EXPECT_FALSE(r.Shown());
}

TEST(MenuBarReveal, ALoneAltTapShowsItUntilTheNextTapKeyOrClick) {
  MenuBarReveal r;
  r.SetFullscreen(true);
  r.AltDown();
  EXPECT_FALSE(r.Shown());  // on the release, as a tap
  r.AltUp();
  EXPECT_TRUE(r.Shown());
  r.AltDown();
  r.AltUp();
  EXPECT_FALSE(r.Shown());
  r.AltDown();
  r.AltUp();
  r.OtherInput();  // a key or a click elsewhere
  EXPECT_FALSE(r.Shown());
  // Alt held with another key (Alt+Enter) is no tap.
  r.AltDown();
  r.OtherInput();
  r.AltUp();
  EXPECT_FALSE(r.Shown());
}

TEST(MenuBarReveal, TheOpenListKeepsItShownAndClosingHidesIt) {
  MenuBarReveal r;
  r.SetFullscreen(true);
  r.OtherInput();  // F10 is a key like any other
  r.ListOpen(true);
  EXPECT_TRUE(r.Shown());
  r.PointerAt(200, kBar);  // down over the list and beyond
  EXPECT_TRUE(r.Shown());
  r.ListOpen(false);
  EXPECT_FALSE(r.Shown());
  // Opened from the top edge, closed with the pointer still on the bar: it stays.
  r.PointerAt(0, kBar);
  r.ListOpen(true);
  r.ListOpen(false);
  EXPECT_TRUE(r.Shown());
}
