#include <gtest/gtest.h>

#include <array>
#include <fstream>
#include <limits>
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

class CInputTest : public ::testing::Test, public InputHarness {
 protected:
  void SetUp() override { SetDebugEcho(false); }
  void TearDown() override { SetDebugEcho(true); }
};
}  // namespace

TEST_F(CInputTest, KeysSetTheirSlotsOnPressAndClearThemOnRelease) {
  Create();
  Poll();  // the first poll acquires the devices
  struct Case {
    platform::Key key;
    int slot;
  } cases[] = {{Key::Left, 3},  {Key::Right, 4}, {Key::Up, 5},     {Key::Down, 6},
               {Key::Space, 7}, {Key::Return, 7}, {Key::Z, 7},     {Key::B, 8},
               {Key::Escape, 8}, {Key::X, 8}};
  for (const Case& c : cases) {
    KeyStep(c.key, true);
    EXPECT_EQ(s[c.slot], 1) << KeyName(c.key);
    GridsFired();  // held while its grid fired
    EXPECT_EQ(s[c.slot], 1) << KeyName(c.key);
    KeyStep(c.key, false);
    EXPECT_EQ(s[c.slot], 0) << KeyName(c.key);
  }
  // A key with no binding changes nothing; a press and its release within one
  // step are both read, in order, and the press holds its slot for its grid.
  KeyStep(Key::Q, true);
  SendKey(Sys(), Key::Space, true);
  SendKey(Sys(), Key::Space, false);
  Poll();
  std::array<int32_t, 255> decideOnly{};
  decideOnly[7] = 1;
  EXPECT_EQ(s, decideOnly);
  GridsFired();
  EXPECT_EQ(s, (std::array<int32_t, 255>{}));
}

TEST_F(CInputTest, NothingIsReadWhileInactiveOrInTheBackground) {
  FakeWindow window;
  Create(&window);
  Poll();
  s[7] = 1;
  SendKey(Sys(), Key::B, true);
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
  SendKey(*other.System(), Key::Space, true);
  other.poll(t.data(), 1);
  EXPECT_EQ(t[7], 0);
  window.focused = true;
  other.poll(t.data(), 1);
  EXPECT_EQ(t[7], 0);
  SendKey(*other.System(), Key::Space, false);
  SendKey(*other.System(), Key::Space, true);
  other.poll(t.data(), 1);
  EXPECT_EQ(t[7], 1);
  other.Latch().GridFired(t.data(), {7});
  // In the background nothing is read; a release missed there is reported
  // once the window is in front again, so the slot does not stay set.
  window.focused = false;
  SendKey(*other.System(), Key::Space, false);
  SendKey(*other.System(), Key::B, true);
  other.poll(t.data(), 1);
  EXPECT_EQ(t[7], 1);
  EXPECT_EQ(t[8], 0);
  window.focused = true;
  other.poll(t.data(), 1);
  EXPECT_EQ(t[7], 0);
  EXPECT_EQ(t[8], 0);
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
  GridsFired();
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
  KeyStep(Key::Return, true);
  EXPECT_EQ(s[7], 1);
  KeyStep(Key::K, true);
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

TEST_F(CInputTest, APollIsDueOnlyWhenItHasSomethingToReadAcquireOrLetGo) {
  FakeWindow window;
  Create(&window);
  const double never = std::numeric_limits<double>::infinity();
  EXPECT_EQ(input.SecondsUntilDue(), 0.0);  // the devices are still to be acquired
  Poll();
  EXPECT_EQ(input.SecondsUntilDue(), never);
  SendKey(Sys(), Key::Space, true);
  EXPECT_EQ(input.SecondsUntilDue(), 0.0);  // a press waits in the buffer
  Poll();
  EXPECT_EQ(s[7], 1);
  EXPECT_EQ(input.SecondsUntilDue(), never);  // held, but nothing new to read
  // Leaving the front: the next poll lets the devices go; in the background
  // presses are not buffered, so nothing is due until the window returns.
  window.focused = false;
  EXPECT_EQ(input.SecondsUntilDue(), 0.0);
  Poll();
  SendKey(Sys(), Key::B, true);
  EXPECT_EQ(input.SecondsUntilDue(), never);
  window.focused = true;
  EXPECT_EQ(input.SecondsUntilDue(), 0.0);
  Poll();
  EXPECT_EQ(input.SecondsUntilDue(), never);
}
