// The input unit over real SDL game pads (SDL's virtual joysticks): sticks,
// buttons and the d-pad, and pads joining and leaving while the game runs.
#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <memory>
#include <vector>

#include "platform/diagnostics/Debug.h"
#include "support/InputTestSupport.h"
#include "support/SdlPadSupport.h"

using namespace platform;

namespace {
// SDL is set up before the input unit and shut down after it.
struct WithSdlPads {
  SdlPads sdl;
};

class CInputPads : public ::testing::Test, public WithSdlPads, public InputHarness {
 protected:
  void SetUp() override {
    SetDebugEcho(false);
    ASSERT_TRUE(sdl.Ok());
  }
  void TearDown() override { SetDebugEcho(true); }

  void PadStep() {
    PumpSdl(Sys());
    Poll();
  }
};
}  // namespace

TEST_F(CInputPads, StickFollowsTheTableOfEffects) {
  VirtualPad pad;
  ASSERT_TRUE(pad.Ok());
  Create();
  EXPECT_EQ(input.DeviceCount(), 3);  // keyboard, pad, scripted input
  Poll();
  pad.Axis(SDL_CONTROLLER_AXIS_LEFTX, -32768);
  PadStep();
  EXPECT_EQ(s[3], 1);
  EXPECT_EQ(s[4], 0);
  GridsFired();                            // (a press its grid has not seen yet stays)
  pad.Axis(SDL_CONTROLLER_AXIS_LEFTX, 0);  // centre: both cleared
  PadStep();
  EXPECT_EQ(s[3], 0);
  EXPECT_EQ(s[4], 0);
  pad.Axis(SDL_CONTROLLER_AXIS_LEFTX, -30000);
  PadStep();
  pad.Axis(SDL_CONTROLLER_AXIS_LEFTX, 32767);  // right without passing the centre
  PadStep();
  EXPECT_EQ(s[3], 1);
  EXPECT_EQ(s[4], 1);
  GridsFired();
  // A stick resting a little off centre reads as the exact midpoint.
  pad.Axis(SDL_CONTROLLER_AXIS_LEFTX, 1500);
  PadStep();
  EXPECT_EQ(s[3], 0);
  EXPECT_EQ(s[4], 0);
  // The game clears a slot it consumed; a held stick does not set it again,
  // moving it further does.
  pad.Axis(SDL_CONTROLLER_AXIS_LEFTY, -32768);
  PadStep();
  EXPECT_EQ(s[5], 1);
  s[5] = 0;
  PadStep();
  EXPECT_EQ(s[5], 0);
  pad.Axis(SDL_CONTROLLER_AXIS_LEFTY, 32767);
  PadStep();
  EXPECT_EQ(s[6], 1);
  EXPECT_EQ(s[5], 0);
}

TEST_F(CInputPads, PadButtonsAndDpadMatchTheKeyboard) {
  VirtualPad pad;
  ASSERT_TRUE(pad.Ok());
  Create();
  Poll();
  // The pad's decide and cancel buttons and the space bar and B give the same slots.
  pad.Button(SDL_CONTROLLER_BUTTON_A, true);
  PadStep();
  std::array<int32_t, 255> padPress = s;
  pad.Button(SDL_CONTROLLER_BUTTON_A, false);
  PadStep();
  KeyStep(Key::Space, true);
  EXPECT_EQ(s, padPress);
  KeyStep(Key::Space, false);
  pad.Button(SDL_CONTROLLER_BUTTON_X, true);
  PadStep();
  EXPECT_EQ(s[8], 1);
  pad.Button(SDL_CONTROLLER_BUTTON_X, false);
  PadStep();
  KeyStep(Key::B, true);
  EXPECT_EQ(s[8], 1);
  KeyStep(Key::B, false);
  EXPECT_EQ(s[8], 0);
  // The d-pad drives the axes: a press is one side, the release the midpoint.
  pad.Button(SDL_CONTROLLER_BUTTON_DPAD_LEFT, true);
  PadStep();
  EXPECT_EQ(s[3], 1);
  GridsFired();
  pad.Button(SDL_CONTROLLER_BUTTON_DPAD_LEFT, false);
  PadStep();
  EXPECT_EQ(s[3], 0);
  pad.Button(SDL_CONTROLLER_BUTTON_DPAD_DOWN, true);
  PadStep();
  EXPECT_EQ(s[6], 1);
}

TEST_F(CInputPads, PadsJoinAndLeaveWhileTheGameRuns) {
  ScratchTrace trace;
  Create();
  EXPECT_EQ(input.DeviceCount(), 2);
  Poll();
  VirtualPad pad;
  ASSERT_TRUE(pad.Ok());
  PadStep();
  EXPECT_EQ(input.DeviceCount(), 3);
  pad.Button(SDL_CONTROLLER_BUTTON_A, true);
  PadStep();
  EXPECT_EQ(s[7], 1);
  GridsFired();
  // Pulled out with the button held: the slot does not stay set, the pad goes.
  pad.Unplug();
  PadStep();
  EXPECT_EQ(s[7], 0);
  EXPECT_EQ(input.DeviceCount(), 2);

  // The same when the unplug events never reach us.
  VirtualPad second;
  PadStep();
  second.Button(SDL_CONTROLLER_BUTTON_X, true);
  PadStep();
  EXPECT_EQ(s[8], 1);
  second.Unplug();
  SDL_PumpEvents();
  SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
  Poll();
  EXPECT_EQ(s[8], 0);
  EXPECT_EQ(input.DeviceCount(), 2);
  EXPECT_EQ(trace.Text().find("\"report\""), std::string::npos);  // no error shown
}

// The pad list is walked only after SDL announced a device coming or going,
// but that announcement is seen even when someone else takes the event.
TEST_F(CInputPads, APadPluggedInWhileItsEventIsTakenElsewhereStillJoins) {
  Create();
  Poll();
  EXPECT_EQ(input.DeviceCount(), 2);
  VirtualPad pad;
  ASSERT_TRUE(pad.Ok());
  SDL_PumpEvents();
  SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
  Poll();
  EXPECT_EQ(input.DeviceCount(), 3);
  pad.Button(SDL_CONTROLLER_BUTTON_A, true);
  PadStep();
  EXPECT_EQ(s[7], 1);
}

TEST_F(CInputPads, KeepsAtMost98Devices) {
  std::vector<std::unique_ptr<VirtualPad>> pads;
  for (int i = 0; i < 100; ++i) pads.push_back(std::make_unique<VirtualPad>());
  Create();
  EXPECT_EQ(input.DeviceCount(), CInput::kMaxDevices);
  Poll();
  KeyStep(Key::Space, true);
  EXPECT_EQ(s[7], 1);
  pads.clear();
  PumpSdl(Sys());
  Poll();
  EXPECT_EQ(input.DeviceCount(), 1);  // the keyboard; the scripted input had no room
}

// A press let go of before the game's grid fired still counts, once: a pad
// button, a stick flicked and back, the d-pad, each within one poll.
TEST_F(CInputPads, TapsShorterThanAStepHoldTheirSlotUntilTheGridFired) {
  VirtualPad pad;
  ASSERT_TRUE(pad.Ok());
  Create();
  Poll();
  struct Tap {
    const char* what;
    std::function<void(bool)> move;
    int slot;
  } taps[] = {
      {"A", [&](bool on) { pad.Button(SDL_CONTROLLER_BUTTON_A, on); }, 7},
      {"stick right", [&](bool on) { pad.Axis(SDL_CONTROLLER_AXIS_LEFTX, on ? 32767 : 0); }, 4},
      {"stick up", [&](bool on) { pad.Axis(SDL_CONTROLLER_AXIS_LEFTY, on ? -32768 : 0); }, 5},
      {"d-pad left", [&](bool on) { pad.Button(SDL_CONTROLLER_BUTTON_DPAD_LEFT, on); }, 3},
      {"d-pad down", [&](bool on) { pad.Button(SDL_CONTROLLER_BUTTON_DPAD_DOWN, on); }, 6},
  };
  for (const Tap& t : taps) {
    const uint64_t before = input.Latch().Presses(t.slot);
    t.move(true);
    PumpSdl(Sys());  // the pad's events reach the input system, not yet the game
    t.move(false);
    PadStep();
    EXPECT_EQ(s[t.slot], 1) << t.what;
    PadStep();  // still unseen by its grid
    EXPECT_EQ(s[t.slot], 1) << t.what;
    GridsFired();
    EXPECT_EQ(s[t.slot], 0) << t.what;
    EXPECT_EQ(input.Latch().Presses(t.slot), before + 1) << t.what;
  }
  // A stick held and moved on is one press; back at the centre it lets go.
  const uint64_t before = input.Latch().Presses(4);
  pad.Axis(SDL_CONTROLLER_AXIS_LEFTX, 20000);
  PadStep();
  pad.Axis(SDL_CONTROLLER_AXIS_LEFTX, 32767);
  PadStep();
  EXPECT_EQ(input.Latch().Presses(4), before + 1);
  GridsFired();
  EXPECT_EQ(s[4], 1);
  pad.Axis(SDL_CONTROLLER_AXIS_LEFTX, 0);
  PadStep();
  EXPECT_EQ(s[4], 0);
}
