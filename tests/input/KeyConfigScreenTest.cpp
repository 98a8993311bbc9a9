#include <gtest/gtest.h>

#include <array>
#include <fstream>
#include <map>
#include <set>

#include "support/InputTestSupport.h"
#include "input/KeyConfigScreen.h"
#include "platform/diagnostics/Debug.h"
#include "platform/files/Files.h"
#include "platform/headless/Clock.h"
#include "platform/headless/HeadlessPass.h"
#include "platform/input/ScriptedInput.h"
#include "platform/text/TextCodec.h"
#include "platform/window/Window.h"

using namespace platform;

namespace {
// A headless game window and a stand-in for the main loop's pass hook that
// hands out scripted events by pass number.
class KeyConfigScreenTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetDebugEcho(false);
    UseVirtualClock(0);
    WindowConfig config;
    config.title = "Vantorel Ver1.0";
    window = Window::Create(config, true);
    ASSERT_TRUE(window);
    SetHeadlessPassHook([this] {
      trace::EndFrame(pass, timeGetTime());  // the pass's state line, as the main loop writes it
      ++pass;
      AdvanceVirtualClock(16);
      std::vector<ScriptedEvent> due;
      for (const ScriptedEvent& e : script)
        if (e.frame == pass) due.push_back(e);
      // The pointer's events reach the window's hooks, as the main loop's pass hands them out.
      for (const Event& e : pointer.Translate(due)) Window::InjectEvent(e);
      SetDueScriptedEvents(due);
      if (pass == closeAt) window->PostMessage(WM_CLOSE);
      return pass < limit;
    });
  }
  void TearDown() override {
    SetHeadlessPassHook(nullptr);
    ClearDueScriptedEvents();
    UseRealClock();
    SetDebugEcho(true);
  }
  void Script(const std::string& text) {
    std::string error;
    ASSERT_TRUE(ParseScriptedInput(text, script, error)) << error;
  }
  void Create(CInput& in) {
    ASSERT_EQ(in.create(kGameActionMapGuid, nullptr, window.get(), "Vantorel Ver1.0", GameActions().data(),
                        static_cast<uint32_t>(sizeof(DIACTION) * GameActions().size())),
              S_OK);
    in.poll(s.data(), 1);
  }
  // Presses (and leaves held) a key through the scripted input.
  void Press(CInput& in, const std::string& target, bool down = true) {
    ScriptedEvent e;
    e.kind = down ? ScriptedEvent::Press : ScriptedEvent::Release;
    e.target = target;
    SetDueScriptedEvents({e});
    in.poll(s.data(), 1);
  }
  std::string BindingsFile() const { return home.Path() + "/vantorel/2972611C-8A87-4B5D-95AA-BFF9FD576136.bindings"; }

  ConfigHome home;
  std::unique_ptr<Window> window;
  std::vector<ScriptedEvent> script;
  ScriptedPointer pointer;
  uint64_t pass = 0, limit = 10000, closeAt = 0;
  std::array<int32_t, 255> s{};
  CInput input;
};

// Down twice to "決定ボタン", decide to capture, K, then up to the buttons,
// over to OK and decide.
const char kRebindDecideToK[] =
    "1 tap down 1\n3 tap down 1\n5 tap decide 1\n8 tap key:K 1\n"
    "10 tap up 1\n12 tap up 1\n14 tap up 1\n16 tap right 1\n18 tap decide 1\n";
}  // namespace

TEST_F(KeyConfigScreenTest, RebindingDecideToAnotherKeyIsSavedAndInForce) {
  ScratchTrace trace;
  Create(input);
  Script(kRebindDecideToK);
  ASSERT_EQ(input.configureDevices(), S_OK);
  EXPECT_EQ(pass, 18u);  // one headless pass per screen pass, ended by the decision
  Press(input, "key:K");
  EXPECT_EQ(s[7], 1);
  input.Latch().GridFired(s.data(), {7});
  Press(input, "key:K", false);
  EXPECT_EQ(s[7], 0);

  std::ifstream file(BindingsFile(), std::ios::binary);
  std::string saved((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  EXPECT_NE(saved.find("\n7 key:K\n"), std::string::npos);
  // The next start loads them.
  CInput next;
  std::array<int32_t, 255> t{};
  ASSERT_EQ(next.create(kGameActionMapGuid, nullptr, window.get(), "", GameActions().data(),
                        static_cast<uint32_t>(sizeof(DIACTION) * GameActions().size())),
            S_OK);
  next.poll(t.data(), 1);
  ScriptedEvent e;
  e.target = "key:K";
  SetDueScriptedEvents({e});
  next.poll(t.data(), 1);
  EXPECT_EQ(t[7], 1);

  // The screen was drawn: title, grid and text, not just a cleared frame.
  std::vector<uint32_t> pixels;
  ASSERT_TRUE(window->GetDevice().ReadPixels(pixels));
  std::set<uint32_t> colours(pixels.begin(), pixels.end());
  EXPECT_GT(colours.size(), 5u);
  std::string text = trace.Text();
  EXPECT_NE(text.find("\"event\":\"bind\",\"action\":7,\"control\":\"key:K\""), std::string::npos);
  EXPECT_NE(text.find("\"result\":\"ok\""), std::string::npos);
}

TEST_F(KeyConfigScreenTest, CancelChangesNothing) {
  Create(input);
  // A capture on the up/down axis ignores K and is given up by a scripted
  // cancel; then K is bound to decide, and the screen is cancelled.
  Script("1 tap down 1\n2 tap decide 1\n3 tap key:K 1\n4 tap cancel 1\n"
         "5 tap down 1\n6 tap decide 1\n7 tap key:K 1\n9 tap cancel 1\n");
  ASSERT_EQ(input.configureDevices(), S_OK);
  EXPECT_EQ(pass, 9u);
  EXPECT_FALSE(FileExists(BindingsFile()));
  Press(input, "key:K");
  EXPECT_EQ(s[7], 0);
  Press(input, "key:Return");
  EXPECT_EQ(s[7], 1);
}

TEST_F(KeyConfigScreenTest, AKeyReleasedDuringTheScreenDoesNotStayPending) {
  Create(input);
  Press(input, "key:B");
  ASSERT_EQ(s[8], 1);
  Script("2 release key:B\n4 tap cancel 1\n");
  ASSERT_EQ(input.configureDevices(), S_OK);
  input.poll(s.data(), 1);
  EXPECT_EQ(s[8], 0);
}

TEST_F(KeyConfigScreenTest, CloseRequestEndsTheScreenAndReachesTheGame) {
  Create(input);
  closeAt = 3;
  ASSERT_EQ(input.configureDevices(), S_OK);
  EXPECT_EQ(pass, 3u);
  Message m;
  ASSERT_TRUE(window->PeekMessage());
  window->GetMessage(m);
  EXPECT_EQ(m.msg, static_cast<uint32_t>(WM_CLOSE));
}

TEST_F(KeyConfigScreenTest, EndsWhenTheRunEndsOrNoPassHookExists) {
  Create(input);
  limit = 20;  // the frame limit of the run is reached inside the screen
  ASSERT_EQ(input.configureDevices(), S_OK);
  EXPECT_EQ(pass, 20u);
  SetHeadlessPassHook(nullptr);
  EXPECT_EQ(input.configureDevices(), S_OK);
}

TEST_F(KeyConfigScreenTest, FailedSaveIsReportedAndTheBindingsStillApply) {
  ScratchTrace trace;
  std::ofstream(home.Path() + "/vantorel") << "a file where the directory should be";
  Create(input);
  Script(kRebindDecideToK);
  EXPECT_EQ(input.configureDevices(), E_FAIL);
  Press(input, "key:K");
  EXPECT_EQ(s[7], 1);
  std::string text = trace.Text();
  EXPECT_NE(text.find(Cp932ToUtf8(SJ("ConfigureDevices失敗"))), std::string::npos);
}

// Cells in game-area pixels: the keyboard column (x 234-400) and the pad
// column (404-616) of row i at y 76 + 28 i (24 high); the buttons below at
// y 368-396: defaults x 24-204, OK 230-410, cancel 436-616.
TEST_F(KeyConfigScreenTest, TheMouseWorksTheScreen) {
  ScratchTrace trace;
  Create(input);
  // Row 2 (決定ボタン) keyboard: hovered, clicked, bound to K; a click on its
  // name only picks the row; OK clicked.
  Script("1 mouse 300 144\n2 click\n4 tap key:K 1\n6 click 100 88\n8 click 320 380\n");
  ASSERT_EQ(input.configureDevices(), S_OK);
  EXPECT_EQ(pass, 8u);
  std::string text = trace.Text();
  EXPECT_NE(text.find("\"event\":\"bind\",\"action\":7,\"control\":\"key:K\""), std::string::npos);
  EXPECT_NE(text.find("\"row\":2,\"column\":0,\"capturing\":true"), std::string::npos);
  EXPECT_NE(text.find("\"result\":\"ok\""), std::string::npos);
  EXPECT_EQ(text.find("\"action\":1,"), std::string::npos);  // the name's row was not captured
  std::ifstream file(BindingsFile(), std::ios::binary);
  std::string saved((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  EXPECT_NE(saved.find("\n7 key:K\n"), std::string::npos);
}

TEST_F(KeyConfigScreenTest, ClicksOffTheCellsAndWhileCapturingDecideNothing) {
  Create(input);
  // Between rows, in the margins and a wheel step: nothing. A click starts a
  // capture on row 4's pad cell, the next click (on OK) only gives it up and
  // a right click is no decision either; defaults, then cancel.
  Script("1 click 300 101\n2 click 10 200\n3 wheel down\n4 click 500 200\n6 click 320 380\n7 rclick\n"
         "9 click 100 380\n11 click 500 380\n");
  ScratchTrace trace;
  ASSERT_EQ(input.configureDevices(), S_OK);
  EXPECT_EQ(pass, 11u);
  std::string text = trace.Text();
  EXPECT_NE(text.find("\"row\":4,\"column\":1,\"capturing\":true"), std::string::npos);
  EXPECT_NE(text.find("\"event\":\"defaults\""), std::string::npos);
  EXPECT_NE(text.find("\"result\":\"cancel\""), std::string::npos);
  EXPECT_EQ(text.find("\"result\":\"ok\""), std::string::npos);
  EXPECT_FALSE(FileExists(BindingsFile()));
}

TEST(KeyConfigScreen, RowsOfTheSameNameAreToldApart) {
  DIACTIONFORMAT format;
  std::vector<DIACTION> actions(GameActions().begin(), GameActions().end());
  format.rgoAction = actions.data();
  format.dwNumActions = static_cast<uint32_t>(actions.size());
  const std::vector<std::string> labels = input::RowLabels(format);
  ASSERT_EQ(labels.size(), 10u);
  EXPECT_EQ(labels[0], SJ("左右ボタン"));
  EXPECT_EQ(labels[2], SJ("決定ボタン（共通）"));
  EXPECT_EQ(labels[3], SJ("キャンセルボタン（共通）"));
  EXPECT_EQ(labels[4], SJ("左ボタン"));
  EXPECT_EQ(labels[8], SJ("決定ボタン（キー）"));
  EXPECT_EQ(labels[9], SJ("キャンセルボタン（キー）"));
  EXPECT_EQ(actions[8].lptszActionName, SJ("決定ボタン"));  // the action's own name stays
}

TEST(KeyConfigScreen, ControlLabels) {
  EXPECT_EQ(input::ControlLabel("key:Return"), "Return");
  EXPECT_EQ(input::ControlLabel("key:Left"), SJ("←"));
  EXPECT_EQ(input::ControlLabel("pad:dpadx"), SJ("十字左右"));
  EXPECT_EQ(input::ControlLabel("pad:misc1"), "MISC1");
}
