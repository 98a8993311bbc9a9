// Which comfort a press over the running game asks for, and the presses that
// ask for none: repeats, releases of toggles, controls bound to the game.
#include <gtest/gtest.h>

#include "comfort/KeyRoutes.h"

using comfort::Ask;
using comfort::KeyRoutes;
using comfort::Skipping;
using platform::Event;
using platform::Key;
using platform::MouseButton;
using platform::PadButton;

TEST(ComfortKeyRoutes, KeysAskForTheirComfortOnceAndCtrlHoldsSkipping) {
  KeyRoutes routes(nullptr);
  EXPECT_EQ(routes.Of(Event::KeyPress(Key::H, true)).ask, Ask::HideWindow);
  EXPECT_EQ(routes.Of(Event::KeyPress(Key::PageUp, true)).ask, Ask::OpenHistory);
  EXPECT_EQ(routes.Of(Event::KeyPress(Key::Tab, true)).ask, Ask::ToggleSkipMode);
  EXPECT_EQ(routes.Of(Event::KeyPress(Key::A, true)).ask, Ask::ToggleAuto);
  EXPECT_EQ(routes.Of(Event::KeyPress(Key::F2, true)).ask, Ask::OpenSettings);
  // A toggle neither repeats nor answers its release.
  EXPECT_EQ(routes.Of(Event::KeyPress(Key::Tab, true, true)).ask, Ask::Nothing);
  EXPECT_EQ(routes.Of(Event::KeyPress(Key::Tab, false)).ask, Ask::Nothing);
  EXPECT_EQ(routes.Of(Event::KeyPress(Key::Z, true)).ask, Ask::Nothing);
  // Ctrl holds while down, repeats included, and each side on its own.
  auto right = routes.Of(Event::KeyPress(Key::RightCtrl, true, true));
  EXPECT_EQ(right.ask, Ask::HoldSkip);
  EXPECT_EQ(right.source, Skipping::kRightCtrl);
  EXPECT_EQ(routes.Of(Event::KeyPress(Key::LeftCtrl, false)).ask, Ask::LetGoSkip);
  auto pad = routes.Of(Event::PadPress(0, PadButton::RightShoulder, false));
  EXPECT_EQ(pad.ask, Ask::LetGoSkip);
  EXPECT_EQ(pad.source, Skipping::kPad);
  EXPECT_EQ(routes.Of(Event::PadPress(0, PadButton::LeftShoulder, true)).ask, Ask::OpenHistory);
  EXPECT_EQ(routes.Of(Event::PadPress(0, PadButton::Back, true)).ask, Ask::OpenSettings);
  EXPECT_EQ(routes.Of(Event::PadPress(0, PadButton::A, true)).ask, Ask::Nothing);
}

TEST(ComfortKeyRoutes, TheMouseSplitsBetweenThePointerAndItsComforts) {
  KeyRoutes routes(nullptr);
  EXPECT_EQ(routes.Of(Event::MouseMove(3, 4)).ask, Ask::Pointer);
  EXPECT_EQ(routes.Of(Event::MouseClick(MouseButton::Left, true, 3, 4)).ask, Ask::Pointer);
  EXPECT_EQ(routes.Of(Event::MouseClick(MouseButton::Right, true, 3, 4)).ask, Ask::HideWindow);
  // The middle button hides too (the game menu, layered over, takes the right one).
  EXPECT_EQ(routes.Of(Event::MouseClick(MouseButton::Middle, true, 3, 4)).ask, Ask::HideWindow);
  EXPECT_EQ(routes.Of(Event::Wheel(1)).ask, Ask::OpenHistory);
  EXPECT_EQ(routes.Of(Event::Wheel(-1)).ask, Ask::Pointer);
}

TEST(ComfortKeyRoutes, AControlBoundToTheGameKeepsItsActionOnly) {
  std::vector<std::string> asked;
  KeyRoutes routes([&](const std::string& control) {
    asked.push_back(control);
    return control == "key:Tab" || control == "pad:rightshoulder";
  });
  EXPECT_EQ(routes.Of(Event::KeyPress(Key::Tab, true)).ask, Ask::Nothing);
  EXPECT_EQ(routes.Of(Event::PadPress(0, PadButton::RightShoulder, true)).ask, Ask::Nothing);
  EXPECT_EQ(routes.Of(Event::KeyPress(Key::A, true)).ask, Ask::ToggleAuto);
  // Keys that are no comfort are not looked up at all.
  routes.Of(Event::KeyPress(Key::Z, true));
  EXPECT_EQ(asked, (std::vector<std::string>{"key:Tab", "pad:rightshoulder", "key:A"}));
}
