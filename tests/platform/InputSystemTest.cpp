// The input system fed the platform's neutral events, as the window's event
// hooks hand them over: what a modal screen's raw capture sees of each.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "platform/draw/NullDevice.h"
#include "platform/input/InputSystem.h"
#include "platform/window/Event.h"
#include "platform/window/Window.h"
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

namespace {
// A window whose event pump delivers the events a test queues, as the real
// window's pump delivers what SDL queued.
class EventWindow : public Window {
 public:
  bool Headless() const override { return true; }
  Device& GetDevice() override { return device_; }
  void Show() override {}
  void Destroy() override {}
  bool Minimized() const override { return false; }
  bool Focused() const override { return true; }
  void WaitMessage(uint32_t) override {}
  int MessageBox(const std::string&, const std::string&, uint32_t) override { return IDOK; }
  std::vector<Event> pending;

 protected:
  void PumpEvents() override {
    for (const Event& e : pending) OfferEvent(e);
    pending.clear();
  }

 private:
  NullDevice device_{8, 8};
};
}  // namespace

// The input system hears the window's events from its creation until it
// goes; one that is gone is not called again.
TEST(InputSystemEvents, WindowEventsReachTheInputSystemWhileItLives) {
  ConfigHome home;
  EventWindow window;
  std::unique_ptr<InputSystem> sys;
  ASSERT_EQ(InputSystem::Create(InputSystem::Config{false}, sys), S_OK);
  sys->SetRawCapture(true);
  window.pending = {Event::KeyPress(Key::Escape, true), Event::KeyPress(Key::Escape, false)};
  window.PeekMessage();
  std::vector<RawPress> presses = sys->TakeRawPresses();
  ASSERT_EQ(presses.size(), 1u);
  EXPECT_EQ(presses[0].control, "key:Escape");
  sys.reset();
  window.pending = {Event::KeyPress(Key::Escape, true)};
  window.PeekMessage();  // no hook left to call
  EXPECT_TRUE(window.pending.empty());
}
