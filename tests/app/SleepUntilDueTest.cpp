// A window's loop sleeps through logic steps with nothing due and runs them
// on waking, each at its own time: the steps and their grids see the same
// clock as when stepping continuously, a still screen wakes only a few
// times a second, and an event wakes the loop at once.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "app/CD3DApp.h"
#include "framework/DueTime.h"
#include "platform/diagnostics/Debug.h"
#include "platform/headless/Clock.h"
#include "platform/window/Window.h"

using namespace platform;

namespace {
constexpr uint32_t kPing = WM_APP + 9;

// Runs about `runMs` of real time in a window (SDL's dummy video driver),
// stepping a 0.06 s grid of its own; says its next step is due every
// `dueEveryMs` (0: every step, as a game that always has something to do).
class DueApp : public CD3DApp {
 public:
  DueApp(uint32_t dueEveryMs, uint32_t runMs) : dueEveryMs_(dueEveryMs), runMs_(runMs) {
    width = 64;
    height = 48;
  }
  HRESULT StartScene() override {
    start_ = timeGetTime();
    grid.Reset();
    return 0;
  }
  HRESULT UpdateFrame() override {
    const uint32_t now = timeGetTime();
    seen.push_back(now - start_);
    grid.Update();
    if (grid.Fired(0.06)) {
      gridAt.push_back(now - start_);
      grid.Tick();
    }
    if (now - start_ >= runMs_ && !quitting_) {
      quitting_ = true;
      mainWindow->PostMessage(WM_QUIT);
    }
    return 0;
  }
  HRESULT RenderFrame() override {
    ++renders;
    return 0;
  }
  double SecondsUntilDue(double now) const override {
    if (dueEveryMs_ == 0 || seen.empty()) return 0;  // the first step at once, as a game starting
    const uint32_t since = due::ClockMs(now) - start_;
    return due::Until(start_ + (since / dueEveryMs_ + 1) * dueEveryMs_, now);
  }
  LRESULT HandleMessage(HWND h, uint32_t msg, uintptr_t w, intptr_t l) override {
    if (msg == kPing) {
      stepsBeforePing = seen.empty() ? 0 : seen.back();
      pingHandledAt = timeGetTime() - start_;
    }
    return CD3DApp::HandleMessage(h, msg, w, l);
  }

  std::vector<uint32_t> seen, gridAt;
  TickTimer grid;
  int renders = 0;
  uint32_t stepsBeforePing = 0, pingHandledAt = 0;

 private:
  uint32_t dueEveryMs_, runMs_, start_ = 0;
  bool quitting_ = false;
};

class SleepUntilDue : public ::testing::Test {
 protected:
  void SetUp() override {
    UseRealClock();
    SetDebugEcho(false);
  }
  void TearDown() override {
    SetCurrentWindow(nullptr);
    SetDebugEcho(true);
  }
};

// Every step the grid should have made, 16 ms apart from the first. A step
// sees the clock from when it was due, moving on while it runs: up to a
// few milliseconds more on a loaded machine, never adding up.
void ExpectUnbrokenGrid(const std::vector<uint32_t>& seen) {
  ASSERT_GT(seen.size(), 10u);
  for (size_t i = 1; i < seen.size(); ++i) {
    const int32_t off = int32_t(seen[i] - seen[0] - 16 * i);
    ASSERT_TRUE(off >= 0 && off <= 3) << "step " << i << " is " << off << " ms off its grid";
  }
}
}  // namespace

TEST_F(SleepUntilDue, AStillScreenWakesAFewTimesASecondYetEveryStepRunsOnItsTime) {
  DueApp still(1000, 1500);  // something due once a second
  ASSERT_EQ(still.Create(nullptr, 1), S_OK);
  still.Run();
  ExpectUnbrokenGrid(still.seen);
  // 1.5 s: 94 steps on the grid, the loop woken about once for each due time.
  EXPECT_GE(still.seen.size(), 90u) << "last step at " << still.seen.back() << " ms, wakes " << still.Wakes() << ", renders " << still.renders;
  EXPECT_LE(still.Wakes(), 8u) << "woken " << still.Wakes() << " times for " << still.seen.size() << " steps";
  EXPECT_LE(still.renders, 25);
  // The 0.06 s grid fired on the steps it fires on when nothing sleeps:
  // every fourth step from the first.
  ASSERT_GT(still.gridAt.size(), 20u);
  for (size_t i = 0; i < still.gridAt.size(); ++i) ASSERT_NEAR(still.gridAt[i], still.gridAt[0] + 64.0 * i, 3.0);
}

TEST_F(SleepUntilDue, AGameWithSomethingDueOnEveryStepWakesForEach) {
  DueApp busy(0, 500);
  ASSERT_EQ(busy.Create(nullptr, 1), S_OK);
  busy.Run();
  ExpectUnbrokenGrid(busy.seen);
  EXPECT_GE(busy.Wakes(), busy.seen.size() * 3 / 4);
}

TEST_F(SleepUntilDue, AnEventWakesTheLoopAtOnceAfterTheStepsDueBeforeIt) {
  DueApp app(300, 1200);
  ASSERT_EQ(app.Create(nullptr, 1), S_OK);
  std::thread poster([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    app.GetWindow()->PostMessage(kPing);
  });
  app.Run();
  poster.join();
  ExpectUnbrokenGrid(app.seen);
  // Asleep since the 300 ms step, woken by the message: the steps due
  // before it had all run when it was handled, the next one had not.
  ASSERT_GT(app.pingHandledAt, 0u);
  EXPECT_LE(app.pingHandledAt - app.stepsBeforePing, 16u + 8u);
  EXPECT_GE(app.pingHandledAt, 480u);
  EXPECT_LE(app.pingHandledAt, 600u) << "the message waited for the loop's time-out";
}
