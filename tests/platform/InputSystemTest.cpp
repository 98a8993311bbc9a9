// The input system fed the platform's neutral events, as the window's event
// hooks hand them over: what a modal screen's raw capture sees of each.
#include <gtest/gtest.h>

#include <memory>

#include "platform/input/InputSystem.h"
#include "platform/window/Event.h"
#include "support/InputTestSupport.h"

using namespace platform;

TEST(InputSystemEvents, KeysAreCapturedByTheirBindingNameAndOtherEventsAreNot) {
  ConfigHome home;
  std::unique_ptr<InputSystem> sys;
  ASSERT_EQ(InputSystem::Create(InputSystem::Config{false}, sys), S_OK);
  sys->SetRawCapture(true);
  sys->OnPlatformEvent(Event::KeyPress(Key::Return, true));
  sys->OnPlatformEvent(Event::KeyPress(Key::Return, true, true));  // auto-repeat
  sys->OnPlatformEvent(Event::KeyPress(Key::Return, false));       // releases are no presses
  sys->OnPlatformEvent(Event::KeyPress(Key::Unknown, true));       // a key without a code
  sys->OnPlatformEvent(Event::PadPress(5, PadButton::A, true));    // a pad that is not open
  sys->OnPlatformEvent(Event::PadMotion(5, PadAxis::LeftX, -32768));
  Event quit;
  quit.type = Event::Type::Quit;
  sys->OnPlatformEvent(quit);
  sys->OnPlatformEvent(Event::KeyPress(Key::Z, true));
  std::vector<RawPress> presses = sys->TakeRawPresses();
  ASSERT_EQ(presses.size(), 3u);
  EXPECT_EQ(presses[0].source, RawPress::Keyboard);
  EXPECT_EQ(presses[0].control, "key:Return");
  EXPECT_FALSE(presses[0].repeat);
  EXPECT_EQ(presses[1].control, "key:Return");
  EXPECT_TRUE(presses[1].repeat);
  EXPECT_EQ(presses[2].control, "key:Z");
  EXPECT_EQ(sys->AttachedPads(), 0u);
}
