#include <gtest/gtest.h>

#include "app/CD3DApp.h"
#include "app/Resources.h"
#include "platform/headless/Clock.h"
#include "platform/input/ScriptedInput.h"
#include "platform/window/HeadlessWindow.h"
#include "platform/window/Window.h"

using namespace platform;

namespace {
// A small game on the framework that counts what the framework calls.
class CountingApp : public CD3DApp {
 public:
  CountingApp() {
    width = 64;
    height = 48;
  }
  HRESULT SetupScene() override {
    calls += "setup;";
    return 0;
  }
  HRESULT AfterSetup() override {
    calls += "after;";
    return 0;
  }
  HRESULT StartScene() override {
    calls += "start;";
    return startResult;
  }
  HRESULT UpdateFrame() override {
    ++updates;
    return failUpdateAt && updates == failUpdateAt ? E_FAIL : 0;
  }
  HRESULT RenderFrame() override {
    ++renders;
    return 0;
  }
  HRESULT ReleaseScene() override {
    calls += "release;";
    return 0;
  }
  HRESULT FinalRelease() override {
    calls += "final;";
    return 0;
  }
  LRESULT HandleMessage(HWND h, uint32_t msg, uintptr_t w, intptr_t l) override {
    if (msg == WM_COMMAND && (w & 0xFFFF) == IDM_GAME_EXIT) SendClose();
    return CD3DApp::HandleMessage(h, msg, w, l);
  }
  std::string calls;
  int updates = 0, renders = 0, failUpdateAt = 0;
  HRESULT startResult = 0;
  using CD3DApp::active;
};

RunOptions Headless(uint64_t frames, std::vector<ScriptedEvent> input = {}) {
  RunOptions o;
  o.headless = true;
  o.maxFrames = frames;
  o.input = std::move(input);
  return o;
}

class CD3DAppTest : public ::testing::Test {
 protected:
  void SetUp() override { UseVirtualClock(0); }
  void TearDown() override {
    UseRealClock();
    SetHeadlessAnswer(true);
    SetCurrentWindow(nullptr);
  }
};
}  // namespace

TEST_F(CD3DAppTest, CreateRunsStepsInOrderAndEveryPassRunsOneLogicStep) {
  CountingApp app;
  app.SetRunOptions(Headless(20));
  ASSERT_EQ(app.Create(nullptr, 1), S_OK);
  EXPECT_EQ(app.calls, "setup;after;start;");
  EXPECT_EQ(app.GetDevice()->GetRenderState(D3DRS_ALPHABLENDENABLE), 1u);
  EXPECT_EQ(app.GetDevice()->GetRenderState(D3DRS_DESTBLEND), uint32_t(D3DBLEND_INVSRCALPHA));
  EXPECT_EQ(app.GetDevice()->GetTextureStageState(0, D3DTSS_MAGFILTER), uint32_t(D3DTEXF_POINT));
  app.actionStates[254] = 1;  // the last of the 255 slots exists
  EXPECT_EQ(app.Run(), 0);
  EXPECT_EQ(app.updates, 20);
  EXPECT_EQ(app.renders, 20);
}

TEST_F(CD3DAppTest, FailedStartSceneFailsCreate) {
  CountingApp app;
  app.startResult = E_FAIL;
  app.SetRunOptions(Headless(1));
  EXPECT_EQ(app.Create(nullptr, 1), E_FAIL);
}

TEST_F(CD3DAppTest, CloseAnsweredNoLeavesEverythingAndYesReleasesInOrder) {
  {
    SetHeadlessAnswer(false);
    CountingApp app;
    app.SetRunOptions(Headless(10, {{3, ScriptedEvent::Close, ""}, {5, ScriptedEvent::MenuQuit, ""}}));
    ASSERT_EQ(app.Create(nullptr, 1), S_OK);
    EXPECT_EQ(app.Run(), 0);
    EXPECT_EQ(app.updates, 10);  // nothing stopped
    EXPECT_EQ(app.calls, "setup;after;start;");
  }
  {
    SetHeadlessAnswer(true);
    CountingApp app;
    app.SetRunOptions(Headless(100, {{4, ScriptedEvent::MenuQuit, ""}}));
    ASSERT_EQ(app.Create(nullptr, 1), S_OK);
    EXPECT_EQ(app.Run(), 0);
    EXPECT_EQ(app.updates, 4);
    EXPECT_EQ(app.calls, "setup;after;start;release;final;");
    EXPECT_EQ(app.GetDevice(), nullptr);
  }
}

// A program driving the run adds its input each pass, after the list's, and
// may ask to close like the list can.
TEST_F(CD3DAppTest, PassInputFollowsTheListEveryPassAndCanClose) {
  CountingApp app;
  app.SetRunOptions(Headless(100, {{2, ScriptedEvent::Press, "decide"}}));
  std::vector<uint64_t> passes;
  std::vector<std::string> dueAtTwo;
  app.SetPassInput([&](uint64_t pass, std::vector<ScriptedEvent>& due) {
    passes.push_back(pass);
    if (pass == 2) {
      due.push_back({pass, ScriptedEvent::Release, "cancel"});
      for (const ScriptedEvent& e : due) dueAtTwo.push_back(e.target);
    }
    if (pass == 6) due.push_back({pass, ScriptedEvent::Close, ""});
  });
  ASSERT_EQ(app.Create(nullptr, 1), S_OK);
  EXPECT_EQ(app.Run(), 0);
  EXPECT_EQ(passes, (std::vector<uint64_t>{0, 1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(dueAtTwo, (std::vector<std::string>{"decide", "cancel"}));
  EXPECT_EQ(app.updates, 6);  // the close came in pass 6, before its step
  EXPECT_EQ(app.calls, "setup;after;start;release;final;");
}

TEST_F(CD3DAppTest, FailedLogicStepAsksToCloseAndDrawsNothing) {
  SetHeadlessAnswer(false);
  CountingApp app;
  app.failUpdateAt = 3;
  app.SetRunOptions(Headless(6));
  ASSERT_EQ(app.Create(nullptr, 1), S_OK);
  app.Run();
  EXPECT_EQ(app.updates, 6);
  EXPECT_EQ(app.renders, 5);  // the failed pass drew no frame
}

TEST_F(CD3DAppTest, MinimisedStopsLogicAndDrawingFocusLossDoesNot) {
  CountingApp app;
  app.SetRunOptions(Headless(10));
  ASSERT_EQ(app.Create(nullptr, 1), S_OK);
  app.HandleMessage(app.GetWindow(), WM_ACTIVATE, uintptr_t(1) << 16, 0);  // minimised
  EXPECT_EQ(app.active, 0);
  app.Run();
  EXPECT_EQ(app.updates, 0);
  EXPECT_EQ(app.renders, 0);
  app.HandleMessage(app.GetWindow(), WM_ACTIVATE, 0, 0);  // inactive but not minimised
  EXPECT_EQ(app.active, 1);
}

TEST_F(CD3DAppTest, LogicIsPacedByTheSixteenMillisecondGrid) {
  CountingApp app;
  app.SetRunOptions(Headless(1));
  ASSERT_EQ(app.Create(nullptr, 1), S_OK);
  AdvanceVirtualClock(16);
  app.StepFrame();
  app.StepFrame();  // no time passed: drawn, but no logic
  EXPECT_EQ(app.updates, 1);
  EXPECT_EQ(app.renders, 2);
  AdvanceVirtualClock(15);
  app.StepFrame();
  EXPECT_EQ(app.updates, 1);
  AdvanceVirtualClock(1);
  app.StepFrame();
  EXPECT_EQ(app.updates, 2);
}

namespace {
// Records the clock each logic step sees and how often a 0.06 s grid of its
// own fires, as the game's decide grid would.
class ClockReadingApp : public CountingApp {
 public:
  HRESULT UpdateFrame() override {
    seen.push_back(timeGetTime());
    grid.Update();
    if (grid.Fired(0.06)) {
      ++gridFirings;
      grid.Tick();
    }
    if (stallAt && seen.size() == stallAt) AdvanceVirtualClock(stallMs);  // a step that takes long
    return CountingApp::UpdateFrame();
  }
  HRESULT StartScene() override {
    grid.Reset();
    return CountingApp::StartScene();
  }
  std::vector<uint32_t> seen;
  TickTimer grid;
  int gridFirings = 0;
  size_t stallAt = 0;
  uint32_t stallMs = 0;
};
}  // namespace

TEST_F(CD3DAppTest, SlowPresentsDoNotSlowTheLogicGrid) {
  // A display whose vsync makes every present wait 33 ms (30 Hz): each pass
  // then takes 49 ms of clock time, yet the logic steps keep the 16 ms grid.
  std::vector<uint32_t> slowSeen;
  int slowFirings = 0;
  {
    ClockReadingApp slow;
    slow.SetRunOptions(Headless(200));
    ASSERT_EQ(slow.Create(nullptr, 1), S_OK);
    slow.GetDevice()->SetPresentHook([] { AdvanceVirtualClock(33); });
    slow.Run();
    EXPECT_EQ(slow.renders, 200);  // one frame per pass
    EXPECT_NEAR(slow.updates, timeGetTime() / 16.0, 3);  // 62.5 steps a second of clock time
    slowSeen = slow.seen;
    slowFirings = slow.gridFirings;
  }
  ASSERT_GT(slowSeen.size(), 2u);
  for (size_t i = 1; i < slowSeen.size(); ++i) ASSERT_EQ(slowSeen[i] - slowSeen[i - 1], 16u) << "step " << i;

  // The steps and the game's own grids see the same times as on a display
  // that never waits.
  UseVirtualClock(0);
  ClockReadingApp even;
  even.SetRunOptions(Headless(slowSeen.size()));
  ASSERT_EQ(even.Create(nullptr, 1), S_OK);
  even.Run();
  EXPECT_EQ(even.seen, slowSeen);
  EXPECT_EQ(even.gridFirings, slowFirings);
}

TEST_F(CD3DAppTest, MissedStepsAreCaughtUpButNotLongGapsOrTheStepsOwnTime) {
  ClockReadingApp app;
  app.SetRunOptions(Headless(1));
  ASSERT_EQ(app.Create(nullptr, 1), S_OK);
  AdvanceVirtualClock(16);
  app.StepFrame();
  ASSERT_EQ(app.updates, 1);
  AdvanceVirtualClock(100);  // six steps fell due while drawing
  app.StepFrame();
  EXPECT_EQ(app.updates, 7);
  EXPECT_EQ(app.seen.back(), 112u);
  AdvanceVirtualClock(4);  // 116 -> 120: not due before 128
  app.StepFrame();
  EXPECT_EQ(app.updates, 7);
  AdvanceVirtualClock(1000);  // a stall: one step at once, then the grid goes on from it
  app.StepFrame();
  EXPECT_EQ(app.updates, 8);
  EXPECT_EQ(app.seen.back(), 1120u);
  AdvanceVirtualClock(16);
  app.StepFrame();
  EXPECT_EQ(app.updates, 9);

  // A step that takes 200 ms itself (a modal screen): its time is not made
  // up afterwards, and the clock the steps see never runs backwards.
  app.stallAt = 10;
  app.stallMs = 200;
  AdvanceVirtualClock(16);
  app.StepFrame();
  AdvanceVirtualClock(16);
  app.StepFrame();
  EXPECT_EQ(app.updates, 11);
  for (size_t i = 1; i < app.seen.size(); ++i) EXPECT_GT(app.seen[i], app.seen[i - 1]) << "step " << i;
}

TEST_F(CD3DAppTest, TimeMinimisedIsNotMadeUp) {
  CountingApp app;
  app.SetRunOptions(Headless(30));
  ASSERT_EQ(app.Create(nullptr, 1), S_OK);
  AdvanceVirtualClock(16);
  app.StepFrame();
  app.HandleMessage(app.GetWindow(), WM_ACTIVATE, uintptr_t(1) << 16, 0);
  app.SetRunOptions(Headless(10));  // ten passes minimised: 160 ms
  app.Run();
  app.HandleMessage(app.GetWindow(), WM_ACTIVATE, 0, 0);
  AdvanceVirtualClock(16);
  app.StepFrame();
  EXPECT_EQ(app.updates, 2);  // one step on restoring, not eleven
}
