#include <gtest/gtest.h>

#include <array>
#include <fstream>
#include <memory>

#include "support/InputTestSupport.h"
#include "platform/diagnostics/Debug.h"
#include "platform/draw/OffscreenDevice.h"
#include "platform/files/Files.h"
#include "platform/input/ScriptedInput.h"
#include "platform/window/Window.h"

using namespace platform;

namespace {
// A window whose focus the test decides.
class FakeWindow : public Window {
 public:
  FakeWindow() : device_(CreateOffscreenDevice(64, 48)) {}
  bool Headless() const override { return false; }
  Device& GetDevice() override { return *device_; }
  void Show() override {}
  void Destroy() override {}
  bool Minimized() const override { return minimized; }
  bool Focused() const override { return focused; }
  void WaitMessage(uint32_t) override {}
  int MessageBox(const std::string&, const std::string&, uint32_t) override { return IDOK; }
  bool focused = true, minimized = false;

 protected:
  void PumpEvents() override {}

 private:
  std::unique_ptr<Device> device_;
};

class CInputTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetDebugEcho(false);
    ASSERT_TRUE(sdl.Ok());
  }
  void TearDown() override { SetDebugEcho(true); }

  void Create(Window* window = nullptr) {
    ASSERT_EQ(input.create(kGameActionMapGuid, nullptr, window, "Vantorel Ver1.0", GameActions().data(),
                           static_cast<uint32_t>(sizeof(DIACTION) * GameActions().size())),
              S_OK);
  }
  void Poll(int32_t active = 1) { ASSERT_EQ(input.poll(s.data(), active), S_OK); }
  InputSystem& Sys() { return *input.System(); }
  void Key(SDL_Scancode sc, bool down) {
    SendKey(Sys(), sc, down);
    Poll();
  }
  void PadStep() {
    PumpSdl(Sys());
    Poll();
  }

  ConfigHome home;
  SdlPads sdl;
  std::array<int32_t, 255> s{};
  CInput input;
};
}  // namespace

TEST_F(CInputTest, KeysSetTheirSlotsOnPressAndClearThemOnRelease) {
  Create();
  Poll();  // the first poll acquires the devices
  struct Case {
    SDL_Scancode key;
    int slot;
  } cases[] = {{SDL_SCANCODE_LEFT, 3},  {SDL_SCANCODE_RIGHT, 4}, {SDL_SCANCODE_UP, 5},     {SDL_SCANCODE_DOWN, 6},
               {SDL_SCANCODE_SPACE, 7}, {SDL_SCANCODE_RETURN, 7}, {SDL_SCANCODE_Z, 7},     {SDL_SCANCODE_B, 8},
               {SDL_SCANCODE_ESCAPE, 8}, {SDL_SCANCODE_X, 8}};
  for (const Case& c : cases) {
    Key(c.key, true);
    EXPECT_EQ(s[c.slot], 1) << SDL_GetScancodeName(c.key);
    Key(c.key, false);
    EXPECT_EQ(s[c.slot], 0) << SDL_GetScancodeName(c.key);
  }
  // A key with no binding changes nothing; a press and its release within one
  // step are both read, in order.
  Key(SDL_SCANCODE_Q, true);
  SendKey(Sys(), SDL_SCANCODE_SPACE, true);
  SendKey(Sys(), SDL_SCANCODE_SPACE, false);
  Poll();
  EXPECT_EQ(s, (std::array<int32_t, 255>{}));
}

TEST_F(CInputTest, StickFollowsTheTableOfEffects) {
  VirtualPad pad;
  ASSERT_TRUE(pad.Ok());
  Create();
  EXPECT_EQ(input.DeviceCount(), 3);  // keyboard, pad, scripted input
  Poll();
  pad.Axis(SDL_CONTROLLER_AXIS_LEFTX, -32768);
  PadStep();
  EXPECT_EQ(s[3], 1);
  EXPECT_EQ(s[4], 0);
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

TEST_F(CInputTest, PadButtonsAndDpadMatchTheKeyboard) {
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
  Key(SDL_SCANCODE_SPACE, true);
  EXPECT_EQ(s, padPress);
  Key(SDL_SCANCODE_SPACE, false);
  pad.Button(SDL_CONTROLLER_BUTTON_X, true);
  PadStep();
  EXPECT_EQ(s[8], 1);
  pad.Button(SDL_CONTROLLER_BUTTON_X, false);
  PadStep();
  Key(SDL_SCANCODE_B, true);
  EXPECT_EQ(s[8], 1);
  Key(SDL_SCANCODE_B, false);
  EXPECT_EQ(s[8], 0);
  // The d-pad drives the axes: a press is one side, the release the midpoint.
  pad.Button(SDL_CONTROLLER_BUTTON_DPAD_LEFT, true);
  PadStep();
  EXPECT_EQ(s[3], 1);
  pad.Button(SDL_CONTROLLER_BUTTON_DPAD_LEFT, false);
  PadStep();
  EXPECT_EQ(s[3], 0);
  pad.Button(SDL_CONTROLLER_BUTTON_DPAD_DOWN, true);
  PadStep();
  EXPECT_EQ(s[6], 1);
}

TEST_F(CInputTest, NothingIsReadWhileInactiveOrInTheBackground) {
  FakeWindow window;
  Create(&window);
  Poll();
  s[7] = 1;
  SendKey(Sys(), SDL_SCANCODE_B, true);
  Poll(0);  // minimised: the table keeps its values
  EXPECT_EQ(s[7], 1);
  EXPECT_EQ(s[8], 0);
  // Input that arrives before the window comes to the front is never read.
  CInput other;
  window.focused = false;
  ASSERT_EQ(other.create(kGameActionMapGuid, nullptr, &window, "", GameActions().data(),
                         static_cast<uint32_t>(sizeof(DIACTION) * GameActions().size())),
            S_OK);
  std::array<int32_t, 255> t{};
  other.poll(t.data(), 1);
  SendKey(*other.System(), SDL_SCANCODE_SPACE, true);
  other.poll(t.data(), 1);
  EXPECT_EQ(t[7], 0);
  window.focused = true;
  other.poll(t.data(), 1);
  EXPECT_EQ(t[7], 0);
  SendKey(*other.System(), SDL_SCANCODE_SPACE, false);
  SendKey(*other.System(), SDL_SCANCODE_SPACE, true);
  other.poll(t.data(), 1);
  EXPECT_EQ(t[7], 1);
  // In the background nothing is read; a release missed there is reported
  // once the window is in front again, so the slot does not stay set.
  window.focused = false;
  SendKey(*other.System(), SDL_SCANCODE_SPACE, false);
  SendKey(*other.System(), SDL_SCANCODE_B, true);
  other.poll(t.data(), 1);
  EXPECT_EQ(t[7], 1);
  EXPECT_EQ(t[8], 0);
  window.focused = true;
  other.poll(t.data(), 1);
  EXPECT_EQ(t[7], 0);
  EXPECT_EQ(t[8], 0);
}

TEST_F(CInputTest, PadsJoinAndLeaveWhileTheGameRuns) {
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
TEST_F(CInputTest, APadPluggedInWhileItsEventIsTakenElsewhereStillJoins) {
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

TEST_F(CInputTest, KeepsAtMost98Devices) {
  std::vector<std::unique_ptr<VirtualPad>> pads;
  for (int i = 0; i < 100; ++i) pads.push_back(std::make_unique<VirtualPad>());
  Create();
  EXPECT_EQ(input.DeviceCount(), CInput::kMaxDevices);
  Poll();
  Key(SDL_SCANCODE_SPACE, true);
  EXPECT_EQ(s[7], 1);
  pads.clear();
  PumpSdl(Sys());
  Poll();
  EXPECT_EQ(input.DeviceCount(), 1);  // the keyboard; the scripted input had no room
}

TEST_F(CInputTest, ScriptedInputUsesTheSameBindings) {
  Create();
  Poll();
  auto due = [](ScriptedEvent::Kind kind, const std::string& target) {
    ScriptedEvent e;
    e.kind = kind;
    e.target = target;
    return std::vector<ScriptedEvent>{e};
  };
  SetDueScriptedEvents(due(ScriptedEvent::Press, "decide"));
  Poll();
  EXPECT_EQ(s[7], 1);
  EXPECT_TRUE(DueScriptedEvents().empty());
  SetDueScriptedEvents(due(ScriptedEvent::Release, "decide"));
  Poll();
  EXPECT_EQ(s[7], 0);
  SetDueScriptedEvents(due(ScriptedEvent::Press, "key:b"));
  Poll();
  EXPECT_EQ(s[8], 1);
  SetDueScriptedEvents(due(ScriptedEvent::Press, "left"));
  Poll();
  EXPECT_EQ(s[3], 1);
  SetDueScriptedEvents(due(ScriptedEvent::Press, "key:NoSuchKey"));
  Poll();
  SetDueScriptedEvents(due(ScriptedEvent::Press, "key:Q"));  // bound to nothing
  Poll();
  EXPECT_EQ(s[7], 0);
}

TEST_F(CInputTest, DamagedBindingsFileMeansDefaults) {
  MakeHostDirs(home.Path() + "/vantorel");
  std::ofstream(home.Path() + "/vantorel/2972611C-8A87-4B5D-95AA-BFF9FD576136.bindings", std::ios::binary)
      << std::string("\0\xff garbage\n7 key:K\n", 17);
  ScratchTrace trace;
  Create();
  Poll();
  Key(SDL_SCANCODE_RETURN, true);
  EXPECT_EQ(s[7], 1);
  Key(SDL_SCANCODE_K, true);
  EXPECT_EQ(s[7], 1);
  std::string text = trace.Text();
  EXPECT_EQ(text.find("\"report\""), std::string::npos);
}

TEST_F(CInputTest, CreateCopesWithAnOddTable) {
  // A size that is not a whole number of records reads only the whole ones;
  // no table at all gives no actions and no devices, and polls read nothing.
  ASSERT_EQ(input.create(kGameActionMapGuid, nullptr, nullptr, "", GameActions().data(),
                         static_cast<uint32_t>(sizeof(DIACTION) * 2 + 7)),
            S_OK);
  EXPECT_EQ(input.DeviceCount(), 0);  // only the two axes are in the map, and no pad is attached
  CInput none;
  ScratchTrace trace;
  none.create(kGameActionMapGuid, nullptr, nullptr, "", nullptr, 400);
  EXPECT_EQ(none.DeviceCount(), 0);
  std::array<int32_t, 255> t{};
  EXPECT_EQ(none.poll(t.data(), 1), S_OK);
  EXPECT_EQ(none.poll(nullptr, 1), S_OK);
  EXPECT_NE(trace.Text().find("\"report\""), std::string::npos);  // mapping the empty table is reported
}
